#include "graphics/cl_MovementControl.h"

#include "common/XmlNumbers.h"
#include "common/cl_GameTime.h"
#include "graphics/IPuppetControlListener.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_PuppetMainAnimation.h"

#include <OgrePlane.h>
#include <OgreRay.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <algorithm>
#include <cmath>

namespace
{
const char* const WALK_CYCLES = "skeletal/walk/loop/";
const char* const WALK = "skeletal/walk/loop";
const char* const STRAIGHT = "skeletal/walk/loop/straight_fast";
const char* const LEFT = "skeletal/walk/loop/left";
const char* const RIGHT = "skeletal/walk/loop/right";
const char* const RUN = "skeletal/walk/run";
const char* const RUN_CYCLE = "skeletal/walk/run/run";

const float FADE_TIME = 0.5f;
const float LOOK_AHEAD = 60.0f;
// A waypoint counts as passed once the closest path point leaves the first segment by this factor.
const float ON_SEGMENT = 1.01f;
// A turn this sharp (of -1 .. 1) keeps a walk from breaking into a run.
const float MAX_RUN_TURN = 0.3f;
const float RUN_FADE = 0.2f;
const float WALK_FADE = 0.25f;
const float RUNNING_TURN_SPEED = Ogre::Degree(90.0f).valueRadians();

// How the walk steers toward its look-ahead point: the gain of the gait blend and the angle the facing
// may lag behind the direction to the point.
struct st_Steering
{
    float gain;
    float deadZone; // radians
};

st_Steering SteeringOf(EnvironmentType type)
{
    switch (type)
    {
    case ENVIRONMENT_TIGHT:
        return {6.0f, Ogre::Degree(20.0f).valueRadians()};
    case ENVIRONMENT_NARROW:
        return {4.0f, Ogre::Degree(30.0f).valueRadians()};
    default:
        return {2.0f, Ogre::Degree(60.0f).valueRadians()};
    }
}

// The angle (radians, -pi .. pi) and world axis of the shortest rotation from one direction to another.
void RotationBetween(const Ogre::Vector3& from, const Ogre::Vector3& to, Ogre::Vector3& axis, float& angle)
{
    Ogre::Radian radians;
    from.getRotationTo(to, Ogre::Vector3::ZERO).ToAngleAxis(radians, axis);
    angle = radians.valueRadians();
    if (angle > Ogre::Math::PI)
        angle -= Ogre::Math::TWO_PI;
}
} // namespace

cl_MovementControl::cl_MovementControl()
{
    SetFadeTime(FADE_TIME);
}

bool cl_MovementControl::FromXml(const TiXmlElement* element)
{
    if (!element || element->ValueStr() != "movectrl")
        return true;
    m_minRunDistance = NumberAttribute(*element, "minstartrun", m_minRunDistance);
    m_maxStopRunDistance = NumberAttribute(*element, "maxstoprun", m_maxStopRunDistance);
    m_stopDistance = NumberAttribute(*element, "stopwalk", m_stopDistance);
    return true;
}

void cl_MovementControl::Reset()
{
    if (IsActive())
    {
        for (const char* path : {STRAIGHT, LEFT, RIGHT, RUN})
            SetWeight(path, 0.0f, 0.0f);
    }
    cl_PuppetControl::Reset();
    m_path.clear();
    m_stopRequested = false;
}

void cl_MovementControl::ReleaseWeights()
{
    // Not through SetWeight: a reset releases while the control is already inactive, which is no edit
    // of someone else's animations.
    if (cl_ControlledPuppet* puppet = GetPuppet())
    {
        for (const char* path : {WALK, RUN})
        {
            if (cl_PuppetAnimWeight* node = puppet->ResolveAnimPath(path))
                node->SetTarget(0.0f, GetFadeTime());
        }
    }
    ForgetRecords();
}

bool cl_MovementControl::OnUpdate(float)
{
    if (!IsActive())
    {
        if (!m_path.empty() && IsEnabled())
            RequestActivation(PRIORITY, CHANNELS);
        return true;
    }
    UpdateMovement();
    if (m_path.empty())
    {
        ReportDone();
        return false;
    }
    if (IsDeactivationRequested())
    {
        ReportStopped();
        return false;
    }
    return true;
}

void cl_MovementControl::OnActivated(const st_ActivationRequest&)
{
    m_running = false;
    cl_ControlledPuppet& puppet = *GetPuppet();
    if (CheckActive())
        SetTimeRecursive(puppet.ResolveAnimPath(WALK_CYCLES), m_walkStartTime);
    // The walk fades in exactly as fast as whatever else fades out.
    for (const char* path : {WALK_CYCLES, STRAIGHT, LEFT, RIGHT})
        SetWeight(path, 1.0f, puppet.GetFadeOutTime());
    SetWeight(RUN, 0.0f, 0.0f);
    SetWeight(RUN_CYCLE, 1.0f, 0.0f);
    UpdateMovement();
    if (IsCallbackPending())
        Report(IPuppetControlListener::CODE_STARTED);
}

void cl_MovementControl::SetPath(const Path& path)
{
    m_stopRequested = false;
    if (&path != &m_path)
        m_path = path;
    if (!IsActive() && IsEnabled())
        RequestActivation(PRIORITY, CHANNELS);
}

bool cl_MovementControl::TryContinuePath(const Path& path)
{
    if (path.size() < 2 || m_path.size() < 2)
        return false;
    const Ogre::Vector3 current = (m_path[1].position - m_path[0].position).normalisedCopy();
    const Ogre::Vector3 next = (path[1].position - path[0].position).normalisedCopy();
    if (!(current.dotProduct(next) > 0.8f))
        return false;
    SetPath(path);
    return true;
}

void cl_MovementControl::Stop()
{
    m_stopRequested = true;
    ReportStopped();
}

float cl_MovementControl::GetRemainingDistance() const
{
    if (m_path.empty())
        return 0.0f;
    float distance = 0.0f;
    for (size_t point = 1; point < m_path.size(); ++point)
        distance += m_path[point - 1].position.distance(m_path[point].position);
    if (m_path.size() >= 2)
        distance += GetClosestPathPoint(m_path, GetNodePosition()).distance(m_path[1].position);
    return distance;
}

Ogre::Vector3 cl_MovementControl::GetLookAheadPoint(float distance) const
{
    return GetLookAheadPoint(m_path, GetNodePosition(), distance);
}

Ogre::Vector3 cl_MovementControl::GetLookAheadPoint(const Path& path, const Ogre::Vector3& position,
                                                    float distance)
{
    Ogre::Vector3 current = GetClosestPathPoint(path, position);
    float remaining = distance;
    // The closest point lies on the first segment once the passed waypoints are dropped.
    for (size_t point = 1; point < path.size(); ++point)
    {
        const Ogre::Vector3& next = path[point].position;
        const float step = current.distance(next);
        if (remaining < step)
            return current + (next - current).normalisedCopy() * remaining;
        current = next;
        remaining -= step;
    }
    return current;
}

Ogre::Vector3 cl_MovementControl::GetClosestPathPoint(const Path& path, const Ogre::Vector3& position)
{
    if (path.empty())
        return position;
    Ogre::Vector3 closest = path.front().position;
    for (size_t point = 1; point < path.size(); ++point)
    {
        const Ogre::Vector3& a = path[point - 1].position;
        const Ogre::Vector3 along = (path[point].position - a).normalisedCopy();
        const float t = std::clamp(along.dotProduct(position - a), 0.0f, a.distance(path[point].position));
        const Ogre::Vector3 candidate = a + along * t;
        if (candidate.distance(position) < closest.distance(position))
            closest = candidate;
    }
    return closest;
}

void cl_MovementControl::UpdateMovement()
{
    if (m_stopRequested)
        EndWalk();
    else
        DropPassedWaypoints();
    if (m_path.empty())
        return;
    FollowGround();

    const Ogre::SceneNode& node = *GetPuppet()->GetSceneNode();
    const Ogre::Quaternion& orientation = node._getDerivedOrientation();
    const Ogre::Vector3 up = orientation.yAxis();
    const Ogre::Vector3 forward = orientation.zAxis();
    const Ogre::Vector3 side = orientation.xAxis();
    const Ogre::Vector3 direction =
        (GetLookAheadPoint(LOOK_AHEAD) - node._getDerivedPosition()).normalisedCopy();

    const st_Steering steering = SteeringOf(m_environmentType);
    UpdateGait(std::clamp(steering.gain * direction.dotProduct(side), -1.0f, 1.0f));

    Ogre::Vector3 axis;
    float angle = 0.0f;
    RotationBetween(forward, (direction - up * direction.dotProduct(up)).normalisedCopy(), axis, angle);
    if (m_running)
        TurnRunning(axis, angle);
    else if (angle > steering.deadZone)
        GetPuppet()->GetSceneNode()->rotate(axis, Ogre::Radian(angle - steering.deadZone),
                                            Ogre::Node::TS_WORLD);
    else if (angle < -steering.deadZone)
        GetPuppet()->GetSceneNode()->rotate(axis, Ogre::Radian(angle + steering.deadZone),
                                            Ogre::Node::TS_WORLD);
}

void cl_MovementControl::TurnRunning(const Ogre::Vector3& axis, float angle)
{
    // The frame runs its controls several times; 90 degrees per real second is the whole frame's turn.
    const uint32_t frame = GetPuppet()->GetFrameNumber();
    if (frame != m_turnFrame)
    {
        const cl_GameTime* time = cl_GameTime::GetInstance();
        m_turnFrame = frame;
        m_turnBudget = RUNNING_TURN_SPEED * (time ? time->GetElapsedMilliseconds() : 0.0f) / 1000.0f;
    }
    const float turn = std::clamp(angle, -m_turnBudget, m_turnBudget);
    m_turnBudget -= std::abs(turn);
    if (turn != 0.0f)
        GetPuppet()->GetSceneNode()->rotate(axis, Ogre::Radian(turn), Ogre::Node::TS_WORLD);
}

void cl_MovementControl::DropPassedWaypoints()
{
    if (m_path.size() <= 1)
    {
        EndWalk();
        return;
    }
    const Ogre::Vector3 closest = GetClosestPathPoint(m_path, GetNodePosition());
    // The arrival radius: 1.5 stop distances while the feet pass each other, 0.5 with the stride open.
    const float phase = GetWalkPhase();
    const float s = 4.0f * std::min({phase, std::abs(0.5f - phase), 1.0f - phase});
    if (closest.distance(m_path.back().position) < m_stopDistance * (1.5f - s * s))
    {
        EndWalk();
        return;
    }
    while (m_path.size() >= 2)
    {
        const Ogre::Vector3& p1 = m_path[0].position;
        const Ogre::Vector3& p2 = m_path[1].position;
        const float length = p1.distance(p2);
        if (length != 0.0f && (closest.distance(p1) + closest.distance(p2)) / length < ON_SEGMENT)
            break;
        m_path.erase(m_path.begin());
    }
    // A lone point gives no segment to follow or steer along: the walk is over.
    if (m_path.size() < 2)
        EndWalk();
}

void cl_MovementControl::FollowGround()
{
    const st_NavPathPoint& first = m_path[0];
    const st_NavPathPoint& second = m_path[1];
    Ogre::SceneNode& node = *GetPuppet()->GetSceneNode();
    const Ogre::Vector3 position = node._getDerivedPosition();
    const Ogre::Vector3 closest = GetClosestPathPoint(m_path, position);
    const float t = closest.distance(first.position) / second.position.distance(first.position);
    const Ogre::Vector3 normal = (first.up * (1.0f - t) + second.up * t).normalisedCopy();
    // Whether the ray meets the plane ahead or behind, its signed distance brings the node onto it.
    const float distance = Ogre::Ray(position, normal).intersects(Ogre::Plane(normal, closest)).second;
    node.translate(normal * distance, Ogre::Node::TS_WORLD);
    node.lookAt(node._getDerivedPosition() + Ogre::Vector3::UNIT_Y, Ogre::Node::TS_WORLD,
                Ogre::Vector3::UNIT_Y);
}

void cl_MovementControl::UpdateGait(float turn)
{
    const float remaining = GetRemainingDistance();
    cl_PuppetMainAnimation* runCycle = GetMainAnimation(RUN_CYCLE);
    const bool startRun = remaining > m_minRunDistance && std::abs(turn) < MAX_RUN_TURN;
    const bool stopRun = remaining < m_maxStopRunDistance;
    if (m_runAllowed && runCycle && startRun && !m_running)
    {
        // The run takes up the walk's phase.
        SetTime(RUN, GetWalkPhase() * runCycle->GetLength());
        SetWeight(RUN, 1.0f, RUN_FADE);
        SetWeight(WALK, 0.0f, RUN_FADE);
        m_running = true;
    }
    else if (m_running && stopRun)
    {
        const cl_PuppetMainAnimation* straight = GetMainAnimation(STRAIGHT);
        SetTime(WALK, (runCycle ? runCycle->GetRelativeTime() : -1.0f) *
                          (straight ? straight->GetLength() : -1.0f));
        SetWeight(WALK, 1.0f, WALK_FADE);
        SetWeight(RUN, 0.0f, WALK_FADE);
        m_running = false;
    }
    if (m_running)
        return;
    SetWeight(GetMainAnimation(STRAIGHT), 1.0f - std::abs(turn), 0.0f);
    SetWeight(GetMainAnimation(LEFT), std::max(turn, 0.0f), 0.0f);
    SetWeight(GetMainAnimation(RIGHT), std::max(-turn, 0.0f), 0.0f);
}

void cl_MovementControl::EndWalk()
{
    m_path.clear();
    m_stopRequested = false;
}

float cl_MovementControl::GetWalkPhase() const
{
    const cl_PuppetMainAnimation* straight = GetMainAnimation(STRAIGHT);
    const float phase = straight ? straight->GetRelativeTime() : 0.0f;
    return phase < 0.0f ? 0.0f : phase;
}

Ogre::Vector3 cl_MovementControl::GetNodePosition() const
{
    return GetPuppet()->GetSceneNode()->_getDerivedPosition();
}
