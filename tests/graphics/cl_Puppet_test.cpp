#include "graphics/cl_Puppet.h"
#include "graphics/cl_SceneObject.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/TestMeshes.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubMesh.h>
#include <OgreVertexBoneAssignment.h>

#include <gtest/gtest.h>

namespace
{
class PuppetTest : public testing::Test
{
protected:
    // An entity on a rig whose bone "hand" sits 2 above the root; with skeleton false, a plain one.
    Ogre::Entity* MakeEntity(const std::string& name, bool skeleton)
    {
        Ogre::MeshPtr mesh =
            MakeTestMesh(name, {}, {{{{{0, 0, 0}, {}}, {{1, 0, 0}, {}}, {{0, 1, 0}, {}}}, {0, 1, 2}}});
        if (skeleton)
        {
            MakeTestSkeleton(name + "_rig",
                             {{"root", -1, Ogre::Vector3::ZERO}, {"hand", 0, Ogre::Vector3(0, 2, 0)}});
            mesh->setSkeletonName(name + "_rig");
            for (unsigned int vertex = 0; vertex < 3; ++vertex)
                mesh->getSubMesh(0)->addBoneAssignment(Ogre::VertexBoneAssignment{vertex, 0, 1.0f});
            mesh->_compileBoneAssignments();
        }
        return Scene().createEntity(mesh);
    }
    Ogre::SceneNode* MakeNode() { return Scene().getRootSceneNode()->createChildSceneNode(); }
    Ogre::SceneManager& Scene() const { return m_ogre.SceneManager(); }

    HeadlessOgre m_ogre;
    LogCapture m_log;
};

TEST_F(PuppetTest, PutsTheNodeOnTheBoneInWorldSpace)
{
    // The puppet's node turns a quarter about y, doubles the size and moves: the hand at (0, 2, 0) of the
    // skeleton lands at (10, 4, 0), turned with the puppet.
    const Ogre::Quaternion quarterTurn(Ogre::Degree(90), Ogre::Vector3::UNIT_Y);
    Ogre::SceneNode* body = MakeNode();
    body->setPosition(10, 0, 0);
    body->setOrientation(quarterTurn);
    body->setScale(2, 2, 2);
    Ogre::Entity* entity = MakeEntity("body", true);
    body->attachObject(entity);
    Ogre::SceneNode* sword = MakeNode();
    Ogre::Entity* swordEntity = MakeEntity("sword", true);
    sword->attachObject(swordEntity);
    sword->setPosition(0, 0, 3);

    cl_Puppet puppet("hero", entity, body);
    puppet.AddSlaveObject("sword", swordEntity);
    Ogre::SceneNode* target = MakeNode();

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
    Ogre::Entity* rigged = MakeEntity("rigged", true);
    Ogre::Entity* plain = MakeEntity("plain", false);
    Ogre::Entity* loose = MakeEntity("loose", true); // on no node
    Ogre::SceneNode* body = MakeNode();
    body->attachObject(rigged);
    MakeNode()->attachObject(plain);
    cl_Puppet noNode("noNode", rigged, nullptr);
    cl_Puppet noSkeleton("noSkeleton", plain, body);
    cl_Puppet noEntity("noEntity", nullptr, body);
    cl_Puppet hero("hero", rigged, body);
    hero.AddSlaveObject("plain", plain);
    hero.AddSlaveObject("loose", loose);
    hero.AddSlaveObject("empty", nullptr);
    Ogre::SceneNode* target = MakeNode();
    target->setPosition(7, 7, 7);

    struct Case
    {
        const char* name;
        cl_Puppet* puppet;
        const char* slave; // nullptr: the own-node form
        const char* bone;
        const char* message; // nullptr: nothing is logged
    } cases[] = {
        {"puppet without node", &noNode, nullptr, "hand", "Puppet noNode doesn't have SceneNode!"},
        {"puppet without skeleton", &noSkeleton, nullptr, "hand", "Puppet noSkeleton doesn't have Skeleton!"},
        {"puppet without entity", &noEntity, nullptr, "hand", "Puppet noEntity doesn't have Skeleton!"},
        {"missing bone", &hero, nullptr, "foot", "Puppet hero doesn't have the Bone 'foot'!"},
        {"missing slave", &hero, "shield", "hand", "SlaveObject's Tag point couldn't be resolved!"},
        {"slave without entity", &hero, "empty", "hand", "SlaveObject's Tag point couldn't be resolved!"},
        {"slave without skeleton", &hero, "plain", "hand", "SlaveObject's Tag point couldn't be resolved!"},
        {"slave on no node", &hero, "loose", "hand", "SlaveObject's Tag point couldn't be resolved!"},
        {"slave without that bone", &hero, "loose", "foot", "SlaveObject's Tag point couldn't be resolved!"},
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
    noNode.ApplyTagPointToSceneNode("hand", nullptr);
    EXPECT_TRUE(m_log.Lines().empty()) << "a null node does nothing";
}

TEST(SceneObject, ResolvesRegisteredNamesOnly)
{
    EXPECT_EQ(cl_SceneObject::ResolveByName("chest"), nullptr);
    {
        const cl_SceneObject chest("chest", nullptr);
        const cl_SceneObject twin("chest", nullptr);
        EXPECT_EQ(cl_SceneObject::ResolveByName("chest"), &chest) << "the first of a name stays";
        EXPECT_EQ(cl_SceneObject::ResolveByName("Chest"), nullptr);
        // No current character exists yet.
        const cl_SceneObject avatar("avatar", nullptr);
        EXPECT_EQ(cl_SceneObject::ResolveByName("avatar"), nullptr);
        EXPECT_EQ(cl_SceneObject::ResolveByName(""), nullptr);
    }
    EXPECT_EQ(cl_SceneObject::ResolveByName("chest"), nullptr);
}
} // namespace
