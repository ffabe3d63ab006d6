#pragma once

class TiXmlElement;
class cl_Character;

// Reads a "character" element into the parts of a built character that it describes beside its puppet's
// model: its controls, walking distances, step sounds and blob shadow. It keeps nothing between calls, so a
// character may read further elements later (a scene's character file).
class cl_CharacterLoader
{
public:
    // "controls": each child element a control of the type its name gives (cl_PuppetControlFactory),
    // registered with the puppet under its "name" and heard by the character; a name the puppet has
    // already makes that control read the element instead, whatever its type. An unknown type is logged
    // and skipped. "minwalkdist": "morphtarget" and "position", each kept when absent or no number.
    // "stepsound" and "blobshadow" replace the character's step sounds and blob shadow. A character never
    // activated becomes inactive. False only for a null element or character.
    static bool Load(const TiXmlElement* element, cl_Character* character);
};
