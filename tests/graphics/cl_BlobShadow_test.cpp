#include "graphics/cl_BlobShadow.h"

#include "graphics/cl_Character.h"
#include "graphics/cl_Navmesh.h"
#include "graphics/cl_ShadowPane.h"
#include "support/DemoRig.h"
#include "support/LogCapture.h"

#include <OgreSceneNode.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace
{
using Ogre::Vector3;

// The hero's feet stand 5 above the ground in his bind pose, 10 to either side of his middle.
const char* const FEET = R"(<blobshadow>
    <element bone="foot_l" defaultdist="0" doubledist="10"/>
    <element bone="foot_r" width="20" height="5" rotation="90"><offset x="3" z="4"/></element></blobshadow>)";

class BlobShadow : public testing::Test
{
protected:
    // The hero with the blob shadow, placed under "_game" unless told otherwise.
    void MakeHero(const std::string& shadow = FEET, bool placed = true)
    {
        m_hero = m_rig.MakeCharacter("characters_hero", shadow);
        m_log.Clear();
        if (placed)
            m_hero->SetLocation(st_ObjectPlacement{m_rig.World().GameRoot()});
    }
    st_BlobShadowElement& Element(int index) const { return *m_hero->GetBlobShadow()->GetElement(index); }
    // The opacity the element's pane was given (the pane keeps its square).
    float Alpha(int index) const { return std::sqrt(Element(index).pane->GetAlpha()); }
    // The nodes below "_game" besides the hero's own.
    size_t QuadNodes()
    {
        return m_rig.World().GameRoot()->numChildren() - (m_hero->GetPlacement().parent ? 1 : 0);
    }

    LogCapture m_log;
    DemoRig m_rig;
    std::unique_ptr<cl_Character> m_hero;
};

TEST_F(BlobShadow, AQuadGrowsAndFadesWithItsBonesHeightAboveTheGround)
{
    const struct
    {
        const char* name;
        float groundHeight; // of a navigation mesh under him; < 0: none
        float scale;
        float k; // ((height - 0) / (10 - 0) + 1) / scale
        Vector3 position;
    } cases[] = {
        {"5 above, no mesh", -1.0f, 1.0f, 1.5f, Vector3(10, 0, 0)},
        {"2 above a mesh at 3", 3.0f, 1.0f, 1.2f, Vector3(10, 3, 0)},
        {"scaled by 2: 10 above", -1.0f, 2.0f, 1.0f, Vector3(20, 0, 0)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        MakeHero();
        std::unique_ptr<cl_Navmesh> ground;
        if (c.groundHeight >= 0.0f)
        {
            ground = std::make_unique<cl_Navmesh>();
            ASSERT_TRUE(ground->Load("test_ground.mesh", Vector3(0, c.groundHeight, 0),
                                     Ogre::Quaternion::IDENTITY, Vector3::UNIT_SCALE, 0));
            m_hero->SetNavmesh(ground.get());
        }
        m_hero->SetScale(c.scale);
        m_hero->GetBlobShadow()->Update();
        EXPECT_NEAR(Alpha(0), std::min(1.0f / c.k, 1.0f), 1e-4f);
        EXPECT_TRUE(Element(0).node->getScale().positionEquals(Vector3(c.k * c.scale), 1e-4f));
        EXPECT_TRUE(Element(0).node->getPosition().positionEquals(c.position, 1e-3f))
            << Element(0).node->getPosition();
        // The quad's -z looks up, so it lies flat.
        EXPECT_TRUE((Element(0).node->getOrientation() * Vector3::NEGATIVE_UNIT_Z)
                        .positionEquals(Vector3::UNIT_Y, 1e-4f));
        m_hero.reset();
    }
}

TEST_F(BlobShadow, ARotationAndAnOffsetFollowTheBoneAndTheDefaultDoubleDistanceIsTheQuadsSize)
{
    MakeHero();
    m_hero->GetSceneNode()->yaw(Ogre::Degree(90));
    m_hero->GetBlobShadow()->Update();
    const st_BlobShadowElement& right = Element(1);
    EXPECT_FLOAT_EQ(right.doubleDistance, 10.0f) << "the square root of 20 x 5";
    // foot_r at (-10, 5, 0) turned to (0, 5, 10); the offset (3, 0, 4) turned with him to (4, 0, -3).
    EXPECT_TRUE(right.node->getPosition().positionEquals(Vector3(4, 0, 7), 1e-3f))
        << right.node->getPosition();
    const Vector3 width = right.node->getOrientation() * Vector3::UNIT_X;
    const Vector3 heading = m_hero->GetSceneNode()->getOrientation() * Vector3::UNIT_X;
    EXPECT_NEAR(width.angleBetween(heading).valueDegrees(), 90.0f, 0.01f) << "turned 90 about the vertical";
}

TEST_F(BlobShadow, QuadsShowOnlyWhileTheCharacterIsPlacedAndHideShowLeavesOneNodeEach)
{
    MakeHero(FEET, false);
    EXPECT_EQ(QuadNodes(), 0u) << "hidden until placed";
    m_hero->SetLocation(st_ObjectPlacement{m_rig.World().GameRoot()});
    EXPECT_EQ(QuadNodes(), 2u);
    cl_ShadowPane* pane = Element(0).pane.get();
    m_hero->GetBlobShadow()->Hide();
    m_hero->GetBlobShadow()->Hide();
    EXPECT_EQ(QuadNodes(), 0u);
    m_hero->GetBlobShadow()->Show();
    m_hero->GetBlobShadow()->Show();
    EXPECT_EQ(QuadNodes(), 2u);
    EXPECT_EQ(Element(0).pane.get(), pane) << "the same quads";
    EXPECT_EQ(Element(0).node->getParentSceneNode(), m_rig.World().GameRoot());
    m_hero->SetLocation(st_ObjectPlacement{});
    EXPECT_EQ(QuadNodes(), 0u) << "placed nowhere";
    m_hero->GetBlobShadow()->Update();
    EXPECT_NEAR(Alpha(0), 1.0f / 1.5f, 1e-4f) << "a hidden quad still fades";
}

TEST_F(BlobShadow, TheCharacterUpdatesItsShadowEachFrame)
{
    MakeHero();
    m_hero->SetActive(true);
    m_hero->GetSceneNode()->setPosition(100, 0, 50);
    m_rig.Frames(1, 0.1f);
    EXPECT_TRUE(Element(0).node->getPosition().positionEquals(Vector3(110, 0, 50), 1e-3f));
}

TEST_F(BlobShadow, TheReaderTakesDefaultsAndSkipsABoneTheSkeletonLacks)
{
    MakeHero(R"(<blobshadow>
        <element bone="tail"/>
        <element bone="foot_l" doubledist="far" defaultdist="near" rotation="x"><offset y="2"/></element>
        <element bone="foot_r" defaultdist="5" doubledist="5"/></blobshadow>)");
    ASSERT_EQ(m_hero->GetBlobShadow()->GetElementCount(), 2);
    EXPECT_EQ(m_hero->GetBlobShadow()->GetElement(2), nullptr);
    EXPECT_EQ(m_hero->GetBlobShadow()->GetElement(-1), nullptr);
    EXPECT_FLOAT_EQ(Element(0).doubleDistance, 10.0f);
    EXPECT_FLOAT_EQ(Element(0).defaultDistance, 0.0f);
    EXPECT_FLOAT_EQ(Element(0).rotation, 0.0f);
    EXPECT_TRUE(Element(0).offset.positionEquals(Vector3(0, 2, 0)));
    m_hero->GetBlobShadow()->Update();
    EXPECT_FLOAT_EQ(Alpha(1), 1.0f) << "equal distances: k = 1 / scale, no division by 0";
    EXPECT_TRUE(Element(1).node->getScale().positionEquals(Vector3::UNIT_SCALE));
    MakeHero(R"(<blobshadow><element bone="tail"/></blobshadow>)");
    EXPECT_EQ(m_hero->GetBlobShadow()->GetElementCount(), 0);
}

TEST_F(BlobShadow, AMissingBoneIsLoggedByName)
{
    m_hero = m_rig.MakeCharacter("characters_hero", R"(<blobshadow><element bone="tail"/></blobshadow>)");
    EXPECT_TRUE(
        m_log.Contains("The blob shadow of 'characters_hero' has no bone 'tail'", cl_Logger::LEVEL_ERROR));
}
} // namespace
