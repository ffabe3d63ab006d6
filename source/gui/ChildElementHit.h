#pragma once

namespace Ogre
{
class OverlayElement;
}

// Whether the point (fractions of the screen) lies on element, a child of a panel whose top left corner is
// at (parentLeft, parentTop). Read from the element's own place and size, so it holds as soon as they are
// set, before OGRE draws the next frame. False for null.
bool ChildElementContains(const Ogre::OverlayElement* element, float parentLeft, float parentTop, float x,
                          float y);
