#include "graphics/SurfaceEffect.h"

#include "common/LogCall.h"
#include "graphics/EffectParent.h"
#include "graphics/EffectRenderTarget.h"
#include "graphics/cl_Camera.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTextureManager.h>

SurfaceEffect::SurfaceEffect(const std::string& type, const std::string& id) : cl_BaseEffect(type, id) {}

SurfaceEffect::~SurfaceEffect()
{
    Unload();
}

void SurfaceEffect::LoadFromXml(const TiXmlElement& element, Ogre::SceneManager* sceneManager)
{
    m_sceneManager = sceneManager;
    Ogre::SceneNode* parent = sceneManager ? FindEffectParent(*sceneManager, element) : nullptr;
    if (!parent)
    {
        LOG_ERROR("The %s effect '%s' has no scene node to hang on; it shows nothing.", GetType().c_str(),
                  GetId().c_str());
        return;
    }
    if (!Ogre::TextureManager::getSingletonPtr())
    {
        LOG_WARNING("The %s effect '%s' needs a render system for its textures; it shows nothing.",
                    GetType().c_str(), GetId().c_str());
        return;
    }
    try
    {
        Build(element, *parent);
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("The %s effect '%s' cannot be made of %s (%s); it shows nothing.", GetType().c_str(),
                  GetId().c_str(), DescribeFiles(element).c_str(), exception.getDescription().c_str());
        Unload();
    }
}

void SurfaceEffect::CreateSurface(const std::string& mesh, Ogre::SceneNode& parent)
{
    m_entity = m_sceneManager->createEntity(GetId() + "_Ent", mesh);
    parent.attachObject(m_entity);
    m_entity->setQueryFlags(0);
    m_plane = SurfacePlane(parent);
}

Ogre::Camera* SurfaceEffect::CreateCamera(const std::string& suffix, bool mirrored)
{
    Ogre::Camera* camera = m_sceneManager->createCamera(GetId() + suffix);
    if (mirrored)
        camera->enableReflection(m_plane);
    // A mirrored camera sees the plane from below, as it faces up: what lies above is kept. One on this
    // side keeps what lies under the surface.
    camera->enableCustomNearClipPlane(mirrored ? m_plane : -m_plane);
    return camera;
}

std::unique_ptr<EffectRenderTarget> SurfaceEffect::CreateTarget(const std::string& suffix, unsigned width,
                                                                unsigned height, Ogre::PixelFormat format,
                                                                Ogre::Camera& camera)
{
    return std::make_unique<EffectRenderTarget>(GetId() + suffix, width, height, format, camera, *this);
}

void SurfaceEffect::Dress(const Ogre::MaterialPtr& material)
{
    m_material = material;
    m_entity->setMaterial(material);
}

void SurfaceEffect::Unload()
{
    if (m_material)
        Ogre::MaterialManager::getSingleton().remove(m_material);
    m_material.reset();
    // Before the cameras their viewports show.
    m_reflectionTarget.reset();
    m_refractionTarget.reset();
    for (Ogre::Camera** camera : {&m_reflectionCamera, &m_refractionCamera})
    {
        if (*camera)
            m_sceneManager->destroyCamera(*camera);
        *camera = nullptr;
    }
    if (m_entity)
        m_sceneManager->destroyEntity(m_entity);
    m_entity = nullptr;
}

void SurfaceEffect::SetEnabled(bool enabled)
{
    for (EffectRenderTarget* target : {m_reflectionTarget.get(), m_refractionTarget.get()})
    {
        if (target)
            target->SetActive(enabled);
    }
    if (m_entity)
        m_entity->setVisible(enabled);
}

void SurfaceEffect::preRenderTargetUpdate(const Ogre::RenderTargetEvent&)
{
    const cl_Camera* camera = cl_Camera::GetInstance();
    if (const Ogre::Camera* game = camera ? camera->GetOgreCamera() : nullptr)
        FollowGameCamera(*game);
    m_entity->setVisible(false);
}

void SurfaceEffect::postRenderTargetUpdate(const Ogre::RenderTargetEvent&)
{
    m_entity->setVisible(true);
}
