#include "common/cl_ControllerManager.h"

#include "common/LogCall.h"
#include "common/cl_Controller.h"
#include "common/cl_LightController.h"
#include "common/cl_SceneObjectTagController.h"
#include "common/cl_ScriptController.h"

#include <OgreSceneManager.h>
#include <tinyxml.h>

namespace
{
std::string AttributeOrEmpty(const TiXmlElement& element, const char* name)
{
    const std::string* value = element.Attribute(std::string(name));
    return value ? *value : std::string();
}

std::unique_ptr<cl_Controller> BuildLight(Ogre::SceneManager* sceneManager, const TiXmlElement& element,
                                          const std::string& name)
{
    Ogre::Light* light =
        sceneManager && sceneManager->hasLight(name) ? sceneManager->getLight(name) : nullptr;
    if (!light)
        LOG_WARNING("The light controller '%s' has no light of its name: it changes nothing.", name.c_str());
    auto controller = std::make_unique<cl_LightController>(light);
    const TiXmlElement* intensity = element.FirstChildElement("intensity");
    if (const std::string* source = intensity ? intensity->Attribute(std::string("src")) : nullptr)
        controller->SetFloatSource(*source);
    return controller;
}

std::unique_ptr<cl_Controller> BuildSceneObjectTag(Ogre::SceneManager* sceneManager,
                                                   const TiXmlElement& element, const std::string& name)
{
    const std::string nodeName = AttributeOrEmpty(element, "scenenode");
    const std::string bone = AttributeOrEmpty(element, "bone");
    if (!sceneManager || !sceneManager->hasSceneNode(nodeName) || bone.empty())
    {
        LOG_ERROR("The sceneobjecttag controller '%s' needs an existing scenenode and a bone: skipped.",
                  name.c_str());
        return nullptr;
    }
    auto controller = std::make_unique<cl_SceneObjectTagController>();
    controller->SetTarget(AttributeOrEmpty(element, "sceneobject"), AttributeOrEmpty(element, "slave"), bone,
                          sceneManager->getSceneNode(nodeName));
    return controller;
}

std::unique_ptr<cl_Controller> BuildScript(Ogre::SceneManager*, const TiXmlElement& element,
                                           const std::string& name)
{
    const char* script = element.GetText();
    if (!script || !*script)
    {
        LOG_ERROR("The script controller '%s' has no script text: skipped.", name.c_str());
        return nullptr;
    }
    return std::make_unique<cl_ScriptController>(script);
}

// The passes of LoadFromXml, in their order: every child of the first element name, then of the second...
const struct
{
    const char* element;
    std::unique_ptr<cl_Controller> (*build)(Ogre::SceneManager*, const TiXmlElement&, const std::string&);
} CONTROLLER_KINDS[] = {
    {"light", BuildLight},
    {"sceneobjecttag", BuildSceneObjectTag},
    {"script", BuildScript},
};
} // namespace

cl_ControllerManager::cl_ControllerManager() = default;

cl_ControllerManager::~cl_ControllerManager()
{
    while (!m_controllers.empty())
        DeleteController(m_controllers.begin()->first);
}

void cl_ControllerManager::LoadFromXml(Ogre::SceneManager* sceneManager, const TiXmlElement* element)
{
    if (!element)
        return;
    for (const auto& kind : CONTROLLER_KINDS)
    {
        for (const TiXmlElement* child = element->FirstChildElement(kind.element); child;
             child = child->NextSiblingElement(kind.element))
        {
            const std::string name = AttributeOrEmpty(*child, "name");
            if (name.empty())
            {
                LOG_ERROR("A %s controller has no name and was skipped!", kind.element);
                continue;
            }
            if (std::unique_ptr<cl_Controller> controller = kind.build(sceneManager, *child, name))
                AddController(name, std::move(controller));
        }
    }
}

void cl_ControllerManager::RemoveByXml(const TiXmlElement* element)
{
    if (!element)
        return;
    for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        if (const std::string* name = child->Attribute(std::string("name")))
            DeleteController(*name);
    }
}

bool cl_ControllerManager::AddController(const std::string& name, std::unique_ptr<cl_Controller> controller)
{
    if (!controller)
    {
        LOG_ERROR("Controller with the name '%s' cant be added. Pointer is NULL!", name.c_str());
        return false;
    }
    if (m_controllers.count(name) != 0)
    {
        // Deleted with the caller's pointer, so a refused script or tag controller does not run on.
        LOG_ERROR("Controller with the name '%s' does allready exist!", name.c_str());
        return false;
    }
    if (controller->m_manager)
        controller->m_manager->RemoveController(controller.get());
    controller->m_manager = this;
    m_controllers.emplace(name, std::move(controller));
    return true;
}

void cl_ControllerManager::RemoveController(cl_Controller* controller)
{
    if (!controller)
    {
        LOG_ERROR("Controller-Pointer can't be removed, because it is NULL.");
        return;
    }
    for (auto entry = m_controllers.begin(); entry != m_controllers.end();)
    {
        if (entry->second.get() == controller)
        {
            // Not deleted here: this runs from the controller's own destructor too.
            static_cast<void>(entry->second.release());
            entry = m_controllers.erase(entry);
        }
        else
            ++entry;
    }
    if (controller->m_manager == this)
        controller->m_manager = nullptr;
}

cl_Controller* cl_ControllerManager::GetController(const std::string& name) const
{
    const auto found = m_controllers.find(name);
    return found == m_controllers.end() ? nullptr : found->second.get();
}

void cl_ControllerManager::DeleteController(const std::string& name)
{
    const auto found = m_controllers.find(name);
    if (found == m_controllers.end())
        return;
    // Out of the map and unregistered before it dies; its destructor then has nothing to remove.
    std::unique_ptr<cl_Controller> doomed = std::move(found->second);
    m_controllers.erase(found);
    doomed->m_manager = nullptr;
}
