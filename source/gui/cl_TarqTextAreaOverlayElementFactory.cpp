#include "gui/cl_TarqTextAreaOverlayElementFactory.h"

#include "gui/cl_TarqTextAreaOverlayElement.h"

#include <Overlay/OgreOverlayManager.h>

const Ogre::String cl_TarqTextAreaOverlayElementFactory::TYPE_NAME = "TarqTextArea";

void cl_TarqTextAreaOverlayElementFactory::AddTo(Ogre::OverlayManager& overlays)
{
    // The manager deletes its factories when it is deleted itself.
    if (!overlays.getOverlayElementFactoryMap().count(TYPE_NAME))
        overlays.addOverlayElementFactory(new cl_TarqTextAreaOverlayElementFactory);
}

Ogre::OverlayElement*
cl_TarqTextAreaOverlayElementFactory::createOverlayElement(const Ogre::String& instanceName)
{
    return new cl_TarqTextAreaOverlayElement(instanceName);
}

const Ogre::String& cl_TarqTextAreaOverlayElementFactory::getTypeName() const
{
    return TYPE_NAME;
}
