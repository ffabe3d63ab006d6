#include "gui/ChildElementHit.h"

#include <Overlay/OgreOverlayElement.h>

bool ChildElementContains(const Ogre::OverlayElement* element, float parentLeft, float parentTop, float x,
                          float y)
{
    if (!element)
        return false;
    const float left = parentLeft + element->getLeft();
    const float top = parentTop + element->getTop();
    return x >= left && x < left + element->getWidth() && y >= top && y < top + element->getHeight();
}
