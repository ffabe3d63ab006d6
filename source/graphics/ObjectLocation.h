#pragma once

#include <string>
#include <vector>

namespace Ogre
{
class SceneNode;
}

class cl_SceneObject;

// Where an interactive item or character of the loaded scene stands, for the avatar's glances: its scene
// object when it has a body, else the node of its location.
struct ObjectLocation
{
    enum Kind
    {
        KIND_ITEM = 1,
        KIND_NODE = 2,
        KIND_CHARACTER = 3,
    };

    // Exactly one of object and node is set; neither is owned.
    cl_SceneObject* object = nullptr;
    Ogre::SceneNode* node = nullptr;
    // The item or character id.
    std::string id;
    int kind = KIND_NODE;
};

using ObjectLocations = std::vector<ObjectLocation>;
