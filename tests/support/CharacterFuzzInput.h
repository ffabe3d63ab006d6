#pragma once

class TiXmlElement;
class cl_Character;

// Reads a fuzz input into a character: the root itself as a "character" element, or each "character" of a
// data file's root ("tarqdata"), through the character loader; then every control of the character's
// puppet reads each element below the root once more, whatever its kind.
void ReadCharacterFuzzInput(const TiXmlElement& root, cl_Character& character);
