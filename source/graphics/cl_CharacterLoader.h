#pragma once

class TiXmlElement;
class cl_Character;

// Reads a "character" element into the parts of a built character that it describes beside its puppet's
// model: its controls, height, walking distances, step sounds, blob shadow, visual states, event trigger
// and focus point. It keeps nothing between calls, so a character may read further elements later (a
// scene's character file, through Extend).
class cl_CharacterLoader
{
public:
    // "controls": each child element a control of the type its name gives (cl_PuppetControlFactory),
    // registered with the puppet under its "name" and heard by the character; a name the puppet has
    // already makes that control read the element instead, whatever its type (and the character's control
    // of its kind). An unknown type is logged and skipped. "height": its text (no number: 0).
    // "minwalkdist": "morphtarget" and "position", each kept when absent or no number. "stepsound" and
    // "blobshadow" replace the character's step sounds and blob shadow. A character never activated becomes
    // inactive. "visualstates" and "trigger" are added. The focus: "focustarget" with a "bone", else the
    // puppet's "focustarget" > "bone", else the focus of the character whose puppet it borrows
    // ("external"). False only for a null element or character.
    static bool Load(const TiXmlElement* element, cl_Character* character);
    // A character file's element added to a built character: its "puppet" first (submeshes, slaves,
    // animations), then Load, then the current visual state applied again. A null argument is logged.
    static void Extend(cl_Character* character, const TiXmlElement* element);
};
