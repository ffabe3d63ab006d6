#include "gui/cl_IngameMenu.h"

#include "gui/cl_TarqTextAreaOverlayElement.h"
#include "support/AssetWorld.h"
#include "support/ColourNear.h"
#include "support/OverlayWindow.h"

#include <gtest/gtest.h>

#include <Overlay/OgreOverlayElement.h>

#include <memory>
#include <string>

namespace
{
// The demo's pointer colours (demo/media/40-gui.sh).
const Ogre::ColourValue MAGENTA(1, 0, 1);
const Ogre::ColourValue CYAN(0, 1, 1);
const Ogre::ColourValue GREEN(0, 1, 0);
const Ogre::ColourValue ORANGE(1, 0.5f, 0);

// The demo's chapter loaded as a new game and the in-game menu's overlays in a window of the given size
// over a white picture, drawn once so that OGRE knows its viewport.
class IngameMenuWindow
{
public:
    IngameMenuWindow(int width, int height) : m_window(width, height)
    {
        m_world.LoadChapter(DemoChapterFolder());
        m_world.LoadGameState(DemoNewGameState());
        m_window.SetBackground(Ogre::ColourValue::White);
        m_window.Render();
        m_menu = std::make_unique<cl_IngameMenu>();
        m_menu->CreateOverlays();
        m_window.Render();
    }
    ~IngameMenuWindow() { m_menu.reset(); }

    // A pixel inside the demo's pointer arrow drawn at (x, y) of the window, scaled to size pixels.
    Ogre::ColourValue ArrowPixel(int x, int y, int size = 32)
    {
        return m_window.Pixel(x + 5 * size / 32, y + 12 * size / 32);
    }
    // The columns of the frame with bright pixels in the rows (inclusive): leftmost and rightmost, -1 for
    // none.
    std::pair<int, int> InkColumns(int top, int bottom)
    {
        std::pair<int, int> columns(-1, -1);
        for (int y = top; y <= bottom; ++y)
        {
            for (int x = 0; x < m_window.Width(); ++x)
            {
                if (m_window.Pixel(x, y).g > 0.5f)
                {
                    columns.first = columns.first < 0 ? x : std::min(columns.first, x);
                    columns.second = std::max(columns.second, x);
                }
            }
        }
        return columns;
    }

    OverlayWindow m_window;
    AssetWorld m_world;
    std::unique_ptr<cl_IngameMenu> m_menu;
};

TEST(IngameMenuOverlays, A16To9WindowShowsBlackSideBars0_05Wide)
{
    IngameMenuWindow screen(1280, 720);
    EXPECT_NEAR(screen.m_menu->GetSideBarWidth(), 0.05f, 1e-6f);
    EXPECT_EQ(screen.m_menu->GetTopBarHeight(), 0.0f);
    // The inventory row stays inside the picture, its bottom a character height above the screen's.
    const cl_InventoryGui& inventory = screen.m_menu->GetInventoryGui();
    EXPECT_NEAR(inventory.GetLeft(), 0.05f, 1e-6f);
    EXPECT_NEAR(inventory.GetWidth(), 0.9f, 1e-6f);
    EXPECT_NEAR(inventory.GetTop() + inventory.GetHeight(), 1.0f - screen.m_menu->GetFontSize(), 1e-6f);
    screen.m_window.Render();
    // 0.05 of 1280 pixels, and the bars' overscan of less than two pixels into the picture. (The pointer
    // stands at the top left corner.)
    const int bar = 64;
    for (int y : {100, 360, 719})
    {
        SCOPED_TRACE(y);
        for (int x : {0, bar - 1, 1279 - bar + 1, 1279})
            EXPECT_TRUE(NearColour(screen.m_window.Pixel(x, y), Ogre::ColourValue::Black)) << x;
        for (int x : {bar + 2, 640, 1279 - bar - 2})
            EXPECT_TRUE(NearColour(screen.m_window.Pixel(x, y), Ogre::ColourValue::White)) << x;
    }
}

TEST(IngameMenuOverlays, TheDrawnPointerShowsTheColourOfItsWordAtTheMouse)
{
    IngameMenuWindow screen(800, 600);
    screen.m_menu->MoveMouse(0.5f, 0.5f);
    screen.m_menu->UpdateMousePointer();
    screen.m_window.Render();
    EXPECT_TRUE(NearColour(screen.ArrowPixel(400, 300), MAGENTA)) << ColourText(screen.ArrowPixel(400, 300));

    screen.m_menu->m_pointerFlags.leave = true;
    screen.m_menu->UpdateMousePointer();
    screen.m_window.Render();
    EXPECT_TRUE(NearColour(screen.ArrowPixel(400, 300), CYAN)) << ColourText(screen.ArrowPixel(400, 300));

    // A word without its picture shows the plain pointer, with one log line.
    screen.m_menu->SetPointerMaterial("gui/mp_look");
    screen.m_window.Render();
    EXPECT_TRUE(NearColour(screen.ArrowPixel(400, 300), MAGENTA));
    EXPECT_TRUE(screen.m_world.log.Contains("gui/mp_look"));

    screen.m_menu->HideMouse();
    screen.m_window.Render();
    EXPECT_TRUE(NearColour(screen.ArrowPixel(400, 300), Ogre::ColourValue::White));
}

TEST(IngameMenuOverlays, CustomPanelsComeMoveAndGo)
{
    IngameMenuWindow screen(800, 600);
    // 0.04 x 0.0533 of the screen is 32 x 32 pixels, the picture's own size.
    screen.m_menu->AddCustomOverlay("sign", "gui/mp_use", 0.1f, 0.1f, 0.04f, 0.04f * 4 / 3);
    screen.m_window.Render();
    EXPECT_TRUE(NearColour(screen.ArrowPixel(80, 60), GREEN)) << ColourText(screen.ArrowPixel(80, 60));

    // Again under that name: moved, its picture kept.
    screen.m_menu->AddCustomOverlay("sign", "gui/mp_wait", 0.5f, 0.5f, 0.04f, 0.04f * 4 / 3);
    screen.m_window.Render();
    EXPECT_TRUE(NearColour(screen.ArrowPixel(80, 60), Ogre::ColourValue::White));
    EXPECT_TRUE(NearColour(screen.ArrowPixel(400, 300), GREEN));

    screen.m_menu->RemoveCustomOverlay("sign");
    screen.m_window.Render();
    EXPECT_TRUE(NearColour(screen.ArrowPixel(400, 300), Ogre::ColourValue::White));
    EXPECT_EQ(screen.m_menu->FindElement("sign"), nullptr);

    screen.m_menu->AddCustomOverlay("nothing", "no/such/material", 0, 0, 1, 1);
    EXPECT_EQ(screen.m_menu->FindElement("nothing"), nullptr);
    EXPECT_TRUE(screen.m_world.log.Contains("no/such/material"));
}

TEST(IngameMenuOverlays, TheMouseOverTextStandsCentredAtTheBottom)
{
    IngameMenuWindow screen(800, 600);
    screen.m_window.SetBackground(Ogre::ColourValue::Black);
    screen.m_menu->SetMouseOverText("Turmt\xC3\xBCr");
    screen.m_window.Render();
    const int bandTop = static_cast<int>(600 * (1 - screen.m_menu->GetFontSize()));
    const std::pair<int, int> ink = screen.InkColumns(bandTop, 599);
    ASSERT_GE(ink.first, 0) << "no text in the bottom band";
    EXPECT_NEAR((ink.first + ink.second) / 2.0, 400.0, 8.0);
    EXPECT_EQ(screen.InkColumns(100, bandTop - 2).first, -1) << "the text stays in its band";

    screen.m_menu->SetMouseOverText("");
    screen.m_window.Render();
    EXPECT_EQ(screen.InkColumns(bandTop, 599).first, -1);
}

TEST(IngameMenuOverlays, TheHotspotHintStandsOverADarkenedPicture)
{
    IngameMenuWindow screen(800, 600);
    screen.m_menu->ShowHotspotsHint();
    screen.m_window.Render();
    EXPECT_TRUE(NearColour(screen.m_window.Pixel(700, 500), Ogre::ColourValue(0.5f, 0.5f, 0.5f)))
        << ColourText(screen.m_window.Pixel(700, 500));
    EXPECT_TRUE(screen.m_window.HasBrightPixel(100, 100, 700, 300, 0.9f))
        << "the hint is drawn over the darkening";

    screen.m_menu->HideHotspotsHint();
    screen.m_window.Render();
    EXPECT_TRUE(NearColour(screen.m_window.Pixel(700, 500), Ogre::ColourValue::White));
}

TEST(IngameMenuOverlays, SubtitlesTakeTheSpeakersColourUnlessSwitchedOff)
{
    IngameMenuWindow screen(800, 600);
    screen.m_window.SetBackground(Ogre::ColourValue::Black);
    screen.m_menu->ShowSpeechText("line", "Wer da?", "characters_keeper");
    const Ogre::OverlayElement* subtitle = screen.m_menu->FindElement("st_line");
    ASSERT_NE(subtitle, nullptr);
    EXPECT_TRUE(NearColour(subtitle->getColour(), ORANGE));
    // The keeper has no place on the screen: where a new text starts.
    EXPECT_FLOAT_EQ(subtitle->getLeft(), 0.05f);
    EXPECT_FLOAT_EQ(subtitle->getTop(), 0.2f);
    screen.m_window.Render();
    bool orange = false;
    for (int y = 120; y < 150 && !orange; ++y)
    {
        for (int x = 40; x < 200 && !orange; ++x)
            orange = NearColour(screen.m_window.Pixel(x, y), ORANGE, 0.25f);
    }
    EXPECT_TRUE(orange);

    screen.m_menu->HideText("line");
    EXPECT_FALSE(subtitle->isVisible());
    screen.m_menu->SetSubtitles(false);
    screen.m_menu->ShowSpeechText("other", "Niemand.", "characters_keeper");
    EXPECT_EQ(screen.m_menu->FindElement("st_other"), nullptr);
    screen.m_menu->ShowSpeechText("line", "Wer da?", "characters_keeper");
    EXPECT_FALSE(subtitle->isVisible());
}

TEST(IngameMenuOverlays, OnScreenTextsTakeANewFontSize)
{
    IngameMenuWindow screen(800, 600);
    screen.m_menu->ShowOnScreenText("early", "Vorher");
    screen.m_menu->SetFontSize(0.05f);
    screen.m_menu->ShowOnScreenText("late", "Nachher");
    EXPECT_NEAR(screen.m_menu->GetTextWidth(), 0.9f, 1e-6f);
    for (const char* name : {"st_early", "st_late"})
    {
        const auto* text =
            dynamic_cast<const cl_TarqTextAreaOverlayElement*>(screen.m_menu->FindElement(name));
        ASSERT_NE(text, nullptr) << name;
        EXPECT_FLOAT_EQ(text->getCharHeight(), 0.05f) << name;
    }
    // Centred on the screen's middle, two character heights above it.
    const Ogre::OverlayElement& late = *screen.m_menu->FindElement("st_late");
    EXPECT_NEAR(late.getTop() + late.getHeight(), 0.5f - 2 * 0.05f, 1e-5f);

    screen.m_menu->HideAllTexts();
    EXPECT_FALSE(late.isVisible());
}
} // namespace
