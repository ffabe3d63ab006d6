#pragma once

#include <string>

class TiXmlElement;

// Numbers in the data files as the scene's readers take them: C "%lf" and "%d" (leading blanks skipped,
// anything behind the number ignored), in the "C" locale. A number that is not finite (nan, inf, or too
// large for a float) counts as no number, so no reader passes one on to OGRE.

// False, with number untouched, when the text does not start with a finite number.
bool ReadNumber(const char* text, float& number);
bool ReadNumber(const std::string& text, float& number);
// False, with number untouched, when the text does not start with an integer that fits an int.
bool ReadInteger(const std::string& text, int& number);

// The attribute's text; fallback when the element has no such attribute.
std::string TextAttribute(const TiXmlElement& element, const char* name, const std::string& fallback);
// The attribute's number; fallback when it is absent or no number.
float NumberAttribute(const TiXmlElement& element, const char* name, float fallback);
// The attribute's integer; fallback when it is absent or no integer.
int IntegerAttribute(const TiXmlElement& element, const char* name, int fallback);
