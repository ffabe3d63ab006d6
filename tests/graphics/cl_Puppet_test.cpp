#include "graphics/cl_Puppet.h"

#include "common/cl_LuaScriptSystem.h"
#include "graphics/IPuppetAnimationEventListener.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetControl.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/ManualGameTime.h"
#include "support/PrintedXml.h"
#include "support/TestMeshes.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonManager.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
const std::vector<TestBone> RIG = {{"root", -1, Ogre::Vector3::ZERO}, {"hand", 0, Ogre::Vector3(0, 2, 0)}};

class PuppetTest : public testing::Test
{
protected:
    PuppetTest()
    {
        MakeTestTriangle("rigged", RIG);
        MakeTestTriangle("plain");
    }
    Ogre::SceneManager& Scene() const { return m_ogre.SceneManager(); }
    Ogre::SceneNode& Root() const { return *Scene().getRootSceneNode(); }

    HeadlessOgre m_ogre;
    LogCapture m_log;
};

TEST_F(PuppetTest, PutsTheNodeOnTheBoneInWorldSpace)
{
    // The puppet's node turns a quarter about y, doubles the size and moves: the hand at (0, 2, 0) of the
    // skeleton lands at (10, 4, 0), turned with the puppet.
    const Ogre::Quaternion quarterTurn(Ogre::Degree(90), Ogre::Vector3::UNIT_Y);
    cl_Puppet puppet(Scene());
    puppet.SetName("hero");
    Root().addChild(puppet.GetSceneNode());
    puppet.GetSceneNode()->setPosition(10, 0, 0);
    puppet.GetSceneNode()->setOrientation(quarterTurn);
    puppet.GetSceneNode()->setScale(2, 2, 2);
    ASSERT_TRUE(puppet.AddSubMesh("rigged", "body"));
    ASSERT_TRUE(puppet.AddSlaveObject("sword", "rigged", "parent"));
    Ogre::SceneNode* sword = puppet.GetSlave("sword").node;
    Root().addChild(sword);
    sword->setPosition(0, 0, 3);
    Ogre::SceneNode* target = Root().createChildSceneNode();

    puppet.ApplyTagPointToSceneNode("hand", target);
    EXPECT_TRUE(target->getPosition().positionEquals(Ogre::Vector3(10, 4, 0), 1e-5f))
        << target->getPosition();
    EXPECT_TRUE(target->getOrientation().equals(quarterTurn, Ogre::Degree(0.01f)));

    puppet.ApplyTagPointToSceneNode("sword", "hand", target);
    EXPECT_TRUE(target->getPosition().positionEquals(Ogre::Vector3(0, 2, 3), 1e-5f)) << target->getPosition();
    EXPECT_TRUE(m_log.Lines().empty());
}

TEST_F(PuppetTest, WhatCannotBeResolvedIsLoggedAndChangesNothing)
{
    cl_Puppet noSkeleton(Scene());
    noSkeleton.SetName("noSkeleton");
    noSkeleton.AddSubMesh("plain", "body");
    cl_Puppet noEntity(Scene());
    noEntity.SetName("noEntity");
    cl_Puppet hero(Scene());
    hero.SetName("hero");
    hero.AddSubMesh("rigged", "body");
    hero.AddSlaveObject("plain", "plain", "parent");
    hero.AddSlaveObject("rigged", "rigged", "parent");
    Ogre::SceneNode* target = Root().createChildSceneNode();
    target->setPosition(7, 7, 7);

    struct Case
    {
        const char* name;
        cl_Puppet* puppet;
        const char* slave; // nullptr: the own-skeleton form
        const char* bone;
        const char* message;
    } cases[] = {
        {"puppet without skeleton", &noSkeleton, nullptr, "hand", "Puppet noSkeleton doesn't have Skeleton!"},
        {"puppet without submesh", &noEntity, nullptr, "hand", "Puppet noEntity doesn't have Skeleton!"},
        {"missing bone", &hero, nullptr, "foot", "Puppet hero doesn't have the Bone 'foot'!"},
        {"missing slave", &hero, "shield", "hand", "SlaveObject's Tag point couldn't be resolved!"},
        {"slave without skeleton", &hero, "plain", "hand", "SlaveObject's Tag point couldn't be resolved!"},
        {"slave without that bone", &hero, "rigged", "foot", "SlaveObject's Tag point couldn't be resolved!"},
    };
    for (const Case& c : cases)
    {
        m_log.Clear();
        if (c.slave)
            c.puppet->ApplyTagPointToSceneNode(c.slave, c.bone, target);
        else
            c.puppet->ApplyTagPointToSceneNode(c.bone, target);
        EXPECT_EQ(target->getPosition(), Ogre::Vector3(7, 7, 7)) << c.name;
        EXPECT_TRUE(m_log.Contains(c.message, cl_Logger::LEVEL_ERROR)) << c.name;
    }

    m_log.Clear();
    hero.ApplyTagPointToSceneNode("hand", nullptr);
    hero.ApplyTagPointToSceneNode("plain", "hand", nullptr);
    EXPECT_TRUE(m_log.Lines().empty()) << "a null node does nothing";
}

TEST_F(PuppetTest, NodesAreNumberedOverTheRunAndPartsAreNamedAfterThem)
{
    auto first = std::make_unique<cl_Puppet>(Scene());
    const int number = std::stoi(first->GetSceneNode()->getName().substr(6));
    EXPECT_EQ(first->GetSceneNode()->getName(), "puppet" + std::to_string(number));
    first.reset();
    const cl_Puppet second(Scene());
    EXPECT_EQ(second.GetSceneNode()->getName(), "puppet" + std::to_string(number + 1)) << "never reused";
    EXPECT_EQ(second.GetSceneNode()->getParent(), nullptr) << "the owner places it";
    EXPECT_EQ(second.GetName(), "unknown");

    cl_Puppet puppet(Scene());
    const std::string node = puppet.GetSceneNode()->getName();
    ASSERT_TRUE(puppet.AddSubMesh("plain", "leaf"));
    ASSERT_TRUE(puppet.AddSubMesh("rigged", "frame"));
    const st_SubMesh leaf = puppet.GetSubMesh("leaf");
    EXPECT_EQ(leaf.entity->getName(), node + "_entity0");
    EXPECT_EQ(leaf.node->getName(), node + "_mesh0");
    EXPECT_EQ(leaf.node->getParent(), puppet.GetSceneNode());
    EXPECT_EQ(leaf.entity->getLightMask(), 0x7FFFFFFFu);
    EXPECT_EQ(leaf.assetRef, "parent");
    EXPECT_EQ(puppet.GetSubMesh("frame").entity->getName(), node + "_entity1");
    EXPECT_EQ(puppet.GetSubMeshNames(), (std::vector<std::string>{"frame", "leaf"}));

    EXPECT_FALSE(puppet.AddSubMesh("missing.mesh", "door"));
    EXPECT_TRUE(m_log.Contains("Couldn't create entity!", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(puppet.GetSubMeshNames().size(), 2u);
}

TEST_F(PuppetTest, SubmeshesAndSlavesAreFoundByNameOrEntityName)
{
    cl_Puppet puppet(Scene());
    puppet.AddSubMesh("plain", "leaf");
    puppet.AddSlaveObject("key", "plain", "items_key");
    puppet.AddSlaveObject("lamp", "plain", "parent");
    const std::string leafEntity = puppet.GetSubMesh("leaf").entity->getName();

    EXPECT_EQ(puppet.GetSubMesh(leafEntity).node, puppet.GetSubMesh("leaf").node);
    const st_SubMesh none = puppet.GetSubMesh("frame");
    EXPECT_EQ(none.entity, nullptr);
    EXPECT_EQ(none.node, nullptr);
    EXPECT_EQ(none.assetRef, "parent");
    EXPECT_TRUE(puppet.SetSubMeshAssetRef("leaf", "items_door"));
    EXPECT_FALSE(puppet.SetSubMeshAssetRef("frame", "items_door"));
    EXPECT_EQ(puppet.GetSubMesh("leaf").assetRef, "items_door");

    const std::string node = puppet.GetSceneNode()->getName();
    const st_SlaveObject key = puppet.GetSlave("key");
    EXPECT_EQ(key.entity->getName(), node + "_key_slave0");
    EXPECT_EQ(key.node->getParent(), nullptr) << "placed by animations and tag points";
    EXPECT_EQ(key.assetRef, "items_key");
    EXPECT_EQ(puppet.GetSlave(node + "_lamp_slave1").node, puppet.GetSlave("lamp").node);
    cl_Puppet other(Scene());
    EXPECT_TRUE(other.AddSlaveObject("key", "plain", "parent")) << "another puppet's slave of the same id";
    EXPECT_EQ(puppet.GetSlave("sword").node, nullptr);
    EXPECT_EQ(puppet.GetSlaveIds(), (std::vector<std::string>{"key", "lamp"}));
    EXPECT_EQ(puppet.GetSlaves().size(), 2u);
    EXPECT_EQ(puppet.GetMovableObjects(),
              (std::vector<Ogre::MovableObject*>{puppet.GetSubMesh("leaf").entity, key.entity,
                                                 puppet.GetSlave("lamp").entity}));

    EXPECT_FALSE(puppet.AddSlaveObject("key", "plain", "parent"));
    EXPECT_TRUE(m_log.Contains("A SlaveObject named 'key' allready exists!", cl_Logger::LEVEL_ERROR));
}

TEST_F(PuppetTest, AHiddenSubmeshLeavesThePuppetAndComesBackUnderItsNode)
{
    cl_Puppet puppet(Scene());
    puppet.AddSubMesh("plain", "leaf");
    Ogre::SceneNode* leaf = puppet.GetSubMesh("leaf").node;
    Ogre::SceneNode* elsewhere = Root().createChildSceneNode();

    EXPECT_TRUE(puppet.SetSubMeshVisible("leaf", false));
    EXPECT_EQ(leaf->getParent(), nullptr);
    EXPECT_FALSE(puppet.GetSubMesh("leaf").entity->getVisible());
    elsewhere->addChild(leaf);
    EXPECT_TRUE(puppet.SetSubMeshVisible("leaf", true));
    EXPECT_EQ(leaf->getParent(), puppet.GetSceneNode()) << "even when it hung elsewhere";
    EXPECT_TRUE(puppet.GetSubMesh("leaf").entity->getVisible());
    EXPECT_FALSE(puppet.SetSubMeshVisible("frame", true));
}

TEST_F(PuppetTest, DeactivatingResetsTheLightMaskAndTakesTheSlavesOut)
{
    cl_LuaScriptSystem scripts;
    ManualGameTime time(scripts);
    cl_Puppet puppet(Scene());
    puppet.AddSubMesh("plain", "leaf");
    puppet.AddSlaveObject("key", "plain", "parent");
    Ogre::SceneNode* key = puppet.GetSlave("key").node;
    Root().addChild(key);

    puppet.SetLightMask(5);
    EXPECT_EQ(puppet.GetSubMesh("leaf").entity->getLightMask(), 5u);
    EXPECT_EQ(puppet.GetSlave("key").entity->getLightMask(), 0x7FFFFFFFu) << "slaves keep theirs";
    puppet.SetActive(false);
    EXPECT_EQ(puppet.GetSubMesh("leaf").entity->getLightMask(), 5u) << "no change, nothing done";

    puppet.SetActive(true);
    EXPECT_TRUE(puppet.IsActive());
    puppet.SetFinishFades(true);
    time.Update(0.1f);
    EXPECT_FALSE(puppet.GetFinishFades()) << "a frame of the puppets' time";
    puppet.SetActive(false);
    EXPECT_EQ(puppet.GetSubMesh("leaf").entity->getLightMask(), 0x7FFFFFFFu);
    EXPECT_EQ(key->getParent(), nullptr);
    puppet.SetFinishFades(true);
    time.Update(0.1f);
    EXPECT_TRUE(puppet.GetFinishFades()) << "no longer in the game time";
}

TEST_F(PuppetTest, ListsItsSkeletonsAnimationsByName)
{
    MakeTestTriangle("waving", RIG);
    Ogre::SkeletonPtr rig = Ogre::SkeletonManager::getSingleton().getByName("waving_rig");
    rig->createAnimation("wave", 1.0f);
    rig->createAnimation("bow", 1.0f);
    cl_Puppet puppet(Scene());
    TiXmlElement empty("animations");
    puppet.WriteAnimationList(empty);
    EXPECT_EQ(PrintedXml(&empty), "<animations />");

    puppet.AddSubMesh("waving", "body");
    TiXmlElement list("animations");
    puppet.WriteAnimationList(list);
    EXPECT_EQ(PrintedXml(&list), R"(<animations><anim name="bow" /><anim name="wave" /></animations>)");
}

// Notes what it hears; may run something while it is told.
class EventEar final : public IPuppetAnimationEventListener
{
public:
    EventEar(const std::string& name, std::vector<std::string>& heard) : m_name(name), m_heard(heard) {}
    void OnAnimationEvent(const std::string& event) override
    {
        m_heard.push_back(m_name + " " + event);
        if (onEvent)
            onEvent();
    }

    std::function<void()> onEvent;

private:
    std::string m_name;
    std::vector<std::string>& m_heard;
};

TEST_F(PuppetTest, AnimationEventsReachTheirListenersOnceEach)
{
    cl_Puppet puppet(Scene());
    std::vector<std::string> heard;
    EventEar first("first", heard);
    EventEar second("second", heard);
    puppet.AddAnimationEventListener("step", &first);
    puppet.AddAnimationEventListener("step", &first);
    puppet.AddAnimationEventListener("step", &second);
    puppet.AddAnimationEventListener("#step", &second);

    puppet.DispatchAnimationEvent("step");
    EXPECT_EQ(heard, (std::vector<std::string>{"first step", "second step"})) << "registered once each";
    heard.clear();
    puppet.DispatchAnimationEvent("#step");
    EXPECT_EQ(heard, std::vector<std::string>{"second #step"}) << "a leading '#' is part of the name";

    heard.clear();
    first.onEvent = [&] { puppet.RemoveAnimationEventListener("step", &second); };
    puppet.DispatchAnimationEvent("step");
    EXPECT_EQ(heard, std::vector<std::string>{"first step"}) << "removed while the event was told";

    heard.clear();
    puppet.RemoveAnimationEventListener("step", &first);
    puppet.DispatchAnimationEvent("step");
    EXPECT_TRUE(heard.empty());

    puppet.AddAnimationEventListener("skeletal/open#creak", &first);
    EXPECT_TRUE(m_log.Contains("AnimPath 'skeletal/open' could not be resolved.", cl_Logger::LEVEL_ERROR))
        << "the puppet has no animation tree to find it in";
    puppet.DispatchAnimationEvent("creak");
    EXPECT_TRUE(heard.empty());
}

TEST_F(PuppetTest, ControlsAreKeptByNameAndATakenNameIsRefused)
{
    cl_ControlledPuppet puppet(Scene());
    auto idle = std::make_unique<cl_PuppetControl>();
    cl_PuppetControl* kept = idle.get();
    EXPECT_TRUE(puppet.AddControl("idle", std::move(idle)));
    EXPECT_TRUE(puppet.AddControl("face", std::make_unique<cl_PuppetControl>()));

    auto twin = std::make_unique<cl_PuppetControl>();
    EXPECT_FALSE(puppet.AddControl("idle", std::move(twin)));
    EXPECT_NE(twin, nullptr) << "the caller keeps a refused control";
    EXPECT_TRUE(
        m_log.Contains("A PuppetControl with this name is allready registered!", cl_Logger::LEVEL_WARNING));
    EXPECT_EQ(puppet.GetControl("idle"), kept);
    EXPECT_EQ(puppet.GetControl("walk"), nullptr);
    EXPECT_EQ(puppet.GetControlNames(), (std::vector<std::string>{"face", "idle"}));

    kept->SetEnabled(false);
    TiXmlElement state("control");
    kept->SaveToXml(state);
    EXPECT_EQ(PrintedXml(&state), R"(<control enabled="false" active="false" />)");
}
} // namespace
