#include "graphics/cl_SceneItem.h"

#include "common/XmlParse.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_SceneItemLoader.h"
#include "graphics/cl_SpecialAnimationControl.h"
#include "support/DemoRig.h"
#include "support/LogCapture.h"
#include "support/RecordingInitiator.h"

#include <gtest/gtest.h>

#include <OgreEntity.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
using Calls = std::vector<std::string>;

const char* const WAVE = "skeletal/special/wave";
const char* const SPECIAL = R"(<controls><specialctrl name="special"/></controls>)";

// Scene items with the demo hero's puppet on the rig's ground.
class SceneItems : public testing::Test
{
protected:
    // The `item` element with the attributes and children, and the hero's `puppet` last.
    TiXmlElement& Element(const std::string& attributes, const std::string& children)
    {
        m_document.Clear();
        ParseXml(m_document, "<item " + attributes + ">" + children + "</item>", "scene item test");
        TiXmlElement& item = *m_document.RootElement();
        item.InsertEndChild(*m_rig.Character("characters_hero")->FirstChildElement("puppet"));
        return item;
    }
    // The item read from Element, placed on the ground and active; null when the loader made none.
    cl_SceneItem* Load(const std::string& attributes, const std::string& children)
    {
        m_item = cl_SceneItemLoader::Load(&m_rig.World().SceneManager(), &Element(attributes, children));
        if (m_item)
        {
            m_item->SetLocation(st_ObjectPlacement{m_rig.World().GameRoot()});
            m_item->SetActive(true);
        }
        return m_item.get();
    }

    LogCapture m_log;
    DemoRig m_rig;
    TiXmlDocument m_document;
    std::unique_ptr<cl_SceneItem> m_item;
};

TEST_F(SceneItems, TheReaderTakesExactFlagsAndCutsTheExamineDistance)
{
    const struct
    {
        const char* attributes;
        const char* children;
        unsigned queryFlags;
        int examineDistance;
        bool persistent;
    } cases[] = {
        {R"(assetref="items_statue")", "", 0u, -1, false},
        {R"(assetref="items_statue" pickable="TRUE" persistent="yes")", "", 0u, -1, false},
        {R"(assetref="items_statue" pickable="true" persistent="true")", "", 1u, -1, true},
        {R"(assetref="items_statue")", "<examinedistance>2.9</examinedistance>", 0u, 2, false},
        {R"(assetref="items_statue")", "<examinedistance>far</examinedistance>", 0u, 0, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.attributes) + c.children);
        ASSERT_NE(Load(c.attributes, c.children), nullptr);
        EXPECT_EQ(m_item->GetPuppet()->GetMainEntity()->getQueryFlags(), c.queryFlags);
        EXPECT_EQ(m_item->GetExamineDistance(), c.examineDistance);
        EXPECT_EQ(m_item->IsPersistent(), c.persistent);
        m_item.reset();
    }
}

TEST_F(SceneItems, BadElementsAndUnknownControlsAreLogged)
{
    for (const char* attributes : {R"(name="statue")", R"(assetref="")"})
    {
        EXPECT_EQ(Load(attributes, ""), nullptr);
        EXPECT_TRUE(
            m_log.Contains("Couldn't load sceneitem from xml - item node including 'assetref' expected.",
                           cl_Logger::LEVEL_ERROR));
        m_log.Clear();
    }
    ASSERT_NE(
        Load(R"(assetref="items_statue")", R"(<controls><movectrl name="move"/><specialctrl name="special"/>
        </controls>)"),
        nullptr);
    EXPECT_TRUE(m_log.Contains("A control type was unknown and couldn't be added!", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_item->GetPuppet()->GetControlNames(), (std::vector<std::string>{"special"}));
}

TEST_F(SceneItems, AReloadedControlOfTheSameNameIsNotMadeTwice)
{
    ASSERT_NE(Load(R"(assetref="items_statue")", SPECIAL), nullptr);
    cl_SpecialAnimationControl* special = m_item->GetSpecialControl();
    TiXmlDocument again;
    ParseXml(again, R"(<item assetref="items_statue"><controls><specialctrl name="special"/></controls>
        <focustarget bone="head" slave="lamp"/></item>)",
             "reload");
    EXPECT_TRUE(cl_SceneItemLoader::LoadFromXml(*m_item, *again.RootElement(), true));
    EXPECT_EQ(m_item->GetPuppet()->GetControlNames(), (std::vector<std::string>{"special"}));
    EXPECT_EQ(m_item->GetSpecialControl(), special);
    EXPECT_EQ(m_item->GetPuppet()->GetControl("special")->GetListener(), m_item.get());
    EXPECT_EQ(m_item->GetFocusBone(), "head");
    EXPECT_EQ(m_item->GetFocusSlave(), "lamp");
}

TEST_F(SceneItems, AnAnimationReportsItsStartAndEndAndASecondOneAbortsTheFirst)
{
    ASSERT_NE(Load(R"(assetref="items_statue")", SPECIAL), nullptr);
    RecordingInitiator first;
    RecordingInitiator second;
    m_item->StartAnimation(WAVE, &first);
    m_rig.Frames(2, 0.1f);
    EXPECT_EQ(first.calls, (Calls{"started"}));
    m_item->StartAnimation(WAVE, &second);
    EXPECT_EQ(first.calls, (Calls{"started", "done 1"})) << "before the second starts";
    m_rig.Frames(60, 0.1f);
    EXPECT_EQ(second.calls, (Calls{"started", "done 0"})) << "the wave played again from its start";
    EXPECT_TRUE(m_item->GetPuppet()->IsActive()) << "as it was before";
    EXPECT_FALSE(m_item->IsPlaying());
}

TEST_F(SceneItems, WhatCannotPlayFailsWithResultTwo)
{
    const struct
    {
        const char* name;
        const char* controls;
        const char* position; // null: where the item stands
        const char* warning;
    } cases[] = {
        {"no special control", "", nullptr, nullptr},
        {"no current character's node", SPECIAL, "avatar",
         "PlayAnimation couldn't find the position 'avatar' to play animation 'skeletal/special/wave' at!"},
        {"a clip the puppet lacks", SPECIAL, nullptr, nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_NE(Load(R"(assetref="items_statue")", c.controls), nullptr);
        RecordingInitiator initiator;
        const std::string animation =
            std::string(c.name) == "a clip the puppet lacks" ? "skeletal/juggle" : WAVE;
        if (c.position)
            m_item->PlayAnimation(animation, c.position, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY,
                                  &initiator);
        else
            m_item->StartAnimation(animation, &initiator);
        EXPECT_EQ(initiator.calls, (Calls{"done 2"}));
        if (c.warning)
            EXPECT_TRUE(m_log.Contains(c.warning, cl_Logger::LEVEL_WARNING));
        m_item.reset();
    }
}

TEST_F(SceneItems, DeactivatingAbortsTheAction)
{
    ASSERT_NE(Load(R"(assetref="items_statue")", SPECIAL), nullptr);
    RecordingInitiator initiator;
    m_item->StartAnimation(WAVE, &initiator);
    m_rig.Frames(1, 0.1f);
    m_item->SetLocation(st_ObjectPlacement{m_rig.World().GameRoot(), Ogre::Vector3(5, 0, 0)});
    EXPECT_TRUE(
        m_log.Contains("External call to SetLocation while processing an action!", cl_Logger::LEVEL_WARNING));
    m_item->SetActive(false);
    EXPECT_EQ(initiator.calls, (Calls{"started", "done 1"}));
}
} // namespace
