#include "graphics/cl_ReflectionEffect.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/CameraPlacement.h"
#include "graphics/EffectParent.h"
#include "graphics/EffectRenderTarget.h"
#include "graphics/cl_Camera.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreTextureUnitState.h>
#include <OgreViewport.h>
#include <tinyxml.h>

namespace
{
// Only objects with this visibility flag are mirrored.
const uint32_t REFLECTED = 2;
// Drawn after the scene's solid objects, which it shows mirrored over its own picture.
const uint8_t MIRROR_QUEUE = 79;
} // namespace

const char* const cl_ReflectionEffect::TYPE = "reflection";

cl_ReflectionEffect::cl_ReflectionEffect(const std::string& id) : cl_BaseEffect(TYPE, id) {}

cl_ReflectionEffect::~cl_ReflectionEffect()
{
    Unload();
}

void cl_ReflectionEffect::LoadFromXml(const TiXmlElement& element, Ogre::SceneManager* sceneManager)
{
    m_sceneManager = sceneManager;
    Ogre::SceneNode* parent = sceneManager ? FindEffectParent(*sceneManager, element) : nullptr;
    if (!parent)
    {
        LOG_ERROR("The reflection effect '%s' has no scene node to hang on; it shows nothing.",
                  GetId().c_str());
        return;
    }
    try
    {
        Build(element, *parent);
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("The reflection effect '%s' cannot be made of the mesh '%s' and the picture '%s' (%s); it "
                  "shows nothing.",
                  GetId().c_str(), ChildText(element, "mesh").c_str(), ChildText(element, "texture").c_str(),
                  exception.getDescription().c_str());
        Unload();
    }
}

void cl_ReflectionEffect::Build(const TiXmlElement& element, Ogre::SceneNode& parent)
{
    m_entity = m_sceneManager->createEntity(GetId() + "_Ent", ChildText(element, "mesh"));
    parent.attachObject(m_entity);

    const std::string picture = ChildText(element, "texture");
    // Wherever the game's data has it.
    const Ogre::TexturePtr image = Ogre::TextureManager::getSingleton().load(
        picture, Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME, Ogre::TEX_TYPE_2D,
        Ogre::MIP_DEFAULT, 1.0f, Ogre::PF_R8G8B8A8);

    m_camera = m_sceneManager->createCamera(GetId() + "_RflCam");
    if (element.Attribute("near"))
        m_camera->setNearClipDistance(NumberAttribute(element, "near", 5.0f));
    if (element.Attribute("far"))
        m_camera->setFarClipDistance(NumberAttribute(element, "far", 1000.0f));
    if (element.Attribute("fov"))
        m_camera->setFOVy(Ogre::Degree(NumberAttribute(element, "fov", 60.0f)));
    const Ogre::Plane plane = SurfacePlane(parent);
    m_camera->enableReflection(plane);
    m_camera->enableCustomNearClipPlane(plane);

    m_renderTarget = std::make_unique<EffectRenderTarget>(
        GetId() + "_RflTex", image->getWidth(), image->getHeight(), Ogre::PF_R8G8B8A8, *m_camera, *this);
    m_renderTarget->GetViewport().setBackgroundColour(Ogre::ColourValue(0.0f, 0.0f, 0.0f, 0.0f));
    m_renderTarget->GetViewport().setVisibilityMask(REFLECTED);

    CreateMaterial(picture);
    m_entity->setMaterialName(m_materialName);
    m_entity->setQueryFlags(0);
    m_entity->setRenderQueueGroup(MIRROR_QUEUE);
}

void cl_ReflectionEffect::CreateMaterial(const std::string& picture)
{
    const Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().create(
        GetId() + "_RflMat", Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    m_materialName = material->getName();
    Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
    pass->setSceneBlending(Ogre::SBT_TRANSPARENT_ALPHA);
    pass->setDepthWriteEnabled(false);
    pass->createTextureUnitState(picture);
    Ogre::TextureUnitState* mirrored = pass->createTextureUnitState();
    mirrored->setTexture(m_renderTarget->GetTexture());
    mirrored->setColourOperationEx(Ogre::LBX_MODULATE, Ogre::LBS_TEXTURE, Ogre::LBS_CURRENT);
    mirrored->setAlphaOperation(Ogre::LBX_MODULATE, Ogre::LBS_TEXTURE, Ogre::LBS_CURRENT);
    mirrored->setTextureAddressingMode(Ogre::TextureUnitState::TAM_CLAMP);
    mirrored->setProjectiveTexturing(true, m_camera);
}

void cl_ReflectionEffect::Unload()
{
    if (!m_materialName.empty())
    {
        Ogre::MaterialManager::getSingleton().remove(m_materialName,
                                                     Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
        m_materialName.clear();
    }
    // Before the camera its viewport shows.
    m_renderTarget.reset();
    if (m_camera)
        m_sceneManager->destroyCamera(m_camera);
    m_camera = nullptr;
    if (m_entity)
        m_sceneManager->destroyEntity(m_entity);
    m_entity = nullptr;
}

void cl_ReflectionEffect::SetEnabled(bool enabled)
{
    if (m_renderTarget)
        m_renderTarget->SetActive(enabled);
    if (m_entity)
        m_entity->setVisible(enabled);
}

void cl_ReflectionEffect::preRenderTargetUpdate(const Ogre::RenderTargetEvent&)
{
    const cl_Camera* camera = cl_Camera::GetInstance();
    if (const Ogre::Camera* game = camera ? camera->GetOgreCamera() : nullptr)
        PlaceCamera(*m_camera, game->getDerivedPosition(), game->getDerivedOrientation());
    m_entity->setVisible(false);
}

void cl_ReflectionEffect::postRenderTargetUpdate(const Ogre::RenderTargetEvent&)
{
    m_entity->setVisible(true);
}
