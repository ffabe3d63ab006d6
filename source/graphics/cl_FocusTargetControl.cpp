#include "graphics/cl_FocusTargetControl.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_Constraint.h"
#include "graphics/cl_ConstraintEx.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_ManualBone.h"
#include "platform/GameRand.h"

#include <OgreBone.h>
#include <OgreMath.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <algorithm>
#include <cmath>

namespace
{
using Ogre::Quaternion;
using Ogre::Vector3;

// How far the head may pass its constraint: at rest, turned, and before the target counts as out of reach.
const float REST_FACTOR = 1.2f;
const float TURNED_FACTOR = 1.4f;
const float REACH_FACTOR = 1.75f;
// The head's speed in degrees per second: SLOWEST near the goal, SLOWEST + FASTER from 90 degrees away.
const float SLOWEST = 45.0f;
const float FASTER = 155.0f;
// A new glance is reached in this many seconds.
const float GLANCE_TIME = 0.3f;
const float FOCUSED_DEGREES = 5.0f;

// The head's frame in the look-at: its local -z looks ahead and its local +x points up.
const Quaternion HEAD_REFERENCE =
    Quaternion(Ogre::Degree(90), Vector3::UNIT_Z) * Quaternion(Ogre::Degree(-90), Vector3::UNIT_X);

// Degrees of the rotation the shorter way round.
float AngleDegrees(const Quaternion& rotation)
{
    return Ogre::Radian(2.0f * std::acos(std::min(1.0f, std::fabs(rotation.w)))).valueDegrees();
}

// The number of the attribute when it is there and not empty.
bool NumberOf(const TiXmlElement& element, const char* name, float& number)
{
    return ReadNumber(AttributeOrEmpty(element, name), number);
}
} // namespace

cl_FocusTargetControl::cl_FocusTargetControl() = default;

cl_FocusTargetControl::~cl_FocusTargetControl() = default;

void cl_FocusTargetControl::SaveToXml(TiXmlElement& element) const
{
    cl_PuppetControl::SaveToXml(element);
    element.SetAttribute("focused", !m_hasTarget ? "false" : IsFocused() ? "true" : "trying");
}

bool cl_FocusTargetControl::FromXml(const TiXmlElement* element)
{
    if (!element)
        return false;
    ReadBone(element->FirstChildElement("headbone"), m_headBone, m_headConstraint);
    ReadBone(element->FirstChildElement("lefteyebone"), m_leftEyeBone, m_leftEyeConstraint);
    ReadBone(element->FirstChildElement("righteyebone"), m_rightEyeBone, m_rightEyeConstraint);
    return true;
}

void cl_FocusTargetControl::ReadBone(const TiXmlElement* element, std::unique_ptr<cl_ManualBone>& bone,
                                     std::unique_ptr<IConstraint>& constraint)
{
    bone.reset();
    constraint.reset();
    if (!element)
        return;
    std::string name = AttributeOrEmpty(*element, "boneref");
    if (name.empty() && element->GetText())
        name = element->GetText();
    if (name.empty())
        return;
    bone = std::make_unique<cl_ManualBone>(name, AttributeOrEmpty(*element, "slave"));
    if (GetPuppet() && !bone->FindBone(*GetPuppet()))
    {
        LOG_ERROR("The focus control '%s' of '%s' has no bone '%s' with a parent; it does without.",
                  GetName().c_str(), GetPuppet()->GetName().c_str(), name.c_str());
        bone.reset();
        return;
    }
    const TiXmlElement* limits = element->FirstChildElement("constraint");
    float maxAngle = 0.0f;
    float left = 0.0f;
    float right = 0.0f;
    float up = 0.0f;
    float down = 0.0f;
    if (!limits)
        return;
    if (NumberOf(*limits, "maxangle", maxAngle))
        constraint = std::make_unique<cl_Constraint>(maxAngle);
    else if (NumberOf(*limits, "left", left) && NumberOf(*limits, "right", right) &&
             NumberOf(*limits, "up", up) && NumberOf(*limits, "down", down))
        constraint = std::make_unique<cl_ConstraintEx>(right, left, up, down);
}

void cl_FocusTargetControl::Attach(std::unique_ptr<cl_ManualBone>& bone, bool head)
{
    if (!bone || !GetPuppet() || bone->Attach(*GetPuppet(), head))
        return;
    LOG_ERROR("The focus control '%s' of '%s' has no bone '%s' with a parent; it does without.",
              GetName().c_str(), GetPuppet()->GetName().c_str(), bone->GetBoneName().c_str());
    bone.reset();
}

void cl_FocusTargetControl::Reset()
{
    cl_PuppetControl::Reset();
    m_headGoal = Quaternion::IDENTITY;
    m_hasTarget = false;
    OnDeactivated();
}

void cl_FocusTargetControl::OnAttached(cl_ControlledPuppet&)
{
    if (!IsActive())
        return;
    if (m_headBone && m_headBone->Holds())
        Attach(m_headBone, true);
    for (std::unique_ptr<cl_ManualBone>* eye : {&m_leftEyeBone, &m_rightEyeBone})
    {
        if (*eye && (*eye)->Holds())
            Attach(*eye, false);
    }
}

void cl_FocusTargetControl::OnActivated(const st_ActivationRequest&)
{
    if (m_headBone && !m_headBone->Holds())
        Attach(m_headBone, true);
    for (std::unique_ptr<cl_ManualBone>* eye : {&m_leftEyeBone, &m_rightEyeBone})
    {
        if (*eye && !(*eye)->Holds())
            Attach(*eye, false);
    }
}

void cl_FocusTargetControl::OnDeactivated()
{
    for (cl_ManualBone* eye : {m_leftEyeBone.get(), m_rightEyeBone.get()})
    {
        if (eye)
            eye->Release();
    }
}

bool cl_FocusTargetControl::OnUpdate(float dt)
{
    if (!m_headBone)
    {
        m_remainingHeadAngle = 0.0f;
        return false;
    }
    StepHead(dt);
    if (!IsActive())
    {
        if (m_hasTarget && IsEnabled())
            RequestActivation(PRIORITY, CHANNELS);
        return true;
    }
    if (IsDeactivationRequested())
    {
        m_hasTarget = false;
        ReportStopped();
    }
    if (!m_hasTarget && m_remainingHeadAngle == 0.0f)
    {
        ReportDone();
        return false;
    }
    StepGlance(dt);
    StepEye(m_leftEyeBone.get(), m_leftEyeConstraint.get());
    StepEye(m_rightEyeBone.get(), m_rightEyeConstraint.get());
    return true;
}

void cl_FocusTargetControl::SetTarget(const Vector3& position)
{
    m_targetPosition = position;
    m_hasTarget = true;
    m_outOfReach = false;
}

Vector3 cl_FocusTargetControl::GetTargetPosition() const
{
    return m_hasTarget ? m_targetPosition : Vector3::ZERO;
}

bool cl_FocusTargetControl::IsFocused() const
{
    if (!m_hasTarget || !m_headBone || !m_headBone->GetBone() || !GetPuppet())
        return false;
    const Ogre::Bone& head = *m_headBone->GetBone();
    const Vector3 facing = WorldOrientation(head) * Vector3::NEGATIVE_UNIT_Z;
    const Vector3 toTarget = m_targetPosition - WorldPosition(head);
    return facing.angleBetween(toTarget).valueDegrees() < FOCUSED_DEGREES;
}

Vector3 cl_FocusTargetControl::WorldPosition(const Ogre::Bone& bone) const
{
    return GetPuppet()->GetSceneNode()->_getDerivedPosition() + bone._getDerivedPosition();
}

Quaternion cl_FocusTargetControl::WorldOrientation(const Ogre::Bone& bone) const
{
    return GetPuppet()->GetSceneNode()->_getDerivedOrientation() * bone._getDerivedOrientation();
}

Quaternion cl_FocusTargetControl::LookAt(const Vector3& position, const Vector3& target,
                                         const Quaternion& frame, const Quaternion& reference)
{
    const Quaternion f = frame * reference.Inverse();
    const Vector3 d = target - position;
    Vector3 p = d - f.yAxis() * d.dotProduct(f.yAxis());
    p.normalise();
    const Quaternion g = f.xAxis().getRotationTo(p, Vector3::UNIT_Y) * f;
    const Vector3 p2 = d - g.zAxis() * d.dotProduct(g.zAxis());
    const Quaternion h = g.xAxis().getRotationTo(p2, Vector3::UNIT_Z) * g;
    return h * reference;
}

void cl_FocusTargetControl::StepHead(float dt)
{
    if (!m_headBone->Holds() || !GetPuppet())
        return;
    Ogre::Bone& named = *m_headBone->GetBone();
    Ogre::Bone& controlled = *m_headBone->GetPartner();
    const Quaternion q0 = controlled.getOrientation();
    const bool atRest = q0 == controlled.getInitialOrientation();
    controlled.reset();
    named.needUpdate(true);
    Quaternion goal = Quaternion::IDENTITY;
    if (m_hasTarget)
    {
        const Quaternion look =
            LookAt(WorldPosition(named), m_targetPosition, WorldOrientation(named), HEAD_REFERENCE);
        goal = WorldOrientation(controlled).Inverse() * look * named.getOrientation().Inverse();
        // A target on the bone itself gives no direction to look in.
        if (goal.isNaN())
            goal = Quaternion::IDENTITY;
        m_outOfReach = false;
        if (m_headConstraint)
        {
            if (m_headConstraint->Limit(goal, REACH_FACTOR))
            {
                // Beyond reach the head goes back and the eyes stop following.
                goal = Quaternion::IDENTITY;
                m_outOfReach = true;
            }
            else
                m_headConstraint->Limit(goal, atRest ? REST_FACTOR : TURNED_FACTOR);
        }
    }
    m_headGoal = goal;
    const float theta = AngleDegrees(q0.Inverse() * goal);
    m_headSpeed = SLOWEST + FASTER * std::min(theta, 90.0f) / 90.0f;
    const float step = m_headSpeed * dt;
    if (step < theta)
        goal = Quaternion::Slerp(step / theta, q0, goal, true);
    controlled.setOrientation(goal);
    m_remainingHeadAngle = Ogre::Degree(AngleDegrees(goal)).valueRadians();
}

void cl_FocusTargetControl::StepGlance(float dt)
{
    m_glanceTimer += dt;
    if (m_glanceTimer <= m_glanceInterval)
        return;
    m_glanceTimer = 0.0f;
    m_glanceInterval = 0.3f + static_cast<float>(platform::GameRand() % 100) / 200.0f;
    m_previousGlance = m_currentGlance;
    const float amplitude = std::max(m_glanceAmplitude, 0.0f);
    const Vector3 axis =
        Quaternion(Ogre::Radian(Ogre::Math::UnitRandom() * Ogre::Math::TWO_PI), Vector3::UNIT_X) *
        Vector3::UNIT_Z;
    m_currentGlance = Quaternion(Ogre::Degree(amplitude), axis);
}

void cl_FocusTargetControl::StepEye(cl_ManualBone* eye, const IConstraint* constraint)
{
    if (!eye || !eye->Holds())
        return;
    Ogre::Bone& named = *eye->GetBone();
    Ogre::Bone& partner = *eye->GetPartner();
    named.reset();
    named.needUpdate(true);
    partner.needUpdate(true);
    if (!m_hasTarget || m_outOfReach)
        return;
    const Quaternion r0 = named.getOrientation();
    const Quaternion look =
        LookAt(WorldPosition(named), m_targetPosition, WorldOrientation(named), Quaternion::IDENTITY);
    Quaternion toTarget = WorldOrientation(partner).Inverse() * look * r0.Inverse();
    toTarget.normalise();
    Quaternion glance = Quaternion::Slerp(std::min(1.0f, std::max(0.0f, m_glanceTimer / GLANCE_TIME)),
                                          m_previousGlance, m_currentGlance);
    glance.normalise();
    Quaternion relative = toTarget * r0 * glance * r0.Inverse();
    if (relative.isNaN())
        return;
    if (constraint)
        constraint->Limit(relative, 1.0f);
    named.setOrientation(relative * r0);
}
