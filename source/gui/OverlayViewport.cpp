#include "gui/OverlayViewport.h"

#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreViewport.h>
#include <Overlay/OgreOverlayManager.h>

OverlayViewport OverlayViewport::Current()
{
    OverlayViewport size;
    if (const Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr())
    {
        size.width = overlays->getViewportWidth();
        size.height = overlays->getViewportHeight();
        if (size.IsKnown())
            return size;
    }
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    Ogre::RenderWindow* window = root ? root->getAutoCreatedWindow() : nullptr;
    if (!window || window->getNumViewports() == 0)
        return OverlayViewport();
    const Ogre::Viewport* viewport = window->getViewport(0);
    size.width = viewport->getActualWidth();
    size.height = viewport->getActualHeight();
    return size;
}

float OverlayViewport::Aspect() const
{
    return IsKnown() ? static_cast<float>(width) / static_cast<float>(height) : 4.0f / 3.0f;
}
