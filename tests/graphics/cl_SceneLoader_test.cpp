#include "graphics/cl_SceneLoader.h"

#include "assets/cl_SceneAsset.h"
#include "common/cl_Command.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_Scene.h"
#include "sound/cl_SoundMixer.h"
#include "support/FunctionReceiver.h"
#include "support/HeadlessTextures.h"
#include "support/SceneStandIns.h"
#include "support/SceneWorld.h"

#include <gtest/gtest.h>

#include <OgreAnimation.h>
#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreMaterialManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <climits>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace
{
using Calls = std::vector<std::string>;

// A `scene` element of location A around the body.
std::string SceneA(const std::string& body, const std::string& attributes = "")
{
    return "<scene assetref=\"scenes_a\" " + attributes + ">" + body + "</scene>";
}

// A backdrop whose camera is the document's camera "cam", looking straight down from (0, 500, 0).
const char* const BACKDROP = R"(
    <backdrop name="default" width="800" height="600" fov="horizontal" cam="cam"/>)";
const char* const CAMERA = R"(
    <cameras><camera name="cam" FOV="0.8"><position x="0" y="500" z="0"/>
        <rotation x="0" y="0" z="0" w="1"/></camera></cameras>)";

class SceneLoading : public testing::Test
{
protected:
    SceneWorld m_world;
    cl_SceneLoader& m_loader = m_world.loader;
};
} // namespace

TEST_F(SceneLoading, AnEmptySceneLoadsWithTheDefaultsAndTellsOnlyItsTime)
{
    m_world.assets.log.Clear();
    cl_Scene& scene = m_world.LoadScene("<scene assetref=\"scenes_b\"/>");
    EXPECT_EQ(scene.GetEnvironmentParameters().type, ENVIRONMENT_OPEN);
    EXPECT_EQ(scene.GetEnvironmentParameters().running, 1.0f);
    EXPECT_EQ(scene.GetEnvironmentParameters().navmeshRim, 0.0f);
    EXPECT_EQ(scene.GetEnvironmentParameters().surface, 0);
    EXPECT_TRUE(m_loader.GetQualityConstraints().empty());
    EXPECT_TRUE(scene.GetBackdrops().empty());
    EXPECT_FALSE(scene.IsExitArmed());
    EXPECT_FALSE(scene.IsOverlay());
    // Of the loader only its time; placing the current character may tell of loading him.
    EXPECT_EQ(m_world.assets.log.Count(cl_Logger::LEVEL_ERROR) +
                  m_world.assets.log.Count(cl_Logger::LEVEL_WARNING),
              0u);
    size_t loaderLines = 0;
    for (const LogCapture::Line& line : m_world.assets.log.Lines())
        loaderLines += line.text.find("cl_SceneLoader") != std::string::npos;
    EXPECT_EQ(loaderLines, 1u);
    EXPECT_TRUE(m_world.assets.log.Contains("Loading Scene took 0 ms", cl_Logger::LEVEL_INFO));
    EXPECT_EQ(m_world.calls, (Calls{"triggers load none", "effects load none"}));
}

TEST_F(SceneLoading, TheSceneElementsValuesAndTheirEdgeCases)
{
    struct Case
    {
        const char* name;
        std::string xml;
        std::function<void(const cl_Scene&)> check;
    };
    const auto parameters = [](const cl_Scene& scene) { return scene.GetEnvironmentParameters(); };
    const Case cases[] = {
        {"a border exit", SceneA(R"(<exit type="border" target="scenes_b"/>)"),
         [](const cl_Scene& scene)
         {
             EXPECT_TRUE(scene.IsExitArmed());
             EXPECT_EQ(scene.GetExitTarget(), "scenes_b");
         }},
        {"a second exit is ignored",
         SceneA(R"(<exit type="door" target="scenes_b"/><exit type="border" target="x"/>)"),
         [](const cl_Scene& scene) { EXPECT_FALSE(scene.IsExitArmed()); }},
        {"an overlay", SceneA("", "isOverlay=\"true\""),
         [](const cl_Scene& scene) { EXPECT_TRUE(scene.IsOverlay()); }},
        {"an overlay is exactly true", SceneA("", "isOverlay=\"True\""),
         [](const cl_Scene& scene) { EXPECT_FALSE(scene.IsOverlay()); }},
        {"a click object's key is its asset and position",
         SceneA(R"(<clickobjects><clickobject name="co_x" asset="a" position="b"/>
                   <clickobject name="co_y" asset="a" position="b"/></clickobjects>)"),
         [](const cl_Scene& scene) {
             EXPECT_EQ(scene.GetClickObjects(), (std::map<std::string, std::string>{{"ab", "co_y"}}));
         }},
        {"running is exactly true", SceneA(R"(<environment running="True"/>)"),
         [&](const cl_Scene& scene) { EXPECT_EQ(parameters(scene).running, 0.0f); }},
        {"running true", SceneA(R"(<environment running="true"/>)"),
         [&](const cl_Scene& scene) { EXPECT_EQ(parameters(scene).running, 1.0f); }},
        {"surface 2.9 is 2", SceneA(R"(<environment surface="2.9"/>)"),
         [&](const cl_Scene& scene) { EXPECT_EQ(parameters(scene).surface, 2); }},
        {"surface -2.9 is -2", SceneA(R"(<environment surface="-2.9"/>)"),
         [&](const cl_Scene& scene) { EXPECT_EQ(parameters(scene).surface, -2); }},
        {"a surface beyond an int is held", SceneA(R"(<environment surface="1e30"/>)"),
         [&](const cl_Scene& scene) { EXPECT_EQ(parameters(scene).surface, INT_MAX); }},
        {"narrow, and a rim", SceneA(R"(<environment type="narrow" navmeshrim="12.5"/>)"),
         [&](const cl_Scene& scene)
         {
             EXPECT_EQ(parameters(scene).type, ENVIRONMENT_NARROW);
             EXPECT_EQ(parameters(scene).navmeshRim, 12.5f);
         }},
        {"tight", SceneA(R"(<environment type="tight"/>)"),
         [&](const cl_Scene& scene) { EXPECT_EQ(parameters(scene).type, ENVIRONMENT_TIGHT); }},
        {"another type word keeps 2", SceneA(R"(<environment type="Narrow"/>)"),
         [&](const cl_Scene& scene) { EXPECT_EQ(parameters(scene).type, ENVIRONMENT_OPEN); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        c.check(m_world.LoadScene(c.xml));
        m_world.UnloadScene();
    }
}

TEST_F(SceneLoading, AConstraintAllowsItsNameBetweenItsLevels)
{
    const std::string xml = SceneA(R"(<quality><constraint name="ao_vase" min="1" max="2"/>
        <constraint name="ao_rug" min="0" max="0"/><constraint name="ao_rug" min="2" max="2"/></quality>)");
    const struct
    {
        const char* name;
        bool allowed[3]; // at low, mid, high
    } cases[] = {
        {"ao_vase", {false, true, true}},
        {"ao_rug", {false, false, true}}, // a repeated name replaces
        {"ao_anything", {true, true, true}},
    };
    for (int level = 0; level < 3; ++level)
    {
        m_world.LoadScene(xml, level);
        for (const auto& c : cases)
            EXPECT_EQ(m_loader.IsAllowedByQuality(c.name), c.allowed[level]) << c.name << " at " << level;
        m_world.UnloadScene();
    }
    m_world.LoadScene(SceneA(""));
    EXPECT_TRUE(m_loader.IsAllowedByQuality("ao_vase")) << "every load starts without constraints";
}

TEST_F(SceneLoading, AnElementWithoutARequiredAttributeIsLeftOutNamingSceneAndElement)
{
    const struct
    {
        const char* name;
        std::string xml;
        const char* logged;
        std::function<void(const cl_Scene&)> restLoads;
    } cases[] = {
        {"click object", SceneA(R"(<clickobjects><clickobject name="co_x" position="b"/>
            <clickobject name="co_y" asset="a" position="b"/></clickobjects>)"),
         "Scene 'scenes_a', clickobject 'co_x': 'asset' is missing; left out.",
         [](const cl_Scene& scene) { EXPECT_EQ(scene.GetClickObjects().size(), 1u); }},
        {"border exit", SceneA(R"(<exit type="border"/>)"), "Scene 'scenes_a', 'exit': 'target' is missing",
         [](const cl_Scene& scene) { EXPECT_FALSE(scene.IsExitArmed()); }},
        {"constraint", SceneA(R"(<quality><constraint name="ao_x" min="1"/><constraint name="ao_y" min="1"
            max="1"/></quality>)"),
         "Scene 'scenes_a', constraint 'ao_x': 'max' is missing",
         [this](const cl_Scene&) { EXPECT_EQ(m_loader.GetQualityConstraints().size(), 1u); }},
        {"backdrop", SceneA(R"(<backdrop name="hall" width="800" height="600"/>)" + std::string(BACKDROP)),
         "Scene 'scenes_a', backdrop 'hall': 'cam' is missing",
         [](const cl_Scene& scene) { EXPECT_EQ(scene.GetBackdrops().size(), 1u); }},
        {"shot",
         SceneA(R"(<shots><shot name="far" x="1" y="2"/><shot name="near" x="1" y="2" z="3"/></shots>)"),
         "Scene 'scenes_a', shot 'far': 'z' is missing",
         [this](const cl_Scene&)
         {
             EXPECT_FALSE(m_world.camera.HasShot("far"));
             EXPECT_TRUE(m_world.camera.HasShot("near"));
         }},
        {"shot generator", SceneA(R"(<shots><shotactivator type="pan"/></shots>)"),
         "Scene 'scenes_a', 'shotactivator': 'name' is missing", [](const cl_Scene&) {}},
        {"music", SceneA(R"(<sound><music loop="true"/></sound>)"),
         "Scene 'scenes_a', 'music': 'name' is missing",
         [this](const cl_Scene&) { EXPECT_EQ(m_world.sound.GetMixer().GetCurrentMusicName(), "before"); }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_world.sound.GetMixer().PlayMusic("before", 0.0f, false, false);
        m_world.assets.log.Clear();
        c.restLoads(m_world.LoadScene(c.xml));
        EXPECT_TRUE(m_world.assets.log.Contains(c.logged, cl_Logger::LEVEL_ERROR));
        m_world.UnloadScene();
    }
}

TEST_F(SceneLoading, ARepeatedBackdropNameReplacesTheFirstBackdrop)
{
    const std::string backdrop = R"(<backdrop name="default" width="800" height="600" cam="cam"/>)";
    m_world.LoadScene(SceneA(backdrop));
    const unsigned short nodesOfOne = m_world.root->numChildren();
    m_world.UnloadScene();

    cl_Scene& scene = m_world.LoadScene(
        SceneA(R"(<backdrop name="default" width="400" height="300" cam="cam"/>)" + backdrop));
    ASSERT_EQ(scene.GetBackdrops().size(), 1u);
    EXPECT_EQ(scene.GetActiveBackdrop()->GetWidth(), 800.0f);
    EXPECT_EQ(m_world.root->numChildren(), nodesOfOne) << "the first backdrop's nodes are gone";
    m_world.UnloadScene();
    EXPECT_EQ(m_world.root->numChildren(), 0u);
}

TEST_F(SceneLoading, TheSceneMusicFadesToItsNameOrToSilence)
{
    m_world.LoadScene(SceneA(R"(<sound><music name="theme" loop="true"/></sound>)"));
    EXPECT_EQ(m_world.sound.GetMixer().GetCurrentMusicName(), "theme");
    m_world.UnloadScene();
    m_world.LoadScene(SceneA("<sound/>"));
    EXPECT_EQ(m_world.sound.GetMixer().GetCurrentMusicName(), "");
    m_world.UnloadScene();
    m_world.sound.GetMixer().PlayMusic("theme", 0.0f, false, false);
    m_world.LoadScene(SceneA(""));
    EXPECT_EQ(m_world.sound.GetMixer().GetCurrentMusicName(), "theme") << "without sound the music plays on";
}

TEST_F(SceneLoading, LoadsAndUnloadsInTheOrderOfItsSteps)
{
    // What each step shows when the managers are called, and when the scripts run.
    Calls seen;
    const auto look = [&](const std::string& call)
    {
        const cl_Scene& scene = m_world.Scene();
        const Ogre::SceneManager& ogre = m_world.SceneManager();
        seen.push_back(
            call + ": value source " + (m_world.valueSources.GetFloatSource("glow") ? "yes" : "no") +
            ", controller " + (m_world.controllers.GetController("tick") ? "yes" : "no") + ", backdrops " +
            std::to_string(scene.GetBackdrops().size()) + ", helper " +
            (ogre.hasSceneNode("op_chair") ? "yes" : "no") + ", lights " +
            std::to_string(scene.GetLights().size()) + ", shot " +
            (m_world.camera.HasShot("far") ? "yes" : "no") + ", music '" +
            m_world.sound.GetMixer().GetCurrentMusicName() + "', camera " +
            (m_world.camera.IsRunning() ? "running" : "still") + ", keeper " +
            (m_world.characters.GetCharacter("characters_keeper")->GetPuppet()->IsActive() ? "in" : "out"));
    };
    m_world.onCall = look;
    FunctionReceiver probe(m_world.assets.script, "probe",
                           [&](cl_Command& command)
                           {
                               look(command.m_name);
                               return true;
                           });
    m_world.AddCharacter("characters_keeper");
    const std::string xml = SceneA(std::string(R"(
        <initscript>sendcmd("probe", "initscript")</initscript>
        <exitscript>sendcmd("probe", "exitscript")</exitscript>
        <sound><music name="theme"/></sound>
        <effects/>
        <controller><script name="tick">x = 1</script></controller>
        <shots><shot name="far" x="0" y="0" z="0"/></shots>
        <osmdata>)") + CAMERA +
                                   R"(<lights><light name="lamp" type="omni" on="true"/></lights>
            <helpers><node name="op_chair"/><node name="positions_door"/></helpers></osmdata>)" +
                                   BACKDROP + R"(
        <triggers/>
        <valuesources><float type="static" name="glow"/></valuesources>)");
    m_world.LoadScene(xml);
    m_world.UnloadScene();
    const Calls expected = {
        "triggers load: value source yes, controller no, backdrops 0, helper no, lights 0, shot no, music "
        "'', camera "
        "still, keeper out",
        "effects load: value source yes, controller yes, backdrops 1, helper yes, lights 1, shot yes, music "
        "'', "
        "camera still, keeper out",
        "initscript: value source yes, controller yes, backdrops 1, helper yes, lights 1, shot yes, music "
        "'theme', "
        "camera running, keeper in",
        "exitscript: value source yes, controller yes, backdrops 1, helper yes, lights 1, shot yes, music "
        "'theme', "
        "camera running, keeper in",
        "triggers remove: value source no, controller no, backdrops 0, helper yes, lights 0, shot no, music "
        "'theme', camera still, keeper out",
        "effects unload: value source no, controller no, backdrops 0, helper yes, lights 0, shot no, music "
        "'theme', camera still, keeper out",
    };
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(m_world.SceneManager().hasSceneNode("op_chair"));
    EXPECT_EQ(m_world.Scene().GetSceneManager(), nullptr);
    EXPECT_EQ(m_world.Scene().GetCamera(), nullptr);
}

TEST_F(SceneLoading, UnloadingAnUnloadedSceneDoesNothing)
{
    int exits = 0;
    FunctionReceiver probe(m_world.assets.script, "probe",
                           [&](cl_Command&)
                           {
                               ++exits;
                               return true;
                           });
    m_world.LoadScene(SceneA(R"(<exitscript>sendcmd("probe", "exit")</exitscript><triggers/>)"));
    m_world.UnloadScene();
    m_world.UnloadScene();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(m_world.calls,
              (Calls{"triggers load", "effects load none", "triggers remove", "effects unload none"}));
}

TEST_F(SceneLoading, ASceneWithoutOgreSceneManagerIsNotBuilt)
{
    cl_Scene& scene = m_world.PutScene(SceneA(BACKDROP));
    scene.SetSceneManager(nullptr);
    m_loader.LoadScene(scene, cl_SceneLoader::QUALITY_HIGH, false, "default");
    EXPECT_TRUE(m_world.assets.log.Contains("The scene 'scenes_a' has no OGRE scene manager",
                                            cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(scene.GetBackdrops().empty());
    EXPECT_TRUE(m_world.calls.empty());
}

TEST_F(SceneLoading, AReloadKeepsCharactersBackdropAndShot)
{
    // The keeper stands where the scene state puts him; the guest where the game put him.
    cl_Character& keeper = m_world.AddCharacter("characters_keeper");
    cl_Character& guest = m_world.AddCharacter("characters_guest");
    const std::string xml = SceneA(std::string(BACKDROP) + R"(
        <backdrop name="cellar" width="800" height="600" fov="horizontal" cam="cam"/>
        <shots><shot name="far" x="0" y="-500" z="0" backdrop="cellar"/>
            <shot name="near" x="10" y="-500" z="0" zoom="2" backdrop="cellar"/></shots>
        <osmdata>)" + CAMERA + R"(<helpers><node name="positions_door"><position x="5" y="0" z="7"/></node>
            <node name="positions_guest"><position x="20" y="0" z="30"/></node></helpers></osmdata>)");
    cl_Scene& scene = m_world.LoadScene(xml, cl_SceneLoader::QUALITY_LOW);
    guest.SetLocation("positions_guest");
    guest.SetActive(true);
    scene.ActivateBackdrop("cellar");
    m_world.camera.ActivateShot("near");

    m_loader.ReloadScene(nullptr, cl_SceneLoader::QUALITY_MID);
    EXPECT_EQ(m_loader.GetQualityLevel(), cl_SceneLoader::QUALITY_MID);
    EXPECT_EQ(scene.GetSceneManager(), &m_world.SceneManager());
    EXPECT_EQ(scene.GetCamera(), m_world.ogreCamera);
    EXPECT_EQ(scene.GetActiveBackdropName(), "cellar");
    EXPECT_EQ(m_world.camera.GetStaticShotName(), "near");
    EXPECT_EQ(scene.GetActiveBackdrop()->GetZoom(), 2.0f);
    for (const cl_Character* character : {&keeper, &guest})
        EXPECT_TRUE(character->GetPuppet()->IsActive()) << character->GetName();
    EXPECT_EQ(keeper.GetSceneNode()->getPosition(), Ogre::Vector3(5, 0, 7)) << "placed anew from the state";
    EXPECT_EQ(guest.GetSceneNode()->getPosition(), Ogre::Vector3(20, 0, 30)) << "kept";

    TiXmlDocument changed;
    changed.Parse(SceneA(std::string(BACKDROP) + "<osmdata>" + CAMERA + "</osmdata>").c_str());
    m_loader.ReloadScene(changed.RootElement(), cl_SceneLoader::QUALITY_MID);
    EXPECT_EQ(scene.GetBackdrops().size(), 1u) << "the new element is read";
    EXPECT_EQ(scene.GetActiveBackdropName(), "default") << "the old backdrop is gone: the default shows";

    m_world.UnloadScene();
    EXPECT_FALSE(guest.GetPuppet()->IsActive()) << "leaving the scene takes everybody out";
}

TEST_F(SceneLoading, LoadingAnotherSceneAndThenTheFirstAgainLeavesOgreAsTheFirstLeftIt)
{
    TiXmlDocument document;
    ASSERT_TRUE(document.LoadFile(QUILLMERE_TEST_DATA "graphics/scenes/locations.xml"));
    const TiXmlElement* first = document.RootElement()->FirstChildElement("scene");
    const TiXmlElement* second = first->NextSiblingElement("scene");
    const auto text = [](const TiXmlElement& element)
    {
        TiXmlPrinter printer;
        element.Accept(&printer);
        return printer.Str();
    };
    for (const char* mesh : {"door.mesh", "floor.mesh", "pillar.mesh", "navmesh_a.mesh", "navmesh_b.mesh"})
        SceneWorld::Mesh(mesh);
    m_world.textures.AddTexture("hall.png", 800, 600);
    m_world.textures.AddTexture("yard.png", 800, 600);
    MakeShadowMaterials();

    // Every OGRE object by kind and name.
    const auto inventory = [this]()
    {
        Ogre::SceneManager& ogre = m_world.SceneManager();
        std::set<std::string> names;
        std::vector<const Ogre::Node*> nodes{ogre.getRootSceneNode()};
        while (!nodes.empty())
        {
            const Ogre::Node* node = nodes.back();
            nodes.pop_back();
            names.insert("node " + node->getName());
            for (const Ogre::Node* child : node->getChildren())
                nodes.push_back(child);
        }
        for (const auto& entity : ogre.getMovableObjects("Entity"))
            names.insert("entity " + entity.first);
        for (const auto& light : ogre.getMovableObjects("Light"))
            names.insert("light " + light.first);
        for (const auto& animation : ogre.getAnimations())
            names.insert("animation " + animation.first);
        for (auto materials = Ogre::MaterialManager::getSingleton().getResourceIterator();
             materials.hasMoreElements(); materials.moveNext())
            names.insert("material " + materials.peekNextValue()->getName());
        return names;
    };
    m_world.LoadScene(text(*first));
    const std::set<std::string> firstTime = inventory();
    EXPECT_TRUE(firstTime.count("entity ao_pillar"));
    EXPECT_TRUE(firstTime.count("animation swing"));
    m_world.UnloadScene();
    m_world.LoadScene(text(*second));
    m_world.UnloadScene();
    m_world.LoadScene(text(*first));
    EXPECT_EQ(inventory(), firstTime);
}
