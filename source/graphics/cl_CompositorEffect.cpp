#include "graphics/cl_CompositorEffect.h"

#include "common/LogCall.h"

#include <OgreCamera.h>
#include <OgreCompositorInstance.h>
#include <OgreCompositorManager.h>
#include <OgreSceneManager.h>
#include <tinyxml.h>

namespace
{
// The viewport the scene is shown in: the one it was rendered into last, else one its cameras know.
Ogre::Viewport* SceneViewport(Ogre::SceneManager& sceneManager)
{
    if (Ogre::Viewport* viewport = sceneManager.getCurrentViewport())
        return viewport;
    for (const auto& camera : sceneManager.getCameras())
    {
        if (Ogre::Viewport* viewport = camera.second->getViewport())
            return viewport;
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
