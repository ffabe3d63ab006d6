#include "graphics/cl_EmoStateActivator.h"

#include "common/LogCall.h"

#include <tinyxml.h>

#include <cstdlib>

namespace
{
float NumberOrZero(const TiXmlElement& entry, const char* attribute)
{
    const char* text = entry.Attribute(attribute);
    return text && *text ? std::strtof(text, nullptr) : 0.0f;
}
} // namespace

bool cl_EmoStateActivator::AddEntry(const TiXmlElement& entry)
{
    const char* name = entry.Attribute("name");
    if (!name || !*name)
        return false;
    m_emotions.push_back({name, NumberOrZero(entry, "strength"), NumberOrZero(entry, "fade")});
    return true;
}

void cl_EmoStateActivator::Activate(cl_VisualStateHolder&)
{
    if (!m_emotions.empty())
        LOG_ERROR("The Emotion '%s' could not be set because no FaceCtrl was found!",
                  m_emotions.front().name.c_str());
}
