#include "gui/cl_TarqTextAreaOverlayElement.h"

#include "gui/CaptionText.h"
#include "support/OverlayWindow.h"

#include <gtest/gtest.h>

#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>

#include <cmath>
#include <string>

namespace
{
constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;
constexpr float CHAR_HEIGHT = 0.05f;
constexpr float LEFT = 0.1f;
constexpr float TOP = 0.2f;

// One white text of the demo's font in a window of 800 x 600, its top left corner at (LEFT, TOP).
class TextArea : public testing::Test
{
protected:
    void SetUp() override
    {
        Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
        m_overlay = overlays.create("text");
        m_panel = static_cast<Ogre::OverlayContainer*>(overlays.createOverlayElement("Panel", "panel"));
        m_panel->setDimensions(1.0f, 1.0f);
        m_overlay->add2D(m_panel);
        m_text = static_cast<cl_TarqTextAreaOverlayElement*>(
            overlays.createOverlayElement("TarqTextArea", "text"));
        m_text->setParameter("font_name", "FormalOutline");
        m_text->setParameter("char_height", std::to_string(CHAR_HEIGHT));
        m_text->setPosition(LEFT, TOP);
        m_text->setDimensions(0.8f, 0.0f);
        m_panel->addChild(m_text);
        m_overlay->show();
        // OGRE derives positions from the viewport it has drawn in.
        m_window.Render();
    }

    void SetCaption(const std::string& text)
    {
        m_text->setCaption(CaptionFromUtf8(text));
        m_text->UpdateLayout();
    }
    // The rightmost column of the frame with a bright pixel in the text's first line; -1 for none.
    int RightmostInk()
    {
        const int top = static_cast<int>(TOP * HEIGHT);
        for (int x = WIDTH - 1; x >= 0; --x)
        {
            if (m_window.HasBrightPixel(x, top, x, top + static_cast<int>(CHAR_HEIGHT * HEIGHT)))
                return x;
        }
        return -1;
    }
    static int Pixels(float relative, int size) { return static_cast<int>(std::lround(relative * size)); }

    OverlayWindow m_window{WIDTH, HEIGHT};
    Ogre::Overlay* m_overlay = nullptr;
    Ogre::OverlayContainer* m_panel = nullptr;
    cl_TarqTextAreaOverlayElement* m_text = nullptr;
};

TEST_F(TextArea, LineSpacingTwoDoublesTheDistanceBetweenLinesAndTheHeight)
{
    SetCaption("Turm\nTor");
    EXPECT_NEAR(m_text->getHeight(), 2 * CHAR_HEIGHT, 1e-5f);
    m_window.Render();
    const int secondLine = Pixels(TOP + CHAR_HEIGHT, HEIGHT);
    const int farLine = Pixels(TOP + 2 * CHAR_HEIGHT, HEIGHT);
    EXPECT_TRUE(m_window.HasBrightPixel(0, secondLine + 2, WIDTH - 1, farLine - 2));
    EXPECT_FALSE(m_window.HasBrightPixel(0, farLine + 2, WIDTH - 1, HEIGHT - 1));

    m_text->setParameter("line_spacing", "2");
    EXPECT_EQ(m_text->getParameter("line_spacing"), "2");
    m_text->UpdateLayout();
    EXPECT_NEAR(m_text->getHeight(), 4 * CHAR_HEIGHT, 1e-5f);
    m_window.Render();
    EXPECT_FALSE(m_window.HasBrightPixel(0, secondLine + 2, WIDTH - 1, farLine - 2));
    EXPECT_TRUE(m_window.HasBrightPixel(0, farLine + 2, WIDTH - 1, farLine + Pixels(CHAR_HEIGHT, HEIGHT)));
}

TEST_F(TextArea, SpacingOffsetAddsHalfItsValueOfTheScreenPerCharacter)
{
    SetCaption("abcde");
    const float width = m_text->GetTextWidth();
    m_window.Render();
    const int right = RightmostInk();
    ASSERT_GT(right, 0);

    m_text->setParameter("spacing_offset", "0.01");
    EXPECT_EQ(m_text->getParameter("spacing_offset"), "0.01");
    m_text->UpdateLayout();
    EXPECT_NEAR(m_text->GetTextWidth(), width + 5 * 0.005f, 1e-5f);
    m_window.Render();
    // The last character stands four offsets further right.
    EXPECT_NEAR(RightmostInk(), right + 4 * 0.005f * WIDTH, 1.5);
}

TEST_F(TextArea, DrawsLatin1LettersOfTheDemoFont)
{
    SetCaption("Schl");
    const float before = m_text->GetTextWidth();
    SetCaption("Schl\xC3\xBC");
    const float after = m_text->GetTextWidth();
    SetCaption("Schl\xC3\xBCssel");
    m_window.Render();
    const int top = Pixels(TOP, HEIGHT);
    EXPECT_TRUE(m_window.HasBrightPixel(Pixels(LEFT + before, WIDTH) + 1, top,
                                        Pixels(LEFT + after, WIDTH) - 1, top + Pixels(CHAR_HEIGHT, HEIGHT)));
}

TEST_F(TextArea, WrapsItsCaptionToItsWidthAndGrowsDown)
{
    m_text->setWidth(0.2f);
    SetCaption("Irgendwo im Turm liegt ein Schlüssel.");
    const std::string caption = m_text->getCaption().asUTF8();
    EXPECT_NE(caption.find("\r\n"), std::string::npos) << caption;
    const float lines = std::round(m_text->getHeight() / CHAR_HEIGHT);
    EXPECT_GT(lines, 2.0f);
    EXPECT_NEAR(m_text->getHeight(), lines * CHAR_HEIGHT, 1e-5f);
    m_window.Render();
    EXPECT_FALSE(m_window.HasBrightPixel(Pixels(LEFT + 0.2f, WIDTH) + 2, 0, WIDTH - 1, HEIGHT - 1))
        << "no line may reach beyond the element's width";
}
} // namespace
