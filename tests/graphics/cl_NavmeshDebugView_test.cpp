#include "graphics/cl_NavmeshDebugView.h"

#include "graphics/cl_Navmesh.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/TriangleMesh.h"

#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Ogre::Vector3;

const char* const NODE = "navDebugView_SceneNode";
const char* const MESH_OBJECT = "navDebugView_MeshObject";
const char* const PATH_OBJECT = "navDebugView_PathObject";

// A floor of columns x rows square cells of side 50 on y = 0, its triangles facing up.
void CreateFloor(const std::string& name, int columns, int rows)
{
    std::vector<Vector3> positions;
    std::vector<uint32_t> indices;
    for (int r = 0; r <= rows; ++r)
    {
        for (int c = 0; c <= columns; ++c)
            positions.emplace_back(c * 50.0f, 0.0f, r * 50.0f);
    }
    const auto at = [columns](int c, int r) { return static_cast<uint32_t>(r * (columns + 1) + c); };
    for (int r = 0; r < rows; ++r)
    {
        for (int c = 0; c < columns; ++c)
            indices.insert(indices.end(), {at(c, r), at(c, r + 1), at(c + 1, r), at(c + 1, r), at(c, r + 1),
                                           at(c + 1, r + 1)});
    }
    CreateTriangleMesh(name, positions, indices);
}

class NavmeshDebugView : public testing::Test
{
protected:
    NavmeshDebugView()
    {
        Scene().getRootSceneNode()->createChildSceneNode("_game");
        CreateFloor("floor", 4, 2);
        m_navmesh.Load("floor", Vector3::ZERO, Ogre::Quaternion::IDENTITY, Vector3::UNIT_SCALE, 0);
    }
    Ogre::SceneManager& Scene() const { return m_ogre.SceneManager(); }
    Ogre::ManualObject* Object(const char* name) const
    {
        return Scene().hasManualObject(name) ? Scene().getManualObject(name) : nullptr;
    }
    // Vertices of each section of the object.
    std::vector<size_t> Sections(const char* name) const
    {
        std::vector<size_t> counts;
        for (Ogre::ManualObject::ManualObjectSection* section : Object(name)->getSections())
            counts.push_back(section->getRenderOperation()->vertexData->vertexCount);
        return counts;
    }
    std::string SectionMaterial(const char* name, size_t section) const
    {
        return Object(name)->getSections()[section]->getMaterialName();
    }
    static bool HasMaterial(const std::string& name)
    {
        return Ogre::MaterialManager::getSingleton().resourceExists(name, "debug");
    }
    static Ogre::ColourValue Colour(const std::string& material)
    {
        return Ogre::MaterialManager::getSingleton()
            .getByName(material, "debug")
            ->getTechnique(0)
            ->getPass(0)
            ->getAmbient();
    }
    std::vector<st_NavPathPoint> Search(const Vector3& from, const Vector3& to)
    {
        std::vector<st_NavPathPoint> path;
        m_navmesh.FindPath(from + Vector3(0, 10, 0), to + Vector3(0, 10, 0), path);
        return path;
    }

    HeadlessOgre m_ogre;
    LogCapture m_log;
    cl_Navmesh m_navmesh;
};

TEST_F(NavmeshDebugView, ShowsTheMeshEdgesInBlueUnderTheGameNodeAndTogglingTwiceLeavesNothing)
{
    m_navmesh.ToggleDebugView(Scene());
    ASSERT_TRUE(Scene().hasSceneNode(NODE));
    EXPECT_EQ(Scene().getSceneNode(NODE)->getParent()->getName(), "_game");
    ASSERT_NE(Object(MESH_OBJECT), nullptr);
    ASSERT_NE(Object(PATH_OBJECT), nullptr);
    EXPECT_EQ(Sections(MESH_OBJECT), std::vector<size_t>{2 * m_navmesh.GetEdges().size()})
        << "a line per edge; no triangle has a surface id, so no points";
    EXPECT_EQ(SectionMaterial(MESH_OBJECT, 0), "meshMaterial");
    EXPECT_EQ(Colour("meshMaterial"), Ogre::ColourValue::Blue);
    EXPECT_TRUE(Sections(PATH_OBJECT).empty());

    m_navmesh.ToggleDebugView(Scene());
    EXPECT_FALSE(Scene().hasSceneNode(NODE));
    EXPECT_EQ(Object(MESH_OBJECT), nullptr);
    EXPECT_EQ(Object(PATH_OBJECT), nullptr);
    EXPECT_FALSE(HasMaterial("meshMaterial"));
    EXPECT_TRUE(m_log.Lines().empty());
}

TEST_F(NavmeshDebugView, AViewMadeAgainAfterASearchFindsNoMaterialInItsWay)
{
    m_navmesh.ToggleDebugView(Scene());
    Search(Vector3(10, 0, 10), Vector3(190, 0, 90));
    m_navmesh.ToggleDebugView(Scene());
    EXPECT_FALSE(HasMaterial("ChainMaterial0"));
    m_navmesh.ToggleDebugView(Scene());
    Search(Vector3(10, 0, 10), Vector3(190, 0, 90));
    EXPECT_NE(Object(MESH_OBJECT), nullptr);
    EXPECT_EQ(Sections(PATH_OBJECT).size(), 3u);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(NavmeshDebugView, EachSearchReplacesTheLastOnesReachedEdgesChainAndPath)
{
    m_navmesh.ToggleDebugView(Scene());
    std::vector<st_NavPathPoint> path;
    for (const Vector3& target : {Vector3(190, 0, 90), Vector3(110, 0, 40), Vector3(160, 0, 70)})
        path = Search(Vector3(10, 0, 10), target);

    size_t reached = 0;
    for (const st_NavEdgeCost& record : m_navmesh.GetSearchRecords())
        reached += record.predecessor != -1;
    ASSERT_GT(reached, 0u);
    ASSERT_GE(path.size(), 2u);
    const std::vector<size_t> sections = Sections(PATH_OBJECT);
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0], 2 * reached) << "a line per edge with a predecessor";
    EXPECT_GE(sections[1], 1u) << "the chain's midpoints";
    EXPECT_EQ(sections[2], path.size());
    const Ogre::ColourValue colours[] = {Ogre::ColourValue::Red, Ogre::ColourValue::Green,
                                         Ogre::ColourValue::White};
    for (size_t i = 0; i < 3; ++i)
    {
        const std::string material = "ChainMaterial" + std::to_string(i);
        EXPECT_EQ(SectionMaterial(PATH_OBJECT, i), material);
        EXPECT_EQ(Colour(material), colours[i]) << material;
    }
    EXPECT_FALSE(HasMaterial("ChainMaterial3")) << "each search removes the last one's materials";
}

TEST_F(NavmeshDebugView, SurfaceIdsShowAsPointsFromTheNextDrawingOfTheMesh)
{
    m_navmesh.ToggleDebugView(Scene());
    m_navmesh.SetLocalSurfaceId(3, Vector3(25, 0, 25), Vector3(25, 5, 25));
    EXPECT_EQ(Sections(MESH_OBJECT).size(), 1u) << "not at once";
    m_navmesh.ToggleDebugView(Scene());
    m_navmesh.ToggleDebugView(Scene());
    EXPECT_EQ(Sections(MESH_OBJECT), (std::vector<size_t>{2 * m_navmesh.GetEdges().size(), 2}))
        << "the two triangles of the first cell";
}

TEST_F(NavmeshDebugView, ALoadWhileTheViewIsOnDrawsTheNewMesh)
{
    m_navmesh.ToggleDebugView(Scene());
    CreateFloor("wide floor", 6, 3);
    m_navmesh.Load("wide floor", Vector3::ZERO, Ogre::Quaternion::IDENTITY, Vector3::UNIT_SCALE, 0);
    EXPECT_EQ(Sections(MESH_OBJECT), std::vector<size_t>{2 * m_navmesh.GetEdges().size()});
}

TEST_F(NavmeshDebugView, ASecondNavmeshCannotShowWhileTheFirstDoesAndIsLogged)
{
    cl_Navmesh other;
    other.Load("floor", Vector3::ZERO, Ogre::Quaternion::IDENTITY, Vector3::UNIT_SCALE, 0);
    m_navmesh.ToggleDebugView(Scene());
    other.ToggleDebugView(Scene());
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 1u);
    EXPECT_EQ(Sections(MESH_OBJECT), std::vector<size_t>{2 * m_navmesh.GetEdges().size()})
        << "the first view is left as it was";
    m_navmesh.ToggleDebugView(Scene());
    other.ToggleDebugView(Scene());
    EXPECT_NE(Object(MESH_OBJECT), nullptr) << "the names are free again";
}
} // namespace
