#include "gui/cl_TextureCanvas.h"

#include "gui/cl_CanvasItem.h"
#include "support/GlWindow.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreTextureUnitState.h>

namespace
{
const int SIZE = 256;

class Canvas : public testing::Test
{
protected:
    void SetUp() override
    {
        m_texture = Ogre::TextureManager::getSingleton().createManual(
            "canvas", "General", Ogre::TEX_TYPE_2D, SIZE, SIZE, 0, Ogre::PF_A8R8G8B8, Ogre::TU_RENDERTARGET);
        Ogre::MaterialPtr red = Ogre::MaterialManager::getSingleton().create("red", "General");
        Ogre::Pass* pass = red->getTechnique(0)->getPass(0);
        pass->setLightingEnabled(false);
        pass->createTextureUnitState()->setColourOperationEx(Ogre::LBX_SOURCE1, Ogre::LBS_MANUAL,
                                                             Ogre::LBS_CURRENT, Ogre::ColourValue::Red);
    }

    std::vector<uint8_t> Draw(const std::vector<cl_CanvasItem>& items)
    {
        cl_TextureCanvas canvas;
        canvas.Create("canvas", &m_window.SceneManager());
        canvas.Clear();
        for (cl_CanvasItem item : items)
        {
            if (item.isImage)
                canvas.DrawImage(item);
            else
                canvas.DrawText(item);
        }
        canvas.EndFrame();
        canvas.Destroy();
        return GlWindow::ReadPixels(*m_texture);
    }

    GlWindow m_window{64, 64};
    LogCapture m_log;
    Ogre::TexturePtr m_texture;
};

TEST_F(Canvas, APicturesTopIsTheTexturesTop)
{
    cl_CanvasItem item;
    item.isImage = true;
    item.text = "red";
    item.x = 0.0f;
    item.y = 0.0f;
    item.width = 1.0f;
    item.height = 0.25f;
    const std::vector<uint8_t> pixels = Draw({item});
    auto at = [&](int x, int y) { return &pixels[(y * SIZE + x) * 4]; };
    EXPECT_EQ(at(128, 10)[0], 255);
    EXPECT_EQ(at(128, 10)[3], 255);
    EXPECT_EQ(at(128, 200)[0], 0);
    EXPECT_EQ(at(128, 200)[3], 0);
}
} // namespace
