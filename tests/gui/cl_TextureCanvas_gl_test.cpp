#include "gui/cl_TextureCanvas.h"

#include "gui/cl_CanvasItem.h"
#include "support/LogCapture.h"
#include "support/OverlayWindow.h"
#include "support/TexturePixels.h"

#include <gtest/gtest.h>

#include <OgreImage.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreTextureUnitState.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace
{
const int SIZE = 256;

// A texture canvas on a render texture of 256 x 256, with the game's font and text type, a material of
// plain red, one of two passes and one showing a picture whose left half is red and right half blue.
class Canvas : public testing::Test
{
protected:
    void SetUp() override
    {
        // The overlay manager learns the viewport's size, which texts are measured in, from a frame.
        m_window.Render();
        m_texture = Ogre::TextureManager::getSingleton().createManual(
            "canvas", "General", Ogre::TEX_TYPE_2D, SIZE, SIZE, 0, Ogre::PF_A8R8G8B8, Ogre::TU_RENDERTARGET);
        Plain("red", Ogre::ColourValue::Red, false);
        // Each pass adds a quarter of red: drawn twice, half.
        Plain("two passes", Ogre::ColourValue(0.25f, 0.0f, 0.0f), true);
        m_halves.resize(4 * 4 * 4);
        for (size_t pixel = 0; pixel < 16; ++pixel)
        {
            const bool left = pixel % 4 < 2;
            m_halves[pixel * 4 + 0] = left ? 255 : 0;
            m_halves[pixel * 4 + 2] = left ? 0 : 255;
            m_halves[pixel * 4 + 3] = 255;
        }
        Ogre::Image image;
        image.loadDynamicImage(m_halves.data(), 4, 4, Ogre::PF_BYTE_RGBA);
        Ogre::TextureManager::getSingleton().loadImage("halves", "General", image, Ogre::TEX_TYPE_2D, 0);
        Ogre::Pass* pass =
            Ogre::MaterialManager::getSingleton().create("halves", "General")->getTechnique(0)->getPass(0);
        pass->setLightingEnabled(false);
        pass->createTextureUnitState("halves")->setTextureFiltering(Ogre::TFO_NONE);
    }

    static void Plain(const std::string& name, const Ogre::ColourValue& colour, bool twoAddedPasses)
    {
        Ogre::Technique* technique =
            Ogre::MaterialManager::getSingleton().create(name, "General")->getTechnique(0);
        for (int index = 0; index < (twoAddedPasses ? 2 : 1); ++index)
        {
            Ogre::Pass* pass = index == 0 ? technique->getPass(0) : technique->createPass();
            pass->setLightingEnabled(false);
            if (twoAddedPasses)
                pass->setSceneBlending(Ogre::SBT_ADD);
            pass->createTextureUnitState()->setColourOperationEx(Ogre::LBX_SOURCE1, Ogre::LBS_MANUAL,
                                                                 Ogre::LBS_CURRENT, colour);
        }
    }

    // Draws the items in one pass of a canvas and reads the texture back.
    void Draw(std::vector<cl_CanvasItem>& items)
    {
        cl_TextureCanvas canvas;
        canvas.Create("canvas", &m_window.SceneManager());
        canvas.Clear();
        for (cl_CanvasItem& item : items)
        {
            if (item.isImage)
                canvas.DrawImage(item);
            else
                canvas.DrawText(item);
        }
        canvas.EndFrame();
        canvas.Destroy();
        m_pixels = TexturePixels(*m_texture);
    }

    const uint8_t* At(int x, int y) const { return &m_pixels[static_cast<size_t>((y * SIZE + x) * 4)]; }

    // The box (left, top, right, bottom, inclusive) of the pixels that pass the test; right < left when none.
    std::vector<int> Extent(const std::function<bool(const uint8_t*)>& test) const
    {
        std::vector<int> box{SIZE, SIZE, -1, -1};
        for (int y = 0; y < SIZE; ++y)
        {
            for (int x = 0; x < SIZE; ++x)
            {
                if (!test(At(x, y)))
                    continue;
                box[0] = std::min(box[0], x);
                box[1] = std::min(box[1], y);
                box[2] = std::max(box[2], x);
                box[3] = std::max(box[3], y);
            }
        }
        return box;
    }

    static cl_CanvasItem Picture(const std::string& material, float x, float y, float width, float height)
    {
        cl_CanvasItem item;
        item.isImage = true;
        item.text = material;
        item.x = x;
        item.y = y;
        item.width = width;
        item.height = height;
        return item;
    }

    OverlayWindow m_window{64, 64};
    LogCapture m_log;
    Ogre::TexturePtr m_texture;
    std::vector<uint8_t> m_halves;
    std::vector<uint8_t> m_pixels;
};

const auto DRAWN = [](const uint8_t* pixel) { return pixel[3] > 0; };
const auto RED = [](const uint8_t* pixel) { return pixel[0] > 200 && pixel[2] < 50 && pixel[3] > 200; };
const auto BLUE = [](const uint8_t* pixel) { return pixel[2] > 200 && pixel[0] < 50 && pixel[3] > 200; };

TEST_F(Canvas, APicturesTopIsTheTexturesTopAndTheRestStaysTransparent)
{
    std::vector<cl_CanvasItem> items{Picture("red", 0.25f, 0.0f, 0.5f, 0.25f)};
    Draw(items);
    EXPECT_EQ(Extent(RED), (std::vector<int>{64, 0, 191, 63}));
    EXPECT_EQ(Extent(DRAWN), Extent(RED)) << "alpha 0 wherever nothing is drawn";
}

TEST_F(Canvas, APictureLiesWhereItsAlignmentPutsX)
{
    const struct
    {
        int alignment;
        int left;
    } cases[] = {{cl_CanvasItem::ALIGN_LEFT, 128},
                 {cl_CanvasItem::ALIGN_CENTRE, 96},
                 {cl_CanvasItem::ALIGN_RIGHT, 64},
                 {7, 128}};
    for (const auto& c : cases)
    {
        std::vector<cl_CanvasItem> items{Picture("red", 0.5f, 0.5f, 0.25f, 0.25f)};
        items[0].alignment = c.alignment;
        Draw(items);
        EXPECT_EQ(Extent(RED), (std::vector<int>{c.left, 128, c.left + 63, 191})) << c.alignment;
    }
}

TEST_F(Canvas, AnItemsTextureCoordinatesHoldForItOnly)
{
    // The first shows the picture's left half over its whole width; the second, without parameters, the
    // whole picture again.
    std::vector<cl_CanvasItem> items{Picture("halves", 0.0f, 0.0f, 0.5f, 0.5f),
                                     Picture("halves", 0.0f, 0.5f, 0.5f, 0.5f)};
    items[0].params["uv_coords"] = "0 0 0.5 1";
    Draw(items);
    EXPECT_TRUE(RED(At(10, 64)) && RED(At(117, 64))) << "the left half only";
    EXPECT_TRUE(RED(At(10, 192)));
    EXPECT_TRUE(BLUE(At(117, 192))) << "the whole picture";
}

TEST_F(Canvas, APictureIsDrawnOnceForEachPassOfItsMaterial)
{
    std::vector<cl_CanvasItem> items{Picture("two passes", 0.0f, 0.0f, 1.0f, 1.0f)};
    Draw(items);
    EXPECT_NEAR(At(128, 128)[0], 128, 2);
}

TEST_F(Canvas, APictureWithoutMaterialIsLeftOutAndNamed)
{
    std::vector<cl_CanvasItem> items{Picture("", 0.0f, 0.0f, 1.0f, 1.0f),
                                     Picture("nobody shipped this", 0.0f, 0.0f, 1.0f, 1.0f),
                                     Picture("red", 0.0f, 0.0f, 0.25f, 0.25f)};
    Draw(items);
    EXPECT_EQ(Extent(DRAWN), (std::vector<int>{0, 0, 63, 63}));
    EXPECT_TRUE(m_log.Contains("nobody shipped this"));
}

TEST_F(Canvas, ATextIsMeasuredAndPlacedByItsAlignment)
{
    const struct
    {
        int alignment;
        float x;
        float leftOfX; // the text's left edge, in widths left of x
    } cases[] = {{cl_CanvasItem::ALIGN_LEFT, 0.1f, 0.0f},
                 {cl_CanvasItem::ALIGN_CENTRE, 0.5f, 0.5f},
                 {cl_CanvasItem::ALIGN_RIGHT, 0.9f, 1.0f}};
    for (const auto& c : cases)
    {
        cl_CanvasItem text;
        text.text = "Neues Spiel";
        text.x = c.x;
        text.y = 0.4f;
        text.charHeight = 0.1f;
        text.alignment = c.alignment;
        text.colour = Ogre::ColourValue::White;
        std::vector<cl_CanvasItem> items{text};
        Draw(items);
        const cl_CanvasItem& drawn = items[0];
        EXPECT_GT(drawn.width, 0.1f);
        EXPECT_EQ(drawn.height, 0.1f);
        const std::vector<int> box = Extent(DRAWN);
        const float left = (text.x - c.leftOfX * drawn.width) * SIZE;
        // Glyphs keep a pixel or two of their cell free at both sides.
        EXPECT_NEAR(box[0], left, 4.0f) << c.alignment;
        EXPECT_NEAR(box[2], left + drawn.width * SIZE, 4.0f) << c.alignment;
        EXPECT_GE(box[1], static_cast<int>(0.4f * SIZE) - 1);
        EXPECT_LE(box[3], static_cast<int>(0.5f * SIZE) + 1);
        const auto white = [](const uint8_t* pixel)
        { return pixel[0] > 200 && pixel[1] > 200 && pixel[2] > 200 && pixel[3] > 200; };
        EXPECT_NEAR(Extent(white)[0], box[0], 2) << "drawn in its colour";
    }
}
} // namespace
