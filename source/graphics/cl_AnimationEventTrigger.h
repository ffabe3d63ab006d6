#pragma once

#include "graphics/IPatchAnimationEventListener.h"
#include "graphics/IPuppetAnimationEventListener.h"
#include "graphics/cl_ScriptTrigger.h"

#include <string>
#include <vector>

class cl_PatchItem;
class cl_Puppet;

// "animationevent": a pulse at each listed event of a scene object's puppet or of a patch item's
// animations (keys "<animation>#<event>"). Both are looked for every frame until they are found.
class cl_AnimationEventTrigger : public cl_ScriptTrigger,
                                 public IPuppetAnimationEventListener,
                                 public IPatchAnimationEventListener
{
public:
    // Unregisters every event from the puppet and the patch item found.
    ~cl_AnimationEventTrigger() override;

    void Update(float dt) override;
    // The first `sceneobject` and `patchitem` texts and every `event` text (registered at once where the
    // object or item is found already), then the scripts and flags.
    bool LoadFromXml(const TiXmlElement* element) override;
    void OnAnimationEvent(const std::string& event) override;

private:
    void Listen(const std::string& event);

    std::string m_sceneObject;
    std::string m_patchItemName;
    std::vector<std::string> m_events;
    cl_Puppet* m_puppet = nullptr;
    cl_PatchItem* m_patchItem = nullptr;
};
