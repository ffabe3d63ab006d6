#pragma once

class TiXmlElement;
class cl_Character;

// Reads a "character" element into the parts of a built character that it describes beside its puppet's
// model: its controls and walking distances. It keeps nothing between calls, so a character may read
// further elements later (a scene's character file).
class cl_CharacterLoader
{
public:
    // "controls": each child element a control of the type its name gives ("movectrl", "turnctrl"),
    // registered with the puppet under its "name" and heard by the character; a name the puppet has
    // already makes that control read the element instead, whatever its type. An unknown type is logged
    // and skipped. "minwalkdist": "morphtarget" and "position", each kept when absent or no number. A
    // character never activated becomes inactive. False only for a null element or character.
    static bool Load(const TiXmlElement* element, cl_Character* character);
};
