#include "graphics/cl_StepSound.h"

#include "common/XmlNumbers.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundMixer.h"

#include <tinyxml.h>

namespace
{
// The game sounds' channel, at full volume.
const int STEP_CHANNEL = 2;
const float STEP_VOLUME = 1.0f;

std::string TextOf(const TiXmlElement& element)
{
    return element.GetText() ? element.GetText() : "";
}
} // namespace

cl_StepSound::cl_StepSound(cl_Character& character) : m_character(character) {}

cl_StepSound::~cl_StepSound()
{
    if (cl_ControlledPuppet* puppet = m_character.GetPuppet())
    {
        for (const std::string& event : m_events)
            puppet->RemoveAnimationEventListener(event, this);
    }
}

std::unique_ptr<cl_StepSound> cl_StepSound::Load(const TiXmlElement& element, cl_Character& character)
{
    auto steps = std::make_unique<cl_StepSound>(character);
    for (const TiXmlElement* sound = element.FirstChildElement("surfacesound"); sound;
         sound = sound->NextSiblingElement("surfacesound"))
        steps->SetSurfaceSound(IntegerAttribute(*sound, "type", 0), TextOf(*sound));
    for (const TiXmlElement* event = element.FirstChildElement("event"); event;
         event = event->NextSiblingElement("event"))
        steps->AddEvent(TextOf(*event));
    return steps;
}

void cl_StepSound::SetSurfaceSound(int32_t surface, const std::string& soundId)
{
    m_surfaceSounds[surface] = soundId;
}

void cl_StepSound::AddEvent(const std::string& event)
{
    m_events.push_back(event);
    if (cl_ControlledPuppet* puppet = m_character.GetPuppet())
        puppet->AddAnimationEventListener(event, this);
}

std::string cl_StepSound::GetSoundId(int32_t surface)
{
    const auto found = m_surfaceSounds.find(surface);
    return found != m_surfaceSounds.end() ? found->second : m_surfaceSounds[0];
}

void cl_StepSound::OnAnimationEvent(const std::string&)
{
    // An id the sound definitions lack is logged by the mixer and plays nothing.
    if (cl_Sound* sound = cl_Sound::GetInstance())
        sound->GetMixer().PlaySound(GetSoundId(m_character.GetSurfaceType()), nullptr, STEP_CHANNEL,
                                    STEP_VOLUME);
}
