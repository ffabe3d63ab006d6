#pragma once

#include <Overlay/OgreUTFString.h>

#include <string>

// The caption of an overlay text for UTF-8 text from the game's data. OGRE's own conversion throws on
// bytes that are not UTF-8; here every byte sequence that is not a character becomes U+FFFD, the
// replacement character, so the rest of the text still shows.
Ogre::UTFString CaptionFromUtf8(const std::string& text);
