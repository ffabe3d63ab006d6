#pragma once

#include <OgreColourValue.h>
#include <OgreVector.h>

#include <string>
#include <vector>

namespace particles
{
// One line of a particle script inside an element's block: a word and the values behind it, with where it
// stands so that a message can point the author at it.
struct ScriptProperty
{
    std::string name;
    std::vector<std::string> values;
    std::string source;
    int line = 0;
};

// Reads the values of script properties. Each getter takes exactly the values it needs and fails,
// leaving result untouched, for more, fewer or values that are no numbers; it logs nothing, so that the
// caller can say what the property was for.
class ScriptTranslator
{
public:
    static bool getString(const ScriptProperty& property, std::string& result);
    static bool getFloat(const ScriptProperty& property, float& result);
    // A whole number of 0 or more.
    static bool getCount(const ScriptProperty& property, size_t& result);
    // "true" or "false".
    static bool getBool(const ScriptProperty& property, bool& result);
    static bool getVector2(const ScriptProperty& property, Ogre::Vector2& result);
    static bool getVector3(const ScriptProperty& property, Ogre::Vector3& result);
    // Red, green, blue and an optional alpha (1 when left out).
    static bool getColour(const ScriptProperty& property, Ogre::ColourValue& result);
    // Exactly count numbers (at most 8) into numbers.
    static bool getNumbers(const ScriptProperty& property, size_t count, float* numbers);

    // Logs "<source>(<line>): <message>" as an error, with the property's place, or the one given.
    static void logError(const ScriptProperty& property, const std::string& message);
    static void logError(const std::string& source, int line, const std::string& message);
};
} // namespace particles
