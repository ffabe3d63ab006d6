#pragma once

#include <OgreVector.h>

#include <string>

// A view of a backdrop, copied freely: the point the camera looks at, the zoom, the roll in degrees and
// the name of the backdrop it belongs to ("current" for whichever is active). Built without values it
// looks at the origin with zoom 1 and no roll, on the current backdrop.
class cl_Shot
{
public:
    cl_Shot() = default;
    cl_Shot(const Ogre::Vector3& position_, float zoom_, float rotation_, const std::string& backdrop_)
        : position(position_), zoom(zoom_), rotation(rotation_), backdrop(backdrop_)
    {
    }

    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    float zoom = 1.0f;
    float rotation = 0.0f;
    std::string backdrop = "current";
};
