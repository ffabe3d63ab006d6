#pragma once

#include "graphics/EnvironmentType.h"
#include "graphics/cl_Navmesh.h"
#include "graphics/cl_PuppetControl.h"

#include <OgreVector.h>

#include <array>
#include <cstdint>
#include <vector>

// The control ("movectrl") that walks or runs its puppet along a path of the navigation mesh. The walk
// and run cycles move the puppet forward by their root motion; the control only steers: each frame it
// drops the waypoints passed, ends the walk near the last one, keeps the node on the path's ground and
// upright, turns it toward a point 60 ahead on the path, switches between walking and running in the
// cycles' phase and blends the straight, left and right walk cycles by how sharply it turns.
//
// The puppet's tree must have the walk cycle node "skeletal/walk/loop" with the cycles "straight_fast",
// "left" (turning toward the node's +x) and "right", and "skeletal/walk/run" with the cycle "run".
//
// Reports: code 3 when it starts walking for a waiting listener, 1 when the path ran out, 4 when stopped,
// reset or asked off while a listener waits.
class cl_MovementControl : public cl_PuppetControl
{
public:
    using Path = std::vector<st_NavPathPoint>;

    static constexpr int32_t PRIORITY = 500;
    static constexpr uint32_t CHANNELS = 3;

    cl_MovementControl();

    // A "movectrl" element: "minstartrun", "maxstoprun", "stopwalk", each kept when absent or no number.
    // Anything else (null included) reads nothing. Always true.
    bool FromXml(const TiXmlElement* element) override;
    // Sets the walk cycles to 0 at once while active, then the base reset; the path is dropped.
    void Reset() override;
    // Fades the walk and the run out over the fade time; what the records hold is forgotten.
    void ReleaseWeights() override;
    // Forgets the nodes of another puppet's tree.
    void OnAttached(cl_ControlledPuppet& puppet) override;
    bool OnUpdate(float dt) override;
    void OnActivated(const st_ActivationRequest& request) override;

    // The path to walk (the first point is the last passed); the control asks for its channels while it
    // is enabled and inactive. A pending stop is withdrawn.
    void SetPath(const Path& path);
    // Takes path instead of the current one when both have a first segment and they point in nearly the
    // same direction (cosine above 0.8), so that the walk goes on without a stop; false otherwise.
    bool TryContinuePath(const Path& path);
    // The path is dropped at the next update; a waiting listener hears code 4.
    void Stop();
    // Distance from the closest path point to the second point plus the length of every segment of the
    // path: the current segment counts twice. The run thresholds are tuned to this measure.
    float GetRemainingDistance() const;
    // The point distance ahead along the path from the path's point closest to the puppet's node.
    Ogre::Vector3 GetLookAheadPoint(float distance) const;
    // The same on another path, from position.
    static Ogre::Vector3 GetLookAheadPoint(const Path& path, const Ogre::Vector3& position, float distance);
    // The point of the path's polyline closest to position (position itself for an empty path).
    static Ogre::Vector3 GetClosestPathPoint(const Path& path, const Ogre::Vector3& position);

    const Path& GetPath() const { return m_path; }
    // The clock the walk cycles start at: the final feet position of the walk turn before the walk.
    void SetWalkStartTime(float time) { m_walkStartTime = time; }
    // How closely the walk follows the path.
    void SetEnvironmentType(EnvironmentType type) { m_environmentType = type; }
    EnvironmentType GetEnvironmentType() const { return m_environmentType; }
    void SetRunAllowed(bool allowed) { m_runAllowed = allowed; }
    bool IsRunAllowed() const { return m_runAllowed; }
    // The walk ends within 0.5 to 1.5 times this distance of the path's end, by the walk cycle's phase.
    void SetStopDistance(float distance) { m_stopDistance = distance; }
    float GetStopDistance() const { return m_stopDistance; }
    float GetMinRunDistance() const { return m_minRunDistance; }
    float GetMaxStopRunDistance() const { return m_maxStopRunDistance; }
    bool IsRunning() const { return m_running; }
    // Set by the owner when an action ends: the path is dropped at the next update, nobody is told.
    void SetStopRequested(bool requested) { m_stopRequested = requested; }
    bool IsStopRequested() const { return m_stopRequested; }

private:
    // The nodes of the puppet's tree the control uses.
    enum Node
    {
        WALK,
        STRAIGHT,
        LEFT,
        RIGHT,
        RUN,
        RUN_CYCLE,
        NODE_COUNT,
    };

    // The node, resolved once it exists: the passes of each frame ask for it many times. A puppet keeps
    // its nodes until it deletes its controls.
    cl_PuppetAnimWeight* GetNode(Node which) const;
    // Its main animation; null without node or animation.
    cl_PuppetMainAnimation* GetClip(Node which) const;
    // One frame's steering; it runs in each pass of the frame, turning a running walk by the frame's
    // budget only once.
    void UpdateMovement();
    void DropPassedWaypoints();
    void FollowGround();
    // Switches between walking and running and blends the walk cycles by turn (-1 right .. 1 left).
    void UpdateGait(float turn);
    // Turns the running node by angle (radians, about axis in world space), at most by what is left of
    // 90 degrees per real second of this frame.
    void TurnRunning(const Ogre::Vector3& axis, float angle);
    // Drops the path: the walk is over.
    void EndWalk();
    // Keeps what is known of the path up to date after a change of it.
    void OnPathChanged();
    // GetClosestPathPoint for the node, worked out again only when the node or the path has moved: the
    // passes of a frame ask for it many times.
    const Ogre::Vector3& GetClosestPoint() const;
    // The point distance ahead of from (a point on the first segment) along the path.
    static Ogre::Vector3 WalkAlong(const Path& path, const Ogre::Vector3& from, float distance);
    // The clock of the straight walk cycle over its length; 0 when it has no clip, so that the walk
    // still ends.
    float GetWalkPhase() const;
    Ogre::Vector3 GetNodePosition() const;

    float m_walkStartTime = 0.0f;
    Path m_path;
    EnvironmentType m_environmentType = ENVIRONMENT_OPEN;
    float m_stopDistance = 25.0f;
    float m_minRunDistance = 500.0f;
    float m_maxStopRunDistance = 220.0f;
    bool m_running = false;
    bool m_runAllowed = true;
    bool m_stopRequested = false;
    // The length of the path's segments, and the closest point and the node position it was found for.
    float m_pathLength = 0.0f;
    mutable Ogre::Vector3 m_closest = Ogre::Vector3::ZERO;
    mutable Ogre::Vector3 m_closestFrom = Ogre::Vector3::ZERO;
    mutable bool m_closestKnown = false;
    mutable std::array<cl_PuppetAnimWeight*, NODE_COUNT> m_nodes{};
    // The running turn's budget and the frame it belongs to.
    uint32_t m_turnFrame = 0;
    float m_turnBudget = 0.0f;
};
