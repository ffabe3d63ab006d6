#include "support/HeadlessOverlays.h"

#include <Overlay/OgreOverlaySystem.h>

HeadlessOverlays::HeadlessOverlays() : m_overlaySystem(std::make_unique<Ogre::OverlaySystem>()) {}

HeadlessOverlays::~HeadlessOverlays() = default;
