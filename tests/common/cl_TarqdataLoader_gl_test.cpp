#include "common/cl_TarqdataLoader.h"

#include "assets/cl_GameState.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_SpokentextAsset.h"
#include "assets/cl_SpokentextPool.h"
#include "common/cl_CommandDistributor.h"
#include "common/cl_Config.h"
#include "common/cl_Localizer.h"
#include "gui/cl_GUISystem.h"
#include "gui/cl_TarqTextAreaOverlayElementFactory.h"
#include "support/GlRenderSystem.h"
#include "support/LoadedLibraries.h"
#include "support/LogCapture.h"
#include "support/RecordingParser.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreViewport.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
using Names = std::vector<std::string>;

// Stands for the pool manager: notes what the chapter switch asks of it and what the screen shows then.
class RecordingPoolReloader : public IPoolReloader
{
public:
    explicit RecordingPoolReloader(Ogre::Viewport*& viewport) : m_viewport(viewport) {}

    void ReloadPools(const std::string& chapterFolder, const std::string& commonFolder,
                     ILoadingProgress* progress) override
    {
        m_chapterFolder = chapterFolder;
        m_commonFolder = commonFolder;
        m_progress = progress;
        m_cameraWhileLoading = m_viewport->getCamera()->getName();
        m_mouseHiddenWhileLoading = cl_GUISystem::GetInstance()->GetIngameMenu().IsMouseHidden();
    }

    Ogre::Viewport*& m_viewport;
    std::string m_chapterFolder;
    std::string m_commonFolder;
    ILoadingProgress* m_progress = nullptr;
    std::string m_cameraWhileLoading;
    bool m_mouseHiddenWhileLoading = false;
};

// OGRE with a small render window and its main viewport on a game camera, the settings over a temporary
// data folder, and the subsystems the chapter loading reaches.
class ChapterLoading : public testing::Test
{
protected:
    void SetUp() override
    {
        m_logManager = std::make_unique<Ogre::LogManager>();
        m_logManager->createLog("test.log", true, false, true);
        m_root = std::make_unique<Ogre::Root>("", "", "");
        // The chapter loading screen draws overlays.
        m_overlaySystem = std::make_unique<Ogre::OverlaySystem>();
        UseGlRenderSystem(*m_root);
        m_root->getRenderSystem()->setConfigOption("Video Mode", "640 x 480");
        Ogre::RenderWindow* window = m_root->initialise(true, "chapter loading");
        KeepLoadedLibraries();
        Ogre::SceneManager* game = m_root->createSceneManager();
        m_gameCamera = game->createCamera("LocationCam");
        m_viewport = window->addViewport(m_gameCamera);

        m_config = std::make_unique<cl_Config>(m_folder.PathOf("user/"), m_folder.PathOf("work/"),
                                               m_folder.PathOf(""));
        m_config->SetValue("gamedata", "gamedata");
        m_config->SetValue("pimbdata", "pimb");
        // The loading screen's art, in the interface's group as in the program.
        for (const char* folder : {"", "materials", "textures"})
            Ogre::ResourceGroupManager::getSingleton().addResourceLocation(
                std::string(QUILLMERE_BUILT_DEMO_DIR "data/interface/") + folder, "FileSystem",
                "INTERFACEDATA");
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation("/usr/share/fonts/truetype/dejavu",
                                                                       "FileSystem", "INTERFACEDATA");
        Ogre::ResourceGroupManager::getSingleton().initialiseResourceGroup("INTERFACEDATA");
        cl_TarqTextAreaOverlayElementFactory::AddTo(Ogre::OverlayManager::getSingleton());
        m_loader = std::make_unique<cl_TarqdataLoader>();
        Ogre::ResourceGroupManager::getSingleton()._registerScriptLoader(m_loader.get());
        m_loader->RegisterParser("marker", &m_markers);
        // One parser under two names is told of a group once.
        m_loader->RegisterParser("other", &m_others);
        m_loader->RegisterParser("more", &m_others);
        m_gameState.SetPoolReloader(&m_pools);
        m_gui = std::make_unique<cl_GUISystem>(m_distributor);
        m_localizer = std::make_unique<cl_Localizer>();

        m_folder.WriteFile("gamedata/chapter1/data.tdf",
                           "<tarqdata><marker name='chapter'/><other name='chapter'/></tarqdata>");
        m_folder.WriteFile("gamedata/chapter1/tokens.csv", "hello;Hallo\n");
        m_folder.WriteFile("gamedata/lang/de/chapter1/speech.tdf",
                           "<tarqdata><marker name='chapter speech'/></tarqdata>");
        m_folder.WriteFile("gamedata/lang/de/voices/voices.tdf",
                           "<tarqdata><marker name='speech'/></tarqdata>");
        m_loader->ParseTdf("GAMEDATA",
                           "<tarqdata><chapterdata id='chapter1' subtitle='sub'>"
                           "<pimbdata>chapter1</pimbdata>"
                           "<resourcelocation>chapter1</resourcelocation>"
                           "<speachlocation>voices</speachlocation>"
                           "<language>tokens.csv</language>"
                           "</chapterdata></tarqdata>",
                           "chapters.tdf", false);
    }
    void TearDown() override
    {
        m_localizer.reset();
        m_gui.reset();
        m_gameState.SetPoolReloader(nullptr);
        m_loader.reset();
        m_config.reset();
        m_overlaySystem.reset();
        m_root.reset();
        m_logManager.reset();
    }

    static bool GroupExists(const char* group)
    {
        return Ogre::ResourceGroupManager::getSingleton().resourceGroupExists(group);
    }

    TemporaryFolder m_folder;
    LogCapture m_log;
    std::unique_ptr<Ogre::LogManager> m_logManager;
    std::unique_ptr<Ogre::Root> m_root;
    std::unique_ptr<Ogre::OverlaySystem> m_overlaySystem;
    Ogre::Camera* m_gameCamera = nullptr;
    Ogre::Viewport* m_viewport = nullptr;
    cl_CommandDistributor m_distributor;
    std::unique_ptr<cl_Config> m_config;
    std::unique_ptr<cl_TarqdataLoader> m_loader;
    RecordingParser m_markers;
    RecordingParser m_others;
    cl_GameState m_gameState;
    RecordingPoolReloader m_pools{m_viewport};
    std::unique_ptr<cl_GUISystem> m_gui;
    std::unique_ptr<cl_Localizer> m_localizer;
};

TEST_F(ChapterLoading, LoadsTheChapterGroupsBehindTheLoadingScene)
{
    m_loader->LoadChapter("chapter1");

    EXPECT_TRUE(GroupExists("SPEACHDATA"));
    EXPECT_TRUE(GroupExists("CHAPTERDATA"));
    // The speech group first; the chapter group takes each folder from gamedata and from the speech folder
    // of the language ("de" while the setting is absent).
    ASSERT_EQ(m_markers.Names(), (Names{"speech", "chapter", "chapter speech"}));
    EXPECT_EQ(m_markers.m_parsed[0].group, "SPEACHDATA");
    EXPECT_EQ(m_markers.m_parsed[1].group, "CHAPTERDATA");
    EXPECT_EQ(m_markers.m_parsed[2].group, "CHAPTERDATA");

    EXPECT_EQ(m_pools.m_chapterFolder, m_folder.PathOf("pimb/chapter1/"));
    EXPECT_EQ(m_pools.m_commonFolder, m_folder.PathOf("pimb/common/"));
    EXPECT_NE(m_pools.m_progress, nullptr);
    EXPECT_EQ(m_localizer->FindToken("hello"), "Hallo");

    // While loading, the loading scene shows and the pointer is hidden; afterwards both are as before.
    EXPECT_EQ(m_pools.m_cameraWhileLoading, "loadingscreencam");
    EXPECT_TRUE(m_pools.m_mouseHiddenWhileLoading);
    EXPECT_EQ(m_viewport->getCamera(), m_gameCamera);
    EXPECT_FALSE(m_root->hasSceneManager("loading_screen"));
    EXPECT_FALSE(m_gui->GetIngameMenu().IsMouseHidden());
    EXPECT_TRUE(m_log.Lines().empty()) << m_log.Lines()[0].text;
}

TEST_F(ChapterLoading, LeafIdFilesGoToTheSpokenTexts)
{
    m_folder.WriteFile(
        "pimb/voiced/spokentexts.xml",
        "<assetpool><asset id='spokentexts_hello'><content>Hallo</content></asset></assetpool>");
    m_folder.WriteFile("gamedata/voiced/leafids.txt",
                       "spokentexts_hello;hello_leaf\nspokentexts_gone;gone\n");
    m_loader->ParseTdf("GAMEDATA",
                       "<tarqdata><chapterdata id='voiced'><pimbdata>voiced</pimbdata>"
                       "<resourcelocation>voiced</resourcelocation><leafids>leafids.txt</leafids>"
                       "</chapterdata></tarqdata>",
                       "chapters.tdf", false);
    // The real pool manager takes the chapter switch over from the recording one while it lives.
    cl_PoolManager pools(m_distributor);
    m_loader->LoadChapter("voiced");

    const auto* hello =
        dynamic_cast<const cl_SpokentextAsset*>(pools.GetSpokentextPool()->FindAsset("spokentexts_hello"));
    ASSERT_NE(hello, nullptr);
    EXPECT_EQ(hello->GetLeafId(), "hello_leaf");
    EXPECT_TRUE(m_log.Contains("Spokenttext 'spokentexts_gone' not found.", cl_Logger::LEVEL_ERROR));
}

TEST_F(ChapterLoading, UnloadTellsEveryParserOnceAndDestroysTheGroups)
{
    m_loader->LoadChapter("chapter1");
    EXPECT_TRUE(m_loader->UnloadChapter("chapter1"));

    EXPECT_FALSE(GroupExists("CHAPTERDATA"));
    EXPECT_FALSE(GroupExists("SPEACHDATA"));
    EXPECT_EQ(m_markers.m_unloaded, (Names{"CHAPTERDATA", "SPEACHDATA"}));
    EXPECT_EQ(m_others.m_unloaded, (Names{"CHAPTERDATA", "SPEACHDATA"}));
    EXPECT_TRUE(m_log.Contains("Unloaded chapter.", cl_Logger::LEVEL_INFO));
}

TEST_F(ChapterLoading, LoadingAgainWithoutUnloadReplacesTheLeftGroups)
{
    m_loader->LoadChapter("chapter1");
    m_markers.m_parsed.clear();
    m_loader->LoadChapter("chapter1");

    EXPECT_TRUE(m_log.Contains("'CHAPTERDATA' was still there", cl_Logger::LEVEL_WARNING));
    EXPECT_TRUE(m_log.Contains("'SPEACHDATA' was still there", cl_Logger::LEVEL_WARNING));
    EXPECT_EQ(m_markers.m_unloaded, (Names{"CHAPTERDATA", "SPEACHDATA"}));
    EXPECT_EQ(m_markers.Names(), (Names{"speech", "chapter", "chapter speech"}));
    EXPECT_TRUE(GroupExists("CHAPTERDATA"));
}

TEST_F(ChapterLoading, MissingArchivesAndUnknownChaptersAreLoggedAndPassedOver)
{
    m_loader->ParseTdf("GAMEDATA",
                       "<tarqdata><chapterdata id='broken'><pimbdata>chapter1</pimbdata>"
                       "<resourcelocation type='Zip'>missing.zip</resourcelocation>"
                       "<resourcelocation>chapter1</resourcelocation>"
                       "<language>missing.csv</language>"
                       "</chapterdata></tarqdata>",
                       "chapters.tdf", false);
    m_loader->LoadChapter("broken");
    EXPECT_TRUE(m_log.Contains("missing.zip", cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(m_log.Contains("missing.csv", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_markers.Names(), (Names{"chapter", "chapter speech"}));

    m_loader->UnloadChapter("broken");
    m_loader->LoadChapter("unknown");
    EXPECT_TRUE(GroupExists("CHAPTERDATA"));
    Names ids;
    m_loader->GetChapterIds(ids);
    EXPECT_EQ(ids, (Names{"broken", "chapter1"}));
    EXPECT_EQ(m_viewport->getCamera(), m_gameCamera);
}
} // namespace
