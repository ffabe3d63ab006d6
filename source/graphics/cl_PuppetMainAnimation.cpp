#include "graphics/cl_PuppetMainAnimation.h"

#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/IPuppetAnimationEventListener.h"
#include "graphics/cl_Puppet.h"
#include "graphics/cl_PuppetAnimWeight.h"

#include <OgreAnimation.h>
#include <OgreAnimationState.h>
#include <OgreAnimationTrack.h>
#include <OgreKeyFrame.h>
#include <OgreSkeletonInstance.h>
#include <tinyxml.h>

#include <algorithm>

namespace
{
const std::string ACTIVATED = "activated";
const std::string DEACTIVATED = "deactivated";
} // namespace

bool cl_PuppetMainAnimation::FromXml(const TiXmlElement& element)
{
    if (!cl_PuppetAnimation::FromXml(element))
        return false;
    for (const TiXmlElement* event = element.FirstChildElement("event"); event;
         event = event->NextSiblingElement("event"))
    {
        const char* name = event->GetText();
        m_timedEvents[name ? name : ""] = NumberAttribute(*event, "time", 0.0f);
    }
    return true;
}

void cl_PuppetMainAnimation::SetTimePosition(float time)
{
    cl_PuppetAnimation::SetTimePosition(time);
    ReadRootKey(m_lastTranslation, m_lastRotation, m_lastScale);
}

void cl_PuppetMainAnimation::SetAnimation(const std::string& name)
{
    const std::vector<std::string> subMeshes = m_puppet.GetSubMeshNames();
    TakeState(subMeshes.empty() ? nullptr : m_puppet.GetSubMesh(subMeshes.front()).entity, name, "main");
}

void cl_PuppetMainAnimation::OnTimeAdvanced(float from, float to)
{
    if (m_owner.GetNormalizedWeight() > 0.5f)
    {
        for (const auto& event : m_timedEvents)
        {
            if (from <= event.second && event.second < to)
                Fire(event.first);
        }
    }

    Ogre::Vector3 translation;
    Ogre::Quaternion rotation;
    Ogre::Vector3 scale;
    if (!ReadRootKey(translation, rotation, scale))
    {
        m_lastTranslation = translation;
        m_lastRotation = rotation;
        m_lastScale = scale;
        return;
    }
    const float weight = m_state->getWeight();
    st_RootMotion& motion = m_puppet.GetRootMotion();
    const Ogre::Quaternion back = m_lastRotation.Inverse();
    if (m_applyTranslation)
        motion.translation += back * (translation - m_lastTranslation) * weight;
    m_lastTranslation = translation;
    // Most clips walk straight, and most play at full weight: both spare the interpolation.
    if (m_applyRotation && rotation != m_lastRotation)
    {
        const Ogre::Quaternion turn = back * rotation;
        motion.rotation =
            (weight == 1.0f ? turn
                            : Ogre::Quaternion::Slerp(weight, Ogre::Quaternion::IDENTITY, turn, true)) *
            motion.rotation;
    }
    m_lastRotation = rotation;
    if (m_applyScale)
        motion.scale += (scale - m_lastScale) * weight;
    m_lastScale = scale;
}

void cl_PuppetMainAnimation::Enable()
{
    if (IsEnabled())
        return;
    Fire(ACTIVATED);
    cl_PuppetAnimation::Enable();
}

void cl_PuppetMainAnimation::Disable()
{
    if (!IsEnabled())
        return;
    Fire(DEACTIVATED);
    cl_PuppetAnimation::Disable();
}

void cl_PuppetMainAnimation::AddListener(const std::string& event, IPuppetAnimationEventListener* listener)
{
    std::vector<IPuppetAnimationEventListener*>& listeners = m_listeners[event];
    if (std::find(listeners.begin(), listeners.end(), listener) == listeners.end())
        listeners.push_back(listener);
}

void cl_PuppetMainAnimation::RemoveListener(const std::string& event, IPuppetAnimationEventListener* listener)
{
    const auto found = m_listeners.find(event);
    if (found == m_listeners.end())
        return;
    std::vector<IPuppetAnimationEventListener*>& listeners = found->second;
    listeners.erase(std::remove(listeners.begin(), listeners.end(), listener), listeners.end());
}

void cl_PuppetMainAnimation::SetApplyRootMotion(bool translation, bool rotation, bool scale)
{
    m_applyTranslation = translation;
    m_applyRotation = rotation;
    m_applyScale = scale;
}

bool cl_PuppetMainAnimation::ReadRootKey(Ogre::Vector3& translation, Ogre::Quaternion& rotation,
                                         Ogre::Vector3& scale) const
{
    translation = Ogre::Vector3::ZERO;
    rotation = Ogre::Quaternion::IDENTITY;
    scale = Ogre::Vector3::UNIT_SCALE;
    Ogre::SkeletonInstance* skeleton = m_puppet.GetSkeleton();
    const uint16_t bone = m_puppet.GetRootBoneHandle();
    if (!m_state || !skeleton || bone == cl_Puppet::NO_BONE)
        return false;
    const Ogre::Animation* animation = skeleton->_getAnimationImpl(m_state->getAnimationName());
    if (!animation)
        return false;
    const auto track = animation->_getNodeTrackList().find(bone);
    if (track == animation->_getNodeTrackList().end())
        return false;
    Ogre::TransformKeyFrame key(nullptr, 0.0f);
    track->second->getInterpolatedKeyFrame(animation->_getTimeIndex(m_state->getTimePosition()), &key);
    translation = key.getTranslate();
    rotation = key.getRotation();
    scale = key.getScale();
    return true;
}

void cl_PuppetMainAnimation::Fire(const std::string& event)
{
    const auto found = m_listeners.find(event);
    if (found != m_listeners.end() && !found->second.empty())
    {
        // A listener may unregister (itself or another) while it is told; the entry stays in the map.
        const std::vector<IPuppetAnimationEventListener*> listeners = found->second;
        const std::vector<IPuppetAnimationEventListener*>& now = found->second;
        for (IPuppetAnimationEventListener* listener : listeners)
        {
            if (std::find(now.begin(), now.end(), listener) != now.end())
                listener->OnAnimationEvent(event);
        }
    }
    m_puppet.DispatchAnimationEvent(event);
}
