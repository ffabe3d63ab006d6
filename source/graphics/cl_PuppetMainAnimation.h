#pragma once

#include "graphics/cl_PuppetAnimation.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <map>
#include <string>
#include <vector>

class IPuppetAnimationEventListener;

// A skeleton animation of the puppet's own model. It fires the puppet's animation events ("activated",
// "deactivated" and the timed events of its data) and hands the puppet the motion of the root-motion
// bone, so that the puppet's node walks as the clip does.
class cl_PuppetMainAnimation : public cl_PuppetAnimation
{
public:
    using cl_PuppetAnimation::cl_PuppetAnimation;

    // The base reader, then each child "event": its text names the event, "time" (default 0) says when.
    bool FromXml(const TiXmlElement& element) override;
    // Sets the clock and takes the root key there without moving the puppet: a jump moves nothing.
    void SetTimePosition(float time) override;
    // The state of the first submesh's entity (in name order).
    void SetAnimation(const std::string& name) override;
    // Fires the timed events in [from, to) while the normalized weight is above 0.5, then adds the
    // root motion from the last root key to the one at the clock.
    void OnTimeAdvanced(float from, float to) override;
    // Fire "activated" and "deactivated" first, whatever the weight.
    void Enable() override;
    void Disable() override;

    // listener (not owned) hears the event of that name of this animation, at most once.
    void AddListener(const std::string& event, IPuppetAnimationEventListener* listener);
    void RemoveListener(const std::string& event, IPuppetAnimationEventListener* listener);

    // Which parts of the root motion reach the puppet (all at first).
    void SetApplyRootMotion(bool translation, bool rotation, bool scale);

private:
    // The root-motion bone's key at the clock. False, with identity values, without a state, skeleton,
    // root-motion bone or track.
    bool ReadRootKey(Ogre::Vector3& translation, Ogre::Quaternion& rotation, Ogre::Vector3& scale) const;
    // Tells the listeners of this animation, then the puppet's own.
    void Fire(const std::string& event);

    Ogre::Quaternion m_lastRotation = Ogre::Quaternion::IDENTITY;
    Ogre::Vector3 m_lastTranslation = Ogre::Vector3::ZERO;
    Ogre::Vector3 m_lastScale = Ogre::Vector3::UNIT_SCALE;
    bool m_applyRotation = true;
    bool m_applyScale = true;
    bool m_applyTranslation = true;
    std::map<std::string, std::vector<IPuppetAnimationEventListener*>> m_listeners;
    std::map<std::string, float> m_timedEvents;
};
