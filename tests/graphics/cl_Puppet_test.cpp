#include "graphics/cl_Puppet.h"

#include "common/cl_LuaScriptSystem.h"
#include "graphics/IPuppetAnimationEventListener.h"
#include "graphics/PuppetPose.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_PuppetControl.h"
#include "graphics/cl_PuppetMainAnimation.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/ManualGameTime.h"
#include "support/PrintedXml.h"
#include "support/PuppetXml.h"
#include "support/TestFigure.h"
#include "support/TestMeshes.h"

#include <OgreAnimation.h>
#include <OgreAnimationState.h>
#include <OgreAnimationTrack.h>
#include <OgreBone.h>
#include <OgreEntity.h>
#include <OgreKeyFrame.h>
#include <OgreMesh.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
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
    m_log.Clear(); // the loading progress, and the rig has no animations

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

TEST_F(PuppetTest, ListsTheAnimationPathsOfItsWeightTree)
{
    MakeTestFigure();
    cl_Puppet puppet(Scene());
    TiXmlElement empty("animations");
    puppet.WriteAnimationList(empty);
    EXPECT_EQ(PrintedXml(&empty), "<animations />");

    ReadPuppetXml(puppet, R"(<puppet><submeshes><submesh meshfile="figure_body.mesh"/></submeshes><animations>
        <weight name="skeletal"><weight name="walk"><weight name="loop">
          <weight name="straight_fast"><animation name="walk"/></weight><weight name="left"/>
        </weight></weight><weight name="idle"><animation name="idle"/></weight></weight>
        <weight name="face"><animation name="wave"/></weight></animations></puppet>)");
    TiXmlElement list("animations");
    puppet.WriteAnimationList(list);
    EXPECT_EQ(PrintedXml(&list), R"(<animations><anim name="face" /><anim name="skeletal/idle" />)"
                                 R"(<anim name="skeletal/walk/loop/straight_fast" /></animations>)");
    for (const TiXmlElement* anim = list.FirstChildElement(); anim; anim = anim->NextSiblingElement())
        EXPECT_NE(puppet.ResolveAnimPath(anim->Attribute("name")), nullptr) << "a path the puppet resolves";
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
// A puppet of the test figure: body and head, the slave "lamp" (a rigged hat) hanging at the puppet, the
// roots "skeletal" (walk, turns, idle) and "face", the poses "blink" and "smile".
class FigureTest : public PuppetTest
{
protected:
    FigureTest() { MakeTestFigure(); }

    std::unique_ptr<cl_Puppet> Figure(const std::string& weights = FIGURE_WEIGHTS)
    {
        auto puppet = std::make_unique<cl_Puppet>(Scene());
        puppet->SetName("figure");
        ReadPuppetXml(*puppet, R"(<puppet><submeshes><submesh meshfile="figure_body.mesh" name="body"/>
            <submesh meshfile="figure_head.mesh" name="head"/></submeshes>
            <slaveobjects><slave id="lamp" meshfile="figure_hat.mesh" position="avatar"/></slaveobjects>
            <animations>)" + weights +
                                   R"(</animations>
            <poses><pose name="blink" posename="blink"/><pose name="smile" posename="smile"/></poses></puppet>)");
        Root().addChild(puppet->GetSceneNode());
        return puppet;
    }
    static Ogre::AnimationState* State(const cl_Puppet& puppet, const char* clip)
    {
        return puppet.GetMainEntity()->getAnimationState(clip);
    }

    static constexpr const char* FIGURE_WEIGHTS =
        R"(<weight name="skeletal" value="1"><weight name="walk" value="0"><weight name="loop" value="1">
             <animation name="walk" loop="true"/></weight></weight>
             <weight name="idle" value="0"><animation name="idle"/></weight>
             <weight name="enter" value="0"><animation name="enter"/></weight></weight>
           <weight name="face" value="0"><animation name="wave"/></weight>)";
};

TEST_F(FigureTest, AnimationPathsNameTheSameNodeWhateverTheirSlashes)
{
    const std::unique_ptr<cl_Puppet> puppet = Figure();
    const cl_PuppetAnimWeight* loop = puppet->ResolveAnimPath("skeletal/walk/loop");
    ASSERT_NE(loop, nullptr);
    struct Case
    {
        const char* path;
        const cl_PuppetAnimWeight* node;
        const char* message;
    } cases[] = {
        {"/skeletal//walk/loop/", loop, nullptr},
        {"skeletal///walk/loop//", loop, nullptr},
        {"", nullptr, nullptr},
        {"///", nullptr, nullptr},
        {"walk/loop", nullptr, "AnimPath 'walk/loop' could not be resolved."},
        {"/nowhere", nullptr, "AnimPath '/nowhere' could not be resolved."},
    };
    for (const Case& c : cases)
    {
        m_log.Clear();
        EXPECT_EQ(puppet->ResolveAnimPath(c.path), c.node) << c.path;
        if (c.message)
            EXPECT_TRUE(m_log.Contains(c.message, cl_Logger::LEVEL_ERROR)) << c.path;
        else
            EXPECT_TRUE(m_log.Lines().empty()) << c.path;
    }

    cl_PuppetAnimWeight* made = puppet->ResolveAnimPath("skeletal/walk/loop/left/deep");
    ASSERT_NE(made, nullptr) << "missing children are created";
    EXPECT_EQ(made->GetPath(), "/walk/loop/left/deep");
    EXPECT_EQ(made->GetMainAnimation(), nullptr);
    EXPECT_EQ(puppet->ResolveAnimPath("skeletal/walk/loop/left/deep"), made);
}

TEST_F(FigureTest, AnEventKeyWithAPathHearsThatAnimationOnly)
{
    const std::unique_ptr<cl_Puppet> puppet = Figure();
    std::vector<std::string> heard;
    EventEar walk("walk", heard);
    EventEar every("every", heard);
    puppet->AddAnimationEventListener("skeletal/walk/loop#activated", &walk);
    puppet->AddAnimationEventListener("/skeletal/walk/loop/#activated", &walk);
    puppet->AddAnimationEventListener("activated", &every);

    puppet->ResolveAnimPath("skeletal/walk")->SetTarget(1.0f, 0.0f);
    puppet->Update(0.1f);
    EXPECT_EQ(heard, (std::vector<std::string>{"walk activated", "every activated"})) << "once each";
    heard.clear();
    puppet->ResolveAnimPath("skeletal/idle")->SetTarget(1.0f, 0.0f);
    puppet->Update(0.1f);
    EXPECT_EQ(heard, std::vector<std::string>{"every activated"});

    heard.clear();
    puppet->RemoveAnimationEventListener("skeletal/walk/loop#activated", &walk);
    puppet->ResolveAnimPath("skeletal/walk")->SetTarget(0.0f, 0.0f);
    puppet->Update(0.1f);
    puppet->ResolveAnimPath("skeletal/walk")->SetTarget(1.0f, 0.0f);
    puppet->Update(0.1f);
    EXPECT_EQ(heard, std::vector<std::string>{"every activated"});

    m_log.Clear();
    puppet->AddAnimationEventListener("skeletal/walk#activated", &walk);
    EXPECT_TRUE(m_log.Lines().empty()) << "a node without a main animation takes no listener";
}

TEST_F(FigureTest, TheFallbackPlaysOnlyWhileNothingElseDoes)
{
    const std::unique_ptr<cl_Puppet> puppet = Figure();
    Ogre::AnimationState* idle = State(*puppet, "idle");
    puppet->SetFallbackAnimation(puppet->ResolveAnimPath("skeletal/idle"), -1.0f);
    puppet->Update(0.5f);
    EXPECT_FALSE(idle->getEnabled()) << "not switched on";

    puppet->SetFallbackSwitchedOn(true);
    puppet->GetPose("blink")->SetWeight(1.0f, 0.0f);
    puppet->Update(0.5f);
    EXPECT_TRUE(idle->getEnabled()) << "the poses do not count";
    EXPECT_EQ(idle->getWeight(), 1.0f);
    EXPECT_FLOAT_EQ(idle->getTimePosition(), 0.5f) << "its clock runs";
    EXPECT_FALSE(puppet->IsOtherAnimationActive()) << "the fallback shown does not count";

    puppet->ResolveAnimPath("skeletal/walk")->SetTarget(1.0f, 0.0f);
    puppet->Update(0.1f);
    EXPECT_FALSE(idle->getEnabled()) << "back to its own flag the moment another clip plays";
    EXPECT_TRUE(puppet->IsOtherAnimationActive());

    puppet->ResolveAnimPath("skeletal/walk")->SetTarget(0.0f, 0.0f);
    puppet->SetFallbackAnimation(puppet->ResolveAnimPath("skeletal/idle"), 1.5f);
    puppet->Update(0.1f);
    EXPECT_TRUE(idle->getEnabled());
    EXPECT_FLOAT_EQ(idle->getTimePosition(), 1.5f) << "held where it was given";

    puppet->SetFallbackAnimation(puppet->ResolveAnimPath("skeletal/walk"), -1.0f);
    EXPECT_FALSE(idle->getEnabled()) << "a replaced fallback gets its flag back";
    puppet->Update(0.1f);
    EXPECT_FALSE(State(*puppet, "walk")->getEnabled()) << "a node without a main animation shows nothing";
}

TEST_F(FigureTest, ABlendWhoseWeightsSumAboveOneIsAveragedByTheSkeleton)
{
    // Two roots each play one clip at full weight. OGRE's skeletons average such a blend; the puppet
    // leaves it so.
    const std::unique_ptr<cl_Puppet> puppet = Figure();
    puppet->ResolveAnimPath("skeletal/idle")->SetTarget(1.0f, 0.0f);
    puppet->ResolveAnimPath("face")->SetTarget(1.0f, 0.0f);
    puppet->Update(1.0f);
    EXPECT_EQ(State(*puppet, "idle")->getWeight(), 1.0f);
    EXPECT_EQ(State(*puppet, "wave")->getWeight(), 1.0f);
    Ogre::SkeletonInstance& skeleton = *puppet->GetSkeleton();
    skeleton.setAnimationState(*puppet->GetMainEntity()->getAllAnimationStates());
    // The hand rests at 2; idle lifts it by 0.5 at one second, the wave by 2: averaged 1.25.
    EXPECT_NEAR(skeleton.getBone("hand")->getPosition().y, 3.25f, 1e-4f);
}

TEST_F(FigureTest, ATeleportedPuppetShowsItsFadeTargetsInTheNextFrame)
{
    const std::unique_ptr<cl_Puppet> puppet = Figure();
    cl_PuppetAnimWeight* walk = puppet->ResolveAnimPath("skeletal/walk");
    walk->SetTarget(1.0f, 5.0f);
    puppet->SetFinishFades(true);
    puppet->Update(0.1f);
    EXPECT_EQ(walk->GetValue(), 1.0f);
    EXPECT_FALSE(walk->IsFading());
    EXPECT_FALSE(puppet->GetFinishFades());
}

TEST_F(FigureTest, PosesBlendThroughThePosesAnimationWhileInUse)
{
    const std::unique_ptr<cl_Puppet> puppet = Figure();
    PuppetPose& blink = *puppet->GetPose("blink");
    EXPECT_EQ(blink.GetReferenceCount(), 1u) << "the head's: the body has no such pose";
    TiXmlDocument more;
    more.Parse(R"(<pose name="blink" posename="blink" slave="lamp"/>)");
    puppet->AddPose(*more.RootElement());
    puppet->AddPose(*more.RootElement());
    EXPECT_EQ(blink.GetReferenceCount(), 2u) << "the lamp's added once";
    Ogre::AnimationState* poses = State(*puppet, "puppet_poses");
    const Ogre::VertexPoseKeyFrame& head = *puppet->GetSubMesh("head")
                                                .entity->getMesh()
                                                ->getAnimation("puppet_poses")
                                                ->getVertexTrack(0)
                                                ->getVertexPoseKeyFrame(0);

    blink.SetWeight(1.0f, 1.0f);
    puppet->Update(0.25f);
    EXPECT_FLOAT_EQ(blink.GetWeight(), 0.25f);
    EXPECT_FLOAT_EQ(head.getPoseReferences()[0].influence, 0.25f);
    EXPECT_TRUE(poses->getEnabled());
    blink.SetWeight(0.0f, 0.0f);
    puppet->Update(0.25f);
    EXPECT_FLOAT_EQ(head.getPoseReferences()[0].influence, 0.0f);
    EXPECT_FALSE(poses->getEnabled());
    blink.SetBaseInfluence(0.5f);
    puppet->Update(0.25f);
    EXPECT_FLOAT_EQ(head.getPoseReferences()[0].influence, 0.5f);
    EXPECT_TRUE(poses->getEnabled());
}

TEST_F(FigureTest, ASlaveAnimationHangsItsSlaveWhereItBelongsWhileItIsShown)
{
    Ogre::SceneNode* game = Root().createChildSceneNode("_game");
    enum Where
    {
        AT_PUPPET, // the slave's "avatar": the puppet's node
        NOWHERE,
        AT_ROOT, // the scene's root
    };
    struct Case
    {
        const char* name;
        const char* attributes;
        std::vector<float> steps;
        Where where;
        float clock;
    } cases[] = {
        {"inside its window", R"(show="0.25" hide="0.75")", {0.5f}, AT_PUPPET, 0.5f},
        {"before its window", R"(show="0.25")", {0.1f}, NOWHERE, 0.1f},
        {"after its window", R"(hide="0.75")", {0.8f}, NOWHERE, 0.8f},
        {"an empty window never shows", R"(hide="0")", {0.0f}, NOWHERE, 0.0f},
        {"stored", R"(position="stored")", {0.5f}, AT_ROOT, 0.5f},
        {"a fixed time pins the clock",
         R"(fixedtime="0.5" show="0.4" hide="0.6")",
         {0.1f, 0.7f},
         AT_PUPPET,
         0.5f},
    };
    for (const Case& c : cases)
    {
        const std::unique_ptr<cl_Puppet> puppet =
            Figure(std::string(R"(<weight name="lamp" value="1"><animation name="wave" slave="lamp" )") +
                   c.attributes + "/></weight>");
        for (const float step : c.steps)
            puppet->Update(step);
        const Ogre::Node* expected[] = {puppet->GetSceneNode(), nullptr, game};
        EXPECT_EQ(puppet->GetSlave("lamp").node->getParent(), expected[c.where]) << c.name;
        EXPECT_FLOAT_EQ(puppet->GetSlave("lamp").entity->getAnimationState("wave")->getTimePosition(),
                        c.clock)
            << c.name;
    }
}

TEST_F(FigureTest, SlaveObjectsFindTheNodesTheyHangUnder)
{
    Ogre::SceneNode* game = Root().createChildSceneNode("_game");
    Ogre::SceneNode* hook = Root().createChildSceneNode("hook");
    const std::unique_ptr<cl_Puppet> puppet = Figure();
    ASSERT_TRUE(puppet->AddSlaveObject("loose", "prop.mesh", "parent"));
    ASSERT_TRUE(puppet->AddSlaveObject("hooked", "prop.mesh", "parent", "hook"));
    struct Case
    {
        const char* slave;
        const char* name;
        Ogre::SceneNode* node;
    } cases[] = {
        {"loose", "", puppet->GetSceneNode()},
        {"loose", "avatar", puppet->GetSceneNode()},
        {"loose", "Parent", puppet->GetSceneNode()},
        {"loose", "SceneRoot", game},
        {"loose", "sceneroot", game},
        {"loose", "hook", hook},
        {"loose", "nowhere", nullptr},
        {"hooked", "SceneRoot", hook},
        {"lamp", "hook", puppet->GetSceneNode()},
        {"nobody", "hook", nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(puppet->FindNode(c.slave, c.name), c.node) << c.slave << " " << c.name;
}

TEST_F(FigureTest, ANodeGoesWhereAClipStartsAndBonesHaveWorldPositions)
{
    const std::unique_ptr<cl_Puppet> puppet = Figure();
    Ogre::SceneNode* origin = Root().createChildSceneNode();
    origin->setPosition(10, 0, 0);
    origin->setInitialState();
    origin->setPosition(99, 99, 99);
    puppet->ApplyAnimOriginToSceneNode(origin, "skeletal/enter");
    EXPECT_TRUE(origin->getPosition().positionEquals(Ogre::Vector3(10, 0, -50), 1e-4f))
        << origin->getPosition();
    EXPECT_TRUE(origin->getOrientation().equals(Ogre::Quaternion(Ogre::Degree(180), Ogre::Vector3::UNIT_Y),
                                                Ogre::Degree(0.01f)));
    origin->setPosition(7, 7, 7);
    puppet->ApplyAnimOriginToSceneNode(origin, "skeletal/walk");
    EXPECT_EQ(origin->getPosition(), Ogre::Vector3(7, 7, 7)) << "a node without a main animation";

    Ogre::SceneNode& node = *puppet->GetSceneNode();
    node.setPosition(10, 0, 0);
    node.setOrientation(Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Y));
    node.setScale(2, 2, 2);
    EXPECT_TRUE(puppet->GetWorldPosition("hand").positionEquals(Ogre::Vector3(10, 4, 0), 1e-4f));
    EXPECT_EQ(puppet->GetWorldPosition("tail"), Ogre::Vector3::ZERO);
    cl_Puppet bare(Scene());
    bare.ApplyAnimOriginToSceneNode(origin, "skeletal/enter");
    EXPECT_TRUE(m_log.Contains("Puppet unknown doesn't have Skeleton!", cl_Logger::LEVEL_ERROR));
}

TEST_F(FigureTest, UnloadEmptiesTheModelAndTheSamePuppetReadsItAgain)
{
    const std::unique_ptr<cl_Puppet> puppet =
        Figure(std::string(FIGURE_WEIGHTS) +
               R"(<weight name="extra"><animation name="bow" skeletonfile="extra.skeleton"/>
                                         </weight>)");
    const std::string node = puppet->GetSceneNode()->getName();
    std::vector<std::string> heard;
    EventEar ear("ear", heard);
    puppet->AddAnimationEventListener("activated", &ear);
    puppet->SetActive(true);
    puppet->SetFallbackSwitchedOn(true);
    puppet->SetFallbackAnimation(puppet->ResolveAnimPath("skeletal/idle"), -1.0f);
    puppet->Update(0.1f);
    ASSERT_TRUE(Scene().hasSceneNode(node + "_mesh1"));
    ASSERT_TRUE(puppet->GetMainEntity()->hasAnimationState("bow"));

    EXPECT_TRUE(puppet->Unload());
    EXPECT_FALSE(Scene().hasSceneNode(node + "_mesh0"));
    EXPECT_FALSE(Scene().hasSceneNode(node + "_mesh1"));
    EXPECT_FALSE(Scene().hasEntity(node + "_entity0"));
    EXPECT_TRUE(puppet->GetSubMeshNames().empty());
    EXPECT_TRUE(puppet->GetSlaveIds().empty());
    EXPECT_EQ(puppet->GetMainEntity(), nullptr);
    EXPECT_EQ(puppet->GetSkeleton(), nullptr);
    EXPECT_EQ(puppet->GetPose("blink"), nullptr);
    EXPECT_EQ(puppet->GetRoot("skeletal"), nullptr);
    EXPECT_FALSE(Ogre::SkeletonManager::getSingleton().getByName("figure.skeleton")->hasAnimation("bow"))
        << "the merged skeleton file is taken out again";
    EXPECT_TRUE(puppet->IsActive());
    puppet->Update(0.1f);

    heard.clear();
    ReadPuppetXml(*puppet, R"(<puppet><submeshes><submesh meshfile="figure_body.mesh"/></submeshes>
        <animations><weight name="a" value="1"><animation name="walk"/></weight></animations></puppet>)");
    EXPECT_EQ(puppet->GetSubMesh("subMesh0").entity->getName(), node + "_entity0");
    EXPECT_EQ(puppet->GetRootBoneHandle(), 1);
    puppet->Update(0.1f);
    EXPECT_EQ(heard, std::vector<std::string>{"ear activated"}) << "the listeners stay";
}
} // namespace
