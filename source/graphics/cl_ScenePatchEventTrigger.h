#pragma once

#include "graphics/cl_ScriptTrigger.h"

#include <string>
#include <vector>

// "patchevent": a pulse each time the animation of a patch of the current scene passes a listed time, in
// its direction of play. The first visible frame only notes the time.
class cl_ScenePatchEventTrigger : public cl_ScriptTrigger
{
public:
    // Without the patch, with one that is hidden or not animated, the time is forgotten and nothing fires.
    void Update(float dt) override;
    // The first `patch` text and every `time` (0 when no number), then the scripts and flags.
    bool LoadFromXml(const TiXmlElement* element) override;

private:
    std::string m_patch;
    std::vector<float> m_times;
    float m_lastTime = -1.0f;
};
