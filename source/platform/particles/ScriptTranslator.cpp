#include "platform/particles/ScriptTranslator.h"

#include "common/LogCall.h"
#include "common/XmlNumbers.h"

#include <cmath>

namespace particles
{
bool ScriptTranslator::getNumbers(const ScriptProperty& property, size_t count, float* numbers)
{
    float read[8] = {};
    if (property.values.size() != count || count > 8)
        return false;
    for (size_t i = 0; i < count; ++i)
    {
        if (!ReadNumber(property.values[i], read[i]))
            return false;
    }
    for (size_t i = 0; i < count; ++i)
        numbers[i] = read[i];
    return true;
}

bool ScriptTranslator::getString(const ScriptProperty& property, std::string& result)
{
    if (property.values.size() != 1)
        return false;
    result = property.values[0];
    return true;
}

bool ScriptTranslator::getFloat(const ScriptProperty& property, float& result)
{
    return getNumbers(property, 1, &result);
}

bool ScriptTranslator::getCount(const ScriptProperty& property, size_t& result)
{
    float number = 0.0f;
    if (!getFloat(property, number) || number < 0.0f || number != std::floor(number) || number > 1.0e7f)
        return false;
    result = static_cast<size_t>(number);
    return true;
}

bool ScriptTranslator::getBool(const ScriptProperty& property, bool& result)
{
    std::string word;
    if (!getString(property, word) || (word != "true" && word != "false"))
        return false;
    result = word == "true";
    return true;
}

bool ScriptTranslator::getVector2(const ScriptProperty& property, Ogre::Vector2& result)
{
    return getNumbers(property, 2, result.ptr());
}

bool ScriptTranslator::getVector3(const ScriptProperty& property, Ogre::Vector3& result)
{
    return getNumbers(property, 3, result.ptr());
}

bool ScriptTranslator::getColour(const ScriptProperty& property, Ogre::ColourValue& result)
{
    float numbers[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    if (!getNumbers(property, property.values.size() == 3 ? 3 : 4, numbers))
        return false;
    result = Ogre::ColourValue(numbers[0], numbers[1], numbers[2], numbers[3]);
    return true;
}

void ScriptTranslator::logError(const ScriptProperty& property, const std::string& message)
{
    logError(property.source, property.line, message);
}

void ScriptTranslator::logError(const std::string& source, int line, const std::string& message)
{
    LOG_ERROR("%s(%i): %s", source.c_str(), line, message.c_str());
}
} // namespace particles
