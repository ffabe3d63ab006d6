#include "support/DemoRig.h"

#include "common/XmlHelpers.h"
#include "common/XmlParse.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterLoader.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetControl.h"
#include "support/PuppetXml.h"

#include <OgreResourceGroupManager.h>
#include <OgreSceneNode.h>
#include <gtest/gtest.h>

DemoRig::DemoRig()
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(QUILLMERE_BUILT_DEMO_DIR "data/chapter1", "FileSystem", "CHAPTERDATA");
    groups.initialiseResourceGroup("CHAPTERDATA");
    EXPECT_TRUE(LoadXmlFile(m_characters, QUILLMERE_BUILT_DEMO_DIR "data/chapter1/characters.tdf"));
}

DemoRig::~DemoRig() = default;

const TiXmlElement* DemoRig::Character(const std::string& character) const
{
    const TiXmlElement* root = m_characters.RootElement();
    for (const TiXmlElement* element = root ? root->FirstChildElement("character") : nullptr; element;
         element = element->NextSiblingElement("character"))
    {
        if (character == element->Attribute("assetref"))
            return element;
    }
    return nullptr;
}

std::unique_ptr<cl_ControlledPuppet> DemoRig::MakePuppet(const std::string& character)
{
    auto puppet = std::make_unique<cl_ControlledPuppet>(m_world.SceneManager());
    puppet->SetName(character);
    const TiXmlElement* element = Character(character);
    EXPECT_NE(element, nullptr) << character;
    EXPECT_TRUE(element && puppet->FromXml(element->FirstChildElement("puppet"))) << character;
    Place(*puppet);
    return puppet;
}

std::unique_ptr<cl_ControlledPuppet> DemoRig::MakePuppetOf(const std::string& name, const std::string& xml)
{
    auto puppet = std::make_unique<cl_ControlledPuppet>(m_world.SceneManager());
    puppet->SetName(name);
    EXPECT_TRUE(ReadPuppetXml(*puppet, xml)) << name;
    Place(*puppet);
    return puppet;
}

std::unique_ptr<cl_Character> DemoRig::MakeCharacter(const std::string& character,
                                                     const std::string& children)
{
    auto made = std::make_unique<cl_Character>(m_world.SceneManager(), character);
    const TiXmlElement* element = Character(character);
    EXPECT_NE(element, nullptr) << character;
    EXPECT_TRUE(element && made->GetPuppet()->FromXml(element->FirstChildElement("puppet"))) << character;
    TiXmlDocument document;
    ParseXml(document, "<character assetref=\"" + character + "\">" + children + "</character>",
             "the character");
    EXPECT_FALSE(document.Error()) << document.ErrorDesc();
    EXPECT_TRUE(cl_CharacterLoader::Load(document.RootElement(), made.get()));
    return made;
}

void DemoRig::Place(cl_ControlledPuppet& puppet)
{
    m_world.GameRoot()->addChild(puppet.GetSceneNode());
    puppet.SetActive(true);
}

std::string DemoRig::ControlXml(const std::string& character, const std::string& name) const
{
    const TiXmlElement* element = Character(character);
    const TiXmlElement* controls = element ? element->FirstChildElement("controls") : nullptr;
    for (const TiXmlElement* control = controls ? controls->FirstChildElement() : nullptr; control;
         control = control->NextSiblingElement())
    {
        if (name == AttributeOrEmpty(*control, "name"))
        {
            TiXmlPrinter printer;
            control->Accept(&printer);
            return printer.CStr();
        }
    }
    return "";
}

void DemoRig::Register(cl_ControlledPuppet& puppet, const std::string& name,
                       std::unique_ptr<cl_PuppetControl> control, const std::string& xml,
                       IPuppetControlListener* listener)
{
    cl_PuppetControl& registered = *control;
    ASSERT_TRUE(puppet.AddControl(name, std::move(control))) << name;
    registered.SetOwner(&m_owner);
    registered.SetListener(listener);
    if (xml.empty())
        return;
    TiXmlDocument document;
    ParseXml(document, xml, "the control's element");
    ASSERT_FALSE(document.Error()) << document.ErrorDesc();
    registered.FromXml(document.RootElement());
}

int DemoRig::Frames(int count, float dt, const std::function<bool()>& until)
{
    return m_world.Frames(count, dt, until);
}
