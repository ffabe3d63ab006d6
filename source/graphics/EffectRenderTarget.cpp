#include "graphics/EffectRenderTarget.h"

#include <OgreHardwarePixelBuffer.h>
#include <OgreRenderTexture.h>
#include <OgreResourceGroupManager.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

EffectRenderTarget::EffectRenderTarget(const std::string& name, unsigned width, unsigned height,
                                       Ogre::PixelFormat format, Ogre::Camera& camera,
                                       Ogre::RenderTargetListener& listener)
    : m_listener(listener)
{
    m_texture = Ogre::TextureManager::getSingleton().createManual(
        name, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME, Ogre::TEX_TYPE_2D, width, height, 0,
        format, Ogre::TU_RENDERTARGET);
    m_target = m_texture->getBuffer()->getRenderTarget();
    m_viewport = m_target->addViewport(&camera);
    m_viewport->setClearEveryFrame(true, Ogre::FBT_COLOUR | Ogre::FBT_DEPTH);
    m_viewport->setOverlaysEnabled(false);
    m_viewport->setSkiesEnabled(false);
    m_viewport->setShadowsEnabled(false);
    m_target->addListener(&m_listener);
}

EffectRenderTarget::~EffectRenderTarget()
{
    m_target->removeAllViewports();
    m_target->removeListener(&m_listener);
    m_target->setActive(false);
    Ogre::TextureManager::getSingleton().remove(m_texture);
}

void EffectRenderTarget::SetActive(bool active)
{
    m_target->setActive(active);
}
