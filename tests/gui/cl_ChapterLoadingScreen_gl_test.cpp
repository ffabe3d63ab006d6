#include "gui/cl_ChapterLoadingScreen.h"

#include "gui/cl_GameLoadingScreen.h"
#include "support/LogCapture.h"
#include "support/OverlayWindow.h"
#include "support/TexturePixels.h"

#include <gtest/gtest.h>

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreRenderWindow.h>
#include <OgreSceneManager.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreTextureUnitState.h>
#include <OgreViewport.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>

#include <string>
#include <vector>

namespace
{
// The loading screens on the demo's art in a window of 400 x 300, the chapter's page in a scene manager
// with the loading camera, as the chapter load builds it.
class LoadingScreens : public testing::Test
{
protected:
    void SetUp() override
    {
        m_window.Render();
        m_window.SceneManager().createCamera("loadingscreencam");
    }

    // Feeds the notifications of a chapter load up to half of the bar: two groups parsed and loaded.
    static void LoadGroups(cl_LoadingScreen& screen)
    {
        for (int group = 0; group < 2; ++group)
        {
            screen.resourceGroupScriptingStarted("group", 1);
            screen.scriptParseEnded("script", false);
            screen.resourceGroupScriptingEnded("group");
            screen.resourceGroupLoadStarted("group", 0);
            screen.resourceGroupLoadEnded("group");
        }
    }

    static std::vector<uint8_t> Page()
    {
        return TexturePixels(
            *Ogre::TextureManager::getSingleton().getByName("_LoadingBarRTTTexture", "INTERFACEDATA"));
    }

    OverlayWindow m_window{400, 300};
    LogCapture m_log;
};

TEST_F(LoadingScreens, TheChapterPageShowsTheBarAndPercentageOfTheProgress)
{
    cl_ChapterLoadingScreen screen("chapter1_title", &m_window.SceneManager(), "Kapitel 1",
                                   "chapter1_illu.png");
    screen.SetRenderWindow(&m_window.Window());
    screen.SetShares(0.5f, 2, 2, 1);
    screen.OnStart();
    EXPECT_TRUE(Ogre::OverlayManager::getSingleton().getByName("ChapterLoadScreen")->isVisible());
    EXPECT_TRUE(m_window.SceneManager().hasEntity("_ChapterLoadingPlaneEntity"));
    EXPECT_EQ(m_window.SceneManager().getEntity("_ChapterLoadingPlaneEntity")->getRenderQueueGroup(), 101);
    LoadGroups(screen);
    ASSERT_NEAR(screen.GetProgress(), 0.5f, 1e-5f);

    const std::map<std::string, cl_CanvasItem>& items = screen.GetItems();
    EXPECT_NEAR(items.at("bar").width, 0.305175f, 1e-5f);
    EXPECT_EQ(items.at("bar").params.at("uv_coords"), "0 0 0.500000 1");
    EXPECT_EQ(items.at("percentage").text, "50%");
    EXPECT_EQ(items.at("info").text, "LoadingScreenFlavor2") << "no localizer: the key itself";

    // The bar's colour on the page, from its left to half of its full width.
    const std::vector<uint8_t> page = Page();
    const auto bar = [&](int x)
    {
        const uint8_t* pixel = &page[static_cast<size_t>((940 * 1024 + x) * 4)];
        return pixel[0] > 120 && pixel[0] < 180 && pixel[1] > 60 && pixel[1] < 120 && pixel[3] > 200;
    };
    EXPECT_FALSE(bar(140));
    EXPECT_TRUE(bar(155));
    EXPECT_TRUE(bar(450));
    EXPECT_FALSE(bar(470));
    // The percentage ends at its x.
    bool percentDrawn = false;
    for (int y = 912; y < 968; ++y)
        for (int x = 780; x < 864; ++x)
            percentDrawn = percentDrawn || page[static_cast<size_t>((y * 1024 + x) * 4) + 3] > 0;
    EXPECT_TRUE(percentDrawn);

    // The window's frames leave the page as the screen drew it.
    m_window.Window().getViewport(0)->setCamera(m_window.SceneManager().getCamera("loadingscreencam"));
    m_window.Render();
    EXPECT_EQ(Page(), page);

    screen.OnEnd();
    EXPECT_FALSE(Ogre::OverlayManager::getSingleton().getByName("ChapterLoadScreen"));
    EXPECT_FALSE(Ogre::OverlayManager::getSingleton().hasOverlayElement("ChapterLoadScreen/Screen1"));
    EXPECT_FALSE(m_window.SceneManager().hasEntity("_ChapterLoadingPlaneEntity"));
    EXPECT_TRUE(m_log.Lines().empty()) << m_log.Lines()[0].text;
}

TEST_F(LoadingScreens, ASecondChapterLoadExchangesOnlyTheIllustration)
{
    for (const char* illustration : {"chapter1_illu.png", "chapter_illu_chapter1.png"})
    {
        cl_ChapterLoadingScreen screen("", &m_window.SceneManager(), "", illustration);
        screen.OnStart();
        screen.OnEnd();
    }
    const Ogre::MaterialPtr material =
        Ogre::MaterialManager::getSingleton().getByName("_LoadingBarRTT", "INTERFACEDATA");
    ASSERT_TRUE(material);
    ASSERT_EQ(material->getTechnique(0)->getNumPasses(), 2u);
    EXPECT_EQ(material->getTechnique(0)->getPass(1)->getTextureUnitState(0)->getTextureName(),
              "chapter_illu_chapter1.png");
}

TEST_F(LoadingScreens, AnOverlayOfTheScreensNameIsLoggedAndLoadingGoesOn)
{
    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    overlays.create("ChapterLoadScreen");
    overlays.create("GameLoadScreen");
    cl_ChapterLoadingScreen chapter("", &m_window.SceneManager(), "", "");
    chapter.SetShares(0.5f, 2, 2, 1);
    chapter.OnStart();
    LoadGroups(chapter);
    EXPECT_EQ(chapter.GetItems().at("percentage").text, "50%") << "the page is drawn all the same";
    chapter.OnEnd();

    cl_GameLoadingScreen game;
    game.SetShares(0.0f, 2, 2, 0);
    game.OnStart();
    EXPECT_EQ(game.GetBar(), nullptr);
    LoadGroups(game);
    game.OnEnd();
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 2u);
    EXPECT_TRUE(m_log.Contains("Cannot create loading overlay"));
    EXPECT_TRUE(overlays.getByName("ChapterLoadScreen")) << "the overlay that was there stays";
}

TEST_F(LoadingScreens, TheStartUpBarGrowsToItsFullWidth)
{
    cl_GameLoadingScreen screen;
    screen.SetRenderWindow(&m_window.Window());
    screen.SetShares(0.0f, 1, 1, 0);
    screen.OnStart();
    ASSERT_NE(screen.GetBar(), nullptr);
    EXPECT_EQ(screen.GetBar()->getWidth(), 0.0f);
    screen.resourceGroupScriptingStarted("group", 0);
    screen.resourceGroupScriptingEnded("group");
    EXPECT_NEAR(screen.GetBar()->getWidth(), 0.8f * 0.7f, 1e-5f);
    screen.resourceGroupLoadStarted("group", 0);
    screen.resourceGroupLoadEnded("group");
    EXPECT_NEAR(screen.GetBar()->getWidth(), 0.8f, 1e-5f);
    screen.OnEnd();
    EXPECT_FALSE(Ogre::OverlayManager::getSingleton().getByName("GameLoadScreen"));
}
} // namespace
