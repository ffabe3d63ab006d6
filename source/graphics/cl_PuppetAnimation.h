#pragma once

#include <string>

class TiXmlElement;
class cl_Puppet;
class cl_PuppetAnimWeight;

namespace Ogre
{
class AnimationState;
class Entity;
} // namespace Ogre

// A leaf of a puppet's weight tree: one OGRE animation state whose weight, enabled flag and clock follow
// the normalized weight of the node that owns it. OGRE's own looping stays off (OGRE then holds the clock
// at the end); looping and holding at the end are done here, so each step knows where the clock went.
// Without a state every operation does nothing.
class cl_PuppetAnimation
{
public:
    cl_PuppetAnimation(cl_Puppet& puppet, cl_PuppetAnimWeight& owner);
    virtual ~cl_PuppetAnimation() = default;
    cl_PuppetAnimation(const cl_PuppetAnimation&) = delete;
    cl_PuppetAnimation& operator=(const cl_PuppetAnimation&) = delete;

    // Reads "name" (required: false without it) and "loop" (exactly "true"). A name the model lacks is
    // logged by SetAnimation and does not fail the reader.
    virtual bool FromXml(const TiXmlElement& element);
    // Writes "name", "duration", "looping" (only when looping) and "time" (only while enabled); nothing
    // without a state.
    virtual void SaveState(TiXmlElement& element) const;
    // One frame, dt already scaled by the owner's time scale: a normalized weight above 0 enables the
    // state with that weight and advances its clock; 0 (or not a number) disables it.
    virtual void Apply(float dt);
    virtual void SetTimePosition(float time);
    void SetLoop(bool loop) { m_loop = loop; }
    // Takes the named state of the model; on failure the state stays null (logged).
    virtual void SetAnimation(const std::string& name) = 0;
    // The clock went from one time to another inside this frame's step.
    virtual void OnTimeAdvanced(float from, float to);
    // Starts the state, in step with the owner's sync subtree when there is one. Nothing when enabled.
    virtual void Enable();
    virtual void Disable();
    // Advances a looping clock: past the end it wraps (or stays at the end while held there).
    virtual void AdvanceLooped(float dt);

    // -1 without a state.
    float GetLength() const;
    // The clock; 0 without a state.
    float GetTimePosition() const;
    // Clock / length; -1 without a state.
    float GetRelativeTime() const;
    // True when the owner is at weight 0 and not fading up; false while the owner's clock is frozen;
    // otherwise true without a state or once a clock that does not wrap reached the end.
    bool IsFinished() const;

    Ogre::AnimationState* GetState() const { return m_state; }
    cl_PuppetAnimWeight& GetOwner() const { return m_owner; }
    bool IsEnabled() const { return m_enabled; }
    bool IsLooping() const { return m_loop; }
    // The clock wrapped around the end in the last Apply.
    bool HasWrapped() const { return m_wrapped; }
    // A looping animation held at its end stops there instead of wrapping; Enable clears it.
    void SetHoldAtEnd(bool hold) { m_holdAtEnd = hold; }
    // Set by the owner's SetTarget, cleared by Apply: the new weight has not reached the state yet.
    bool HasWeightChanged() const { return m_weightChanged; }
    void SetWeightChanged(bool changed) { m_weightChanged = changed; }

protected:
    // Takes entity's state of that name (entity may be null) with its clock at 0 and OGRE's looping
    // off; logs "Could not retrieve <kind> animation" and keeps a null state when there is none.
    void TakeState(Ogre::Entity* entity, const std::string& name, const char* kind);
    // Adds dt to the clock (held at the end) and tells OnTimeAdvanced.
    void Advance(float dt);

    cl_Puppet& m_puppet;
    cl_PuppetAnimWeight& m_owner;
    Ogre::AnimationState* m_state = nullptr;

private:
    bool m_wrapped = false;
    bool m_loop = false;
    bool m_enabled = false;
    bool m_holdAtEnd = false;
    bool m_weightChanged = true;
};
