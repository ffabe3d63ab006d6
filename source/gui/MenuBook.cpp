#include "gui/MenuBook.h"

#include "common/Easing.h"
#include "common/LogCall.h"
#include "common/MeshHelpers.h"
#include "common/OgreResources.h"
#include "common/StringHelpers.h"
#include "common/cl_ControllerManager.h"
#include "common/cl_FloatNoise.h"
#include "common/cl_LightController.h"
#include "common/cl_ValueSourceManager.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_LightPatch.h"
#include "graphics/cl_TexturePane.h"

#include <OgreAnimationState.h>
#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreException.h>
#include <OgreLight.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgreRay.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSceneQuery.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>

namespace
{
const char* const CAMERA = "MenuCam";
const char* const GROUP = "INTERFACEDATA";
const int PAGE_TEXTURE_SIZE = 1024;
const char* const CLOSED_POSE = "blaettern_seite1";
const char* const FLICKER_SOURCE = "Omni03_source";
const char* const FLICKER_CONTROLLER = "Omni03_controller";

// The book's page meshes: "_page1" is the cover; "_page2" .. "_page5" show the stack positions 0 .. 3.
// A page that lies above another when both face the camera is drawn first, so that it hides the text of
// the one under it (the pages are transparent but for their text; the paper is painted in the backdrop).
const struct
{
    const char* name;
    const char* mesh;
    bool upper; // hangs under "_pages2" instead of "_pages"
    Ogre::ushort drawOrder;
} PAGES[] = {
    {"_page1", "seite1-front.mesh", false, 97}, {"_page2", "seite1-back.mesh", false, 99},
    {"_page3", "seite2-front.mesh", false, 98}, {"_page4", "seite2-back.mesh", false, 98},
    {"_page5", "seite3.mesh", true, 99},
};
const char* const COVER_MATERIAL = "seite1_front";
// Meshes are never culled: their flips swing them far out of the bind pose's bounds.
const float MESH_BOUNDS = 200.0f;

// The backdrop: a painted open book behind the pages, in four tiles.
const float BACKDROP_WIDTH = 2000.0f;
const float BACKDROP_HEIGHT = 1500.0f;
const float TILE = 1024.0f;
const struct
{
    const char* texture;
    float x;
    float y;
} BACKDROP_TILES[] = {
    {"menu_back01.dds", 0.0f, 0.0f},
    {"menu_back03.dds", 0.0f, TILE},
    {"menu_back02.dds", TILE, 0.0f},
    {"menu_back04.dds", TILE, TILE},
};
const char* const LIGHT_MAP = "menu_lightmap01.dds";
const float LIGHT_MAP_SIZE = 2048.0f;
// The camera set-up that lines the painted book up with the page meshes: the eye 220 units in front of
// the book, looking at the spine.
const Ogre::Vector3 BOOK(11.77f, 76.1f, -8.87f);
const Ogre::Vector3 EYE = BOOK + Ogre::Vector3(0.0f, 0.0f, 220.0f);
const float FIELD_OF_VIEW = 0.759237f;

const struct
{
    const char* name;
    Ogre::Vector3 position;
    Ogre::ColourValue colour;
} LIGHTS[] = {
    {"_Omni01", Ogre::Vector3(150.747f, 44.0856f, 126.894f), Ogre::ColourValue(0.0f, 0.462745f, 0.784314f)},
    {"_Omni02", Ogre::Vector3(-14.1217f, 121.256f, -10.2434f),
     Ogre::ColourValue(0.996078f, 0.65098f, 0.0823529f)},
    {"_Omni03", Ogre::Vector3(-5.76821f, 128.07f, -22.5808f), Ogre::ColourValue(0.623529f, 0.211765f, 0.0f)},
};

// The scene node of that name, created under parent at the position.
Ogre::SceneNode* ChildNode(Ogre::SceneNode& parent, const std::string& name, const Ogre::Vector3& position)
{
    return parent.createChildSceneNode(name, position, Ogre::Quaternion::IDENTITY);
}
} // namespace

MenuBook::MenuBook() = default;

MenuBook::~MenuBook()
{
    Destroy();
    DestroyCamera();
}

void MenuBook::CreatePageTextures(Ogre::SceneManager* sceneManager)
{
    m_sceneManager = sceneManager;
    m_camera = sceneManager->createCamera(CAMERA);
    m_camera->setFOVy(Ogre::Degree(45.0f));
    Ogre::SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode();
    node->attachObject(m_camera);
    node->lookAt(Ogre::Vector3(0.0f, 0.0f, -1.0f), Ogre::Node::TS_WORLD);

    for (int position = 0; position < PAGE_POSITIONS; ++position)
    {
        const std::string material = Format("_MainMenuPage%i", position);
        const std::string texture = Format("_MainMenuPageTexture%i", position);
        // Another menu of the same run (tests) may have made them already.
        if (!Ogre::TextureManager::getSingleton().resourceExists(texture, GROUP))
            Ogre::TextureManager::getSingleton().createManual(texture, GROUP, Ogre::TEX_TYPE_2D,
                                                              PAGE_TEXTURE_SIZE, PAGE_TEXTURE_SIZE, 0,
                                                              Ogre::PF_A8R8G8B8, Ogre::TU_RENDERTARGET);
        if (!Ogre::MaterialManager::getSingleton().resourceExists(material, GROUP))
        {
            Ogre::Pass* pass =
                Ogre::MaterialManager::getSingleton().create(material, GROUP)->getTechnique(0)->getPass(0);
            pass->createTextureUnitState(texture);
            pass->setSpecular(0.176471f, 0.145098f, 0.0980392f, 1.0f);
            pass->setShininess(10.0f);
            pass->setSelfIllumination(0.0588235f, 0.0588235f, 0.0588235f);
            pass->setSceneBlending(Ogre::SBT_TRANSPARENT_ALPHA);
        }
        m_pageMaterials.push_back(material);
        m_pageTextures.push_back(texture);
    }
}

const std::string& MenuBook::GetPageTexture(int position) const
{
    static const std::string none;
    return position >= 0 && static_cast<size_t>(position) < m_pageTextures.size()
               ? m_pageTextures[static_cast<size_t>(position)]
               : none;
}

void MenuBook::DestroyCamera()
{
    if (!m_camera)
        return;
    Ogre::SceneNode* node = m_camera->getParentSceneNode();
    m_sceneManager->destroyCamera(m_camera);
    m_sceneManager->destroySceneNode(node);
    m_camera = nullptr;
}

void MenuBook::Build()
{
    if (!m_sceneManager || m_built)
        return;
    m_built = true;
    m_sceneManager->setAmbientLight(Ogre::ColourValue(0.427451f, 0.14902f, 0.0313726f, 1.0f));
    BuildPages();
    BuildBackdrop();
    AddLights();
    m_zoomElapsed = 0.0f;
    ApplyZoom(CLOSED_ZOOM);
    for (Ogre::Entity* page : m_pages)
    {
        if (!page || !page->hasSkeleton() || !page->hasAnimationState(CLOSED_POSE))
            continue;
        Ogre::AnimationState* pose = page->getAnimationState(CLOSED_POSE);
        pose->setLoop(false);
        pose->setWeight(1.0f);
        pose->setTimePosition(0.0f);
        pose->setEnabled(true);
    }
}

void MenuBook::BuildPages()
{
    Ogre::SceneNode* menu = ChildNode(*m_sceneManager->getRootSceneNode(), "_menu", Ogre::Vector3::ZERO);
    Ogre::SceneNode* pages = ChildNode(*menu, "_pages", BOOK);
    Ogre::SceneNode* upperPages = ChildNode(*menu, "_pages2", Ogre::Vector3(11.77f, 97.373f, -8.87f));
    for (size_t index = 0; index < sizeof(PAGES) / sizeof(PAGES[0]); ++index)
    {
        const auto& page = PAGES[index];
        Ogre::Entity* entity = nullptr;
        if (!ResourceFileExists(page.mesh))
        {
            LOG_ERROR("There is no mesh '%s' for the main menu's book", page.mesh);
        }
        else
        {
            try
            {
                // Picking reads the vertices back: they are kept in memory as well.
                Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().load(
                    page.mesh, Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME,
                    Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY,
                    true, true);
                entity = m_sceneManager->createEntity(page.name, mesh);
            }
            catch (const Ogre::Exception& exception)
            {
                LOG_ERROR("The mesh '%s' of the main menu's book could not be loaded: %s", page.mesh,
                          exception.getDescription().c_str());
            }
        }
        m_pages.push_back(entity);
        if (!entity)
            continue;
        entity->setMaterialName(index == 0 ? COVER_MATERIAL : m_pageMaterials[index - 1]);
        // After the material, whose change makes OGRE measure the mesh again.
        entity->getMesh()->_setBounds(Ogre::AxisAlignedBox(-MESH_BOUNDS, -MESH_BOUNDS, -MESH_BOUNDS,
                                                           MESH_BOUNDS, MESH_BOUNDS, MESH_BOUNDS),
                                      false);
        entity->setRenderQueueGroupAndPriority(Ogre::RENDER_QUEUE_MAIN, page.drawOrder);
        ChildNode(page.upper ? *upperPages : *pages, page.name, Ogre::Vector3::ZERO)->attachObject(entity);
    }
}

void MenuBook::BuildBackdrop()
{
    Ogre::SceneNode* node = ChildNode(*m_sceneManager->getRootSceneNode(), "_backdrop", Ogre::Vector3::ZERO);
    m_backdrop = std::make_unique<cl_Backdrop>(BACKDROP_WIDTH, BACKDROP_HEIGHT, "default");
    m_backdrop->Init(node, m_sceneManager, CAMERA, false);
    for (const auto& tile : BACKDROP_TILES)
    {
        if (ResourceFileExists(tile.texture))
            m_backdrop->CreatePatch(tile.texture, -1.0f, Ogre::RENDER_QUEUE_BACKGROUND, 0, tile.x, tile.y,
                                    0.0f, 0.0f, TILE, TILE);
        else
            LOG_ERROR("There is no picture '%s' for the main menu's backdrop", tile.texture);
    }
    // The camera looks along -z with y up; the picture faces it with x to the right and y down.
    m_backdrop->SetCamera(m_camera, EYE, BOOK, FIELD_OF_VIEW,
                          Ogre::Quaternion(Ogre::Degree(90.0f), Ogre::Vector3::UNIT_X),
                          Ogre::Quaternion(Ogre::Degree(180.0f), Ogre::Vector3::UNIT_Y));
    m_backdrop->Activate();
}

void MenuBook::AddLights()
{
    Ogre::Light* flickering = nullptr;
    for (const auto& light : LIGHTS)
    {
        Ogre::Light* created = m_sceneManager->createLight(light.name);
        created->setType(Ogre::Light::LT_POINT);
        created->setDiffuseColour(light.colour);
        created->setSpecularColour(light.colour);
        ChildNode(*m_sceneManager->getRootSceneNode(), light.name, light.position)->attachObject(created);
        flickering = created;
    }
    cl_ValueSourceManager* sources = cl_ValueSourceManager::GetInstance();
    cl_ControllerManager* controllers = cl_ControllerManager::GetInstance();
    if (!sources || !controllers)
        return;
    sources->AddFloatSource(FLICKER_SOURCE, std::make_unique<cl_FloatNoise>(0.0f, 1.0f, 5.0f));
    auto controller = std::make_unique<cl_LightController>(flickering);
    controller->SetFloatSource(FLICKER_SOURCE);
    controllers->AddController(FLICKER_CONTROLLER, std::move(controller));
    if (!ResourceFileExists(LIGHT_MAP))
    {
        LOG_ERROR("There is no picture '%s' for the main menu's backdrop", LIGHT_MAP);
        return;
    }
    // The glow's middle lies on the picture's top left corner, away from the book.
    cl_LightPatch* glow =
        m_backdrop->CreateLightPatch(LIGHT_MAP, -LIGHT_MAP_SIZE * 0.5f, -LIGHT_MAP_SIZE * 0.5f, 0.0f, 0.0f,
                                     LIGHT_MAP_SIZE, LIGHT_MAP_SIZE);
    if (glow)
    {
        glow->GetPane().SetRect(0.0f, 0.0f, 1.0f, 1.0f);
        glow->SetAlphaSource(FLICKER_SOURCE);
    }
}

void MenuBook::RemoveLights()
{
    if (cl_ValueSourceManager* sources = cl_ValueSourceManager::GetInstance())
        sources->RemoveFloatSource(sources->GetFloatSource(FLICKER_SOURCE));
    if (cl_ControllerManager* controllers = cl_ControllerManager::GetInstance())
    {
        std::unique_ptr<cl_Controller> controller(controllers->GetController(FLICKER_CONTROLLER));
        if (controller)
            controllers->RemoveController(controller.get());
    }
    for (const auto& light : LIGHTS)
    {
        if (!m_sceneManager->hasLight(light.name))
            continue;
        m_sceneManager->destroyLight(light.name);
        m_sceneManager->destroySceneNode(light.name);
    }
}

void MenuBook::Destroy()
{
    if (!m_built)
        return;
    m_built = false;
    RemoveLights();
    m_animations.clear();
    m_backdrop.reset();
    for (Ogre::Entity* page : m_pages)
    {
        if (page)
            m_sceneManager->destroyEntity(page);
    }
    m_pages.clear();
    for (const char* node :
         {"_menu", "_page5", "_page4", "_page3", "_page2", "_page1", "_pages", "_pages2", "_backdrop"})
    {
        if (m_sceneManager->hasSceneNode(node))
            m_sceneManager->destroySceneNode(node);
    }
}

void MenuBook::StartZoom(float duration)
{
    m_zoomDuration = duration;
    m_zoomElapsed = 0.0f;
}

void MenuBook::StartFlip(const std::string& animation, bool forward)
{
    for (Ogre::AnimationState* state : m_animations)
    {
        state->setWeight(0.0f);
        state->setEnabled(false);
    }
    m_animations.clear();
    m_flipForward = forward;
    for (Ogre::Entity* page : m_pages)
    {
        if (!page || !page->hasSkeleton() || !page->hasAnimationState(animation))
            continue;
        Ogre::AnimationState* state = page->getAnimationState(animation);
        state->setEnabled(true);
        state->setLoop(false);
        state->setWeight(1.0f);
        state->setTimePosition(forward ? 0.0f : state->getLength());
        m_animations.push_back(state);
    }
}

void MenuBook::Update(float dt)
{
    if (m_zoomDuration != 0.0f)
    {
        m_zoomElapsed += dt;
        if (m_zoomElapsed > m_zoomDuration)
        {
            m_zoomDuration = 0.0f;
            m_zoomElapsed = 0.0f;
        }
        else
        {
            static const EasingFunction easeInOut = GetEasingFunction("easeInOutQuad");
            const float eased = easeInOut(m_zoomElapsed / m_zoomDuration, 0.0f, 1.0f, 1.0f);
            ApplyZoom(CLOSED_ZOOM - (CLOSED_ZOOM - OPEN_ZOOM) * eased);
        }
    }
    if (cl_ValueSourceManager* sources = cl_ValueSourceManager::GetInstance())
        sources->Update(dt);
    for (Ogre::AnimationState* state : m_animations)
        state->addTime(m_flipForward ? dt : -dt);
}

void MenuBook::ApplyZoom(float zoom)
{
    m_zoom = zoom;
    if (m_backdrop)
        m_backdrop->SetZoom(zoom);
}

int MenuBook::Pick(float x, float y, Ogre::Vector2& uv) const
{
    if (!m_built || !m_camera)
        return -1;
    // Only the four page meshes that show the stack are skinned in software for the query, so that the
    // ray meets them as a running flip poses them.
    const auto pickable = [this](auto&& each)
    {
        for (size_t index = 1; index < m_pages.size(); ++index)
        {
            if (m_pages[index])
                each(*m_pages[index]);
        }
    };
    pickable([](Ogre::Entity& page) { page.addSoftwareAnimationRequest(false); });
    Ogre::RaySceneQuery* query = m_sceneManager->createRayQuery(m_camera->getCameraToViewportRay(x, y));
    query->setSortByDistance(true);
    Ogre::Vector2 hitUv;
    const RaycastResult hit = RaycastToPolygonEx(query, hitUv, true);
    m_sceneManager->destroyQuery(query);
    pickable([](Ogre::Entity& page) { page.removeSoftwareAnimationRequest(false); });

    for (size_t index = 1; index < m_pages.size(); ++index)
    {
        if (hit.hit && m_pages[index] && hit.object == m_pages[index])
        {
            uv = hitUv;
            return static_cast<int>(index) - 1;
        }
    }
    return -1;
}
