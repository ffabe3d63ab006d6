#include "graphics/PuppetModelReader.h"

#include "graphics/PuppetPose.h"
#include "graphics/cl_Puppet.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_PuppetMainAnimation.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/PuppetXml.h"
#include "support/TemporaryFolder.h"
#include "support/TestFigure.h"

#include <OgreAnimation.h>
#include <OgreAnimationTrack.h>
#include <OgreEntity.h>
#include <OgreKeyFrame.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreMeshSerializer.h>
#include <OgrePose.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeleton.h>
#include <OgreSkeletonInstance.h>
#include <OgreSkeletonManager.h>
#include <OgreSkeletonSerializer.h>
#include <OgreSubEntity.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Ogre::Quaternion;
using Ogre::Vector3;

class ModelReader : public testing::Test
{
protected:
    ModelReader() { MakeTestFigure(); }

    std::unique_ptr<cl_Puppet> Read(const std::string& content)
    {
        auto puppet = std::make_unique<cl_Puppet>(m_ogre.SceneManager());
        puppet->SetName("reader");
        EXPECT_TRUE(ReadPuppetXml(*puppet, "<puppet>" + content + "</puppet>"));
        return puppet;
    }
    Ogre::MeshPtr Mesh(const char* name) const
    {
        return Ogre::MeshManager::getSingleton().getByName(name, Ogre::RGN_DEFAULT);
    }

    HeadlessOgre m_ogre;
    LogCapture m_log;
};

TEST_F(ModelReader, NamelessSubmeshesAreNumberedAndShareTheFirstOnesSkeleton)
{
    const std::unique_ptr<cl_Puppet> puppet =
        Read(R"(<submeshes><submesh meshfile="figure_body.mesh"/><submesh meshfile="figure_head.mesh"/>
                <submesh meshfile="figure_hat.mesh"/></submeshes>)");
    const std::string node = puppet->GetSceneNode()->getName();
    ASSERT_EQ(puppet->GetSubMeshNames(), (std::vector<std::string>{"subMesh0", "subMesh1", "subMesh2"}));
    for (int number = 0; number < 3; ++number)
    {
        const st_SubMesh subMesh = puppet->GetSubMesh("subMesh" + std::to_string(number));
        EXPECT_EQ(subMesh.entity->getName(), node + "_entity" + std::to_string(number));
        EXPECT_EQ(subMesh.node->getName(), node + "_mesh" + std::to_string(number));
        EXPECT_EQ(subMesh.entity->getSkeleton(), puppet->GetSkeleton()) << "one skeleton for all";
        EXPECT_EQ(subMesh.entity->getVisibilityFlags(), 3u);
        EXPECT_TRUE(subMesh.entity->getCastShadows());
    }
    EXPECT_EQ(puppet->GetMainEntity(), puppet->GetSubMesh("subMesh0").entity);
    EXPECT_EQ(puppet->GetRootBoneHandle(), 1) << "the second root bone carries the root motion";
}

TEST_F(ModelReader, ASubmeshElementSetsUpItsEntityAndNode)
{
    Ogre::MaterialManager::getSingleton().create("reader_red", Ogre::RGN_DEFAULT);
    struct Case
    {
        const char* name;
        const char* submesh;
        std::function<void(const st_SubMesh&)> check;
    } cases[] = {
        {"a render queue above the overlays' is cut to 105", R"(renderqueue="200")",
         [](const st_SubMesh& s) { EXPECT_EQ(s.entity->getRenderQueueGroup(), 105); }},
        {"a negative render queue is 0", R"(renderqueue="-5")",
         [](const st_SubMesh& s) { EXPECT_EQ(s.entity->getRenderQueueGroup(), 0); }},
        {"refraction", R"(refraction="true")",
         [](const st_SubMesh& s) { EXPECT_EQ(s.entity->getVisibilityFlags(), 7u); }},
        {"flags are true only as \"true\"", R"(refraction="TRUE" visible="True")",
         [](const st_SubMesh& s)
         {
             EXPECT_EQ(s.entity->getVisibilityFlags(), 3u);
             EXPECT_FALSE(s.entity->getVisible());
             EXPECT_NE(s.node->getParent(), nullptr) << "a hidden submesh stays attached";
         }},
        {"an asset reference", R"(assetref="items_hat")",
         [](const st_SubMesh& s) { EXPECT_EQ(s.assetRef, "items_hat"); }},
        {"a material", R"(material="reader_red")",
         [](const st_SubMesh& s) { EXPECT_EQ(s.entity->getSubEntity(0)->getMaterialName(), "reader_red"); }},
        {"the node's transform",
         R"(><subnode><position x="1" y="2" z="3"/><rotation w="0" y="1"/><scale x="2" y="2" z="abc"/>
            </subnode></submesh><submesh meshfile="prop.mesh" name="other")",
         [](const st_SubMesh& s)
         {
             EXPECT_EQ(s.node->getPosition(), Vector3(1, 2, 3));
             EXPECT_EQ(s.node->getOrientation(), Quaternion(0, 0, 1, 0));
             EXPECT_EQ(s.node->getScale(), Vector3(2, 2, 0)) << "an unreadable component is 0";
         }},
        {"fixed bounds",
         R"(><bounds type="fixed" min="-1 -2 -3" max="4 5 x"/></submesh><submesh meshfile="prop.mesh")",
         [](const st_SubMesh& s)
         {
             // Padded by a hundredth of the size; an unreadable vector is zero.
             const Ogre::AxisAlignedBox& box = s.entity->getMesh()->getBounds();
             EXPECT_TRUE(box.getMinimum().positionEquals(Vector3(-1.01f, -2.02f, -3.03f), 1e-4f));
             EXPECT_TRUE(box.getMaximum().positionEquals(Vector3(0.01f, 0.02f, 0.03f), 1e-4f));
         }},
    };
    for (const Case& c : cases)
    {
        const std::unique_ptr<cl_Puppet> puppet =
            Read(std::string(R"(<submeshes><submesh meshfile="prop.mesh" name="hat" )") + c.submesh +
                 "/></submeshes>");
        c.check(puppet->GetSubMesh("hat"));
    }
}

TEST_F(ModelReader, WhatASubmeshCannotBeIsLoggedAndTheRestIsRead)
{
    const std::unique_ptr<cl_Puppet> puppet = Read(
        R"(<submeshes><submesh name="nothing"/><submesh meshfile="missing.mesh" name="missing"/>
             <mesh meshfile="prop.mesh" name="not a submesh"/>
             <submesh meshfile="figure_body.mesh" name="body"/>
             <submesh meshfile="single.mesh" name="stranger"/>
             <submesh meshfile="prop.mesh" name="dynamic"><bounds type="dynamic"/></submesh>
             <submesh meshfile="prop.mesh" name="untyped"><bounds min="1 1 1" max="2 2 2"/></submesh>
             <submesh meshfile="prop.mesh" name="inside out"><bounds type="fixed" min="1 1 1" max="2 0 2"/></submesh>
             <submesh meshfile="prop.mesh" name="half"><bounds type="fixed" min="1 1 1"/></submesh>
           </submeshes>)");
    EXPECT_EQ(puppet->GetSubMeshNames(),
              (std::vector<std::string>{"body", "dynamic", "half", "inside out", "untyped"}));
    EXPECT_TRUE(puppet->GetSubMesh("dynamic").dynamicBounds);
    const struct
    {
        const char* text;
        int level;
    } lines[] = {
        {"Submesh definition lacks required attribute 'meshfile'!", cl_Logger::LEVEL_WARNING},
        {"The mesh file 'missing.mesh' was not found.", cl_Logger::LEVEL_ERROR},
        {"Couldn't create entity!", cl_Logger::LEVEL_ERROR},
        {"The mesh 'single.mesh' of the submesh 'stranger' has another skeleton than the puppet 'reader'.",
         cl_Logger::LEVEL_ERROR},
        {"DynamicBounds are not supported...", cl_Logger::LEVEL_WARNING},
        {"Could not set Submesh bounds because of missing or unknown type information!",
         cl_Logger::LEVEL_WARNING},
        {"The bounds of the mesh 'prop.mesh' are no box and are ignored.", cl_Logger::LEVEL_WARNING},
        {"The bounds of the mesh 'prop.mesh' lack 'min' or 'max' and are ignored.", cl_Logger::LEVEL_WARNING},
        {"Loading character submeshes ...", cl_Logger::LEVEL_INFO | cl_Logger::TOPIC_CHARACTER},
    };
    for (const auto& line : lines)
        EXPECT_TRUE(m_log.Contains(line.text, line.level)) << line.text;
    EXPECT_FALSE(m_log.Contains("not a submesh"));
}

TEST_F(ModelReader, AReplacedSubmeshFreesItsEntityAndATakenNumberIsSkipped)
{
    cl_Puppet puppet(m_ogre.SceneManager());
    const std::string node = puppet.GetSceneNode()->getName();
    ASSERT_TRUE(puppet.AddSubMesh("figure_body.mesh", "body"));
    ASSERT_TRUE(puppet.AddSubMesh("figure_head.mesh", "head"));
    Ogre::SkeletonInstance* skeleton = puppet.GetSkeleton();

    ASSERT_TRUE(puppet.AddSubMesh("figure_hat.mesh", "body"));
    EXPECT_FALSE(m_ogre.SceneManager().hasEntity(node + "_entity0"));
    EXPECT_FALSE(m_ogre.SceneManager().hasSceneNode(node + "_mesh0"));
    EXPECT_EQ(puppet.GetSubMesh("body").entity->getName(), node + "_entity2");
    EXPECT_EQ(puppet.GetMainEntity(), puppet.GetSubMesh("body").entity) << "it replaced the main entity";
    EXPECT_EQ(puppet.GetSkeleton(), skeleton) << "the skeleton lives on with the head";
    EXPECT_EQ(puppet.GetSubMesh("body").entity->getSkeleton(), skeleton);

    ASSERT_TRUE(puppet.AddSubMesh("prop.mesh", "hat"));
    EXPECT_EQ(puppet.GetSubMesh("hat").entity->getName(), node + "_entity3") << "2 is taken";
    EXPECT_EQ(puppet.GetSubMesh("hat").node->getName(), node + "_mesh3");
}

TEST_F(ModelReader, ASlaveObjectNeedsAMeshAnIdAPositionAndANewId)
{
    const std::unique_ptr<cl_Puppet> puppet = Read(R"(<slaveobjects>
                  <slave id="lamp" meshfile="figure_hat.mesh" position="hook" assetref="items_lamp">
                    <offset>1 2 3</offset><rotation angle="90">0 2 0</rotation>
                    <bounds min="-1 -1 -1" max="1 1 1"/></slave>
                  <slave meshfile="prop.mesh" position="avatar"/>
                  <slave id="nomesh" position="avatar"/>
                  <slave id="noposition" meshfile="prop.mesh"/>
                  <slave id="lamp" meshfile="prop.mesh" position="avatar"/>
                  <slave id="missing" meshfile="missing.mesh" position="avatar"/>
                  <submesh meshfile="prop.mesh"/>
                  <slave id="turned" meshfile="prop.mesh" position="avatar"><rotation angle="90">0 0 0</rotation></slave>
                  <slave id="unturned" meshfile="prop.mesh" position="avatar"><rotation>0 1 0</rotation></slave>
                </slaveobjects>)");
    EXPECT_EQ(puppet->GetSlaveIds(), (std::vector<std::string>{"lamp", "turned", "unturned"}));
    const st_SlaveObject lamp = puppet->GetSlave("lamp");
    EXPECT_EQ(lamp.position, "hook");
    EXPECT_EQ(lamp.assetRef, "items_lamp");
    EXPECT_EQ(lamp.node->getParent(), nullptr);
    EXPECT_EQ(lamp.node->getPosition(), Vector3(1, 2, 3));
    EXPECT_TRUE(lamp.node->getOrientation().equals(Quaternion(Ogre::Degree(90), Vector3::UNIT_Y),
                                                   Ogre::Degree(0.01f)));
    EXPECT_TRUE(lamp.entity->getMesh()->getBounds().getMaximum().positionEquals(Vector3(1.02f), 1e-4f));
    EXPECT_EQ(puppet->GetSlave("turned").node->getOrientation(), Quaternion::IDENTITY) << "no axis, no turn";
    EXPECT_EQ(puppet->GetSlave("unturned").node->getOrientation(), Quaternion::IDENTITY) << "no angle either";
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 2u) << "each rotation that turns nothing is logged";
    for (const char* line : {"SlaveObject definition lacks required attribute 'id'!",
                             "SlaveObject definition lacks required attribute 'meshfile'!",
                             "SlaveObject definition lacks required attribute 'position'!",
                             "A SlaveObject named 'lamp' allready exists!", "Invalid XML Node supplied!",
                             "The mesh file 'missing.mesh' was not found."})
        EXPECT_TRUE(m_log.Contains(line, cl_Logger::LEVEL_ERROR)) << line;

    cl_Puppet other(m_ogre.SceneManager());
    const TiXmlElement bare("slave");
    EXPECT_FALSE(SlaveObjectFromXml(&bare, other));
    TiXmlDocument slave;
    slave.Parse(R"(<slave id="lamp" meshfile="prop.mesh" position="avatar"/>)");
    EXPECT_TRUE(SlaveObjectFromXml(slave.RootElement(), other)) << "another puppet's slave of the same id";
}

TEST_F(ModelReader, RootMotionNeedsASecondRootBoneAndClips)
{
    struct Case
    {
        const char* mesh;
        uint16_t bone;
        const char* message;
    } cases[] = {
        {"figure_body.mesh", 1, nullptr},
        {"single.mesh", cl_Puppet::NO_BONE, nullptr},
        {"still.mesh", cl_Puppet::NO_BONE, "Skeleton has no animations!"},
        {"prop.mesh", cl_Puppet::NO_BONE, nullptr},
    };
    for (const Case& c : cases)
    {
        m_log.Clear();
        cl_Puppet puppet(m_ogre.SceneManager());
        puppet.AddSubMesh(c.mesh, "body");
        EXPECT_EQ(puppet.GetRootBoneHandle(), c.bone) << c.mesh;
        EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), c.message ? 1u : 0u) << c.mesh;
        if (c.message)
            EXPECT_TRUE(m_log.Contains(c.message, cl_Logger::LEVEL_ERROR)) << c.mesh;
    }
}

TEST_F(ModelReader, ASecondPuppetOnAMeshOnlyChecksItsPosesAnimation)
{
    const std::string head = R"(<submeshes><submesh meshfile="figure_head.mesh"/></submeshes>
                                <poses><pose name="blink" posename="blink"/></poses>)";
    const std::unique_ptr<cl_Puppet> first = Read(head);
    const Ogre::Animation* poses = Mesh("figure_head.mesh")->getAnimation("puppet_poses");
    EXPECT_EQ(poses->getVertexTrack(0)->getVertexPoseKeyFrame(0)->getPoseReferences().size(), 2u)
        << "every pose of the target at influence 0";
    const std::unique_ptr<cl_Puppet> second = Read(head);
    EXPECT_EQ(Mesh("figure_head.mesh")->getAnimation("puppet_poses"), poses);
    EXPECT_EQ(second->GetPose("blink")->GetReferenceCount(), 1u);
    EXPECT_FALSE(m_log.Contains("Reusing the puppet_pose animation failed!"));

    // A mesh whose poses animation lacks a pose's target is only reported.
    Mesh("prop.mesh")->createAnimation("puppet_poses", 0.0f);
    Mesh("prop.mesh")->createPose(0, "wink");
    const std::unique_ptr<cl_Puppet> third =
        Read(R"(<submeshes><submesh meshfile="prop.mesh"/></submeshes>)");
    EXPECT_TRUE(m_log.Contains("Reusing the puppet_pose animation failed!", cl_Logger::LEVEL_WARNING));
    EXPECT_FALSE(Mesh("prop.mesh")->getAnimation("puppet_poses")->hasVertexTrack(0));
}

TEST_F(ModelReader, SkeletonFilesAreMergedOnceAndTakenOutAgainByUnload)
{
    const std::string bow = R"(<submeshes><submesh meshfile="figure_body.mesh"/></submeshes><animations>
        <weight name="extra" value="1"><animation name="bow" skeletonfile="extra.skeleton"/>
        <weight name="nod"><animation name="nod" skeletonfile="extra.skeleton"/></weight></weight></animations>)";
    const Ogre::SkeletonPtr figure = Ogre::SkeletonManager::getSingleton().getByName("figure.skeleton");
    const std::unique_ptr<cl_Puppet> first = Read(bow);
    EXPECT_TRUE(figure->hasAnimation("bow"));
    EXPECT_TRUE(first->GetMainEntity()->hasAnimationState("nod"));
    EXPECT_NE(first->ResolveAnimPath("extra/nod")->GetMainAnimation()->GetState(), nullptr);

    const std::unique_ptr<cl_Puppet> second = Read(bow);
    EXPECT_NE(second->ResolveAnimPath("extra")->GetMainAnimation()->GetState(), nullptr) << "merged already";
    second->Unload();
    EXPECT_TRUE(figure->hasAnimation("bow")) << "the second puppet did not merge the file, so it keeps it";

    first->Unload();
    EXPECT_FALSE(figure->hasAnimation("bow"));
    EXPECT_FALSE(figure->hasAnimation("nod"));
    EXPECT_TRUE(figure->hasAnimation("walk"));

    const std::unique_ptr<cl_Puppet> third =
        Read(R"(<submeshes><submesh meshfile="figure_body.mesh"/></submeshes><animations><weight name="a">
                <animation name="x" skeletonfile="empty.skeleton"/><animation name="x" skeletonfile="none.skeleton"/>
                </weight></animations>)");
    EXPECT_TRUE(
        m_log.Contains("The skeleton file 'empty.skeleton' has no animations.", cl_Logger::LEVEL_WARNING));
    EXPECT_TRUE(m_log.Contains("The skeleton file 'none.skeleton' was not found.", cl_Logger::LEVEL_ERROR));
    const std::unique_ptr<cl_Puppet> bare =
        Read(R"(<animations><weight name="a"><animation name="bow" skeletonfile="extra.skeleton"/></weight>
                </animations>)");
    EXPECT_TRUE(m_log.Contains("The skeleton file 'extra.skeleton' cannot be merged: the puppet 'reader' has "
                               "no skeleton.",
                               cl_Logger::LEVEL_ERROR));
}

TEST_F(ModelReader, CopiedVertexAnimationsAreTakenOutAgainByUnload)
{
    const std::unique_ptr<cl_Puppet> puppet =
        Read(R"(<submeshes><submesh meshfile="figure_head.mesh"/></submeshes>
                <vtxanimsrc srcfile="face_source.mesh" targetmesh="figure_head.mesh"/>
                <vtxanimsrc srcfile="face_source.mesh"/>)");
    const Ogre::MeshPtr head = Mesh("figure_head.mesh");
    ASSERT_TRUE(head->hasAnimation("talk"));
    const Ogre::VertexPoseKeyFrame& key =
        *head->getAnimation("talk")->getVertexTrack(0)->getVertexPoseKeyFrame(0);
    EXPECT_EQ(key.getTime(), 0.5f);
    ASSERT_EQ(key.getPoseReferences().size(), 1u);
    EXPECT_EQ(key.getPoseReferences()[0].poseIndex, 1);
    EXPECT_EQ(key.getPoseReferences()[0].influence, 0.75f);
    EXPECT_TRUE(m_log.Contains("lacks 'srcfile' or 'targetmesh'", cl_Logger::LEVEL_WARNING));
    puppet->Unload();
    EXPECT_FALSE(head->hasAnimation("talk"));
}

TEST_F(ModelReader, ASecondReadAddsToTheRootsAndPosesThereAre)
{
    const std::unique_ptr<cl_Puppet> puppet =
        Read(R"(<submeshes><submesh meshfile="figure_body.mesh"/></submeshes><animations>
                <weight name="a" value="1"><weight name="walk"><animation name="walk"/></weight></weight>
                <weight value="1"/></animations>)");
    EXPECT_TRUE(
        m_log.Contains("Skipped a weight node of the puppet 'reader' that lacks the attribute 'name'.",
                       cl_Logger::LEVEL_WARNING));
    cl_PuppetAnimWeight* root = puppet->GetRoot("a");
    ReadPuppetXml(*puppet,
                  R"(<puppet><submeshes><submesh meshfile="figure_head.mesh" name="head"/></submeshes>
        <animations><weight name="a" value="0.5"><weight name="run"><animation name="run"/></weight></weight>
        </animations><poses><pose name="smile" posename="smile"/><pose posename="blink"/></poses></puppet>)");
    EXPECT_EQ(puppet->GetRoot("a"), root);
    EXPECT_EQ(root->GetValue(), 0.5f);
    EXPECT_EQ(root->GetChildren().size(), 2u);
    EXPECT_EQ(puppet->GetPose("smile")->GetReferenceCount(), 1u);
    EXPECT_TRUE(m_log.Contains("Skipped a pose of the puppet 'reader' that lacks the attribute 'name'.",
                               cl_Logger::LEVEL_WARNING));
}

TEST_F(ModelReader, MeshesAndSkeletonsComeFromTheGroupThatHoldsTheirFiles)
{
    // Files in a group of their own, as a chapter's figures are: the poses are prepared on the mesh the
    // entity shows, and no second copy of it is loaded into the default group.
    TemporaryFolder folder;
    Ogre::MeshSerializer().exportMesh(Mesh("face_source.mesh").get(), folder.PathOf("file_face.mesh"));
    Ogre::SkeletonSerializer().exportSkeleton(
        Ogre::SkeletonManager::getSingleton().getByName("extra.skeleton").get(),
        folder.PathOf("file_extra.skeleton"));
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(folder.Path().string(), "FileSystem", "CHAPTERDATA");
    groups.initialiseResourceGroup("CHAPTERDATA");

    const std::unique_ptr<cl_Puppet> puppet = Read(
        R"(<submeshes><submesh meshfile="figure_body.mesh" name="body"/><submesh meshfile="file_face.mesh" name="face"/>
                </submeshes><animations><weight name="a"><animation name="bow" skeletonfile="file_extra.skeleton"/>
                </weight></animations><poses><pose name="smile" posename="smile"/></poses>)");
    const Ogre::MeshPtr& face = puppet->GetSubMesh("face").entity->getMesh();
    EXPECT_EQ(face->getGroup(), "CHAPTERDATA");
    EXPECT_TRUE(face->hasAnimation("puppet_poses"));
    EXPECT_FALSE(Ogre::MeshManager::getSingleton().getByName("file_face.mesh", Ogre::RGN_DEFAULT));
    EXPECT_EQ(puppet->GetPose("smile")->GetReferenceCount(), 1u);
    EXPECT_TRUE(puppet->GetMainEntity()->hasAnimationState("bow"));
    EXPECT_EQ(
        Ogre::SkeletonManager::getSingleton().getByName("file_extra.skeleton", "CHAPTERDATA")->getGroup(),
        "CHAPTERDATA");
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR) + m_log.Count(cl_Logger::LEVEL_WARNING), 0u);
    puppet->Unload();
}

TEST_F(ModelReader, OnlyAPuppetElementIsRead)
{
    cl_Puppet puppet(m_ogre.SceneManager());
    EXPECT_FALSE(puppet.FromXml(nullptr));
    TiXmlElement other("character");
    EXPECT_FALSE(puppet.FromXml(&other));
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 2u);
    EXPECT_TRUE(
        m_log.Contains("Couldn't load puppet from xml - puppet node expected.", cl_Logger::LEVEL_ERROR));
}

TEST_F(ModelReader, VectorsAndQuaternionsReadFromAttributes)
{
    TiXmlDocument document;
    document.Parse(R"(<v x="1.5" y=" 2" z="three" w="0.5"/>)");
    EXPECT_EQ(ParseVector3(document.RootElement()), Vector3(1.5f, 2.0f, 0.0f));
    EXPECT_EQ(ParseVector3(nullptr), Vector3::ZERO);
    EXPECT_EQ(ParseQuaternion(document.RootElement()), Quaternion(0.5f, 1.5f, 2.0f, 0.0f));
    TiXmlElement empty("rotation");
    EXPECT_EQ(ParseQuaternion(&empty), Quaternion::IDENTITY);
    EXPECT_EQ(ParseQuaternion(nullptr), Quaternion(0.0f, 0.0f, 0.0f, 0.0f));
}
} // namespace
