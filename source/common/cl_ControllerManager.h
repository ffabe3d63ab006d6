#pragma once

#include "ISingleton.h"

#include <map>
#include <memory>
#include <string>

class TiXmlElement;
class cl_Controller;

namespace Ogre
{
class SceneManager;
}

// Holds a scene's controllers (and the main menu's) by name and owns them. It is no game-time listener:
// controllers that need frames register themselves.
class cl_ControllerManager : public ISingleton<cl_ControllerManager>
{
public:
    cl_ControllerManager();
    // Deletes every controller still held.
    ~cl_ControllerManager() override;

    // Builds the controllers of a scene's controller element in three passes: every `light` child, then
    // every `sceneobjecttag` child, then every `script` child, each in document order, and adds each
    // under its `name` attribute. sceneManager holds the lights and scene nodes the children name; it may
    // be null (no light is then found and no tag controller built). A child with a missing or wrong
    // attribute is logged and skipped; a controller refused by AddController is deleted at once.
    void LoadFromXml(Ogre::SceneManager* sceneManager, const TiXmlElement* element);
    // Deletes the held controllers named by the `name` attributes of the element's children (of any
    // element name); other controllers stay.
    void RemoveByXml(const TiXmlElement* element);

    // Takes the controller under name. False, with an error log line, for a null controller or a name
    // already held: the controller is then deleted when the caller's pointer goes.
    bool AddController(const std::string& name, std::unique_ptr<cl_Controller> controller);
    // Erases every entry holding the controller without deleting it: its deletion becomes the caller's.
    // A null controller is logged.
    void RemoveController(cl_Controller* controller);
    // The controller held under name, or null; the manager keeps owning it.
    cl_Controller* GetController(const std::string& name) const;

private:
    void DeleteController(const std::string& name);

    std::map<std::string, std::unique_ptr<cl_Controller>> m_controllers;
};
