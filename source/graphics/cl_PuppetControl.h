#pragma once

#include "common/cl_SyncGroup.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

class IPuppetControlListener;
class PuppetPose;
class TiXmlElement;
class cl_ControlledPuppet;
class cl_PuppetAnimWeight;
class cl_PuppetAnimation;
class cl_PuppetControl;
class cl_PuppetMainAnimation;
class cl_VisualStateHolder;

// A control's bid for channels of its puppet. Two requests conflict when their masks share a bit; a mask
// of 0 conflicts with nothing.
struct st_ActivationRequest
{
    cl_PuppetControl* control = nullptr;
    int32_t priority = 0;
    uint32_t mask = 0;
};

// Base of the named controls that drive a puppet (walking, turning, idle and special animations...): a
// small state machine that edits the puppet's weight tree while its puppet grants it channels. It keeps
// what it changed (weights, poses, time scales) as they were before its first change, and gives them back
// when it releases its weights. Owned by its controlled puppet.
//
// Activation: while enabled and with something to do, a control requests channels from its OnUpdate; the
// puppet grants them by priority (OnActivated, code 0), asks a weaker holder to give them up, and takes
// them back when OnUpdate of an active control answers false (weights released, OnDeactivated, code 5).
class cl_PuppetControl
{
public:
    cl_PuppetControl();
    // Releases every changed weight at once.
    virtual ~cl_PuppetControl();
    cl_PuppetControl(const cl_PuppetControl&) = delete;
    cl_PuppetControl& operator=(const cl_PuppetControl&) = delete;

    // Writes "enabled" and "active" as "true" or "false" into element (a debug description), and
    // "callback" = "requested" while a listener waits for the control's job.
    virtual void SaveToXml(TiXmlElement& element) const;
    // Reads the control's own settings; element may be null or of another kind. Always true here.
    virtual bool FromXml(const TiXmlElement* element);
    // Disabling an active control asks it to give up its channels; any other call withdraws that.
    virtual void SetEnabled(bool enabled);
    // Enabled, inactive, not asked to deactivate; a waiting listener hears code 4; every changed weight
    // returns at once. The puppet's arbitration lists are its own business (ResetControls).
    virtual void Reset();
    // Writes "enabled" as "true" or "false" into the control's element of the game state.
    virtual void SaveState(TiXmlElement& element) const;
    // Enabled when "enabled" reads "true", disabled for any other text; an element without "enabled"
    // leaves the flag as it is.
    virtual void LoadState(const TiXmlElement& element);
    // Gives every recorded weight, pose and time scale back its first recorded value, over the fade time
    // (-1: each weight node's own fade time), and empties the records.
    virtual void ReleaseWeights();
    // Called once by AddControl, after the control's puppet is set.
    virtual void OnAttached(cl_ControlledPuppet& puppet);
    // One pass of the puppet's frame (dt is 0 but in the last pass). False from an active control: its job
    // is over and its channels are free. Here: true unless asked to deactivate.
    virtual bool OnUpdate(float dt);
    // After the weights are released at the end of an activation.
    virtual void OnDeactivated();
    // The channels are granted; a control starts its animation here.
    virtual void OnActivated(const st_ActivationRequest& request);

    // Queues the request (this control, priority, mask) with the puppet, in place of one queued before.
    // A control asks only while enabled and inactive; the puppet ignores a request of an active one.
    void RequestActivation(int32_t priority, uint32_t mask);
    // True while active; otherwise logs that this control tried to change the tree and answers false.
    // Every edit below but SetTimeRecursive, GetMainAnimation and SetFallbackAnimation checks it first
    // and then does nothing when it fails. A path that resolves to nothing, or a null animation or pose,
    // also changes nothing.
    bool CheckActive() const;
    // The weight of the animation's node, or of the node of the path, goes to target over time (0 jumps,
    // -1 the node's own fade time). The node's weight before the first change is recorded.
    void SetWeight(cl_PuppetAnimation* animation, float target, float time);
    void SetWeight(std::string_view path, float target, float time);
    // The same on a node of the puppet's tree that the control keeps (may be null).
    void SetNodeWeight(cl_PuppetAnimWeight* node, float target, float time);
    // time > 0 fades the pose to target over that time, any other time sets it at once.
    void SetPoseWeight(PuppetPose* pose, float target, float time);
    // Runs (time scale 1) or freezes (0) the clocks below the animation's node.
    void SetRunning(cl_PuppetAnimation* animation, bool running);
    // Sets the clocks of the animation's node, or of the node of the path, and of its subtree.
    void SetTime(cl_PuppetAnimation* animation, float time);
    void SetTime(std::string_view path, float time);
    void SetNodeTime(cl_PuppetAnimWeight* node, float time);
    // The clocks of the node's main and slave animations, then of its children's, in name order; a null
    // node does nothing.
    static void SetTimeRecursive(cl_PuppetAnimWeight* node, float time);
    // The main animation of the node of the path; null when the path resolves to nothing or the node has
    // none.
    cl_PuppetMainAnimation* GetMainAnimation(std::string_view path) const;
    // The puppet plays the animation at weight 1 while nothing else plays: time -1 lets its clock run,
    // another time holds it there. A null animation leaves the puppet without fallback.
    void SetFallbackAnimation(cl_PuppetAnimation* animation, float time);
    // The owner's current visual state; "default" without an owner.
    std::string GetVisualStateName() const;
    // A waiting listener hears code 1 and stops waiting.
    void ReportDone();
    // The control holds a sync token whose group is not ready yet.
    bool IsWaitingForSync() const;

    // The puppet's arbitration. Grant: "ON" traced, active, OnActivated, code 0. Confirm: "OFF" traced,
    // weights released, inactive, OnDeactivated, code 5.
    void GrantActivation(const st_ActivationRequest& request);
    void ConfirmDeactivaton();
    // A stronger request wants the channels.
    void RequestDeactivation() { m_deactivationRequested = true; }
    // A request was refused: inactive, not asked to deactivate.
    void DenyActivation();
    // Called by AddControl; the puppet that owns the control.
    void SetPuppet(cl_ControlledPuppet* puppet) { m_puppet = puppet; }
    cl_ControlledPuppet* GetPuppet() const { return m_puppet; }

    // The listener (not owned, may be null; it must outlive the control or be replaced first). An earlier
    // listener hears code 6.
    void SetListener(IPuppetControlListener* listener);
    IPuppetControlListener* GetListener() const { return m_listener; }
    // The object whose visual state the control follows (not owned, may be null).
    void SetOwner(const cl_VisualStateHolder* owner) { m_owner = owner; }
    // The listener waits for the end of the job it handed the control.
    void SetCallbackPending(bool pending) { m_callbackPending = pending; }
    bool IsCallbackPending() const { return m_callbackPending; }
    bool IsActive() const { return m_active; }
    bool IsEnabled() const { return m_enabled; }
    bool IsDeactivationRequested() const { return m_deactivationRequested; }
    // The time every weight change and release of the control takes; -1 uses the nodes' own times.
    void SetFadeTime(float time) { m_fadeTime = time; }
    float GetFadeTime() const { return m_fadeTime; }
    // The token of a synchronised job; none is (-1, -1). The owner releases it.
    void SetSyncToken(const SyncToken& token) { m_syncToken = token; }
    SyncToken& GetSyncToken() { return m_syncToken; }
    // Refreshed by every pass of the puppet: the token is in its group and the group is ready.
    void SetSyncReady(bool ready) { m_syncReady = ready; }
    bool IsSyncReady() const { return m_syncReady; }

protected:
    // A waiting listener hears code 4 (the job is dropped) and stops waiting.
    void ReportStopped();
    // Tells the listener, if any, the code.
    void Report(int code);
    // Empties the records without giving anything back.
    void ForgetRecords();
    // The name the puppet knows the control by; "unknown" without puppet.
    std::string GetName() const;

private:
    // Records the node's weight (its fade target while it fades) when it is not recorded yet, then sets it.
    void RecordAndSetTarget(cl_PuppetAnimWeight& node, float target, float time);
    // Logs the activation trace "<change>: '<control>' of '<puppet>'".
    void Trace(const char* change) const;

    float m_fadeTime = -1.0f;
    std::map<cl_PuppetAnimWeight*, float> m_flagRecord;
    std::map<cl_PuppetAnimWeight*, float> m_weightRecord;
    std::map<PuppetPose*, float> m_poseRecord;
    SyncToken m_syncToken;
    bool m_syncReady = false;
    bool m_active = false;
    bool m_deactivationRequested = false;
    bool m_callbackPending = false;
    bool m_enabled = true;
    cl_ControlledPuppet* m_puppet = nullptr;
    IPuppetControlListener* m_listener = nullptr;
    const cl_VisualStateHolder* m_owner = nullptr;
};
