#pragma once

#include "graphics/cl_PuppetControl.h"

#include <cstdint>
#include <string>

// The control ("specialctrl") that plays one requested animation of a character or scene item on top of
// everything else: it fades the animation in from its start, lets it play to its end, fades it out and
// reports the end. A request while one plays is queued (a later one replaces it) and follows when the first
// has finished; a looping animation then runs out at its end. With a sync token it starts only once its
// whole group is ready.
//
// Reports: code 3 when the animation starts (the listener still waits), 1 when it has finished, 2 when the
// path gives no animation, 4 on Stop, Reset or deactivation.
class cl_SpecialAnimationControl : public cl_PuppetControl
{
public:
    static constexpr int32_t PRIORITY = 500;
    static constexpr uint32_t CHANNELS = 3;

    // An animation that plays goes to 0 at once and is forgotten, then the base reset; a queued one stays.
    void Reset() override;
    bool OnUpdate(float dt) override;
    void OnActivated(const st_ActivationRequest& request) override;

    // Plays the main animation of the path's node, or queues it while another plays. The caller raises the
    // callback flag first; a path without animation, with nothing playing, answers code 2.
    void PlayAnimation(const std::string& path);
    // Fades the playing animation out (code 4 to a waiting listener); nothing on an idle control.
    void Stop();

    cl_PuppetAnimation* GetCurrentAnimation() const { return m_current; }
    cl_PuppetAnimation* GetQueuedAnimation() const { return m_queued; }

private:
    // Starts at once, or marks the token ready while the group waits.
    void StartWhenSynced();
    bool StartPlayback();
    // The token goes back to the sync manager (which may be gone).
    void ReleaseSyncToken();

    cl_PuppetAnimation* m_current = nullptr;
    cl_PuppetAnimation* m_queued = nullptr;
};
