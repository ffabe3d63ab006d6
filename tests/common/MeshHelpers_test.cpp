#include "common/MeshHelpers.h"
#include "support/HeadlessOgre.h"

#include <OgreBone.h>
#include <OgreEntity.h>
#include <OgreHardwareBufferManager.h>
#include <OgreLight.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreRay.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSceneQuery.h>
#include <OgreSkeleton.h>
#include <OgreSkeletonInstance.h>
#include <OgreSkeletonManager.h>
#include <OgreSubMesh.h>
#include <OgreVertexBoneAssignment.h>
#include <OgreVertexIndexData.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
struct Vertex
{
    Ogre::Vector3 position;
    Ogre::Vector2 uv;
};

struct SubMeshSpec
{
    std::vector<Vertex> vertices; // empty: the sub-mesh uses the mesh's shared vertices
    std::vector<uint32_t> indices;
    bool indices32 = false;
};

// Position and texture coordinate interleaved in one buffer, as an exporter writes them.
Ogre::VertexData* MakeVertexData(const std::vector<Vertex>& vertices)
{
    auto* data = new Ogre::VertexData();
    data->vertexCount = vertices.size();
    data->vertexDeclaration->addElement(0, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
    data->vertexDeclaration->addElement(0, 12, Ogre::VET_FLOAT2, Ogre::VES_TEXTURE_COORDINATES);
    std::vector<float> floats;
    for (const Vertex& vertex : vertices)
        floats.insert(floats.end(), {vertex.position.x, vertex.position.y, vertex.position.z, vertex.uv.x, vertex.uv.y});
    Ogre::HardwareVertexBufferSharedPtr buffer = Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
        5 * sizeof(float), vertices.size(), Ogre::HardwareBuffer::HBU_STATIC);
    buffer->writeData(0, floats.size() * sizeof(float), floats.data(), true);
    data->vertexBufferBinding->setBinding(0, buffer);
    return data;
}

void FillIndices(Ogre::IndexData& data, const std::vector<uint32_t>& indices, bool indices32)
{
    data.indexCount = indices.size();
    data.indexBuffer = Ogre::HardwareBufferManager::getSingleton().createIndexBuffer(
        indices32 ? Ogre::HardwareIndexBuffer::IT_32BIT : Ogre::HardwareIndexBuffer::IT_16BIT, indices.size(),
        Ogre::HardwareBuffer::HBU_STATIC);
    if (indices32)
        data.indexBuffer->writeData(0, indices.size() * 4, indices.data(), true);
    else
    {
        const std::vector<uint16_t> shortIndices(indices.begin(), indices.end());
        data.indexBuffer->writeData(0, shortIndices.size() * 2, shortIndices.data(), true);
    }
}

// A mesh built in code; its bounds cover every vertex, grown by margin (skinned vertices may leave them).
Ogre::MeshPtr MakeMesh(const std::string& name, const std::vector<Vertex>& shared,
                       const std::vector<SubMeshSpec>& subMeshes, float margin = 0.1f)
{
    Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().createManual(name, Ogre::RGN_DEFAULT);
    Ogre::AxisAlignedBox bounds;
    if (!shared.empty())
        mesh->sharedVertexData = MakeVertexData(shared);
    for (const Vertex& vertex : shared)
        bounds.merge(vertex.position);
    for (const SubMeshSpec& spec : subMeshes)
    {
        Ogre::SubMesh* subMesh = mesh->createSubMesh();
        subMesh->useSharedVertices = spec.vertices.empty();
        if (!subMesh->useSharedVertices)
            subMesh->vertexData = MakeVertexData(spec.vertices);
        for (const Vertex& vertex : spec.vertices)
            bounds.merge(vertex.position);
        FillIndices(*subMesh->indexData, spec.indices, spec.indices32);
    }
    bounds.setExtents(bounds.getMinimum() - Ogre::Vector3(margin), bounds.getMaximum() + Ogre::Vector3(margin));
    mesh->_setBounds(bounds, false);
    mesh->load();
    return mesh;
}

// Counter-clockwise seen from +z: its front faces a ray travelling down the z axis.
const std::vector<Vertex> TRIANGLE = {
    {{0, 0, 0}, {0.1f, 0.2f}},
    {{2, 0, 0}, {0.9f, 0.3f}},
    {{0, 2, 0}, {0.4f, 0.8f}},
};

class MeshHelpers : public testing::Test
{
protected:
    ~MeshHelpers() override
    {
        for (Ogre::RaySceneQuery* query : m_queries)
            Scene().destroyQuery(query);
    }

    Ogre::SceneManager& Scene() const { return m_ogre.SceneManager(); }

    Ogre::Entity* Place(const Ogre::MeshPtr& mesh, const Ogre::Vector3& position,
                        const Ogre::Quaternion& orientation = Ogre::Quaternion::IDENTITY,
                        const Ogre::Vector3& scale = Ogre::Vector3::UNIT_SCALE)
    {
        Ogre::Entity* entity = Scene().createEntity(mesh);
        Ogre::SceneNode* node = Scene().getRootSceneNode()->createChildSceneNode(position, orientation);
        node->setScale(scale);
        node->attachObject(entity);
        return entity;
    }

    // The query tests the world bounds that a rendered frame would have brought up to date.
    Ogre::RaySceneQuery* Query(const Ogre::Ray& ray)
    {
        Scene().getRootSceneNode()->_update(true, false);
        Ogre::RaySceneQuery* query = Scene().createRayQuery(ray);
        query->setSortByDistance(true);
        m_queries.push_back(query);
        return query;
    }

    // Straight down the z axis from z = 10 (onto the front of TRIANGLE) or up from z = -10 (onto its back).
    Ogre::RaySceneQuery* DownAt(float x, float y) { return Query(Ogre::Ray({x, y, 10}, Ogre::Vector3::NEGATIVE_UNIT_Z)); }
    Ogre::RaySceneQuery* UpAt(float x, float y) { return Query(Ogre::Ray({x, y, -10}, Ogre::Vector3::UNIT_Z)); }

    HeadlessOgre m_ogre;
    std::vector<Ogre::RaySceneQuery*> m_queries;
};

TEST_F(MeshHelpers, ReadsSharedAndOwnVertexDataWithIndexOffsets)
{
    // Two sub-meshes on the shared block (one with 32-bit indices and a stray fourth index), then one with
    // vertices of its own.
    const std::vector<Vertex> shared = {{{0, 0, 0}, {}}, {{1, 0, 0}, {}}, {{0, 1, 0}, {}}, {{1, 1, 0}, {}}};
    const std::vector<SubMeshSpec> subMeshes = {
        {{}, {0, 1, 2}, false},
        {{}, {1, 3, 2, 0}, true},
        {{{{5, 0, 0}, {}}, {{6, 0, 0}, {}}, {{5, 1, 0}, {}}}, {0, 1, 2}, false},
    };
    Ogre::Entity* entity = Place(MakeMesh("parts", shared, subMeshes), Ogre::Vector3::ZERO);

    // world = orientation * (scale * local) + position: x doubled, then a quarter turn about z, then moved.
    const Ogre::Vector3 position(10, 20, 30);
    const Ogre::Quaternion quarterTurn(Ogre::Degree(90), Ogre::Vector3::UNIT_Z);
    std::vector<Ogre::Vector3> vertices;
    std::vector<uint32_t> indices;
    GetMeshInformation(entity, vertices, indices, position, quarterTurn, Ogre::Vector3(2, 1, 1));

    EXPECT_EQ(indices, (std::vector<uint32_t>{0, 1, 2, 1, 3, 2, 4, 5, 6}));
    const std::vector<Ogre::Vector3> expected = {{10, 20, 30}, {10, 22, 30}, {9, 20, 30}, {9, 22, 30},
                                                 {10, 30, 30}, {10, 32, 30}, {9, 30, 30}};
    ASSERT_EQ(vertices.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(vertices[i].positionEquals(expected[i], 1e-4f)) << i << ": " << vertices[i];

    GetMeshInformation(nullptr, vertices, indices, position, quarterTurn, Ogre::Vector3::UNIT_SCALE);
    EXPECT_TRUE(vertices.empty());
    EXPECT_TRUE(indices.empty());
}

TEST_F(MeshHelpers, PlainFormHitsBothSidesExtendedFormOnlyTheFront)
{
    Ogre::Entity* entity = Place(MakeMesh("triangle", {}, {{TRIANGLE, {0, 1, 2}}}), Ogre::Vector3::ZERO);
    struct Case
    {
        const char* name;
        bool fromFront;
        bool extended;
        bool hit;
    } cases[] = {
        {"plain form, front", true, false, true},
        {"plain form, back", false, false, true},
        {"extended form, front", true, true, true},
        {"extended form, back", false, true, false},
    };
    for (const Case& c : cases)
    {
        Ogre::RaySceneQuery* query = c.fromFront ? DownAt(0.5f, 0.5f) : UpAt(0.5f, 0.5f);
        Ogre::Vector2 uv(-1, -1);
        const RaycastResult result = c.extended ? RaycastToPolygonEx(query, uv, false) : RaycastToPolygon(query);
        EXPECT_EQ(result.hit, c.hit) << c.name;
        EXPECT_EQ(result.object, c.hit ? entity : nullptr) << c.name;
        EXPECT_EQ(result.point, c.hit ? Ogre::Vector3(0.5f, 0.5f, 0) : Ogre::Vector3::ZERO) << c.name;
        if (c.extended && !c.hit)
        {
            EXPECT_EQ(uv, Ogre::Vector2(-1, -1)) << c.name << ": uv untouched";
        }
    }
}

TEST_F(MeshHelpers, BoundingBoxHitOutsideEveryTriangleAndNullQueryHitNothing)
{
    Place(MakeMesh("triangle", {}, {{TRIANGLE, {0, 1, 2}}}), Ogre::Vector3::ZERO);
    Ogre::Vector2 uv(-1, -1);
    for (const RaycastResult& result : {RaycastToPolygon(DownAt(1.8f, 1.8f)), RaycastToPolygonEx(DownAt(1.8f, 1.8f), uv, false),
                                        RaycastToPolygon(nullptr), RaycastToPolygonEx(nullptr, uv, false)})
    {
        EXPECT_FALSE(result.hit);
        EXPECT_EQ(result.object, nullptr);
        EXPECT_EQ(result.point, Ogre::Vector3::ZERO);
    }
    EXPECT_EQ(uv, Ogre::Vector2(-1, -1));
}

TEST_F(MeshHelpers, TextureCoordinateIsInterpolatedAtTheHitPoint)
{
    // The node scales, turns and moves the triangle; the weights are those of the hit point on it.
    const Ogre::Vector3 position(3, -2, 1);
    const Ogre::Quaternion turn(Ogre::Degree(30), Ogre::Vector3::UNIT_Z);
    const Ogre::Vector3 scale(1.5f, 1.5f, 1);
    Place(MakeMesh("triangle", {}, {{TRIANGLE, {0, 1, 2}}}), position, turn, scale);
    struct Case
    {
        const char* name;
        float a, b; // weights of the first two corners; the third gets the rest
    } cases[] = {
        {"centre", 1.0f / 3, 1.0f / 3},
        {"middle of the first edge", 0.5f, 0.5f},
        {"near the third corner", 0.1f, 0.1f},
        {"off centre", 0.6f, 0.3f},
    };
    for (const Case& c : cases)
    {
        const float weights[3] = {c.a, c.b, 1.0f - c.a - c.b};
        Ogre::Vector3 local = Ogre::Vector3::ZERO;
        Ogre::Vector2 expected = Ogre::Vector2::ZERO;
        for (int corner = 0; corner < 3; ++corner)
        {
            local += weights[corner] * TRIANGLE[corner].position;
            expected += weights[corner] * TRIANGLE[corner].uv;
        }
        const Ogre::Vector3 world = turn * (scale * local) + position;
        Ogre::Vector2 uv(-1, -1);
        const RaycastResult result = RaycastToPolygonEx(DownAt(world.x, world.y), uv, false);
        ASSERT_TRUE(result.hit) << c.name;
        EXPECT_TRUE(result.point.positionEquals(world, 1e-4f)) << c.name << ": " << result.point;
        EXPECT_NEAR(uv.x, expected.x, 1e-4f) << c.name;
        EXPECT_NEAR(uv.y, expected.y, 1e-4f) << c.name;
    }
}

// A query that reports the entries it was given, in that order and at those bounding distances.
class ListedRayQuery : public Ogre::RaySceneQuery
{
public:
    using Entry = std::pair<Ogre::MovableObject*, float>;

    ListedRayQuery(Ogre::SceneManager* manager, const Ogre::Ray& ray, std::vector<Entry> entries)
        : Ogre::RaySceneQuery(manager), m_entries(std::move(entries))
    {
        setRay(ray);
    }

    void execute(Ogre::RaySceneQueryListener* listener) override
    {
        for (const Entry& entry : m_entries)
            listener->queryResult(entry.first, entry.second);
    }

private:
    std::vector<Entry> m_entries;
};

TEST_F(MeshHelpers, WalkStopsAtTheFirstEntryBehindTheNearestHit)
{
    Ogre::MovableObject* light = Scene().createLight("not an entity");
    Scene().getRootSceneNode()->attachObject(light);
    // The far triangle lies 10 down the ray, the near one 5.
    Ogre::Entity* far = Place(MakeMesh("far", {}, {{TRIANGLE, {0, 1, 2}}}), Ogre::Vector3::ZERO);
    Ogre::Entity* near = Place(MakeMesh("near", {}, {{TRIANGLE, {0, 1, 2}}}), Ogre::Vector3(0, 0, 5));
    const Ogre::Ray ray({0.5f, 0.5f, 10}, Ogre::Vector3::NEGATIVE_UNIT_Z);
    struct Case
    {
        const char* name;
        std::vector<ListedRayQuery::Entry> entries;
        Ogre::Entity* hit;
    } cases[] = {
        {"an entry beyond the nearest hit is not tested", {{light, 1}, {far, 9}, {near, 10.5f}}, far},
        {"an entry as near as the nearest hit is tested", {{far, 9}, {near, 10}}, near},
        {"nearer hits of later entries win", {{far, 4}, {near, 4}}, near},
        {"only entities are tested", {{light, 0}}, nullptr},
    };
    for (Case& c : cases)
    {
        ListedRayQuery query(&Scene(), ray, c.entries);
        const RaycastResult result = RaycastToPolygon(&query);
        EXPECT_EQ(result.object, c.hit) << c.name;
        EXPECT_EQ(result.hit, c.hit != nullptr) << c.name;
    }
    Ogre::Vector2 uv;
    ListedRayQuery query(&Scene(), ray, {{far, 9}, {near, 10.5f}});
    EXPECT_EQ(RaycastToPolygonEx(&query, uv, false).object, far) << "the extended form stops alike";
}

TEST_F(MeshHelpers, SkinnedMeshIsReadAsAnimated)
{
    // Two corners on the bone "root", the third on "arm"; moving the arm stretches the triangle up the y axis.
    Ogre::SkeletonPtr skeleton = Ogre::SkeletonManager::getSingleton().create("rig", Ogre::RGN_DEFAULT, true);
    Ogre::Bone* root = skeleton->createBone("root", 0);
    root->addChild(skeleton->createBone("arm", 1));
    skeleton->setBindingPose();
    Ogre::MeshPtr mesh = MakeMesh("skinned", {}, {{TRIANGLE, {0, 1, 2}}}, 10.0f);
    mesh->setSkeletonName("rig");
    for (unsigned int vertex = 0; vertex < 3; ++vertex)
    {
        const unsigned short bone = vertex == 2 ? 1 : 0;
        mesh->getSubMesh(0)->addBoneAssignment(Ogre::VertexBoneAssignment{vertex, bone, 1.0f});
    }
    mesh->_compileBoneAssignments();
    const Ogre::Vector3 position(0, 0, -1);
    Ogre::Entity* entity = Place(mesh, position);
    Ogre::Bone* arm = entity->getSkeleton()->getBone("arm");
    arm->setManuallyControlled(true);
    arm->setPosition(0, 4, 0);

    std::vector<Ogre::Vector3> vertices;
    std::vector<uint32_t> indices;
    std::vector<Ogre::Vector2> uvs;
    GetMeshInformation(entity, vertices, indices, position, Ogre::Quaternion::IDENTITY, Ogre::Vector3::UNIT_SCALE);
    ASSERT_EQ(vertices.size(), 3u);
    EXPECT_TRUE(vertices[1].positionEquals({2, 0, -1}, 1e-4f)) << vertices[1];
    EXPECT_TRUE(vertices[2].positionEquals({0, 6, -1}, 1e-4f)) << vertices[2];

    struct Case
    {
        bool useAnimation;
        Ogre::Vector3 third;
    } cases[] = {{false, {0, 2, -1}}, {true, {0, 6, -1}}};
    for (const Case& c : cases)
    {
        GetMeshInformationEx(entity, vertices, indices, uvs, position, Ogre::Quaternion::IDENTITY,
                             Ogre::Vector3::UNIT_SCALE, c.useAnimation);
        ASSERT_EQ(vertices.size(), 3u);
        EXPECT_TRUE(vertices[2].positionEquals(c.third, 1e-4f)) << c.useAnimation << ": " << vertices[2];
        // The skinned copy blends positions only; the texture coordinates stay the mesh's.
        ASSERT_EQ(uvs.size(), 3u);
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(uvs[i], TRIANGLE[i].uv) << c.useAnimation << ": " << i;
    }

    // (0.5, 3) lies inside the stretched triangle only.
    EXPECT_EQ(RaycastToPolygon(DownAt(0.5f, 3)).object, entity);
    Ogre::Vector2 uv;
    EXPECT_EQ(RaycastToPolygonEx(DownAt(0.5f, 3), uv, true).object, entity);
    EXPECT_FALSE(RaycastToPolygonEx(DownAt(0.5f, 3), uv, false).hit);
}
} // namespace
