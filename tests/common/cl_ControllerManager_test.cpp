#include "common/IGameTimeListener.h"
#include "common/cl_Controller.h"
#include "common/cl_ControllerManager.h"
#include "common/cl_ValueSourceManager.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ControlledPuppet.h"
#include "support/HeadlessOgre.h"
#include "support/ManualGameTime.h"
#include "support/ScriptSystemFixture.h"
#include "support/TestMeshes.h"

#include <OgreBone.h>
#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <tinyxml.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
// Parses XML texts for a test and keeps the documents alive as long as it.
class XmlTexts
{
public:
    const TiXmlElement* operator()(const std::string& text)
    {
        m_documents.push_back(std::make_unique<TiXmlDocument>());
        m_documents.back()->Parse(text.c_str());
        EXPECT_FALSE(m_documents.back()->Error()) << text;
        return m_documents.back()->RootElement();
    }

private:
    std::vector<std::unique_ptr<TiXmlDocument>> m_documents;
};

class Controllers : public ScriptSystemFixture
{
protected:
    void LoadSources(const std::string& floats)
    {
        ASSERT_TRUE(m_sources.LoadFromXml(m_xml("<valuesources>" + floats + "</valuesources>")));
    }
    void Load(const std::string& children)
    {
        m_controllers.LoadFromXml(&Scene(), m_xml("<controllers>" + children + "</controllers>"));
    }
    void Remove(const std::string& children)
    {
        m_controllers.RemoveByXml(m_xml("<controllers>" + children + "</controllers>"));
    }
    void SetSource(const std::string& name, float value)
    {
        Run("sendcmd('valuemanager', 'SetValue', '" + name + "', " + std::to_string(value) + ")");
    }
    Ogre::SceneManager& Scene() const { return m_ogre.SceneManager(); }

    Ogre::Light* AuthoredLamp()
    {
        Ogre::Light* lamp = Scene().createLight("lamp");
        lamp->setDiffuseColour(Ogre::ColourValue(0.8f, 0.6f, 0.4f, 1.0f));
        lamp->setSpecularColour(Ogre::ColourValue(0.5f, 0.4f, 0.2f, 1.0f));
        return lamp;
    }

    XmlTexts m_xml;
    HeadlessOgre m_ogre;
    ManualGameTime m_time{m_system};
    cl_ValueSourceManager m_sources{m_system, m_time};
    cl_ControllerManager m_controllers;
};

TEST_F(Controllers, LightControllerScalesTheAuthoredColours)
{
    Ogre::Light* lamp = AuthoredLamp();
    const Ogre::ColourValue diffuse = lamp->getDiffuseColour();
    const Ogre::ColourValue specular = lamp->getSpecularColour();
    LoadSources(R"(<float type="static" name="flicker"><params value="0.9"/></float>)");
    Load(R"(<light name="lamp"><intensity src="flicker"/></light>)");
    EXPECT_EQ(lamp->getDiffuseColour(), diffuse) << "nothing changes until the source does";

    for (float value : {1.0f, 0.5f, 0.0f, 1.0f})
    {
        SetSource("flicker", value);
        EXPECT_EQ(lamp->getDiffuseColour(), diffuse * value) << value;
        EXPECT_EQ(lamp->getSpecularColour(), specular * value) << value;
    }
    SetSource("flicker", 0.5f);
    EXPECT_EQ(lamp->getDiffuseColour().a, 0.5f) << "alpha is scaled too";
}

TEST_F(Controllers, LightControllerWithoutSourceOrLightChangesNothing)
{
    Ogre::Light* lamp = AuthoredLamp();
    const Ogre::ColourValue diffuse = lamp->getDiffuseColour();
    Load(
        R"(<light name="lamp"><intensity src="late"/></light><light name="ghost"><intensity src="flicker"/></light>)");
    EXPECT_TRUE(m_capture.Contains("The light controller 'ghost' has no light of its name",
                                   cl_Logger::LEVEL_WARNING));
    LoadSources(R"(<float type="static" name="late"/><float type="static" name="flicker"/>)");
    SetSource("late", 0.5f);
    SetSource("flicker", 0.5f);
    EXPECT_EQ(lamp->getDiffuseColour(), diffuse) << "built while its source was missing: stays unbound";
}

TEST_F(Controllers, LightKeepsItsLastColoursWhenTheSourceGoes)
{
    Ogre::Light* lamp = AuthoredLamp();
    const Ogre::ColourValue diffuse = lamp->getDiffuseColour();
    LoadSources(R"(<float type="static" name="flicker"/>)");
    Load(R"(<light name="lamp"><intensity src="flicker"/></light>)");
    SetSource("flicker", 0.5f);
    m_sources.RemoveByXml(m_xml(R"(<valuesources><float name="flicker"/></valuesources>)"));
    EXPECT_EQ(lamp->getDiffuseColour(), diffuse * 0.5f);
    LoadSources(R"(<float type="static" name="flicker"/>)");
    SetSource("flicker", 1.0f);
    EXPECT_EQ(lamp->getDiffuseColour(), diffuse * 0.5f) << "a new source of the name is not followed";
}

TEST_F(Controllers, DuplicateNamesAreRefusedAndTheRefusedControllerIsDeleted)
{
    Ogre::Light* lamp = AuthoredLamp();
    const Ogre::ColourValue diffuse = lamp->getDiffuseColour();
    LoadSources(R"(<float type="static" name="flicker"/><float type="static" name="other"/>)");
    Load(R"(<script name="s">first = true</script>
            <light name="lamp"><intensity src="flicker"/></light>
            <light name="lamp"><intensity src="other"/></light>
            <script name="s">second = true</script>)");
    EXPECT_TRUE(
        m_capture.Contains("Controller with the name 'lamp' does allready exist!", cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(
        m_capture.Contains("Controller with the name 's' does allready exist!", cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(m_capture.Contains("<cl_ControllerManager::AddController>"));

    SetSource("other", 0.25f);
    EXPECT_EQ(lamp->getDiffuseColour(), diffuse) << "the refused light controller does not follow its source";
    m_time.Update(0.1f);
    EXPECT_TRUE(IsTrue("first"));
    EXPECT_TRUE(IsTrue("second == nil")) << "the refused script controller does not run";
}

TEST_F(Controllers, AddAndRemoveByPointer)
{
    EXPECT_FALSE(m_controllers.AddController("x", nullptr));
    EXPECT_TRUE(m_capture.Contains("Controller with the name 'x' cant be added. Pointer is NULL!",
                                   cl_Logger::LEVEL_ERROR));
    m_controllers.RemoveController(nullptr);
    EXPECT_TRUE(m_capture.Contains("Controller-Pointer can't be removed, because it is NULL.",
                                   cl_Logger::LEVEL_ERROR));

    Load(R"(<script name="s">frames = (frames or 0) + 1</script>)");
    cl_Controller* script = m_controllers.GetController("s");
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(script->GetManager(), &m_controllers);
    m_controllers.RemoveController(script);
    EXPECT_EQ(m_controllers.GetController("s"), nullptr);
    EXPECT_EQ(script->GetManager(), nullptr);
    // The caller owns it now; taking it back works like a new controller.
    EXPECT_TRUE(m_controllers.AddController("again", std::unique_ptr<cl_Controller>(script)));
    EXPECT_EQ(m_controllers.GetController("again"), script);
}

TEST_F(Controllers, RemoveByXmlDeletesOnlyTheNamedControllers)
{
    AuthoredLamp();
    Scene().getRootSceneNode()->createChildSceneNode("prop");
    Load(R"(<light name="lamp"/>
            <script name="a">a = (a or 0) + 1</script>
            <script name="b">b = (b or 0) + 1</script>
            <sceneobjecttag name="t" scenenode="prop" bone="hand" sceneobject="hero"/>)");
    m_time.Update(0.1f);
    Remove(R"(<script name="a"/><anything name="t"/><light name="nothing"/><script/>)");
    EXPECT_EQ(m_controllers.GetController("a"), nullptr);
    EXPECT_EQ(m_controllers.GetController("t"), nullptr);
    EXPECT_NE(m_controllers.GetController("b"), nullptr);
    EXPECT_NE(m_controllers.GetController("lamp"), nullptr);
    m_time.Update(0.1f);
    EXPECT_TRUE(IsTrue("a == 1 and b == 2"));
}

TEST_F(Controllers, ScriptControllerRunsEveryFrameAndSurvivesScriptErrors)
{
    Load(
        R"(<script name="count">frames = (frames or 0) + 1</script><script name="broken">error("boom")</script>)");
    for (int frame = 0; frame < 3; ++frame)
        m_time.Update(0.0f);
    EXPECT_TRUE(IsTrue("frames == 3"));
    EXPECT_TRUE(m_capture.Contains("boom", cl_Logger::LEVEL_ERROR));
}

TEST_F(Controllers, ChildrenWithMissingAttributesAreLoggedAndSkipped)
{
    Scene().getRootSceneNode()->createChildSceneNode("prop");
    struct Case
    {
        const char* xml;
        const char* message;
    } cases[] = {
        {R"(<light/>)", "A light controller has no name and was skipped!"},
        {R"(<script>x = 1</script>)", "A script controller has no name and was skipped!"},
        {R"(<script name="x"/>)", "The script controller 'x' has no script text: skipped."},
        {R"(<script name="x"><!-- a comment --></script>)",
         "The script controller 'x' has no script text: skipped."},
        {R"(<sceneobjecttag name="x" scenenode="missing" bone="hand"/>)",
         "The sceneobjecttag controller 'x' needs an existing scenenode and a bone: skipped."},
        {R"(<sceneobjecttag name="x" scenenode="prop"/>)",
         "The sceneobjecttag controller 'x' needs an existing scenenode and a bone: skipped."},
    };
    for (const Case& c : cases)
    {
        m_capture.Clear();
        Load(c.xml);
        EXPECT_EQ(m_controllers.GetController("x"), nullptr) << c.xml;
        EXPECT_TRUE(m_capture.Contains(c.message, cl_Logger::LEVEL_ERROR)) << c.xml;
    }
    m_controllers.LoadFromXml(
        nullptr, m_xml(R"(<controllers><sceneobjecttag name="x" scenenode="prop" bone="b"/></controllers>)"));
    EXPECT_EQ(m_controllers.GetController("x"), nullptr) << "no scene manager: no node";
    m_controllers.LoadFromXml(&Scene(), nullptr);
}

// Moves a bone by one unit along x each frame, as an animation would at priority 0.
class BoneMover final : public IGameTimeListener
{
public:
    explicit BoneMover(Ogre::Bone& bone) : m_bone(bone) { m_bone.setManuallyControlled(true); }
    void Update(float) override { m_bone.translate(1.0f, 0.0f, 0.0f); }

private:
    Ogre::Bone& m_bone;
};

TEST_F(Controllers, TagControllerPlacesItsNodeAfterThePriorityZeroListeners)
{
    MakeTestTriangle("hero", {{"root", -1, Ogre::Vector3::ZERO}, {"hand", 0, Ogre::Vector3(0, 1, 0)}});
    cl_CharacterManager characters(m_system);
    cl_Character* hero = characters.AddCharacter(std::make_unique<cl_Character>(Scene(), "hero"));
    ASSERT_TRUE(hero->GetPuppet()->AddSubMesh("hero", "body"));
    hero->SetLocation(st_ObjectPlacement{Scene().getRootSceneNode(), Ogre::Vector3(5, 0, 0)});
    Ogre::SceneNode* prop = Scene().getRootSceneNode()->createChildSceneNode("prop");
    Ogre::SceneNode* ghostProp = Scene().getRootSceneNode()->createChildSceneNode("ghostprop");

    // The tag controllers come first, so only their priority can put them behind the mover.
    Load(R"(<sceneobjecttag name="t" scenenode="prop" bone="hand" sceneobject="hero"/>
            <sceneobjecttag name="g" scenenode="ghostprop" bone="hand" sceneobject="ghost"/>)");
    BoneMover mover(*hero->GetPuppet()->GetSubMesh("body").entity->getSkeleton()->getBone("hand"));
    m_time.AddListener(&mover, "default", 0);

    for (int frame = 1; frame <= 3; ++frame)
    {
        m_time.Update(0.1f);
        EXPECT_TRUE(prop->getPosition().positionEquals(Ogre::Vector3(5.0f + frame, 1, 0), 1e-5f))
            << "frame " << frame << ": " << prop->getPosition();
    }
    EXPECT_EQ(ghostProp->getPosition(), Ogre::Vector3::ZERO) << "no such object: nothing placed";

    characters.AddCharacter(std::make_unique<cl_Character>(Scene(), hero->GetPuppet(), "ghost"));
    m_time.Update(0.1f);
    EXPECT_TRUE(ghostProp->getPosition().positionEquals(Ogre::Vector3(9, 1, 0), 1e-5f))
        << "tried again next frame";
    m_time.RemoveListener(&mover);
}

TEST(ControllersAtShutdown, ControllersMayOutliveTheGameTime)
{
    LogCapture capture;
    cl_LuaScriptSystem scripts;
    auto time = std::make_unique<ManualGameTime>(scripts);
    cl_ControllerManager controllers;
    TiXmlDocument document;
    document.Parse(R"(<controllers><script name="s">x = 1</script></controllers>)");
    controllers.LoadFromXml(nullptr, document.RootElement());
    ASSERT_NE(controllers.GetController("s"), nullptr);
    // The application deletes the game time before the controller manager; the script controller must
    // not reach back into it then.
    time.reset();
}
} // namespace
