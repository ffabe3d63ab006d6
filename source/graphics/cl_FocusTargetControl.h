#pragma once

#include "graphics/cl_PuppetControl.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <memory>
#include <string>

class cl_Puppet;

// The control ("focusctrl") that turns a head and its eyes toward a point in the world. It takes the
// bones out of the animations and sets their orientations itself: the head turns at a speed that grows
// with the angle left, within its constraint (which it may exceed by a factor while turned, and beyond
// which it gives the target up and goes back to rest); the eyes look straight at the target within their
// own constraints and add small random glances. Without a target the head returns to rest and the control
// ends (code 1) once it is there.
class cl_FocusTargetControl : public cl_PuppetControl
{
public:
    class IConstraint;
    class cl_Constraint;
    class cl_ConstraintEx;
    class cl_ManualBone;

    static constexpr int32_t PRIORITY = 50;
    static constexpr uint32_t CHANNELS = 8;

    cl_FocusTargetControl();
    ~cl_FocusTargetControl() override;

    // Base attributes, then "focused": "true" on target, "trying" short of it, "false" without a target.
    void SaveToXml(TiXmlElement& element) const override;
    // "headbone", "lefteyebone" and "righteyebone", each: the bone ("boneref", else the element's text),
    // "slave" (the slave object whose skeleton holds it; the puppet's own without), and a "constraint"
    // with "maxangle" (degrees) or with all of "left", "right", "up" and "down". A bone the skeleton lacks
    // is logged and left out. False for a null element; the bones held before are given back first.
    bool FromXml(const TiXmlElement* element) override;
    // The base reset, no target, the eyes given back to the animations.
    void Reset() override;
    void OnAttached(cl_ControlledPuppet& puppet) override;
    bool OnUpdate(float dt) override;
    void OnDeactivated() override;
    void OnActivated(const st_ActivationRequest& request) override;

    // A world point to look at; the head tries anew even where it gave up before.
    void SetTarget(const Ogre::Vector3& position);
    // The head goes back to rest.
    void ClearTarget() { m_hasTarget = false; }
    bool HasTarget() const { return m_hasTarget; }
    // The target while there is one, else zero.
    Ogre::Vector3 GetTargetPosition() const;
    // The target lay beyond the head's reach.
    bool IsOutOfReach() const { return m_outOfReach; }
    // Degrees of the eyes' random glances (0: none).
    void SetGlanceAmplitude(float degrees) { m_glanceAmplitude = degrees; }
    float GetGlanceAmplitude() const { return m_glanceAmplitude; }
    // The next glance is chosen after the interval starting now.
    void ResetGlanceTimer() { m_glanceTimer = 0.0f; }
    // The head faces the target within 5 degrees.
    bool IsFocused() const;
    // Radians the head is turned from rest; 0 at rest.
    float GetRemainingHeadAngle() const { return m_remainingHeadAngle; }
    // Degrees per second of the last head step.
    float GetHeadSpeed() const { return m_headSpeed; }
    const cl_ManualBone* GetHeadBone() const { return m_headBone.get(); }
    const cl_ManualBone* GetLeftEyeBone() const { return m_leftEyeBone.get(); }
    const cl_ManualBone* GetRightEyeBone() const { return m_rightEyeBone.get(); }

    // The orientation in the frame Q1 that turns its x axis toward target from position, keeping the
    // frame's y axis in the plane it turns in; reference is the part of Q1 that is not the frame's own.
    static Ogre::Quaternion LookAt(const Ogre::Vector3& position, const Ogre::Vector3& target,
                                   const Ogre::Quaternion& frame, const Ogre::Quaternion& reference);

private:
    // Reads one bone element into bone and constraint (both none without a bone name).
    void ReadBone(const TiXmlElement* element, std::unique_ptr<cl_ManualBone>& bone,
                  std::unique_ptr<IConstraint>& constraint);
    // Takes the bones of bone (as the head or as an eye); one the skeleton lacks is logged and dropped.
    void Attach(std::unique_ptr<cl_ManualBone>& bone, bool head);
    void StepHead(float dt);
    void StepGlance(float dt);
    void StepEye(cl_ManualBone* eye, const IConstraint* constraint);
    // The bone's world position as the head and eyes reckon it: the puppet's position plus the bone's.
    Ogre::Vector3 WorldPosition(const Ogre::Bone& bone) const;
    Ogre::Quaternion WorldOrientation(const Ogre::Bone& bone) const;

    Ogre::Vector3 m_targetPosition = Ogre::Vector3::ZERO;
    bool m_hasTarget = false;
    bool m_outOfReach = false;
    float m_remainingHeadAngle = 0.0f;
    float m_headSpeed = 0.0f;
    std::unique_ptr<IConstraint> m_headConstraint;
    std::unique_ptr<cl_ManualBone> m_headBone;
    std::unique_ptr<IConstraint> m_leftEyeConstraint;
    std::unique_ptr<cl_ManualBone> m_leftEyeBone;
    std::unique_ptr<IConstraint> m_rightEyeConstraint;
    std::unique_ptr<cl_ManualBone> m_rightEyeBone;
    Ogre::Quaternion m_headGoal = Ogre::Quaternion::IDENTITY;
    float m_glanceAmplitude = 0.0f;
    Ogre::Quaternion m_previousGlance = Ogre::Quaternion::IDENTITY;
    Ogre::Quaternion m_currentGlance = Ogre::Quaternion::IDENTITY;
    float m_glanceTimer = 0.0f;
    float m_glanceInterval = 0.0f;
};
