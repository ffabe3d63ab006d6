#include "support/SceneWorld.h"

#include "common/XmlParse.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_Scene.h"
#include "support/SceneStandIns.h"
#include "support/TemporaryFolder.h"
#include "support/TestBody.h"

#include <OgreCamera.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

namespace
{
const char* const CHAPTER = QUILLMERE_TEST_DATA "graphics/scenes/";
} // namespace

SceneWorld::SceneWorld(Chapter chapter) : m_chapter(chapter)
{
    ogreCamera = SceneManager().createCamera("LocationCam");
    ogreCamera->setAspectRatio(4.0f / 3.0f);
    root = SceneManager().getRootSceneNode()->createChildSceneNode("_game");
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    if (chapter == TEST_CHAPTER)
    {
        assets.LoadChapter(CHAPTER);
        EXPECT_TRUE(assets.LoadGameState(ReadTextFile(std::string(CHAPTER) + "gamestate.xml")));
        groups.addResourceLocation(CHAPTER, "FileSystem", "GAMEDATA");
        return;
    }
    // The game's Lua has the table of its script variables from the start.
    assets.script.ExecuteString("_globals = {}");
    assets.LoadChapter(DemoChapterFolder());
    EXPECT_TRUE(assets.LoadGameState(DemoNewGameState()));
    // The common data's scripts name programs, which OGRE reads only with a render system.
    groups.addResourceLocation(QUILLMERE_BUILT_DEMO_DIR "data/chapter1", "FileSystem", "CHAPTERDATA");
    groups.initialiseResourceGroup("CHAPTERDATA");
    // The game's camera.
    ogreCamera->setFOVy(Ogre::Degree(33.75f));
    characters.Init(&SceneManager());
    // The chapter's data files, each element to its parser.
    const struct
    {
        const char* file;
        const char* element;
        ITarqdataParser& parser;
    } files[] = {{"scenes.tdf", "scene", scenes},
                 {"characters.tdf", "character", characters},
                 {"items.tdf", "item", items}};
    for (const auto& file : files)
    {
        TiXmlDocument document;
        EXPECT_TRUE(
            LoadXmlFile(document, std::string(QUILLMERE_BUILT_DEMO_DIR "data/chapter1/") + file.file));
        const TiXmlElement* top = document.RootElement();
        for (const TiXmlElement* element = top ? top->FirstChildElement(file.element) : nullptr; element;
             element = element->NextSiblingElement(file.element))
            file.parser.ParseElement(element, "CHAPTERDATA", false);
    }
    scenes.CreateCurtain(&SceneManager(), ogreCamera);
}

SceneWorld::~SceneWorld()
{
    if (m_chapter == DEMO_CHAPTER)
        scenes.UnloadScene();
    else if (cl_Scene* scene = scenes.GetLoadedScene())
        loader.UnloadScene(*scene, false);
    camera.Reset();
    scenes.SetLoadedScene(nullptr);
    items.UnloadItems();
    characters.UnloadCharacters();
}

cl_Scene& SceneWorld::PutScene(const std::string& xml)
{
    TiXmlDocument document;
    document.Parse(xml.c_str());
    EXPECT_FALSE(document.Error()) << document.ErrorDesc() << " in " << xml;
    TiXmlElement empty("scene");
    auto scene = std::make_unique<cl_Scene>(document.RootElement() ? *document.RootElement() : empty);
    scene->SetSceneManager(&SceneManager());
    scene->SetCamera(ogreCamera);
    scenes.SetLoadedScene(std::move(scene));
    return Scene();
}

cl_Scene& SceneWorld::LoadScene(const std::string& xml, int qualityLevel)
{
    cl_Scene& scene = PutScene(xml);
    loader.LoadScene(scene, qualityLevel, false, "default");
    return scene;
}

void SceneWorld::UnloadScene(bool keepCharacters)
{
    loader.UnloadScene(Scene(), keepCharacters);
}

cl_Scene& SceneWorld::Scene() const
{
    return *scenes.GetLoadedScene();
}

cl_SceneObject& SceneWorld::AddItem(const std::string& id)
{
    return *items.AddSceneItem(MakeTestBody(SceneManager(), id))->sceneItem;
}

cl_Character& SceneWorld::AddCharacter(const std::string& id)
{
    return *characters.AddCharacter(MakeTestBody(SceneManager(), id));
}

std::string SceneWorld::Mesh(const std::string& name)
{
    return MakeFlatMesh(name);
}

void SceneWorld::Record(const std::string& call, const TiXmlElement* element)
{
    calls.push_back(element ? call : call + " none");
    if (onCall)
        onCall(calls.back());
}

SceneWorld::Triggers::Triggers(SceneWorld& world) : cl_TriggerManager(world.assets.script), m_world(world) {}

void SceneWorld::Triggers::LoadFromXml(const TiXmlElement* element)
{
    m_world.Record("triggers load", element);
}

void SceneWorld::Triggers::RemoveByXml(const TiXmlElement* element)
{
    m_world.Record("triggers remove", element);
}

SceneWorld::Effects::Effects(SceneWorld& world) : cl_EffectManager(world.assets.script), m_world(world) {}

void SceneWorld::Effects::LoadEffects(const TiXmlElement* element, const QualityTest&, Ogre::SceneManager*)
{
    m_world.Record("effects load", element);
}

void SceneWorld::Effects::UnloadEffects(const TiXmlElement* element)
{
    m_world.Record("effects unload", element);
}
