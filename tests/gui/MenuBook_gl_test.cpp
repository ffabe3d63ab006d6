#include "gui/MenuBook.h"

#include "common/cl_ControllerManager.h"
#include "common/cl_LuaScriptSystem.h"
#include "common/cl_ValueSourceManager.h"
#include "gui/cl_MainMenu.h"
#include "support/LogCapture.h"
#include "support/ManualGameTime.h"
#include "support/OverlayWindow.h"
#include "support/TexturePixels.h"

#include <gtest/gtest.h>

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>
#include <tinyxml.h>

#include <memory>
#include <string>

namespace
{
const int WIDTH = 400;
const int HEIGHT = 300;

// The main menu's book on the demo's page meshes and pictures, in a window of its own, with the
// singletons the book's lights and backdrop reach.
class Book : public testing::Test
{
protected:
    void SetUp() override
    {
        // As in the program, the window has drawn a frame before the menu draws its first page: a page
        // drawn before OGRE's first frame does not outlive that frame.
        m_window.Render();
        m_menu = std::make_unique<cl_MainMenu>();
        m_sceneManager = Ogre::Root::getSingleton().createSceneManager();
        m_menu->CreatePageTextures(m_sceneManager);
        m_window.Window().getViewport(0)->setCamera(m_menu->GetBook().GetCamera());
    }
    void TearDown() override
    {
        m_menu.reset();
        Ogre::Root::getSingleton().destroySceneManager(m_sceneManager);
    }

    // Reads the menu's data and opens the book at the page, its flip played to the end.
    void Open(const std::string& xml, const std::string& page)
    {
        TiXmlDocument document;
        document.Parse(xml.c_str());
        m_menu->ParseElement(document.RootElement(), "INTERFACEDATA", false);
        m_menu->CreateScene(page);
        Frame(2.0f);
    }

    // The menu's frame: its update, then the window is drawn.
    void Frame(float seconds)
    {
        m_menu->Update(seconds);
        m_window.Render();
    }

    // Where the point (u, v) of the right-hand page of the first spread lies in the window (0 to 1).
    Ogre::Vector2 OnRightPage(float u, float v) const
    {
        const Ogre::Vector3 world = m_sceneManager->getSceneNode("_page3")->_getDerivedPosition() +
                                    Ogre::Vector3(u * 56.0f, 31.0f - v * 62.0f, 0.3f);
        const Ogre::Camera& camera = *m_menu->GetBook().GetCamera();
        const Ogre::Vector3 clip = camera.getProjectionMatrix() * (camera.getViewMatrix() * world);
        return Ogre::Vector2((clip.x + 1.0f) * 0.5f, (1.0f - clip.y) * 0.5f);
    }

    // Whether the entry is highlighted after the pointer went to the page's point.
    bool HighlightsAt(size_t entry, float u, float v)
    {
        const Ogre::Vector2 point = OnRightPage(u, v);
        m_menu->OnMouseMoved(point.x, point.y, 0.0f);
        return m_menu->FindPage("MainPage")->at(entry).highlighted;
    }

    OverlayWindow m_window{WIDTH, HEIGHT};
    LogCapture m_log;
    cl_LuaScriptSystem m_script;
    ManualGameTime m_gameTime{m_script};
    cl_ValueSourceManager m_valueSources{m_script, m_gameTime};
    cl_ControllerManager m_controllers;
    Ogre::SceneManager* m_sceneManager = nullptr;
    std::unique_ptr<cl_MainMenu> m_menu;
};

TEST_F(Book, TheClosedBookShowsItsCoverAndOpensWithTheFirstPage)
{
    Open("<mainmenu/>", "");
    EXPECT_EQ(m_menu->GetBook().GetZoom(), MenuBook::CLOSED_ZOOM);
    for (const char* entity : {"_page1", "_page2", "_page3", "_page4", "_page5"})
        EXPECT_TRUE(m_sceneManager->hasEntity(entity)) << entity;
    EXPECT_TRUE(m_sceneManager->hasLight("_Omni03"));
    EXPECT_FALSE(m_log.Contains("There is no")) << "every mesh and picture of the demo is there";

    // The cover lies over the right-hand side: a click there hits no page.
    Ogre::Vector2 uv = Ogre::Vector2::ZERO;
    EXPECT_EQ(m_menu->GetBook().Pick(0.75f, 0.5f, uv), -1);

    m_menu->OnMouseReleased(0);
    EXPECT_EQ(m_menu->GetPageStack().size(), 2u);
    Frame(0.5f);
    EXPECT_LT(m_menu->GetBook().GetZoom(), MenuBook::CLOSED_ZOOM);
    Frame(0.49f);
    EXPECT_NEAR(m_menu->GetBook().GetZoom(), MenuBook::OPEN_ZOOM, 0.001f);
    // Open now: the right-hand side shows the stack's second page.
    EXPECT_EQ(m_menu->GetBook().Pick(OnRightPage(0.5f, 0.5f).x, OnRightPage(0.5f, 0.5f).y, uv), 1);
    EXPECT_NEAR(uv.x, 0.5f, 0.01f);
    EXPECT_NEAR(uv.y, 0.5f, 0.01f);

    m_menu->DestroyScene();
    for (const char* name : {"_page1", "_menu", "_backdrop", "_Omni01"})
        EXPECT_FALSE(m_sceneManager->hasSceneNode(name)) << name;
    EXPECT_FALSE(m_sceneManager->hasLight("_Omni03"));
    EXPECT_EQ(cl_ValueSourceManager::GetInstance()->GetFloatSource("Omni03_source"), nullptr);
    EXPECT_EQ(cl_ControllerManager::GetInstance()->GetController("Omni03_controller"), nullptr);
}

TEST_F(Book, TheBoxOfAnEntryUnderThePointerFollowsItsAlignment)
{
    Open(R"(<mainmenu><page id="MainPage">
            <entry left="0.2" top="0.2" width="0.2" height="0.1" isImage="true" event="a">left</entry>
            <entry left="0.5" top="0.4" width="0.2" height="0.1" isImage="true" event="b" align="center">centre</entry>
            <entry left="0.9" top="0.6" width="0.2" height="0.1" isImage="true" event="c" align="right">right</entry>
            <entry left="0.1" top="0.8" width="0.8" height="0.1" isImage="true">no event</entry>
        </page></mainmenu>)",
         "MainPage");
    const struct
    {
        const char* name;
        size_t entry;
        float u;
        float v;
        bool highlighted;
    } cases[] = {
        {"left: inside", 0, 0.3f, 0.25f, true},
        {"left: before its x", 0, 0.15f, 0.25f, false},
        {"left: beyond its width", 0, 0.45f, 0.25f, false},
        {"left: below its height", 0, 0.3f, 0.33f, false},
        {"centre: inside on the left of x", 1, 0.42f, 0.45f, true},
        {"centre: before x - width / 2", 1, 0.37f, 0.45f, false},
        {"centre: after x + width / 2", 1, 0.63f, 0.45f, false},
        {"right: inside before x", 2, 0.85f, 0.65f, true},
        {"right: before x - width", 2, 0.67f, 0.65f, false},
        {"right: after x", 2, 0.93f, 0.65f, false},
        {"an entry without event", 3, 0.5f, 0.85f, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HighlightsAt(c.entry, c.u, c.v), c.highlighted) << c.name;
}

TEST_F(Book, APageFlipTurnsTheLeafToTheLeft)
{
    Open("<mainmenu/>", "MainPage");
    m_menu->GoToPage("Preferences");
    const Ogre::Entity& leaf = *m_sceneManager->getEntity("_page3");
    ASSERT_TRUE(leaf.getAnimationState("blaettern_seite2")->getEnabled());
    Frame(0.4f);
    Ogre::Vector2 uv = Ogre::Vector2::ZERO;
    // Halfway the leaf stands upright: the right-hand side shows the last page.
    EXPECT_EQ(m_menu->GetBook().Pick(OnRightPage(0.8f, 0.5f).x, OnRightPage(0.8f, 0.5f).y, uv), 3);
    Frame(1.0f);
    // The leaf's back is now the left-hand page.
    const Ogre::Vector2 left = OnRightPage(-0.5f, 0.5f);
    EXPECT_EQ(m_menu->GetBook().Pick(left.x, left.y, uv), 2);
    EXPECT_NEAR(uv.x, 0.5f, 0.02f);

    // Back a spread: the leaf turns back to the right.
    m_menu->GoToPage("last");
    Frame(1.0f);
    EXPECT_EQ(m_menu->GetBook().Pick(left.x, left.y, uv), 0);
    EXPECT_EQ(m_menu->GetBook().Pick(OnRightPage(0.5f, 0.5f).x, OnRightPage(0.5f, 0.5f).y, uv), 1);
}

TEST_F(Book, EachPageOfTheStackIsDrawnIntoItsTextureAndShowsOnTheBook)
{
    Open(
        R"(<mainmenu><page id="MainPage"><entry left="0.5" top="0.2" align="center">Neues Spiel</entry></page>
            <page id="MainPage_left"><entry left="0.1" top="0.6">Willkommen</entry></page></mainmenu>)",
        "MainPage");
    // The texts' pixels, by stack position: the left-hand page low, the right-hand page high.
    const auto drawnRows = [](int position)
    {
        const std::vector<uint8_t> pixels = TexturePixels(*Ogre::TextureManager::getSingleton().getByName(
            "_MainMenuPageTexture" + std::to_string(position), "INTERFACEDATA"));
        std::pair<int, int> rows{1024, -1};
        for (int y = 0; y < 1024; ++y)
            for (int x = 0; x < 1024; ++x)
                if (pixels[static_cast<size_t>((y * 1024 + x) * 4) + 3] > 0)
                    rows = {std::min(rows.first, y), std::max(rows.second, y)};
        return rows;
    };
    const std::pair<int, int> left = drawnRows(0);
    const std::pair<int, int> right = drawnRows(1);
    EXPECT_GE(left.first, 600);
    EXPECT_LE(left.second, 720);
    EXPECT_GE(right.first, 200);
    EXPECT_LE(right.second, 320);
    EXPECT_EQ(drawnRows(2).second, -1) << "a position the stack does not use is clear";

    // On the screen, the right-hand page's text stands dark on the painted paper where the texture has it.
    Frame(0.1f);
    const Ogre::Vector2 topLeft = OnRightPage(0.0f, 0.0f);
    const Ogre::Vector2 bottomRight = OnRightPage(1.0f, 1.0f);
    int darkAbove = 0;
    int darkBelow = 0;
    // A few pixels inside the page's edges, off the painted binding.
    for (int y = static_cast<int>(topLeft.y * HEIGHT) + 3; y < static_cast<int>(bottomRight.y * HEIGHT) - 3;
         ++y)
    {
        for (int x = static_cast<int>(topLeft.x * WIDTH) + 3; x < static_cast<int>(bottomRight.x * WIDTH) - 3;
             ++x)
        {
            const Ogre::ColourValue pixel = m_window.Pixel(x, y);
            if (pixel.r + pixel.g + pixel.b < 0.8f)
                ++(y < (topLeft.y + 0.35f * (bottomRight.y - topLeft.y)) * HEIGHT ? darkAbove : darkBelow);
        }
    }
    EXPECT_GT(darkAbove, 20) << "the text near the page's top";

    EXPECT_EQ(darkBelow, 0) << "paper elsewhere";
}

TEST_F(Book, ArtNobodyShippedIsNamedAndLeftOut)
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    for (const char* folder : {"", "/textures"})
        groups.removeResourceLocation(std::string(QUILLMERE_BUILT_DEMO_DIR "data/interface") + folder,
                                      "INTERFACEDATA");
    Open("<mainmenu/>", "MainPage");
    for (const char* art :
         {"seite1-front.mesh", "seite1-back.mesh", "seite2-front.mesh", "seite2-back.mesh", "seite3.mesh",
          "menu_back01.dds", "menu_back02.dds", "menu_back03.dds", "menu_back04.dds", "menu_lightmap01.dds"})
        EXPECT_TRUE(m_log.Contains(art, cl_Logger::LEVEL_ERROR)) << art;
    EXPECT_FALSE(m_sceneManager->hasEntity("_page1"));
    // The rest stands: the lights and their flicker, the page stack, and a book where nothing is picked.
    EXPECT_TRUE(m_sceneManager->hasLight("_Omni03"));
    EXPECT_EQ(m_menu->GetPageStack().size(), 2u);
    Ogre::Vector2 uv;
    EXPECT_EQ(m_menu->GetBook().Pick(0.75f, 0.5f, uv), -1);
    m_menu->GoToPage("Preferences");
    Frame(0.5f);
    m_menu->DestroyScene();
    EXPECT_FALSE(m_sceneManager->hasLight("_Omni03"));
}
} // namespace
