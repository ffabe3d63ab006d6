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
// The paths of the control's nodes, by cl_MovementControl::Node. The walk node is the parent of the walk
// cycles, which start in one phase.
const char* const NODE_PATHS[] = {"skeletal/walk/loop",      "skeletal/walk/loop/straight_fast",
                                  "skeletal/walk/loop/left", "skeletal/walk/loop/right",
                                  "skeletal/walk/run",       "skeletal/walk/run/run"};

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
        for (const Node node : {STRAIGHT, LEFT, RIGHT, RUN})
            SetNodeWeight(GetNode(node), 0.0f, 0.0f);
    }
    cl_PuppetControl::Reset();
    EndWalk();
}

void cl_MovementControl::ReleaseWeights()
{
    // Not through SetWeight: a reset releases while the control is already inactive, which is no edit
    // of someone else's animations.
    for (const Node which : {WALK, RUN})
    {
        if (cl_PuppetAnimWeight* node = GetNode(which))
            node->SetTarget(0.0f, GetFadeTime());
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
    SetNodeTime(GetNode(WALK), m_walkStartTime);
    // The walk fades in exactly as fast as whatever else fades out.
    for (const Node node : {WALK, STRAIGHT, LEFT, RIGHT})
        SetNodeWeight(GetNode(node), 1.0f, GetPuppet()->GetFadeOutTime());
    SetNodeWeight(GetNode(RUN), 0.0f, 0.0f);
    SetNodeWeight(GetNode(RUN_CYCLE), 1.0f, 0.0f);
    UpdateMovement();
    if (IsCallbackPending())
        Report(IPuppetControlListener::CODE_STARTED);
}

void cl_MovementControl::SetPath(const Path& path)
{
    m_stopRequested = false;
    if (&path != &m_path)
    {
        m_path = path;
        OnPathChanged();
    }
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
    if (m_path.size() < 2)
        return 0.0f;
    return m_pathLength + GetClosestPoint().distance(m_path[1].position);
}

Ogre::Vector3 cl_MovementControl::GetLookAheadPoint(float distance) const
{
    if (m_path.empty())
        return GetNodePosition();
    return WalkAlong(m_path, GetClosestPoint(), distance);
}

Ogre::Vector3 cl_MovementControl::GetLookAheadPoint(const Path& path, const Ogre::Vector3& position,
                                                    float distance)
{
    if (path.empty())
        return position;
    return WalkAlong(path, GetClosestPathPoint(path, position), distance);
}

Ogre::Vector3 cl_MovementControl::WalkAlong(const Path& path, const Ogre::Vector3& from, float distance)
{
    Ogre::Vector3 current = from;
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
    // Squared lengths throughout: the same points as with unit directions and distances, without a root
    // per segment.
    Ogre::Vector3 closest = path.front().position;
    float closestDistance = closest.squaredDistance(position);
    for (size_t point = 1; point < path.size(); ++point)
    {
        const Ogre::Vector3& a = path[point - 1].position;
        const Ogre::Vector3 along = path[point].position - a;
        const float length = along.squaredLength();
        const float t =
            length > 0.0f ? std::clamp(along.dotProduct(position - a) / length, 0.0f, 1.0f) : 0.0f;
        const Ogre::Vector3 candidate = a + along * t;
        const float distance = candidate.squaredDistance(position);
        if (distance < closestDistance)
        {
            closest = candidate;
            closestDistance = distance;
        }
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
    const Ogre::Vector3 closest = GetClosestPoint();
    // The arrival radius: 1.5 stop distances while the feet pass each other, 0.5 with the stride open.
    const float phase = GetWalkPhase();
    const float s = 4.0f * std::min({phase, std::abs(0.5f - phase), 1.0f - phase});
    if (closest.distance(m_path.back().position) < m_stopDistance * (1.5f - s * s))
    {
        EndWalk();
        return;
    }
    size_t passed = 0;
    for (; passed + 1 < m_path.size(); ++passed)
    {
        const Ogre::Vector3& p1 = m_path[passed].position;
        const Ogre::Vector3& p2 = m_path[passed + 1].position;
        const float length = p1.distance(p2);
        if (length != 0.0f && (closest.distance(p1) + closest.distance(p2)) / length < ON_SEGMENT)
            break;
    }
    if (passed > 0)
    {
        m_path.erase(m_path.begin(), m_path.begin() + static_cast<std::ptrdiff_t>(passed));
        OnPathChanged();
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
    const Ogre::Vector3 closest = GetClosestPoint();
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
    const cl_PuppetMainAnimation* runCycle = GetClip(RUN_CYCLE);
    const bool startRun = remaining > m_minRunDistance && std::abs(turn) < MAX_RUN_TURN;
    const bool stopRun = remaining < m_maxStopRunDistance;
    if (m_runAllowed && runCycle && startRun && !m_running)
    {
        // The run takes up the walk's phase.
        SetNodeTime(GetNode(RUN), GetWalkPhase() * runCycle->GetLength());
        SetNodeWeight(GetNode(RUN), 1.0f, RUN_FADE);
        SetNodeWeight(GetNode(WALK), 0.0f, RUN_FADE);
        m_running = true;
    }
    else if (m_running && stopRun)
    {
        const cl_PuppetMainAnimation* straight = GetClip(STRAIGHT);
        SetNodeTime(GetNode(WALK), (runCycle ? runCycle->GetRelativeTime() : -1.0f) *
                                       (straight ? straight->GetLength() : -1.0f));
        SetNodeWeight(GetNode(WALK), 1.0f, WALK_FADE);
        SetNodeWeight(GetNode(RUN), 0.0f, WALK_FADE);
        m_running = false;
    }
    if (m_running)
        return;
    SetWeight(GetClip(STRAIGHT), 1.0f - std::abs(turn), 0.0f);
    SetWeight(GetClip(LEFT), std::max(turn, 0.0f), 0.0f);
    SetWeight(GetClip(RIGHT), std::max(-turn, 0.0f), 0.0f);
}

void cl_MovementControl::EndWalk()
{
    m_path.clear();
    m_stopRequested = false;
    OnPathChanged();
}

void cl_MovementControl::OnPathChanged()
{
    m_pathLength = 0.0f;
    for (size_t point = 1; point < m_path.size(); ++point)
        m_pathLength += m_path[point - 1].position.distance(m_path[point].position);
    m_closestKnown = false;
}

const Ogre::Vector3& cl_MovementControl::GetClosestPoint() const
{
    const Ogre::Vector3 position = GetNodePosition();
    if (!m_closestKnown || position != m_closestFrom)
    {
        m_closest = GetClosestPathPoint(m_path, position);
        m_closestFrom = position;
        m_closestKnown = true;
    }
    return m_closest;
}

float cl_MovementControl::GetWalkPhase() const
{
    const cl_PuppetMainAnimation* straight = GetClip(STRAIGHT);
    const float phase = straight ? straight->GetRelativeTime() : 0.0f;
    return phase < 0.0f ? 0.0f : phase;
}

void cl_MovementControl::OnAttached(cl_ControlledPuppet&)
{
    m_nodes.fill(nullptr);
}

cl_PuppetAnimWeight* cl_MovementControl::GetNode(Node which) const
{
    cl_PuppetAnimWeight*& node = m_nodes[which];
    if (!node && GetPuppet())
        node = GetPuppet()->ResolveAnimPath(NODE_PATHS[which]);
    return node;
}

cl_PuppetMainAnimation* cl_MovementControl::GetClip(Node which) const
{
    const cl_PuppetAnimWeight* node = GetNode(which);
    return node ? node->GetMainAnimation() : nullptr;
}

Ogre::Vector3 cl_MovementControl::GetNodePosition() const
{
    return GetPuppet()->GetSceneNode()->_getDerivedPosition();
}
