#include "graphics/cl_TurnControl.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/IPuppetControlListener.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_PuppetMainAnimation.h"

#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <algorithm>

namespace
{
const float FADE_TIME = 0.2f;
// How long a turn without animation (a morph) takes.
const float MORPH_TIME = 0.25f;
// How fast the animations of a turn that is replaced fade out.
const float REPLACED_FADE = 0.1f;
const float WALK_TURN_FADE = 0.15f;
// A point this far ahead of an origin gives the direction to face from there.
const float DIRECTION_REACH = 100.0f;
} // namespace

cl_TurnControl::cl_TurnControl()
{
    SetFadeTime(FADE_TIME);
}

bool cl_TurnControl::FromXml(const TiXmlElement* element)
{
    m_standTurns.clear();
    m_walkTurns.clear();
    if (!element)
        return false;
    m_morphDuration = NumberAttribute(*element, "morphduration", m_morphDuration);
    for (const TiXmlElement* turn = element->FirstChildElement("turn"); turn;
         turn = turn->NextSiblingElement("turn"))
    {
        const std::string type = AttributeOrEmpty(*turn, "type");
        std::vector<st_TurnEntry>* table =
            type == "walk" ? &m_walkTurns : (type == "stand" ? &m_standTurns : nullptr);
        float degrees = 0.0f;
        if (!table)
            LOG_WARNING("Skipped a turn of the control '%s' whose type is neither 'walk' nor 'stand'.",
                        GetName().c_str());
        else if (!ReadNumber(AttributeOrEmpty(*turn, "angle"), degrees))
            LOG_WARNING("Skipped a turn of the control '%s' without a number in 'angle'.", GetName().c_str());
        else
            table->push_back({Ogre::Degree(degrees).valueRadians(), AttributeOrEmpty(*turn, "anim"),
                              NumberAttribute(*turn, "finalFeetPos", 0.0f)});
    }
    return true;
}

void cl_TurnControl::Reset()
{
    if (IsActive())
    {
        SetWeight(m_firstAnimation, 0.0f, 0.0f);
        SetWeight(m_secondAnimation, 0.0f, 0.0f);
    }
    cl_PuppetControl::Reset();
    SetFadeTime(FADE_TIME);
    m_firstAnimation = nullptr;
    m_secondAnimation = nullptr;
    m_elapsed = 0.0f;
    m_duration = 0.0f;
    m_turnPending = false;
    m_originSet = false;
}

bool cl_TurnControl::OnUpdate(float dt)
{
    if (!IsActive())
    {
        if (!m_turnPending)
            return true;
        if (m_turnType != TURN_WALK && IsAlreadyThere())
        {
            EndTurn();
            ReportDone();
            return false;
        }
        if (IsEnabled())
            RequestActivation(PRIORITY, CHANNELS);
        return true;
    }
    m_elapsed += dt;
    const float remaining = GetRemainingTime();
    if (remaining != 0.0f)
    {
        // In the last moments of the turn the node closes the rest of the angle as the time runs out.
        if (m_morphDuration > remaining)
            StepRotation(std::clamp(dt / remaining, 0.0f, 1.0f));
        return true;
    }
    if (m_firstAnimation && m_firstAnimation->IsFinished() && m_turnType == TURN_STAND &&
        !m_secondAnimation && Deviation(GetTurnAngle(m_target)) < m_startDeviation)
    {
        // A stand turn of one clip repeats until the stand tolerance is met, as long as each round brings
        // the node closer: a clip that overshoots (or cannot play) would repeat for ever.
        StartStandTurn();
        return true;
    }
    if (!m_firstAnimation || m_firstAnimation->IsFinished())
    {
        EndTurn();
        ReportDone();
        return false;
    }
    if (!IsDeactivationRequested())
        return true;
    EndTurn();
    ReportStopped();
    return false;
}

void cl_TurnControl::OnDeactivated()
{
    m_firstAnimation = nullptr;
    m_secondAnimation = nullptr;
}

void cl_TurnControl::OnActivated(const st_ActivationRequest&)
{
    if (m_turnType == TURN_WALK)
        StartAnimatedTurn();
    else if (m_turnType == TURN_STAND)
        StartStandTurn();
}

void cl_TurnControl::StartTurn(int type, const Ogre::Vector3& target, float angleTolerance)
{
    m_turnPending = true;
    m_turnType = type;
    m_target = target;
    m_angleTolerance = angleTolerance;
    m_originSet = false;
    if (IsActive())
        BeginTurn();
}

void cl_TurnControl::StartTurnFrom(const Ogre::Vector3& origin, const Ogre::Vector3& direction,
                                   float angleTolerance, float positionTolerance)
{
    m_turnType = TURN_STAND;
    m_turnPending = true;
    m_target = origin + direction.normalisedCopy() * DIRECTION_REACH;
    m_originSet = true;
    m_origin = origin;
    m_angleTolerance = angleTolerance;
    m_positionTolerance = positionTolerance;
    if (IsActive())
        BeginTurn();
}

void cl_TurnControl::SetStandTolerances(float angle, float position)
{
    m_standAngleTolerance = angle;
    m_standPositionTolerance = position;
}

void cl_TurnControl::BeginTurn()
{
    SetWeight(m_firstAnimation, 0.0f, REPLACED_FADE);
    SetWeight(m_secondAnimation, 0.0f, REPLACED_FADE);
    m_firstAnimation = nullptr;
    m_secondAnimation = nullptr;
    if (m_turnType == TURN_WALK)
        StartAnimatedTurn();
    else if (m_turnType == TURN_STAND && !IsAlreadyThere())
        StartStandTurn();
}

void cl_TurnControl::StartAnimatedTurn()
{
    const float angle = Ogre::Radian(GetTurnAngle(m_target)).valueDegrees();
    cl_PuppetMainAnimation* clip = nullptr;
    float best = 360.0f;
    for (const st_TurnEntry& entry : m_walkTurns)
    {
        // A plain difference: 355 degrees is closer to an entry at 350 than to one at 0.
        const float difference = Ogre::Radian(entry.angle).valueDegrees() - angle;
        if (std::abs(difference) < std::abs(best))
        {
            best = difference;
            clip = GetMainAnimation(entry.path);
            m_finalFeetPosition = entry.finalFeetPosition;
        }
    }
    m_firstAnimation = clip;
    if (clip)
    {
        m_duration = clip->GetLength();
        m_elapsed = 0.0f;
        SetFadeTime(-1.0f);
        // In a tight place the clip's own turn would swing the body into the walls: only the steering turns.
        if (CheckActive())
            clip->SetApplyRootMotion(true, m_environmentType != ENVIRONMENT_TIGHT, true);
        SetWeight(clip, 1.0f, WALK_TURN_FADE);
        if (CheckActive())
            SetTimeRecursive(&clip->GetOwner(), 0.0f);
    }
    else
        StartMorph();
    if (IsCallbackPending())
        Report(IPuppetControlListener::CODE_STARTED);
}

void cl_TurnControl::StartStandTurn()
{
    const float angle = GetTurnAngle(m_target);
    m_startDeviation = Deviation(angle);
    if (IsWithinTolerance(angle, m_standAngleTolerance) &&
        (!m_originSet || IsNearOrigin(m_standPositionTolerance)))
    {
        StartMorph();
        return;
    }
    if (m_standTurns.size() < 2)
    {
        // No pair of clips to blend: the node turns by a morph.
        StartMorph();
    }
    else
    {
        const float degrees = Ogre::Radian(angle).valueDegrees();
        size_t pair = m_standTurns.size() - 2;
        for (size_t index = 0; index + 1 < m_standTurns.size(); ++index)
        {
            if (Ogre::Radian(m_standTurns[index].angle).valueDegrees() <= degrees &&
                degrees < Ogre::Radian(m_standTurns[index + 1].angle).valueDegrees())
            {
                pair = index;
                break;
            }
        }
        const st_TurnEntry& low = m_standTurns[pair];
        const st_TurnEntry& high = m_standTurns[pair + 1];
        SetFadeTime(FADE_TIME);
        if (low.angle <= high.angle)
        {
            // Held within 0 .. 1 beyond the last pair, where a negative weight would disable a clip.
            const float share = high.angle == low.angle
                                    ? 1.0f
                                    : std::clamp((angle - low.angle) / (high.angle - low.angle), 0.0f, 1.0f);
            m_firstAnimation = GetMainAnimation(high.path);
            m_secondAnimation = GetMainAnimation(low.path);
            SetWeight(m_firstAnimation, share, FADE_TIME);
            SetWeight(m_secondAnimation, 1.0f - share, FADE_TIME);
        }
        else
        {
            m_firstAnimation = GetMainAnimation(low.path);
            m_secondAnimation = nullptr;
            SetWeight(m_firstAnimation, 1.0f, FADE_TIME);
        }
        for (cl_PuppetAnimation* clip : {m_firstAnimation, m_secondAnimation})
        {
            if (clip && CheckActive())
                SetTimeRecursive(&clip->GetOwner(), 0.0f);
        }
    }
    if (IsCallbackPending())
        Report(IPuppetControlListener::CODE_STARTED);
}

void cl_TurnControl::StartMorph()
{
    m_duration = MORPH_TIME;
    m_elapsed = 0.0f;
    m_firstAnimation = nullptr;
    m_secondAnimation = nullptr;
}

float cl_TurnControl::GetRemainingTime() const
{
    if (!m_firstAnimation && !m_secondAnimation)
        return std::max(m_duration - m_elapsed, GetPuppet() ? GetPuppet()->GetFadeOutTime() : 0.0f);
    for (const cl_PuppetAnimation* clip : {m_firstAnimation, m_secondAnimation})
    {
        if (clip && clip->HasWeightChanged())
            return -1.0f;
    }
    float remaining = 0.0f;
    for (const cl_PuppetAnimation* clip : {m_firstAnimation, m_secondAnimation})
    {
        if (clip && clip->IsEnabled())
            remaining = std::max(remaining, clip->GetLength() - clip->GetTimePosition());
    }
    return remaining;
}

float cl_TurnControl::GetTurnAngle(const Ogre::Vector3& target) const
{
    const Ogre::SceneNode* node = GetPuppet() ? GetPuppet()->GetSceneNode() : nullptr;
    if (!node || !m_turnPending)
        return 0.0f;
    const Ogre::Quaternion& orientation = node->_getDerivedOrientation();
    const Ogre::Vector3 up = orientation.yAxis();
    const Ogre::Vector3 right = -orientation.xAxis();
    Ogre::Vector3 direction = target - (m_originSet ? m_origin : node->_getDerivedPosition());
    direction = (direction - up * direction.dotProduct(up)).normalisedCopy();
    Ogre::Radian angle;
    Ogre::Vector3 axis;
    orientation.zAxis().getRotationTo(direction, Ogre::Vector3::ZERO).ToAngleAxis(angle, axis);
    if (angle.valueRadians() > 0.0f && direction.dotProduct(right) < 0.0f)
        return Ogre::Math::TWO_PI - angle.valueRadians();
    return angle.valueRadians();
}

float cl_TurnControl::Deviation(float angle)
{
    return std::min(angle, Ogre::Math::TWO_PI - angle);
}

bool cl_TurnControl::IsWithinTolerance(float angle, float tolerance) const
{
    if (!m_turnPending)
        return true;
    // Where there is little room a walk turn always ends facing the path exactly.
    if (m_turnType == TURN_WALK && m_environmentType != ENVIRONMENT_OPEN)
        return false;
    return (angle >= 0.0f && angle < tolerance) ||
           (angle >= Ogre::Math::TWO_PI - tolerance && angle <= Ogre::Math::TWO_PI);
}

bool cl_TurnControl::IsNearOrigin(float distance) const
{
    const Ogre::SceneNode* node = GetPuppet() ? GetPuppet()->GetSceneNode() : nullptr;
    return !m_originSet || !node || m_origin.distance(node->_getDerivedPosition()) < distance;
}

bool cl_TurnControl::IsAlreadyThere() const
{
    return IsWithinTolerance(GetTurnAngle(m_target), m_angleTolerance) && IsNearOrigin(m_positionTolerance);
}

Ogre::Quaternion cl_TurnControl::RotationToTarget() const
{
    const Ogre::SceneNode& node = *GetPuppet()->GetSceneNode();
    const Ogre::Quaternion& orientation = node._getDerivedOrientation();
    const Ogre::Vector3 up = orientation.yAxis();
    Ogre::Vector3 direction = m_target - node._getDerivedPosition();
    direction = (direction - up * direction.dotProduct(up)).normalisedCopy();
    return orientation.zAxis().getRotationTo(direction, Ogre::Vector3::ZERO);
}

void cl_TurnControl::StepRotation(float fraction)
{
    if (fraction == 0.0f)
        return;
    Ogre::SceneNode& node = *GetPuppet()->GetSceneNode();
    if (!IsWithinTolerance(GetTurnAngle(m_target), m_angleTolerance))
    {
        Ogre::Radian angle;
        Ogre::Vector3 axis;
        RotationToTarget().ToAngleAxis(angle, axis);
        if (angle.valueRadians() > Ogre::Math::PI)
            angle -= Ogre::Radian(Ogre::Math::TWO_PI);
        node.rotate(axis, angle * fraction, Ogre::Node::TS_WORLD);
    }
    if (!IsNearOrigin(m_positionTolerance))
        node.translate((m_origin - node._getDerivedPosition()) * fraction, Ogre::Node::TS_WORLD);
}

void cl_TurnControl::FinishTurn()
{
    Ogre::SceneNode& node = *GetPuppet()->GetSceneNode();
    if (m_originSet && m_origin.distance(node._getDerivedPosition()) >= m_positionTolerance)
        node.translate(m_origin - node._getDerivedPosition(), Ogre::Node::TS_WORLD);
    if (!IsWithinTolerance(GetTurnAngle(m_target), m_angleTolerance))
        node.rotate(RotationToTarget(), Ogre::Node::TS_WORLD);
}

void cl_TurnControl::EndTurn()
{
    FinishTurn();
    m_turnPending = false;
}
