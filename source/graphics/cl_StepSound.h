#pragma once

#include "graphics/IPuppetAnimationEventListener.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TiXmlElement;
class cl_Character;

// A character's footsteps: on each animation event it is registered for (the foot contacts of the walk
// and run cycles), it plays the sound of the ground the character stands on, on the game sounds' channel.
// A surface without a sound of its own takes that of surface 0.
class cl_StepSound final : public IPuppetAnimationEventListener
{
public:
    // character (which owns this) gives the puppet, the ground and the surface under it.
    explicit cl_StepSound(cl_Character& character);
    // Unregisters from every event first.
    ~cl_StepSound();
    cl_StepSound(const cl_StepSound&) = delete;
    cl_StepSound& operator=(const cl_StepSound&) = delete;

    // The step sounds of a "stepsound" element: each "surfacesound" ("type", 0 by default; its text the
    // sound id) and each "event" (its text an event key of the character's puppet, "path#event").
    static std::unique_ptr<cl_StepSound> Load(const TiXmlElement& element, cl_Character& character);

    // The sound of the surface type; a later one replaces the earlier.
    void SetSurfaceSound(int32_t surface, const std::string& soundId);
    // Plays a step on the event key from now on.
    void AddEvent(const std::string& event);
    // Plays the step of the surface under the character, whatever the event.
    void OnAnimationEvent(const std::string& event) override;

    // The sound a step on that surface plays; empty when neither it nor surface 0 has one.
    std::string GetSoundId(int32_t surface);
    const std::vector<std::string>& GetEvents() const { return m_events; }

private:
    std::map<int32_t, std::string> m_surfaceSounds;
    std::vector<std::string> m_events;
    cl_Character& m_character;
};
