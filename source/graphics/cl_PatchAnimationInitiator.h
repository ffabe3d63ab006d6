#pragma once

#include "assets/ISyncedActionInitiator.h"

#include <string>

// Plays a patch item's animation for a caller that only polls (a minigame): it waits for the end itself
// and stops the animation when it is deleted first.
class cl_PatchAnimationInitiator final : public ISyncedActionInitiator
{
public:
    cl_PatchAnimationInitiator() = default;
    // Stops the animation of the item when it has not ended.
    ~cl_PatchAnimationInitiator();
    cl_PatchAnimationInitiator(const cl_PatchAnimationInitiator&) = delete;
    cl_PatchAnimationInitiator& operator=(const cl_PatchAnimationInitiator&) = delete;

    // Plays the animation of the patch item built under id. Without such an item nothing happens and the
    // initiator never counts as done.
    void PlayPatchAnimation(const std::string& id, const std::string& animation);
    bool IsDone() const { return m_done; }

    void OnDone(int result) override;
    void OnStarted() override {}
    void TimeOut(float) override {}

private:
    bool m_done = false;
    std::string m_id;
};
