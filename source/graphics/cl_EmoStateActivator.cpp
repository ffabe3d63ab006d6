#include "graphics/cl_EmoStateActivator.h"

#include "common/LogCall.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_FaceControl.h"

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

void cl_EmoStateActivator::Activate(cl_VisualStateHolder& owner)
{
    auto* character = dynamic_cast<cl_Character*>(&owner);
    cl_FaceControl* face = character ? character->GetFaceControl() : nullptr;
    for (const st_EmotionEntry& emotion : m_emotions)
    {
        if (!face)
        {
            LOG_ERROR("The Emotion '%s' could not be set because no FaceCtrl was found!",
                      emotion.name.c_str());
            return;
        }
        face->ActivateEmotionTemporary(emotion.name, -1.0f, emotion.strength, emotion.fade, 0.0f);
    }
}
