#pragma once

#include <string>

class TiXmlElement;

// A number attribute of an effect that the engine takes only between two bounds (a field of view, a clip
// distance): its number when it lies strictly between them; else fallback, and a warning naming the
// effect when the attribute holds a number outside them. Absent or no number: fallback, no message. A
// below of the largest float bounds nothing.
float BoundedNumberAttribute(const TiXmlElement& element, const char* name, float fallback, float above,
                             float below, const std::string& effect);
