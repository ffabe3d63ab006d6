#include "graphics/cl_Character.h"

#include "assets/ISyncedActionInitiator.h"
#include "assets/cl_SeqAction.h"
#include "assets/cl_SequenceAsset.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "common/cl_GameTime.h"
#include "common/cl_GameTimeRegistration.h"
#include "common/cl_SyncManager.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_AutoActionControl.h"
#include "graphics/cl_AutoAnimationControl.h"
#include "graphics/cl_BlobShadow.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_FaceControl.h"
#include "graphics/cl_FocusTargetControl.h"
#include "graphics/cl_IdleAnimationControl.h"
#include "graphics/cl_MovementControl.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "graphics/cl_SpecialAnimationControl.h"
#include "graphics/cl_StepSound.h"
#include "graphics/cl_TurnControl.h"
#include "platform/GameRand.h"

#include <OgreCamera.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <set>

namespace
{
// The action trace: the character topic with information, warning or error.
const int LEVEL_ACTION = cl_Logger::TOPIC_CHARACTER;

const Ogre::Vector3 DOWN = Ogre::Vector3::NEGATIVE_UNIT_Y;
// How far ahead on a new path the walk turn looks, and how closely it must face that point.
const float TURN_LOOK_AHEAD = 60.0f;
const float WALK_TURN_TOLERANCE = Ogre::Degree(10.0f).valueRadians();
// How closely a turn toward an object or a point must face it (degrees).
const float TURN_TO_POINT_ANGLE = 40.0f;
// The reach of an examine walk when the character has no examine distance.
const float DEFAULT_EXAMINE_DISTANCE = 280.0f;
// A walk toward an object ends early at this share of its reach.
const float EARLY_ARRIVAL = 0.8f;
// An explicit focus that has not reached its target in this time has failed.
const float FOCUS_TIME_OUT = 2.0f;
const char* const INACTIVE_PC_PREFIX = "positions_inactive_pc";

// The log line and its level of each result of an action.
struct st_ResultLine
{
    const char* text;
    int level;
};

const st_ResultLine RESULT_LINES[] = {
    {"'%s' finished action '%s'!", LEVEL_ACTION | cl_Logger::LEVEL_INFO},
    {"'%s' aborted processing of action '%s'!", LEVEL_ACTION | cl_Logger::LEVEL_WARNING},
    {"'%s' failed to perform action '%s'!", LEVEL_ACTION | cl_Logger::LEVEL_WARNING},
    {"'%s' aborted action '%s'!", LEVEL_ACTION | cl_Logger::LEVEL_INFO},
};

cl_Scene* LoadedScene()
{
    const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    return scenes ? scenes->GetLoadedScene() : nullptr;
}

bool IsEnabled(const cl_PuppetControl* control)
{
    return control && control->IsEnabled();
}
} // namespace

cl_Character::cl_Character(Ogre::SceneManager& sceneManager, const std::string& id)
    : cl_SceneObject(sceneManager, id)
{
    GetPuppet()->SetFallbackSwitchedOn(true);
}

cl_Character::cl_Character(Ogre::SceneManager& sceneManager, cl_ControlledPuppet* puppet,
                           const std::string& id)
    : cl_SceneObject(sceneManager, puppet, id)
{
    if (puppet)
        puppet->SetFallbackSwitchedOn(true);
}

cl_Character::~cl_Character()
{
    m_focusInitiator = nullptr;
    if (ISyncedActionInitiator* initiator = m_initiator)
    {
        m_initiator = nullptr;
        if (m_startNotReported)
            initiator->OnStarted();
        initiator->OnDone(ISyncedActionInitiator::RESULT_ABORTED);
    }
    m_frames.reset();
    if (cl_GameComponents* hub = cl_GameComponents::GetInstance())
        hub->OnCharacterDeleted(*this);
}

// ---- Actions

void cl_Character::NewAction(ISyncedActionInitiator* initiator, Activity kind)
{
    if (!GetPuppet() || !GetPuppet()->IsActive())
        LOG_LEVEL(LEVEL_ACTION | cl_Logger::LEVEL_ERROR, "Inactive character '%s' can't perform actions!",
                  GetName().c_str());
    if (initiator)
        LOG_LEVEL(LEVEL_ACTION, "'%s' received new action '%s'!", GetName().c_str(),
                  initiator->GetName().c_str());
    if (IsFocusEnabled() && !m_focusHeld)
        ReleaseFocusTarget();
    if (IsActionRunning())
        ActionDone(ISyncedActionInitiator::RESULT_ABORTED);
    m_initiator = initiator;
    m_startNotReported = true;
    m_activity = kind;
    m_actionTargetNode = nullptr;
}

void cl_Character::ActionDone(int result)
{
    ISyncedActionInitiator* initiator = m_initiator;
    if (m_startNotReported)
    {
        m_startNotReported = false;
        if (initiator)
            initiator->OnStarted();
    }
    if (initiator && result >= 0 && result < static_cast<int>(std::size(RESULT_LINES)))
        LOG_LEVEL(RESULT_LINES[result].level, RESULT_LINES[result].text, GetName().c_str(),
                  initiator->GetName().c_str());
    m_idleTime = 0.0f;
    m_initiator = nullptr;
    // An inactive character stays inactive: an action given to it (or a loaded save's abort) must not
    // wake it.
    m_activity = GetPuppet() && GetPuppet()->IsActive() ? ACTIVITY_IDLE : ACTIVITY_INACTIVE;
    DropControlCallbacks();
    if (IsEnabled(m_movementControl))
        m_movementControl->SetStopRequested(true);
    if (IsEnabled(m_specialControl))
        m_specialControl->Stop();
    // However the animation ended, the character goes back to where it stood before it.
    m_playLocationPending = false;
    if (m_atPlayLocation)
    {
        m_atPlayLocation = false;
        RestorePlacement();
    }
    // Last: the initiator may start the next action from here.
    if (initiator)
        initiator->OnDone(result);
}

void cl_Character::PlayAnimation(const std::string& animation, const std::string& position,
                                 const Ogre::Vector3& offset, const Ogre::Quaternion& rotation,
                                 ISyncedActionInitiator* initiator)
{
    NewAction(initiator, ACTIVITY_ANIMATION);
    const cl_Scene* scene = LoadedScene();
    Ogre::SceneNode* node = scene ? scene->GetSceneNode(position) : nullptr;
    if (!node)
    {
        LOG_WARNING("PlayAnimation couldn't find the position '%s' to play animation '%s' at!",
                    position.c_str(), animation.c_str());
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        return;
    }
    m_playLocation = st_ObjectPlacement{node, offset, rotation};
    m_playLocationPending = true;
    if (!StartSpecialAnimation(animation))
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
}

void cl_Character::StartAnimation(const std::string& animation, ISyncedActionInitiator* initiator)
{
    NewAction(initiator, ACTIVITY_ANIMATION);
    m_playLocationPending = false;
    if (!StartSpecialAnimation(animation))
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
}

void cl_Character::StopAnimation()
{
    if (m_activity == ACTIVITY_ANIMATION)
        ActionDone(ISyncedActionInitiator::RESULT_ABORTED_BY_ABORT_ALL);
}

void cl_Character::AbortAll()
{
    if (IsActionRunning())
        ActionDone(ISyncedActionInitiator::RESULT_ABORTED_BY_ABORT_ALL);
    StopSpeaking();
    m_focusHeld = false;
    if (IsFocusEnabled())
        ReleaseFocusTarget();
    EndFocusAction(ISyncedActionInitiator::RESULT_ABORTED);
    if (GetPuppet())
        GetPuppet()->ResetControls();
}

void cl_Character::MoveAlongPath(const Ogre::Vector3& point, ISyncedActionInitiator* initiator)
{
    NewAction(initiator, ACTIVITY_TURNING_BEFORE_WALK);
    m_turnLimit = 360.0f;
    m_slideDistance = m_minWalkDistanceToTarget;
    switch (PlanPath(point, true))
    {
    case PLAN_NO_WALK:
        ActionDone(ISyncedActionInitiator::RESULT_FINISHED);
        break;
    case PLAN_WALKING:
        m_activity = ACTIVITY_WALKING_PATH;
        break;
    case PLAN_TURN_FIRST:
        break;
    case PLAN_FAILED:
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        break;
    }
}

void cl_Character::MoveTo(Ogre::SceneNode* node, const std::string& reachZone, float reach,
                          ISyncedActionInitiator* initiator)
{
    if (reach <= 0.0f)
        reach = m_examineDistance > 0.0f ? m_examineDistance : DEFAULT_EXAMINE_DISTANCE;
    m_reachDistance = reach;
    NewAction(initiator, ACTIVITY_TURNING_TO_POINT);
    m_actionTargetNode = node;
    m_reachZone = reachZone;
    if (!node)
    {
        // Nothing further: the action has ended and there is no node to turn to.
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        return;
    }
    const Ogre::Vector3 target = node->_getDerivedPosition();
    FocusOnPosition(target, 0.0f);
    if (m_navmesh && m_navmesh->IsAtTarget(GetPosition(), target, m_reachDistance, m_reachZone))
    {
        if (!StartTurnControl(target, TURN_TO_POINT_ANGLE))
            ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        return;
    }
    switch (PlanPath(target, true))
    {
    case PLAN_FAILED:
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        break;
    case PLAN_TURN_FIRST:
        m_activity = ACTIVITY_TURNING_BEFORE_OBJECT_WALK;
        break;
    case PLAN_WALKING:
        m_activity = ACTIVITY_WALKING_TO_OBJECT;
        break;
    case PLAN_NO_WALK:
        if (!StartTurnControl(target, TURN_TO_POINT_ANGLE))
            ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        break;
    }
}

void cl_Character::TurnTo(Ogre::SceneNode* node, float slideDistance, float turnLimit,
                          ISyncedActionInitiator* initiator)
{
    NewAction(initiator, ACTIVITY_TURNING_BEFORE_WALK);
    if (!node)
    {
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        return;
    }
    m_turnLimit = std::max(turnLimit, 0.0f);
    m_slideDistance = std::max(slideDistance, 0.0f);
    m_actionTargetNode = node;
    switch (PlanPath(node->_getDerivedPosition(), false))
    {
    case PLAN_NO_WALK:
        if (TurnToNodeDirection(node))
            m_activity = ACTIVITY_FINAL_TURN;
        else
            ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        break;
    case PLAN_WALKING:
        m_activity = ACTIVITY_WALKING_PATH;
        break;
    case PLAN_TURN_FIRST:
        break;
    case PLAN_FAILED:
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        break;
    }
}

void cl_Character::TurnToAnimOrigin(const std::string& animation, bool exactMatch,
                                    ISyncedActionInitiator* initiator)
{
    Ogre::SceneNode* origin = GetOriginNode();
    if (GetPuppet() && origin)
        GetPuppet()->ApplyAnimOriginToSceneNode(origin, animation);
    TurnTo(origin, exactMatch ? 0.0f : 5.0f, exactMatch ? 0.0f : 3.0f, initiator);
}

void cl_Character::TurnToDirection(const Ogre::Vector3& point, float limit, ISyncedActionInitiator* initiator)
{
    NewAction(initiator, ACTIVITY_TURNING);
    if (!StartTurnControl(point, limit))
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
}

void cl_Character::LookAtPosition(const Ogre::Vector3& point)
{
    NewAction(nullptr, ACTIVITY_TURNING_TO_POINT);
    if (!FocusOnPosition(point, 0.0f))
    {
        // The action has ended: no turn is started for it.
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        return;
    }
    if (!StartTurnControl(point, TURN_TO_POINT_ANGLE))
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
}

void cl_Character::WalkToLocation(const std::string& fromScene, ISyncedActionInitiator* initiator)
{
    const cl_Scene* scene = LoadedScene();
    Ogre::SceneNode* spawn = scene ? scene->GetSpawnPointNode("", fromScene) : nullptr;
    Ogre::SceneNode* target = scene ? scene->GetTargetNode("", fromScene) : nullptr;
    NewAction(initiator, ACTIVITY_TURNING_BEFORE_LOCATION_WALK);
    if (!spawn)
    {
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        return;
    }
    m_turnLimit = 360.0f;
    m_actionTargetNode = nullptr;
    m_slideDistance = m_minWalkDistanceToTarget;
    m_followUpNode = target ? spawn : nullptr;
    const Ogre::SceneNode* destination = target ? target : spawn;
    switch (PlanPath(destination->_getDerivedPosition(), false))
    {
    case PLAN_TURN_FIRST:
        break;
    case PLAN_NO_WALK:
        ActionDone(ISyncedActionInitiator::RESULT_FINISHED);
        if (initiator)
            break;
        if (m_followUpNode)
            TurnTo(m_followUpNode, m_minWalkDistanceToTarget, 360.0f, nullptr);
        else
            TurnToDirectionAt(spawn->_getDerivedPosition(),
                              spawn->_getDerivedOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z);
        break;
    case PLAN_WALKING:
        m_activity = ACTIVITY_WALKING_TO_LOCATION;
        break;
    case PLAN_FAILED:
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        break;
    }
}

void cl_Character::MoveToLocation(const std::string& fromScene, bool placeNow)
{
    const cl_Scene* scene = LoadedScene();
    if (scene)
        ApplySceneMovementSettings(scene->GetEnvironmentParameters().type,
                                   scene->GetEnvironmentParameters().running);
    if (!placeNow)
        return;
    Ogre::SceneNode* spawn = scene ? scene->GetSpawnPointNode("", fromScene) : nullptr;
    Ogre::SceneNode* target = scene ? scene->GetTargetNode("", fromScene) : nullptr;
    Ogre::SceneNode* node = GetSceneNode();
    if (!spawn)
    {
        if (node)
            node->setVisible(false, false);
        SetActive(false);
        return;
    }
    if (node)
        node->setVisible(true, false);
    SetActive(true);
    AbortAll();
    SetVisualState(GetCurrentVisualState());
    SetLocation(spawn);
    if (target)
        TurnTo(target, m_minWalkDistanceToTarget, 360.0f, nullptr);
}

void cl_Character::ReleaseAction(const ISyncedActionInitiator* initiator)
{
    if (!initiator || m_initiator != initiator)
        return;
    m_initiator = nullptr;
    m_startNotReported = false;
    ActionDone(ISyncedActionInitiator::RESULT_ABORTED_BY_ABORT_ALL);
}

void cl_Character::OnControlEvent(cl_PuppetControl* control, int code)
{
    if (code == CODE_DEACTIVATED || code == CODE_ACTIVATED)
        return;
    if (code == CODE_STARTED && m_startNotReported)
    {
        m_startNotReported = false;
        if (m_initiator)
            m_initiator->OnStarted();
    }
    if (control && control == m_specialControl && m_activity == ACTIVITY_ANIMATION)
    {
        OnAnimationEvent(code);
        return;
    }
    const bool done = code == CODE_DONE;
    if (!done && code != CODE_FAILED && code != CODE_STOPPED)
        return;
    if (control && control == m_turnControl)
        OnTurnDone(done);
    else if (control && control == m_movementControl)
        OnMovementDone(done);
}

void cl_Character::OnTurnDone(bool done)
{
    Activity next = ACTIVITY_IDLE;
    switch (m_activity)
    {
    case ACTIVITY_TURNING_BEFORE_LOCATION_WALK:
        next = ACTIVITY_WALKING_TO_LOCATION;
        break;
    case ACTIVITY_TURNING_BEFORE_WALK:
        next = ACTIVITY_WALKING_PATH;
        break;
    case ACTIVITY_TURNING_BEFORE_OBJECT_WALK:
        next = ACTIVITY_WALKING_TO_OBJECT;
        break;
    case ACTIVITY_FINAL_TURN:
        if (done && m_actionTargetNode && m_turnLimit == 0.0f && m_slideDistance == 0.0f)
            cl_SceneObject::SetLocation(m_actionTargetNode);
        [[fallthrough]];
    case ACTIVITY_TURNING_TO_POINT:
    case ACTIVITY_TURNING:
        ActionDone(done ? ISyncedActionInitiator::RESULT_FINISHED : ISyncedActionInitiator::RESULT_FAILED);
        return;
    default:
        return;
    }
    // A turn before a walk: the walk follows.
    if (!m_movementControl)
        return;
    if (!done)
    {
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        return;
    }
    m_activity = next;
    if (!StartWalking())
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
}

void cl_Character::OnMovementDone(bool done)
{
    if (!done && (m_activity == ACTIVITY_WALKING_TO_LOCATION || m_activity == ACTIVITY_WALKING_PATH ||
                  m_activity == ACTIVITY_WALKING_TO_OBJECT))
    {
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        return;
    }
    switch (m_activity)
    {
    case ACTIVITY_WALKING_TO_LOCATION:
    {
        ActionDone(ISyncedActionInitiator::RESULT_FINISHED);
        if (m_followUpNode)
            TurnTo(m_followUpNode, m_minWalkDistanceToTarget, 360.0f, nullptr);
        return;
    }
    case ACTIVITY_WALKING_PATH:
        if (!m_actionTargetNode)
        {
            ActionDone(ISyncedActionInitiator::RESULT_FINISHED);
            return;
        }
        m_activity = ACTIVITY_FINAL_TURN;
        if (!TurnToNodeDirection(m_actionTargetNode))
            ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        return;
    case ACTIVITY_WALKING_TO_OBJECT:
    {
        m_activity = ACTIVITY_TURNING_TO_POINT;
        const Ogre::Vector3 target =
            m_actionTargetNode ? m_actionTargetNode->_getDerivedPosition() : Ogre::Vector3::ZERO;
        // An ended action turns no further.
        if (!FocusOnPosition(target, 0.0f))
            ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        else if (!StartTurnControl(target, TURN_TO_POINT_ANGLE))
            ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        return;
    }
    default:
        return;
    }
}

void cl_Character::OnAnimationEvent(int code)
{
    if (code == CODE_STARTED)
    {
        // The base's placement: the play position is no placement of the action's own to warn about.
        if (m_playLocationPending && !(GetPlacement() == m_playLocation))
        {
            cl_SceneObject::SetLocation(m_playLocation);
            m_atPlayLocation = true;
        }
        return;
    }
    if (code == CODE_DONE)
        ActionDone(ISyncedActionInitiator::RESULT_FINISHED);
    else if (code == CODE_FAILED || code == CODE_STOPPED)
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
}

void cl_Character::CheckEarlyArrival()
{
    if (m_activity != ACTIVITY_WALKING_TO_OBJECT || !m_actionTargetNode || !m_navmesh)
        return;
    const Ogre::Vector3 target = m_actionTargetNode->_getDerivedPosition();
    if (!m_navmesh->IsAtTarget(GetPosition(), target, m_reachDistance * EARLY_ARRIVAL, m_reachZone))
        return;
    if (m_movementControl)
    {
        m_movementControl->SetCallbackPending(false);
        m_movementControl->Stop();
    }
    m_activity = ACTIVITY_TURNING_TO_POINT;
    if (!StartTurnControl(target, TURN_TO_POINT_ANGLE))
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
}

cl_Character::PlanResult cl_Character::PlanPath(const Ogre::Vector3& target, bool project)
{
    m_path.clear();
    if (!m_navmesh || !IsEnabled(m_movementControl) || !IsEnabled(m_turnControl))
        return PLAN_FAILED;
    const float minimum = std::max(m_slideDistance, m_actionTargetNode ? m_minWalkDistanceToTarget
                                                                       : m_minWalkDistanceToPosition);
    const Ogre::Vector3 position = GetPosition();
    if (position.distance(target) < minimum)
    {
        m_movementControl->Stop();
        return PLAN_NO_WALK;
    }
    const st_NavRayHit start = m_navmesh->RayHitTriangle(position, DOWN);
    const st_NavRayHit end = m_navmesh->RayHitTriangle(target, DOWN);
    if (start.triangle < 0 || end.triangle < 0)
    {
        m_movementControl->Stop();
        return PLAN_FAILED;
    }
    m_navmesh->FindPath(project ? start.point : position, project ? end.point : target, m_path);
    if (m_movementControl->TryContinuePath(m_path))
    {
        m_movementControl->SetCallbackPending(true);
        return PLAN_WALKING;
    }
    m_movementControl->Stop();
    if (m_path.size() < 2)
        return m_path.empty() ? PLAN_FAILED : PLAN_NO_WALK;
    float length = 0.0f;
    for (size_t point = 1; point < m_path.size(); ++point)
        length += m_path[point - 1].position.distance(m_path[point].position);
    if (length < minimum)
        return PLAN_NO_WALK;
    m_movementControl->SetStopDistance(m_minWalkDistanceToPosition);
    m_turnControl->SetCallbackPending(true);
    m_turnControl->StartTurn(cl_TurnControl::TURN_WALK,
                             cl_MovementControl::GetLookAheadPoint(m_path, position, TURN_LOOK_AHEAD),
                             WALK_TURN_TOLERANCE);
    return PLAN_TURN_FIRST;
}

bool cl_Character::StartWalking()
{
    if (!IsEnabled(m_movementControl))
        return false;
    m_movementControl->SetCallbackPending(true);
    m_movementControl->SetWalkStartTime(m_turnControl ? m_turnControl->GetFinalFeetPosition() : 0.0f);
    m_movementControl->SetPath(m_path);
    return true;
}

bool cl_Character::StartTurnControl(const Ogre::Vector3& point, float angle)
{
    if (!IsEnabled(m_turnControl))
        return false;
    m_turnControl->SetCallbackPending(true);
    m_turnControl->SetStandTolerances(Ogre::Degree(3.0f).valueRadians(), 5.0f);
    m_turnControl->StartTurn(cl_TurnControl::TURN_STAND, point, Ogre::Degree(angle).valueRadians());
    return true;
}

bool cl_Character::TurnToDirectionAt(const Ogre::Vector3& position, const Ogre::Vector3& direction)
{
    if (!IsEnabled(m_turnControl))
        return false;
    m_turnControl->SetCallbackPending(true);
    if (m_activity == ACTIVITY_FINAL_TURN)
        m_turnControl->SetStandTolerances(Ogre::Degree(15.0f).valueRadians(), m_minWalkDistanceToPosition);
    else
        m_turnControl->SetStandTolerances(Ogre::Degree(3.0f).valueRadians(), 5.0f);
    m_turnControl->StartTurnFrom(position, direction, Ogre::Degree(m_turnLimit).valueRadians(),
                                 m_slideDistance);
    return true;
}

bool cl_Character::TurnToNodeDirection(const Ogre::SceneNode* node)
{
    if (!node || !IsEnabled(m_turnControl))
        return false;
    return TurnToDirectionAt(node->_getDerivedPosition(),
                             node->_getDerivedOrientation() * Ogre::Vector3::UNIT_Z);
}

bool cl_Character::StartSpecialAnimation(const std::string& animation)
{
    if (!IsEnabled(m_specialControl))
        return false;
    if (cl_SyncManager* sync = cl_SyncManager::GetInstance())
        sync->ReleaseToken(m_specialControl->GetSyncToken());
    if (m_initiator && m_initiator->HasSyncToken())
        m_specialControl->SetSyncToken(m_initiator->GetSyncToken());
    m_specialControl->SetCallbackPending(true);
    m_specialControl->PlayAnimation(animation);
    return true;
}

void cl_Character::DropControlCallbacks()
{
    if (m_specialControl)
        m_specialControl->SetCallbackPending(false);
    if (m_turnControl)
        m_turnControl->SetCallbackPending(false);
    if (m_movementControl)
        m_movementControl->SetCallbackPending(false);
}

// ---- Focus

bool cl_Character::IsFocusEnabled() const
{
    return IsEnabled(m_focusControl);
}

void cl_Character::ReleaseFocusTarget()
{
    m_focusObject = nullptr;
    if (m_focusControl)
        m_focusControl->ClearTarget();
}

bool cl_Character::SetFocusTarget(cl_SceneObject* object, float glanceAmplitude)
{
    if (!IsFocusEnabled())
        return false;
    if (m_focusHeld)
        return true;
    m_focusObject = object;
    Ogre::Vector3 point = Ogre::Vector3::ZERO;
    if (object)
    {
        object->ApplySlaveTagPoints();
        const Ogre::SceneNode* focus = object->GetFocusNode();
        const Ogre::SceneNode* body = object->GetSceneNode();
        point = focus ? focus->_getDerivedPosition() : (body ? body->_getDerivedPosition() : point);
    }
    m_focusPoint = point;
    m_focusControl->SetTarget(point);
    m_focusControl->SetGlanceAmplitude(glanceAmplitude);
    return true;
}

bool cl_Character::FocusOnNode(const Ogre::SceneNode* node, float glanceAmplitude)
{
    return node && FocusOnPosition(node->_getDerivedPosition(), glanceAmplitude);
}

bool cl_Character::FocusOnPosition(const Ogre::Vector3& point, float glanceAmplitude)
{
    if (!IsFocusEnabled())
        return false;
    if (m_focusHeld)
        return true;
    m_focusObject = nullptr;
    m_focusPoint = point;
    m_focusControl->SetTarget(point);
    m_focusControl->SetGlanceAmplitude(glanceAmplitude);
    return true;
}

void cl_Character::Focus(cl_SceneObject* target, bool turn, float turnAngle, float glanceAmplitude,
                         ISyncedActionInitiator* initiator)
{
    if (!target)
    {
        StopFocus();
        if (initiator)
        {
            initiator->OnStarted();
            initiator->OnDone(ISyncedActionInitiator::RESULT_FINISHED);
        }
        return;
    }
    m_focusHeld = false;
    SetFocusTarget(target, glanceAmplitude);
    if (!IsFocusEnabled())
    {
        // Without a head to turn the focus is only noted, so that dialogs and saves still know it.
        m_focusObject = target;
        target->ApplySlaveTagPoints();
        const Ogre::SceneNode* focus = target->GetFocusNode();
        const Ogre::SceneNode* body = target->GetSceneNode();
        m_focusPoint =
            focus ? focus->_getDerivedPosition() : (body ? body->_getDerivedPosition() : Ogre::Vector3::ZERO);
    }
    HoldFocus(turn, turnAngle, initiator);
}

void cl_Character::FocusOnPoint(const Ogre::Vector3& point, bool turn, float turnAngle, float glanceAmplitude,
                                ISyncedActionInitiator* initiator)
{
    m_focusHeld = false;
    m_focusObject = nullptr;
    m_focusPoint = point;
    if (IsFocusEnabled())
    {
        m_focusControl->SetTarget(point);
        m_focusControl->SetGlanceAmplitude(glanceAmplitude);
    }
    HoldFocus(turn, turnAngle, initiator);
}

void cl_Character::HoldFocus(bool turn, float turnAngle, ISyncedActionInitiator* initiator)
{
    m_turnWithFocus = turn;
    m_focusTurnAngle = turnAngle;
    m_focusTime = 0.0f;
    m_focusHeld = true;
    if (m_focusInitiator != initiator)
        EndFocusAction(ISyncedActionInitiator::RESULT_ABORTED);
    m_focusInitiator = initiator;
    if (!initiator)
        return;
    initiator->OnStarted();
    // No head to turn: nothing to wait for (the initiator would otherwise wait for ever).
    if (!IsFocusEnabled())
        EndFocusAction(ISyncedActionInitiator::RESULT_FINISHED);
}

void cl_Character::StopFocus()
{
    m_focusHeld = false;
    if (IsFocusEnabled())
        ReleaseFocusTarget();
    m_focusObject = nullptr;
    EndFocusAction(ISyncedActionInitiator::RESULT_ABORTED);
}

void cl_Character::EndFocusAction(int result)
{
    ISyncedActionInitiator* initiator = m_focusInitiator;
    m_focusInitiator = nullptr;
    if (initiator)
        initiator->OnDone(result);
}

void cl_Character::SetEyeSweepAngle(float angle)
{
    m_eyeSweepAngle = angle;
    if (m_focusControl)
        m_focusControl->SetGlanceAmplitude(angle);
}

void cl_Character::PuppetUpdateFocus()
{
    if (!m_focusControl)
        return;
    if (m_focusObject)
    {
        m_focusObject->ApplySlaveTagPoints();
        const Ogre::SceneNode* focus = m_focusObject->GetFocusNode();
        const Ogre::SceneNode* body = m_focusObject->GetSceneNode();
        if (focus || body)
        {
            m_focusPoint = focus ? focus->_getDerivedPosition() : body->_getDerivedPosition();
            m_focusControl->SetTarget(m_focusPoint);
        }
    }
    if (m_focusInitiator)
    {
        if (!m_focusControl->HasTarget())
            EndFocusAction(ISyncedActionInitiator::RESULT_ABORTED);
        else if (m_focusControl->IsFocused())
            EndFocusAction(ISyncedActionInitiator::RESULT_FINISHED);
        else if (m_focusTime > FOCUS_TIME_OUT)
        {
            LOG_WARNING("Focus failed!");
            EndFocusAction(ISyncedActionInitiator::RESULT_FAILED);
        }
    }
    if (m_activity == ACTIVITY_IDLE && m_turnWithFocus && m_focusControl->HasTarget() &&
        !m_focusControl->IsFocused() && m_turnControl && !m_turnControl->IsTurnPending())
    {
        m_turnControl->SetStandTolerances(Ogre::Degree(3.0f).valueRadians(), 5.0f);
        m_turnControl->StartTurn(cl_TurnControl::TURN_STAND, m_focusControl->GetTargetPosition(),
                                 Ogre::Degree(m_focusTurnAngle).valueRadians());
    }
}

// ---- Activity, placement, frames

void cl_Character::SetActive(bool active)
{
    const cl_ControlledPuppet* puppet = GetPuppet();
    if (!puppet || puppet->IsActive() == active)
        return;
    if (active)
    {
        m_frames = std::make_unique<cl_GameTimeRegistration>(cl_GameTime::GetInstance(), this, "default", 0);
        cl_SceneObject::SetActive(true);
        m_idleTime = 0.0f;
        SetVisualState(GetCurrentVisualState());
        if (m_activity == ACTIVITY_INACTIVE)
            m_activity = ACTIVITY_IDLE;
        return;
    }
    m_frames.reset();
    // The controls are reset with the puppet; their jobs end with the action, not with a report of theirs.
    DropControlCallbacks();
    cl_SceneObject::SetActive(false);
    if (IsActionRunning())
        ActionDone(ISyncedActionInitiator::RESULT_ABORTED);
    m_actionTargetNode = nullptr;
    m_idleTime = 0.0f;
    m_focusObject = nullptr;
    m_activity = ACTIVITY_INACTIVE;
}

void cl_Character::WarnIfActionRunning() const
{
    if (IsActionRunning())
        LOG_WARNING("External call to SetLocation while processing an action!");
}

void cl_Character::SetLocation(Ogre::SceneNode* node)
{
    WarnIfActionRunning();
    m_locationName.clear();
    cl_SceneObject::SetLocation(node);
    ShowBlobShadowWherePlaced();
}

void cl_Character::SetLocation(const std::string& locationName)
{
    SetLocationByName(locationName);
}

bool cl_Character::SetLocation(const st_ObjectPlacement& placement)
{
    WarnIfActionRunning();
    m_locationName.clear();
    const bool placed = cl_SceneObject::SetLocation(placement);
    ShowBlobShadowWherePlaced();
    return placed;
}

bool cl_Character::SetLocationByName(const std::string& locationName)
{
    if (!locationName.empty() && GetSceneManager().hasSceneNode(locationName))
    {
        SetLocation(GetSceneManager().getSceneNode(locationName));
        // Remembered after the node form, which forgets any name.
        m_locationName = locationName;
        return true;
    }
    const cl_Scene* scene = LoadedScene();
    if (!scene)
    {
        LOG_WARNING("Location '%s' could not be resolved! Nothing changed!", locationName.c_str());
        return false;
    }
    Ogre::SceneNode* node = scene->ResolvePosition(GetName());
    if (node && locationName.rfind(INACTIVE_PC_PREFIX, 0) != 0)
    {
        SetLocation(node);
        return true;
    }
    if (RestoreTransform())
        return true;
    if (node)
    {
        SetLocation(node);
        return true;
    }
    Ogre::SceneNode* root = scene->GetSceneRoot();
    if (!root)
        return false;
    SetLocation(root);
    return true;
}

void cl_Character::StoreTransform() const
{
    const Ogre::SceneNode* node = GetSceneNode();
    if (!node)
        return;
    const st_ObjectPlacement placement = GetPlacement();
    m_storedPosition = placement.position;
    m_storedOrientation = placement.orientation;
    m_storedParentName = placement.parent ? placement.parent->getName() : "";
    const cl_Scene* scene = LoadedScene();
    m_storedSceneName = scene ? scene->GetId() : "";
    m_storedScale = node->_getDerivedScale();
    m_hasStoredTransform = true;
}

bool cl_Character::RestoreTransform()
{
    const cl_Scene* scene = LoadedScene();
    if (!scene || scene->GetId() != m_storedSceneName || m_storedParentName.empty() ||
        !GetSceneManager().hasSceneNode(m_storedParentName))
        return false;
    return SetLocation(st_ObjectPlacement{GetSceneManager().getSceneNode(m_storedParentName),
                                          m_storedPosition, m_storedOrientation});
}

void cl_Character::ShowBlobShadowWherePlaced()
{
    if (!m_blobShadow)
        return;
    if (GetPlacement().parent)
        m_blobShadow->Show();
    else
        m_blobShadow->Hide();
}

void cl_Character::SetScale(float scale)
{
    cl_SceneObject::SetScale(scale);
    if (m_blobShadow)
        m_blobShadow->SetScale(scale);
    m_scaleFadeRunning = false;
}

void cl_Character::StartScaleFade(float target, float duration)
{
    const Ogre::SceneNode* node = GetSceneNode();
    m_scaleFadeFrom = node ? node->getScale().x : 1.0f;
    m_scaleFadeTo = target;
    m_scaleFadeElapsed = 0.0f;
    m_scaleFadeDuration = duration;
    m_scaleFadeRunning = true;
}

void cl_Character::UpdateScaleFade(float dt)
{
    m_scaleFadeElapsed += dt;
    if (!m_scaleFadeRunning)
        return;
    // A fade of no duration jumps to its end.
    const float t =
        m_scaleFadeDuration > 0.0f ? std::clamp(m_scaleFadeElapsed / m_scaleFadeDuration, 0.0f, 1.0f) : 1.0f;
    SetScale(m_scaleFadeFrom + (m_scaleFadeTo - m_scaleFadeFrom) * t);
    m_scaleFadeRunning = t != 1.0f;
}

void cl_Character::Update(float dt)
{
    m_focusTime += dt;
    PuppetUpdateFocus();
    UpdateScaleFade(dt);
    UpdateIdle(dt);
    CheckEarlyArrival();
    if (m_blobShadow)
        m_blobShadow->Update();
}

void cl_Character::UpdateIdle(float dt)
{
    if (m_activity != ACTIVITY_IDLE)
        return;
    if (m_busyCount != 0 || !IsEnabled(m_autoActionControl))
        m_idleTime = 0.0f;
    else if (m_idleTime > m_glanceInterval)
        UpdateGlances();
    else
        m_idleTime += dt;
}

void cl_Character::UpdateGlances()
{
    if (m_focusControl && !m_focusHeld)
        ReleaseFocusTarget();
    m_idleTime = 0.0f;
    m_glanceInterval = 6.0f;
    bool looked = false;
    Ogre::Vector3 ground;
    const cl_GameComponents* hub = cl_GameComponents::GetInstance();
    // A held focus is what he was told to look at: no glance turns him away from it.
    if (!m_focusHeld && m_turnControl && m_navmesh && m_navmesh->RayHit(GetPosition(), DOWN, ground) >= 0 &&
        hub && hub->GetCurrentCharacter() == this)
    {
        looked = true;
        switch (platform::GameRand() % 3)
        {
        case 0:
            GlanceAtObject();
            return;
        case 1:
            if (const cl_Scene* scene = LoadedScene(); scene && scene->GetCamera())
                LookAtPosition(scene->GetCamera()->getDerivedPosition());
            return;
        default:
            break;
        }
    }
    if (!m_autoActionControl || m_autoActionControl->IsAutomatic())
        return;
    if (!m_faceControl || !m_speaking)
        m_autoActionControl->TriggerAction();
    if (!looked)
        m_glanceInterval = m_autoActionControl->GetTriggerTime();
}

int cl_Character::PickGlanceRecord(const ObjectLocations& records, int x)
{
    int sum = 0;
    for (size_t record = 0; record < records.size(); ++record)
    {
        sum += records[record].kind;
        if (sum >= x)
            return static_cast<int>(record);
    }
    return -1;
}

void cl_Character::GlanceAtObject()
{
    const cl_Scene* scene = LoadedScene();
    if (!scene)
        return;
    ObjectLocations records;
    scene->GetObjectLocations(records);
    int sum = 0;
    for (const ObjectLocation& record : records)
        sum += record.kind;
    if (sum <= 0)
        return;
    const int picked = PickGlanceRecord(records, platform::GameRand() % sum);
    if (picked < 0)
        return;
    const ObjectLocation& record = records[static_cast<size_t>(picked)];
    // The body follows only a look the glance really took.
    const bool taken = record.object ? SetFocusTarget(record.object, 0.0f) : FocusOnNode(record.node, 0.0f);
    if (!taken)
        return;
    m_turnWithFocus = true;
    m_focusTurnAngle = 30.0f;
}

void cl_Character::ApplySceneMovementSettings(int type, float running)
{
    const EnvironmentType known = type == ENVIRONMENT_TIGHT || type == ENVIRONMENT_NARROW
                                      ? static_cast<EnvironmentType>(type)
                                      : ENVIRONMENT_OPEN;
    if (m_turnControl)
        m_turnControl->SetEnvironmentType(known);
    if (m_movementControl)
    {
        m_movementControl->SetEnvironmentType(known);
        m_movementControl->SetRunAllowed(running != 0.0f);
    }
}

Ogre::Vector3 cl_Character::GetPosition() const
{
    const Ogre::SceneNode* node = GetSceneNode();
    return node ? node->_getDerivedPosition() : Ogre::Vector3::ZERO;
}

void cl_Character::SetStepSound(std::unique_ptr<cl_StepSound> stepSound)
{
    m_stepSound = std::move(stepSound);
}

void cl_Character::SetBlobShadow(std::unique_ptr<cl_BlobShadow> blobShadow)
{
    m_blobShadow = std::move(blobShadow);
    ShowBlobShadowWherePlaced();
}

int32_t cl_Character::GetSurfaceType() const
{
    const Ogre::SceneNode* node = GetSceneNode();
    if (!m_navmesh || !node)
        return 0;
    const st_NavRayHit hit = m_navmesh->RayHitTriangle(node->_getDerivedPosition(), DOWN);
    if (hit.triangle < 0)
        return 0;
    if (hit.triangle >= m_navmesh->GetTriangleCount() ||
        m_navmesh->GetTriangle(hit.triangle).localSurfaceId < 0)
        return m_navmesh->GetDefaultSurface();
    return m_navmesh->GetTriangle(hit.triangle).localSurfaceId;
}

// ---- Busy count and speech

void cl_Character::SetBusyCount(int32_t count)
{
    if (count != m_busyCount)
        m_idleTime = 0.0f;
    m_busyCount = count;
}

void cl_Character::StartSpeaking()
{
    if (m_faceControl)
        m_faceControl->SetSpeaking(true);
    if (m_autoActionControl)
    {
        m_savedAutoTrigger = m_autoActionControl->IsAutomatic();
        if (m_savedAutoTrigger)
            m_autoActionControl->SetTimer(0.0f);
        m_autoActionControl->SetAutomatic(false);
    }
    m_speaking = true;
}

void cl_Character::StopSpeaking()
{
    if (!m_speaking)
        return;
    if (m_faceControl)
        m_faceControl->SetSpeaking(false);
    if (m_autoActionControl && m_autoActionControl->IsAutomatic() != m_savedAutoTrigger)
    {
        m_autoActionControl->SetAutomatic(m_savedAutoTrigger);
        m_autoActionControl->SetTimer(0.0f);
    }
    m_speechLevel = 0.0f;
    m_speaking = false;
}

void cl_Character::SetSpeechLevel(float level)
{
    m_speechLevel = std::clamp(level, 0.0f, 1.0f);
    if (m_faceControl)
        m_faceControl->SetSpeechLevel(m_speechLevel);
}

void cl_Character::SetSpeechPosition(int mode, float x, float y)
{
    m_speechPositionMode = mode;
    m_speechOffsetX = x;
    m_speechOffsetY = y;
}

bool cl_Character::GetScreenPosition(float& x, float& y) const
{
    if (m_speechPositionMode == 2)
    {
        x = m_speechOffsetX;
        y = m_speechOffsetY;
        return true;
    }
    const cl_Scene* scene = LoadedScene();
    const Ogre::Camera* camera = scene ? scene->GetCamera() : nullptr;
    const Ogre::SceneNode* body = GetSceneNode();
    if (!camera || !body)
        return false;
    Ogre::Vector3 point;
    if (!m_speechNodeName.empty() && GetSceneManager().hasSceneNode(m_speechNodeName))
        point = GetSceneManager().getSceneNode(m_speechNodeName)->_getDerivedPosition();
    else
    {
        const Ogre::SceneNode* focus = GetFocusNode();
        point = (focus ? focus->_getDerivedPosition() : body->_getDerivedPosition()) +
                body->_getDerivedOrientation() * Ogre::Vector3::UNIT_Y * 20.0f;
    }
    const Ogre::Vector3 projected = camera->getProjectionMatrix() * (camera->getViewMatrix() * point);
    x = (projected.x + 1.0f) * 0.5f;
    y = (1.0f - projected.y) * 0.5f;
    if (m_speechPositionMode == 1)
    {
        x += m_speechOffsetX;
        y += m_speechOffsetY;
    }
    return true;
}

// ---- Saved game

void cl_Character::SaveState(TiXmlElement* element) const
{
    if (!element)
        return;
    cl_SceneObject::SaveState(element);
    const cl_ControlledPuppet* puppet = GetPuppet();
    if (puppet && puppet->IsActive())
        StoreTransform();
    element->SetAttribute("offset", Ogre::StringConverter::toString(m_storedPosition));
    element->SetAttribute("rotation", Ogre::StringConverter::toString(m_storedOrientation));
    element->SetAttribute("parent", m_storedParentName);
    element->SetAttribute("scene", m_storedSceneName);
    const Ogre::SceneNode* node = GetSceneNode();
    char number[64];
    std::snprintf(number, sizeof(number), "%f",
                  m_scaleFadeRunning ? m_scaleFadeTo : (node ? node->getScale().x : 1.0f));
    element->SetAttribute("scale", number);
    element->SetAttribute("customOP", m_locationName);
    std::snprintf(number, sizeof(number), "%f",
                  m_examineDistance > 0.0f ? m_examineDistance : DEFAULT_EXAMINE_DISTANCE);
    element->SetAttribute("exDist", number);
    TiXmlElement& focus = FindOrAppendChild(*element, "focus");
    focus.SetAttribute("bone", GetFocusBone());
    focus.SetAttribute("slave", GetFocusSlave());
    TiXmlElement& controls = FindOrAppendChild(*element, "controls");
    if (!puppet)
        return;
    for (const std::string& name : puppet->GetControlNames())
    {
        if (const cl_PuppetControl* control = puppet->GetControl(name); control && !name.empty())
            control->SaveState(FindOrAppendChild(controls, name));
    }
}

void cl_Character::LoadState(const TiXmlElement* element)
{
    AbortAll();
    cl_SceneObject::RestoreState(element);
    if (!element)
        return;
    m_storedPosition = Ogre::StringConverter::parseVector3(AttributeOrEmpty(*element, "offset"));
    m_storedOrientation = Ogre::StringConverter::parseQuaternion(AttributeOrEmpty(*element, "rotation"),
                                                                 Ogre::Quaternion::IDENTITY);
    m_storedParentName = AttributeOrEmpty(*element, "parent");
    m_storedSceneName = AttributeOrEmpty(*element, "scene");
    m_hasStoredTransform = true;
    RestoreTransform();
    m_locationName = AttributeOrEmpty(*element, "customOP");
    m_examineDistance = NumberAttribute(*element, "exDist", DEFAULT_EXAMINE_DISTANCE);
    // Both names set, an empty slave included (a focus on a bone of the body itself).
    if (const TiXmlElement* focus = element->FirstChildElement("focus");
        focus && !AttributeOrEmpty(*focus, "bone").empty() && focus->Attribute("slave"))
    {
        SetFocus(AttributeOrEmpty(*focus, "bone"), AttributeOrEmpty(*focus, "slave"));
        ApplySlaveTagPoints();
    }
    if (element->Attribute("scale") && GetSceneNode())
    {
        const float value = NumberAttribute(*element, "scale", 1.0f);
        GetSceneNode()->setScale(value, value, value);
    }
    const TiXmlElement* controls = element->FirstChildElement("controls");
    cl_ControlledPuppet* puppet = GetPuppet();
    if (!controls || !puppet)
        return;
    for (const TiXmlElement* child = controls->FirstChildElement(); child;
         child = child->NextSiblingElement())
    {
        if (cl_PuppetControl* control = puppet->GetControl(child->ValueStr()))
            control->LoadState(*child);
        else
            LOG_ERROR("Control '%s' not found in.", child->Value());
    }
}

void cl_Character::ListVisualStates(TiXmlElement& element) const
{
    SaveVisualState(element);
    std::set<std::string> names;
    if (m_idleControl)
        m_idleControl->CollectVisualStates(names);
    if (m_autoActionControl)
        m_autoActionControl->CollectVisualStates(names);
    if (m_autoAnimationControl)
        m_autoAnimationControl->CollectVisualStates(names);
    for (const TiXmlElement* state = element.FirstChildElement("vs"); state;
         state = state->NextSiblingElement("vs"))
        names.erase(AttributeOrEmpty(*state, "name"));
    for (const std::string& name : names)
        AppendChild(element, "vs")->SetAttribute("name", name);
}

void cl_Character::DescribeState(TiXmlElement& element) const
{
    WriteDebugInfo(element);
    TiXmlElement* state = AppendChild(element, "state");
    state->SetAttribute("value", static_cast<int>(m_activity));
    state->SetAttribute("cat", m_activity == ACTIVITY_NEVER_ACTIVE ? "uninitialized"
                               : m_activity == ACTIVITY_INACTIVE   ? "inactive"
                               : m_activity == ACTIVITY_IDLE       ? "idle"
                                                                   : "performing");
    if (const ISyncedActionInitiator* caller = m_initiator ? m_initiator : m_focusInitiator)
    {
        TiXmlElement* described = AppendChild(element, "caller");
        described->SetAttribute("name", caller->GetName());
        if (const auto* action = dynamic_cast<const cl_SeqAction*>(caller))
        {
            described->SetAttribute("type", action->GetTypeName());
            if (const cl_SequenceAsset* sequence = action->GetSequence())
                described->SetAttribute("sequence", sequence->GetName());
        }
        else
            described->SetAttribute("type", "unknown");
    }
    if (!m_focusControl || !m_focusControl->HasTarget())
        return;
    TiXmlElement* focus = AppendChild(element, "focus");
    focus->SetAttribute("target", m_focusObject ? m_focusObject->GetName()
                                                : Ogre::StringConverter::toString(m_focusPoint));
    focus->SetAttribute("locked", m_focusHeld ? "true" : "false");
    focus->SetAttribute("time", static_cast<int>(m_focusTime));
}
