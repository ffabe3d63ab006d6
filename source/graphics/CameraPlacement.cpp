#include "graphics/CameraPlacement.h"

#include <OgreCamera.h>
#include <OgreNode.h>

void PlaceCamera(Ogre::Camera& camera, const Ogre::Vector3& position, const Ogre::Quaternion& orientation)
{
    Ogre::Quaternion parentOrientation = Ogre::Quaternion::IDENTITY;
    Ogre::Vector3 parentPosition = Ogre::Vector3::ZERO;
    if (const Ogre::Node* parent = camera.getParentNode())
    {
        parentOrientation = parent->_getDerivedOrientation();
        parentPosition = parent->_getDerivedPosition();
    }
    const Ogre::Quaternion toParent = parentOrientation.Inverse();
    // OGRE 1.12 marks the camera's own placement deprecated, but a camera that hangs on no node has no
    // other.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    camera.setPosition(toParent * (position - parentPosition));
    camera.setOrientation(toParent * orientation);
#pragma GCC diagnostic pop
}
