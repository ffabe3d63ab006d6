#pragma once

#include "common/IGameTimeListener.h"
#include "common/cl_Controller.h"
#include "common/cl_GameTimeRegistration.h"

#include <string>

namespace Ogre
{
class SceneNode;
}

// Keeps a scene node on a bone of a scene object's puppet, or of one of the puppet's slave objects, every
// frame ("default" time group, priority 1: after everything that moves the puppets at priority 0).
class cl_SceneObjectTagController : public cl_Controller, public IGameTimeListener
{
public:
    // Registers with the living game time (none: the node is never placed).
    cl_SceneObjectTagController();

    // sceneObject: the scene object's name; empty or "avatar" stand for the current character.
    // slave: empty for the puppet's own skeleton. node: not owned, may be null (nothing is placed).
    void SetTarget(const std::string& sceneObject, const std::string& slave, const std::string& bone,
                   Ogre::SceneNode* node);

    // Sets the node's position and orientation to the bone's world transform. An object that is not in
    // the scene is tried again next frame; the puppet logs a bone it cannot find. dt is not used.
    void Update(float dt) override;

private:
    std::string m_sceneObjectName;
    std::string m_slaveName;
    std::string m_boneName;
    Ogre::SceneNode* m_sceneNode = nullptr;
    cl_GameTimeRegistration m_frames;
};
