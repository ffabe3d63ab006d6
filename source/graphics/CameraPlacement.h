#pragma once

#include <OgrePrerequisites.h>

// Puts the camera at a world position and orientation, whatever node it hangs on (or none).
void PlaceCamera(Ogre::Camera& camera, const Ogre::Vector3& position, const Ogre::Quaternion& orientation);
