#pragma once

#include <string>

namespace Ogre
{
class OverlayElement;
}

// One portrait of the party view: the member it shows, the member's tag when the portrait was made, and
// which of its pictures it shows.
struct PartyPortrait
{
    std::string characterId;
    std::string tag;
    // Owned by OGRE's overlay manager; the party view destroys it. Named by the character id.
    Ogre::OverlayElement* panel = nullptr;
    // The member is the character the player controls.
    bool active = false;
    // The portrait is under the mouse.
    bool hovered = false;
};
