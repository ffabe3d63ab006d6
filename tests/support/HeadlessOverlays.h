#pragma once

#include "support/HeadlessOgre.h"
#include "support/HeadlessTextures.h"

#include <memory>

namespace Ogre
{
class OverlaySystem;
}

// Headless OGRE with textures that read no file and the overlay system: overlay elements and their
// materials work, nothing is drawn, and the screen counts as 4:3.
class HeadlessOverlays
{
public:
    HeadlessOverlays();
    ~HeadlessOverlays();
    HeadlessOverlays(const HeadlessOverlays&) = delete;
    HeadlessOverlays& operator=(const HeadlessOverlays&) = delete;

private:
    HeadlessOgre m_ogre;
    HeadlessTextures m_textures;
    std::unique_ptr<Ogre::OverlaySystem> m_overlaySystem;
};
