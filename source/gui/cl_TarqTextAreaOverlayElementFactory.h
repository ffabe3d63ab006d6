#pragma once

#include <Overlay/OgreOverlayElementFactory.h>

namespace Ogre
{
class OverlayManager;
}

// Makes cl_TarqTextAreaOverlayElement for the overlay manager under the type name "TarqTextArea".
class cl_TarqTextAreaOverlayElementFactory : public Ogre::OverlayElementFactory
{
public:
    static const Ogre::String TYPE_NAME;

    // Adds a factory to overlays unless it has one for the type: the manager owns it from then on and
    // deletes it only when it is deleted itself, after it has destroyed the elements it made.
    static void AddTo(Ogre::OverlayManager& overlays);

    Ogre::OverlayElement* createOverlayElement(const Ogre::String& instanceName) override;
    const Ogre::String& getTypeName() const override;
};
