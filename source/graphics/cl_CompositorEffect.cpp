#include "graphics/cl_CompositorEffect.h"

#include "common/LogCall.h"

#include <OgreCamera.h>
#include <OgreCompositorInstance.h>
#include <OgreCompositorManager.h>
#include <OgreRenderSystem.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreViewport.h>
#include <tinyxml.h>

namespace
{
// The viewport of a window that shows one of the scene's cameras. Only the render system's windows are
// asked: the scene manager's last viewport and a camera's may be those of a mirror or light shaft, which
// render into textures and go with their effects, and OGRE forgets neither when they go.
Ogre::Viewport* SceneViewport(const Ogre::SceneManager& sceneManager)
{
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    Ogre::RenderSystem* renderSystem = root ? root->getRenderSystem() : nullptr;
    if (!renderSystem)
        return nullptr;
    for (const auto& target : renderSystem->getRenderTargetIterator())
    {
        if (!dynamic_cast<const Ogre::RenderWindow*>(target.second))
            continue;
        for (unsigned short index = 0; index < target.second->getNumViewports(); ++index)
        {
            Ogre::Viewport* viewport = target.second->getViewport(index);
            const Ogre::Camera* camera = viewport->getCamera();
            if (camera && camera->getSceneManager() == &sceneManager)
                return viewport;
        }
    }
    return nullptr;
}
} // namespace

const char* const cl_CompositorEffect::TYPE = "compositor";

// Inactive, so that loading switches it on unless its element disables it.
cl_CompositorEffect::cl_CompositorEffect(const std::string& id) : cl_BaseEffect(TYPE, id, false) {}

cl_CompositorEffect::~cl_CompositorEffect()
{
    Unload();
}

void cl_CompositorEffect::LoadFromXml(const TiXmlElement& element, Ogre::SceneManager* sceneManager)
{
    const TiXmlElement* templateElement = element.FirstChildElement("template");
    const char* name = templateElement ? templateElement->GetText() : nullptr;
    m_template = name ? name : "";
    m_viewport = sceneManager ? SceneViewport(*sceneManager) : nullptr;
    Ogre::CompositorManager& compositors = Ogre::CompositorManager::getSingleton();
    // Null for a name OGRE does not know.
    if (m_viewport)
        m_compositorInstance = compositors.addCompositor(m_viewport, m_template, -1);
    if (!m_compositorInstance)
        LOG_ERROR("The compositor effect '%s' cannot add the compositor '%s'%s; it does nothing.",
                  GetId().c_str(), m_template.c_str(), m_viewport ? "" : " (its scene has no viewport)");
}

void cl_CompositorEffect::Unload()
{
    if (!m_compositorInstance)
        return;
    Ogre::CompositorManager::getSingleton().removeCompositor(m_viewport, m_template);
    m_compositorInstance = nullptr;
}

void cl_CompositorEffect::SetEnabled(bool enabled)
{
    if (m_compositorInstance)
        m_compositorInstance->setEnabled(enabled);
}
