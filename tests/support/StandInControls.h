#pragma once

#include "graphics/IPuppetControlListener.h"
#include "graphics/cl_PuppetControl.h"

#include <cstdint>
#include <string>
#include <vector>

class cl_ControlledPuppet;

// A control whose wishes the test sets: while it wants its channels and is enabled and inactive it
// requests them with its priority and mask in each pass; active, it keeps them until the test lets it
// finish (or it is asked off, as the base does).
class StandInControl : public cl_PuppetControl
{
public:
    StandInControl(int32_t priority, uint32_t mask) : m_priority(priority), m_mask(mask) {}

    bool OnUpdate(float dt) override;
    void OnActivated(const st_ActivationRequest& request) override;
    void OnAttached(cl_ControlledPuppet& puppet) override;

    // Asks for the channels from the next pass on.
    void Want() { m_wants = true; }
    // An active control gives its channels back in the next pass.
    void Finish() { m_finished = true; }

    int32_t m_priority;
    uint32_t m_mask;
    bool m_wants = false;
    bool m_finished = false;
    // The time of each pass while active.
    std::vector<float> m_activeSteps;
    int m_activations = 0;
    cl_ControlledPuppet* m_attachedTo = nullptr;
};

// Notes each report as "<control name> <code>", the name as the control's puppet knows it.
class RecordingControlListener final : public IPuppetControlListener
{
public:
    void OnControlEvent(cl_PuppetControl* control, int code) override;

    std::vector<std::string> m_events;
};
