#include "graphics/cl_NavmeshDebugView.h"

#include "common/StringHelpers.h"

#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreRenderQueue.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>

namespace
{
const char* const MESH_OBJECT = "navDebugView_MeshObject";
const char* const PATH_OBJECT = "navDebugView_PathObject";
const char* const NODE = "navDebugView_SceneNode";
const char* const MESH_MATERIAL = "meshMaterial";
const char* const GROUP = "debug";
const char* const GAME_ROOT = "_game";
// After everything of the scene, the backdrop's foreground included.
const uint8_t LINES_QUEUE = Ogre::RENDER_QUEUE_OVERLAY - 1;

Ogre::ManualObject* CreateObject(Ogre::SceneManager& sceneManager, const char* name)
{
    Ogre::ManualObject* object = sceneManager.createManualObject(name);
    object->setRenderQueueGroup(LINES_QUEUE);
    object->setCastShadows(false);
    object->setQueryFlags(0);
    return object;
}

// Destroys the object of that name when it is still the given one.
void DestroyObject(Ogre::SceneManager& sceneManager, const char* name, const Ogre::ManualObject* object)
{
    if (object && sceneManager.hasManualObject(name) && sceneManager.getManualObject(name) == object)
        sceneManager.destroyManualObject(name);
}

void RemoveMaterial(Ogre::MaterialPtr& material)
{
    if (material)
        Ogre::MaterialManager::getSingleton().remove(material);
    material.reset();
}
} // namespace

cl_NavmeshDebugView::cl_NavmeshDebugView(Ogre::SceneManager& sceneManager, const cl_Navmesh& navmesh)
    : m_sceneManager(sceneManager), m_navmesh(navmesh)
{
    try
    {
        m_meshMaterial = CreateMaterial(MESH_MATERIAL, Ogre::ColourValue::Blue);
        m_meshObject = CreateObject(sceneManager, MESH_OBJECT);
        m_pathObject = CreateObject(sceneManager, PATH_OBJECT);
        Ogre::SceneNode* parent = sceneManager.hasSceneNode(GAME_ROOT) ? sceneManager.getSceneNode(GAME_ROOT)
                                                                       : sceneManager.getRootSceneNode();
        m_node = parent->createChildSceneNode(NODE);
        m_node->attachObject(m_meshObject);
        m_node->attachObject(m_pathObject);
    }
    catch (const Ogre::Exception&)
    {
        Destroy();
        throw;
    }
}

cl_NavmeshDebugView::~cl_NavmeshDebugView()
{
    Destroy();
}

void cl_NavmeshDebugView::Destroy()
{
    // The scene may have been cleared before: only what is still the view's goes.
    if (m_node && m_sceneManager.hasSceneNode(NODE) && m_sceneManager.getSceneNode(NODE) == m_node)
        m_sceneManager.destroySceneNode(m_node);
    m_node = nullptr;
    DestroyObject(m_sceneManager, MESH_OBJECT, m_meshObject);
    DestroyObject(m_sceneManager, PATH_OBJECT, m_pathObject);
    m_meshObject = nullptr;
    m_pathObject = nullptr;
    RemoveMaterial(m_meshMaterial);
    for (Ogre::MaterialPtr& material : m_chainMaterials)
        RemoveMaterial(material);
    m_chainMaterials.clear();
}

Ogre::MaterialPtr cl_NavmeshDebugView::CreateMaterial(const std::string& name,
                                                      const Ogre::ColourValue& colour)
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    if (!groups.resourceGroupExists(GROUP))
        groups.createResourceGroup(GROUP);
    const Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().create(name, GROUP);
    Ogre::Technique* technique = material->getTechnique(0);
    technique->setLightingEnabled(false);
    Ogre::Pass* pass = technique->getPass(0);
    pass->setDiffuse(colour.r, colour.g, colour.b, 0.0f);
    pass->setAmbient(colour.r, colour.g, colour.b);
    pass->setSelfIllumination(colour.r, colour.g, colour.b);
    // Without lighting the render system draws white whatever the pass's colours: the colour comes
    // through a layer of its own.
    pass->createTextureUnitState()->setColourOperationEx(Ogre::LBX_SOURCE1, Ogre::LBS_MANUAL,
                                                         Ogre::LBS_CURRENT, colour);
    pass->setFog(true, Ogre::FOG_NONE);
    pass->setDepthCheckEnabled(false);
    material->setReceiveShadows(false);
    return material;
}

const std::string& cl_NavmeshDebugView::CreateChainMaterial(const Ogre::ColourValue& colour)
{
    m_chainMaterials.push_back(
        CreateMaterial(Format("ChainMaterial%i", static_cast<int>(m_chainMaterials.size())), colour));
    return m_chainMaterials.back()->getName();
}

void cl_NavmeshDebugView::DrawMesh()
{
    m_meshObject->clear();
    const std::vector<Ogre::Vector3>& vertices = m_navmesh.GetVertices();
    m_meshObject->begin(MESH_MATERIAL, Ogre::RenderOperation::OT_LINE_LIST, GROUP);
    for (const st_NavEdge& edge : m_navmesh.GetEdges())
    {
        m_meshObject->position(vertices[edge.a]);
        m_meshObject->position(vertices[edge.b]);
    }
    m_meshObject->end();
    m_meshObject->begin(MESH_MATERIAL, Ogre::RenderOperation::OT_POINT_LIST, GROUP);
    for (int t = 0; t < m_navmesh.GetTriangleCount(); ++t)
    {
        if (m_navmesh.GetTriangle(t).localSurfaceId >= 0)
            m_meshObject->position(m_navmesh.GetTriangle(t).centre);
    }
    m_meshObject->end();
}

void cl_NavmeshDebugView::DrawSearch(const std::vector<st_NavEdgeCost>& records,
                                     const Ogre::ColourValue& colour)
{
    const std::vector<Ogre::Vector3>& vertices = m_navmesh.GetVertices();
    const std::vector<st_NavEdge>& edges = m_navmesh.GetEdges();
    m_pathObject->begin(CreateChainMaterial(colour), Ogre::RenderOperation::OT_LINE_LIST, GROUP);
    for (size_t e = 0; e < records.size() && e < edges.size(); ++e)
    {
        if (records[e].predecessor == -1)
            continue;
        m_pathObject->position(vertices[edges[e].a]);
        m_pathObject->position(vertices[edges[e].b]);
    }
    m_pathObject->end();
}

void cl_NavmeshDebugView::DrawChain(const std::vector<int>& chain, const Ogre::ColourValue& colour)
{
    m_pathObject->begin(CreateChainMaterial(colour), Ogre::RenderOperation::OT_LINE_STRIP, GROUP);
    for (const int edge : chain)
        m_pathObject->position(m_navmesh.GetEdges()[edge].midpoint);
    m_pathObject->end();
}

void cl_NavmeshDebugView::DrawPath(const std::vector<st_NavPathPoint>& path, const Ogre::ColourValue& colour)
{
    m_pathObject->begin(CreateChainMaterial(colour), Ogre::RenderOperation::OT_LINE_STRIP, GROUP);
    for (const st_NavPathPoint& point : path)
        m_pathObject->position(point.position);
    m_pathObject->end();
}

void cl_NavmeshDebugView::ClearPath()
{
    for (Ogre::MaterialPtr& material : m_chainMaterials)
        RemoveMaterial(material);
    m_chainMaterials.clear();
    m_pathObject->clear();
}
