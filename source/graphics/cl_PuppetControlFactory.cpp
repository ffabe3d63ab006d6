#include "graphics/cl_PuppetControlFactory.h"

#include "graphics/cl_AutoActionControl.h"
#include "graphics/cl_AutoAnimationControl.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_FaceControl.h"
#include "graphics/cl_FocusTargetControl.h"
#include "graphics/cl_IdleAnimationControl.h"
#include "graphics/cl_MovementControl.h"
#include "graphics/cl_SpecialAnimationControl.h"
#include "graphics/cl_TurnControl.h"

namespace
{
template <class Control> std::unique_ptr<cl_PuppetControl> Make()
{
    return std::make_unique<Control>();
}

const struct
{
    const char* type;
    std::unique_ptr<cl_PuppetControl> (*make)();
} TYPES[] = {
    {"idlectrl", &Make<cl_IdleAnimationControl>},
    {"movectrl", &Make<cl_MovementControl>},
    {"turnctrl", &Make<cl_TurnControl>},
    {"specialctrl", &Make<cl_SpecialAnimationControl>},
    {"focusctrl", &Make<cl_FocusTargetControl>},
    {"facectrl", &Make<cl_FaceControl>},
    {"autoactionctrl", &Make<cl_AutoActionControl>},
    {"autoanimctrl", &Make<cl_AutoAnimationControl>},
};
} // namespace

std::unique_ptr<cl_PuppetControl> cl_PuppetControlFactory::Create(const std::string& type)
{
    for (const auto& entry : TYPES)
    {
        if (type == entry.type)
            return entry.make();
    }
    return nullptr;
}

cl_PuppetControl* cl_PuppetControlFactory::Add(const std::string& type, const std::string& name,
                                               cl_ControlledPuppet& puppet, const cl_VisualStateHolder* owner,
                                               IPuppetControlListener* listener)
{
    std::unique_ptr<cl_PuppetControl> made = Create(type);
    cl_PuppetControl* control = made.get();
    if (!control || !puppet.AddControl(name, std::move(made)))
        return nullptr;
    control->SetOwner(owner);
    control->SetListener(listener);
    return control;
}
