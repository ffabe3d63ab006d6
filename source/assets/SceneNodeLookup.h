#pragma once

#include <string>

namespace Ogre
{
class SceneNode;
}

// Nodes of the current scene that sequence actions aim at. Null without a current scene or such a node.

// The scene node of that name in the game's scene.
Ogre::SceneNode* FindSceneNode(const std::string& name);
// The node of the location the current scene's asset records for the object of that id.
Ogre::SceneNode* FindSceneLocationNode(const std::string& objectId);
