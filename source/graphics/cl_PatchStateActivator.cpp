#include "graphics/cl_PatchStateActivator.h"

#include "common/LogCall.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_AnimatedPatch.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"

#include <tinyxml.h>

namespace
{
// The loaded scene's patch of that name; null without one.
cl_Patch* FindPatch(const std::string& name)
{
    const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    const cl_Scene* scene = scenes ? scenes->GetLoadedScene() : nullptr;
    return scene ? scene->GetPatch(name) : nullptr;
}

bool IsTrue(const TiXmlElement& element, const char* attribute)
{
    const char* value = element.Attribute(attribute);
    return value && std::string(value) == "true";
}

// The time an entry's `time` or `frame` gives on the patch: "max" its duration; 0 for neither.
float TimePosition(const TiXmlElement& entry, const cl_AnimatedPatch& patch)
{
    float number = 0.0f;
    if (const char* time = entry.Attribute("time"))
    {
        if (std::string(time) == "max")
            return patch.GetDuration();
        ReadNumber(time, number);
        return number;
    }
    if (const char* frame = entry.Attribute("frame"))
    {
        if (std::string(frame) == "max")
            return patch.GetDuration();
        ReadNumber(frame, number);
        return number * patch.GetDuration() / static_cast<float>(patch.GetFrameCount());
    }
    return 0.0f;
}
} // namespace

bool cl_PatchStateActivator::AddEntry(const TiXmlElement& entry)
{
    const char* name = entry.Attribute("name");
    if (!name || !*name)
        return false;
    st_PatchSwitch patchSwitch;
    patchSwitch.name = name;
    patchSwitch.visible = IsTrue(entry, "visible");
    if (const auto* patch = dynamic_cast<const cl_AnimatedPatch*>(FindPatch(name)))
    {
        patchSwitch.timePosition = TimePosition(entry, *patch);
        patchSwitch.animated = IsTrue(entry, "animated");
        const std::string mode = TextAttribute(entry, "mode", "");
        if (mode == "bounce")
            patchSwitch.mode = cl_AnimatedPatch::MODE_BOUNCE;
        else if (mode == "loop")
            patchSwitch.mode = cl_AnimatedPatch::MODE_LOOP;
        else if (mode == "none")
            patchSwitch.mode = cl_AnimatedPatch::MODE_NONE;
        patchSwitch.loopDelay = NumberAttribute(entry, "delay", 0.0f);
    }
    m_entries.push_back(patchSwitch);
    return true;
}

void cl_PatchStateActivator::Activate(cl_VisualStateHolder&)
{
    for (const st_PatchSwitch& entry : m_entries)
    {
        cl_Patch* patch = FindPatch(entry.name);
        if (!patch)
        {
            LOG_ERROR("Patch with the id '%s' could not be found!", entry.name.c_str());
            return;
        }
        if (!entry.visible)
        {
            patch->Hide();
            continue;
        }
        patch->Show();
        auto* animated = dynamic_cast<cl_AnimatedPatch*>(patch);
        // An entry read while the patch was not animated only shows it.
        if (!animated || entry.timePosition < 0.0f)
            continue;
        animated->SetMode(entry.mode);
        animated->SetLoopDelay(entry.loopDelay);
        animated->SetRemainingPause(0.0f);
        animated->SetPlaying(entry.animated);
        animated->SetTimePosition(entry.timePosition);
    }
}
