#pragma once

#include "graphics/EnvironmentType.h"
#include "graphics/cl_PuppetControl.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <string>
#include <vector>

// One turn animation of the "turnctrl" table.
struct st_TurnEntry
{
    // Radians, measured like the turn angle (see cl_TurnControl).
    float angle = 0.0f;
    // Animation path of the turn's clip.
    std::string path;
    // The clock the walk cycles take up after a walk turn.
    float finalFeetPosition = 0.0f;
};

// The control ("turnctrl") that turns its puppet toward a point, standing or as the first step of a walk,
// and may draw it onto an origin point as well. A walk turn plays the table's walk entry whose angle is
// closest to the angle needed; a stand turn blends the two stand entries around it; a stand turn smaller
// than the stand tolerances is a short correction of the node ("morph") without animation. In the last
// moments of every turn the node is rotated toward the target, and at its end it is aligned with it unless
// it lies within the turn's angle tolerance.
//
// Angles are measured from the node's forward axis (local +z), in [0, 2 pi): up to pi toward its -x side
// (a turn to the right), above pi toward its +x side.
//
// Reports: code 3 once a turn's animation is chosen, 1 when the turn is over, 4 when reset or asked off
// while a listener waits.
class cl_TurnControl : public cl_PuppetControl
{
public:
    static constexpr int32_t PRIORITY = 500;
    static constexpr uint32_t CHANNELS = 3;
    static constexpr int TURN_STAND = 0;
    static constexpr int TURN_WALK = 1;

    cl_TurnControl();

    // A "turnctrl" element: "morphduration" (kept when absent or no number) and its "turn" children in
    // place of the table: "type" "walk" or "stand" (other entries are left out), "angle" in degrees (an
    // entry without is left out), "anim", "finalFeetPos" (0 when absent). False for a null element.
    bool FromXml(const TiXmlElement* element) override;
    // The turn animations go to 0 at once while active, then the base reset; no turn is pending.
    void Reset() override;
    bool OnUpdate(float dt) override;
    void OnDeactivated() override;
    void OnActivated(const st_ActivationRequest& request) override;

    // Turns toward target within angleTolerance (radians); an active control starts at once.
    void StartTurn(int type, const Ogre::Vector3& target, float angleTolerance);
    // A stand turn that faces direction from origin and draws the node onto origin (within
    // positionTolerance); an active control starts at once.
    void StartTurnFrom(const Ogre::Vector3& origin, const Ogre::Vector3& direction, float angleTolerance,
                       float positionTolerance);
    // Seconds left of the turn: without animation of its morph or of the puppet's fades out; -1 while a
    // new animation weight is not yet applied; else the longest time left of the playing turn animations.
    float GetRemainingTime() const;
    // The angle (radians, [0, 2 pi)) from the node's facing to target, seen from the origin when one is
    // set; 0 without a pending turn.
    float GetTurnAngle(const Ogre::Vector3& target) const;

    const std::vector<st_TurnEntry>& GetStandTurns() const { return m_standTurns; }
    const std::vector<st_TurnEntry>& GetWalkTurns() const { return m_walkTurns; }
    float GetMorphDuration() const { return m_morphDuration; }
    // Of the walk entry chosen last.
    float GetFinalFeetPosition() const { return m_finalFeetPosition; }
    void SetEnvironmentType(EnvironmentType type) { m_environmentType = type; }
    EnvironmentType GetEnvironmentType() const { return m_environmentType; }
    // Below these a stand turn needs no animation (radians; scene units).
    void SetStandTolerances(float angle, float position);
    bool IsTurnPending() const { return m_turnPending; }
    cl_PuppetAnimation* GetFirstAnimation() const { return m_firstAnimation; }
    cl_PuppetAnimation* GetSecondAnimation() const { return m_secondAnimation; }

private:
    // A new turn on an active control: the old animations fade out over 0.1 s.
    void BeginTurn();
    void StartAnimatedTurn();
    void StartStandTurn();
    // A turn without animation: the node closes the angle over a morph.
    void StartMorph();
    // How far a turn angle is from facing the target either way (radians, 0 .. pi).
    static float Deviation(float angle);
    bool IsWithinTolerance(float angle, float tolerance) const;
    bool IsNearOrigin(float distance) const;
    bool IsAlreadyThere() const;
    // The rotation of the node (in world space) that makes it face the target, seen from the node.
    Ogre::Quaternion RotationToTarget() const;
    // Closes this fraction of the angle and of the way to the origin.
    void StepRotation(float fraction);
    // Puts the node onto the origin and facing the target, where it is not within the tolerances.
    void FinishTurn();
    // The turn ends: FinishTurn, nothing pending.
    void EndTurn();

    std::vector<st_TurnEntry> m_standTurns;
    std::vector<st_TurnEntry> m_walkTurns;
    float m_angleTolerance = 0.0f;
    float m_positionTolerance = 0.0f;
    float m_morphDuration = 0.25f;
    // How far the node was from facing the target when the stand turn's clips were chosen.
    float m_startDeviation = 0.0f;
    float m_elapsed = 0.0f;
    float m_duration = 0.0f;
    int m_turnType = TURN_STAND;
    bool m_turnPending = false;
    bool m_originSet = false;
    Ogre::Vector3 m_target = Ogre::Vector3::ZERO;
    Ogre::Vector3 m_origin = Ogre::Vector3::ZERO;
    float m_finalFeetPosition = 0.0f;
    cl_PuppetAnimation* m_firstAnimation = nullptr;
    cl_PuppetAnimation* m_secondAnimation = nullptr;
    EnvironmentType m_environmentType = ENVIRONMENT_OPEN;
    float m_standAngleTolerance = 0.0f;
    float m_standPositionTolerance = 0.0f;
};
