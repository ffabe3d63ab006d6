#pragma once

#include "assets/cl_BaseActionTrigger.h"

#include <cstdint>

// Fires on a moment of its inputs' life: when one starts, a delay after it started, when one is done or
// aborted, as its mode says.
class cl_TimelineActionTrigger : public cl_BaseActionTrigger
{
public:
    // Mode bits.
    static constexpr uint32_t ON_START = 1;
    static constexpr uint32_t DELAYED = 2;
    static constexpr uint32_t ON_DONE = 4;
    static constexpr uint32_t ON_ABORTED = 8;

    // delay: seconds after an input started, for the mode DELAYED.
    cl_TimelineActionTrigger(const std::string& name, uint32_t mode, float delay = 0.0f);

    // Started; with ON_START, fires.
    void OnStarted(cl_SeqAction* action) override;
    // Each counts as a start as well when none came before (with a warning), then fires with ON_DONE
    // or ON_ABORTED.
    void OnDone(cl_SeqAction* action, bool success) override;
    void OnAborted(cl_SeqAction* action, bool success) override;
    // With DELAYED, once started: counts the time and fires in the update in which it reaches the delay.
    void Update(float dt) override;
    void Reset() override;
    // Started and not fired yet.
    bool IsPending() const override;
    // The base's children and "type": "OnStart", else "Delayed" with its "delay", else "OnDone", else
    // empty.
    void WriteXml(TiXmlElement& element) const override;

private:
    // An input's end, told as notification: counts as a start as well when none came before.
    void OnEnd(cl_SeqAction* action, const char* notification, uint32_t bit);
    // Fires unless fired already, when the mode has the bit.
    void FireOn(uint32_t bit);

    uint32_t m_mode;
    float m_delay;
    float m_elapsed = 0.0f;
    bool m_started = false;
};
