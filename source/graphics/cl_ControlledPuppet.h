#pragma once

#include "graphics/cl_Puppet.h"
#include "graphics/cl_PuppetControl.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The puppet of a character or scene item: a puppet that owns named controls (walking, turning, idle and
// special animations...), grants them its channels by priority and runs them each frame before itself.
//
// A frame: two passes of the controls without time, a grant and a third such pass (a weaker holder asked
// off gives up its channels here while the stronger control asks again), a second grant (it is admitted)
// and a pass with the frame's time; then the weight tree. So a takeover finishes within one frame, and
// only the last pass advances the controls' clocks. Controls run and hear of grants in name order.
class cl_ControlledPuppet : public cl_Puppet
{
public:
    explicit cl_ControlledPuppet(Ogre::SceneManager& sceneManager);
    // Deletes the controls first: they give their weights back to a tree that is still there.
    ~cl_ControlledPuppet() override;

    // The frame described above; nothing but the sync flags when the puppet is inactive, and it stops
    // where a control's report deactivates the puppet.
    void Update(float dt) override;
    // The puppet's activation; a change resets every control (see ResetControls).
    void SetActive(bool active) override;
    // Deletes the controls, then empties the model.
    bool Unload() override;

    // Takes control over under name, the control's puppet becoming this one, and tells it (OnAttached).
    // A name already taken is logged and false returned; control then stays with the caller.
    bool AddControl(const std::string& name, std::unique_ptr<cl_PuppetControl>&& control);
    // The control of that name, or null.
    cl_PuppetControl* GetControl(const std::string& name) const;
    // The name the control is registered under; "unknown" for a control that is not this puppet's.
    std::string GetControlName(const cl_PuppetControl* control) const;
    // Ascending byte order.
    std::vector<std::string> GetControlNames() const;
    // Resets every control in name order, then forgets the queued requests and the granted channels: no
    // control is active afterwards.
    void ResetControls();
    // Deletes every control and forgets the requests and the granted channels. Always true.
    bool DeleteControls();

    // Queues a control's request, in place of the one it queued before; RequestActivation calls it.
    void QueueRequest(const st_ActivationRequest& request);
    // Counts the frames Update has begun, so that a control can spend a budget once per frame over the
    // frame's passes.
    uint32_t GetFrameNumber() const { return m_frameNumber; }

private:
    // One pass: each control's OnUpdate in name order while the puppet stays active; an active control
    // that answers false gives its channels back. Then every control's sync flag is refreshed.
    void RunControls(float dt);
    // Processes the requests queued so far, strongest first (equal priorities in queue order); requests
    // queued meanwhile wait for the next grant.
    void GrantRequests();
    // Holders whose channels the request shares are asked off when the request is strictly stronger; a
    // request without such holders is granted, any other refused. A request of an active control is
    // dropped and changes nothing.
    void ProcessRequest(const st_ActivationRequest& request);

    std::map<std::string, std::unique_ptr<cl_PuppetControl>> m_controls;
    std::vector<st_ActivationRequest> m_requests;
    // The queue being granted; kept to spare the allocation each frame.
    std::vector<st_ActivationRequest> m_granting;
    std::vector<st_ActivationRequest> m_active;
    uint32_t m_frameNumber = 0;
};
