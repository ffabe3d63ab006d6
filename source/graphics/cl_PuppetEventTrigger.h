#pragma once

#include "graphics/IPuppetAnimationEventListener.h"
#include "graphics/cl_EventTrigger.h"

#include <string>
#include <vector>

class cl_Puppet;

// The event trigger of a scene object with a puppet: runs the script of an event when an animation of the
// puppet fires it.
class cl_PuppetEventTrigger : public cl_EventTrigger, public IPuppetAnimationEventListener
{
public:
    // puppet: not owned, may be null; it must outlive the trigger.
    cl_PuppetEventTrigger(cl_Puppet* puppet, const std::string& ownerName);
    // Unregisters from the puppet, which outlives the trigger.
    ~cl_PuppetEventTrigger() override;

    // The scripts as the base reads them; then listens to the puppet for the animation path given by the
    // text of every `puppetevent` child. A puppetevent without text is skipped with a warning; without a
    // puppet nothing is listened to.
    void LoadFromXml(const TiXmlElement* element) override;

    // Runs the event's script through the script system; an event without script runs nothing.
    void OnAnimationEvent(const std::string& event) override;

private:
    cl_Puppet* m_puppet;
    std::vector<std::string> m_keys;
};
