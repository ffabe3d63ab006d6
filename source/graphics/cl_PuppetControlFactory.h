#pragma once

#include <memory>
#include <string>

class IPuppetControlListener;
class cl_ControlledPuppet;
class cl_PuppetControl;
class cl_VisualStateHolder;

// Makes puppet controls from the element names of the data's "controls": "idlectrl", "movectrl",
// "turnctrl", "specialctrl", "focusctrl", "facectrl", "autoactionctrl" and "autoanimctrl". The character
// loader and the scene item loader build their controls here.
class cl_PuppetControlFactory
{
public:
    // A new control of the type; null for a type that names none.
    static std::unique_ptr<cl_PuppetControl> Create(const std::string& type);
    // A new control of the type registered with puppet under name, following owner's visual state and
    // heard by listener (both may be null); null, with nothing registered, for an unknown type or a name
    // the puppet has already (logged by the puppet).
    static cl_PuppetControl* Add(const std::string& type, const std::string& name,
                                 cl_ControlledPuppet& puppet, const cl_VisualStateHolder* owner,
                                 IPuppetControlListener* listener);
};
