#include "graphics/MissingClipWarning.h"

#include "common/LogCall.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetControl.h"

void WarnIfNoClip(const cl_PuppetControl& control, const std::string& path)
{
    const cl_ControlledPuppet* puppet = control.GetPuppet();
    if (!puppet || control.GetMainAnimation(path))
        return;
    LOG_WARNING("The control '%s' of '%s' names the animation path '%s', which leads to no clip.",
                puppet->GetControlName(&control).c_str(), puppet->GetName().c_str(), path.c_str());
}
