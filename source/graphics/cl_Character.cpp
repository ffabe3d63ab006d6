#include "graphics/cl_Character.h"

#include "assets/ISyncedActionInitiator.h"
#include "common/LogCall.h"
#include "common/cl_GameTime.h"
#include "common/cl_GameTimeRegistration.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_BlobShadow.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_FaceControl.h"
#include "graphics/cl_MovementControl.h"
#include "graphics/cl_StepSound.h"
#include "graphics/cl_TurnControl.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <iterator>

namespace
{
// The action trace: the character topic with information, warning or error.
const int LEVEL_ACTION = cl_Logger::TOPIC_CHARACTER;

const Ogre::Vector3 DOWN = Ogre::Vector3::NEGATIVE_UNIT_Y;
// How far ahead on a new path the walk turn looks, and how closely it must face that point.
const float TURN_LOOK_AHEAD = 60.0f;
const float WALK_TURN_TOLERANCE = Ogre::Degree(10.0f).valueRadians();

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
    m_focusListener = nullptr;
    if (ISyncedActionInitiator* initiator = m_initiator)
    {
        m_initiator = nullptr;
        if (m_startNotReported)
            initiator->OnStarted();
        initiator->OnDone(ISyncedActionInitiator::RESULT_ABORTED);
    }
    if (cl_GameComponents* hub = cl_GameComponents::GetInstance())
        hub->OnCharacterDeleted(*this);
}

void cl_Character::PlayAnimation(const std::string&, const std::string&, const Ogre::Vector3&,
                                 const Ogre::Quaternion&, ISyncedActionInitiator* initiator)
{
    if (initiator)
        initiator->OnDone(ISyncedActionInitiator::RESULT_FAILED);
}

void cl_Character::StartAnimation(const std::string&, ISyncedActionInitiator* initiator)
{
    if (initiator)
        initiator->OnDone(ISyncedActionInitiator::RESULT_FAILED);
}

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
    m_idleTime = 0.0f;
    m_activity = ACTIVITY_INACTIVE;
}

void cl_Character::SetLocation(Ogre::SceneNode* node)
{
    m_locationName.clear();
    cl_SceneObject::SetLocation(node);
    ShowBlobShadowWherePlaced();
}

void cl_Character::SetLocation(const std::string& locationName)
{
    // An unknown name changes nothing, the remembered name included.
    if (!locationName.empty() && GetSceneManager().hasSceneNode(locationName))
        m_locationName = locationName;
    cl_SceneObject::SetLocation(locationName);
    ShowBlobShadowWherePlaced();
}

bool cl_Character::SetLocation(const st_ObjectPlacement& placement)
{
    m_locationName.clear();
    const bool placed = cl_SceneObject::SetLocation(placement);
    ShowBlobShadowWherePlaced();
    return placed;
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
}

void cl_Character::Update(float)
{
    if (m_blobShadow)
        m_blobShadow->Update();
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

void cl_Character::MoveAlongPath(const Ogre::Vector3& point, ISyncedActionInitiator* initiator)
{
    NewAction(initiator, ACTIVITY_TURNING_BEFORE_WALK);
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

void cl_Character::OnControlEvent(cl_PuppetControl* control, int code)
{
    if (code == CODE_STARTED && m_startNotReported)
    {
        m_startNotReported = false;
        if (m_initiator)
            m_initiator->OnStarted();
    }
    const bool done = code == CODE_DONE;
    if (!done && code != CODE_FAILED && code != CODE_STOPPED)
        return;
    switch (m_activity)
    {
    case ACTIVITY_TURNING_BEFORE_WALK:
        if (control != m_turnControl || !m_movementControl)
            return;
        if (!done)
            ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        else
        {
            m_activity = ACTIVITY_WALKING_PATH;
            if (!StartWalking())
                ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        }
        return;
    case ACTIVITY_WALKING_PATH:
        if (control == m_movementControl)
            ActionDone(done ? ISyncedActionInitiator::RESULT_FINISHED
                            : ISyncedActionInitiator::RESULT_FAILED);
        return;
    default:
        return;
    }
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

void cl_Character::NewAction(ISyncedActionInitiator* initiator, Activity kind)
{
    if (!GetPuppet() || !GetPuppet()->IsActive())
        LOG_LEVEL(LEVEL_ACTION | cl_Logger::LEVEL_ERROR, "Inactive character '%s' can't perform actions!",
                  GetName().c_str());
    if (initiator)
        LOG_LEVEL(LEVEL_ACTION, "'%s' received new action '%s'!", GetName().c_str(),
                  initiator->GetName().c_str());
    if (IsActionRunning())
        ActionDone(ISyncedActionInitiator::RESULT_ABORTED);
    m_initiator = initiator;
    m_startNotReported = true;
    m_activity = kind;
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
    // An inactive character stays inactive: an action given to it must not make it idle.
    m_activity = GetPuppet() && GetPuppet()->IsActive() ? ACTIVITY_IDLE : ACTIVITY_INACTIVE;
    DropControlCallbacks();
    if (m_movementControl && m_movementControl->IsEnabled())
        m_movementControl->SetStopRequested(true);
    // Last: the initiator may start the next action from here.
    if (initiator)
        initiator->OnDone(result);
}

cl_Character::PlanResult cl_Character::PlanPath(const Ogre::Vector3& target, bool project)
{
    m_path.clear();
    if (!m_navmesh || !m_movementControl || !m_turnControl || !m_movementControl->IsEnabled() ||
        !m_turnControl->IsEnabled())
        return PLAN_FAILED;
    const float minimum = std::max(m_slideDistance, m_minWalkDistanceToPosition);
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
    if (!m_movementControl || !m_movementControl->IsEnabled())
        return false;
    m_movementControl->SetCallbackPending(true);
    m_movementControl->SetWalkStartTime(m_turnControl ? m_turnControl->GetFinalFeetPosition() : 0.0f);
    m_movementControl->SetPath(m_path);
    return true;
}

void cl_Character::DropControlCallbacks()
{
    if (m_turnControl)
        m_turnControl->SetCallbackPending(false);
    if (m_movementControl)
        m_movementControl->SetCallbackPending(false);
}

Ogre::Vector3 cl_Character::GetPosition() const
{
    const Ogre::SceneNode* node = GetSceneNode();
    return node ? node->_getDerivedPosition() : Ogre::Vector3::ZERO;
}

void cl_Character::StoreTransform()
{
    const Ogre::SceneNode* node = GetSceneNode();
    if (!node)
        return;
    m_storedPosition = node->_getDerivedPosition();
    m_storedOrientation = node->_getDerivedOrientation();
    m_storedScale = node->_getDerivedScale();
    m_hasStoredTransform = true;
}

void cl_Character::SetBusyCount(int32_t count)
{
    if (count != m_busyCount)
        m_idleTime = 0.0f;
    m_busyCount = count;
}

void cl_Character::SetSpeechLevel(float level)
{
    m_speechLevel = std::clamp(level, 0.0f, 1.0f);
    if (m_faceControl)
        m_faceControl->SetSpeechLevel(m_speechLevel);
}

void cl_Character::Focus(cl_SceneObject* target, bool turn, float turnTolerance, float sweepAngle,
                         ISyncedActionInitiator* listener)
{
    if (!target)
    {
        StopFocus();
        return;
    }
    target->ApplySlaveTagPoints();
    const Ogre::SceneNode* node = target->GetFocusNode();
    const Ogre::SceneNode* body = target->GetSceneNode();
    const Ogre::Vector3 point =
        node ? node->_getDerivedPosition() : (body ? body->_getDerivedPosition() : Ogre::Vector3::ZERO);
    FocusOnPoint(point, turn, turnTolerance, sweepAngle, listener);
    m_focusTarget = target;
}

void cl_Character::FocusOnPoint(const Ogre::Vector3& point, bool, float, float sweepAngle,
                                ISyncedActionInitiator* listener)
{
    m_focusing = true;
    m_focusTarget = nullptr;
    m_focusPoint = point;
    m_eyeSweepAngle = sweepAngle;
    ReplaceFocusListener(listener);
    if (listener)
        listener->OnStarted();
    // The focus is on target at once: the listener is told and dropped.
    if (m_focusListener == listener)
        ReplaceFocusListener(nullptr);
}

void cl_Character::StopFocus()
{
    m_focusing = false;
    m_focusTarget = nullptr;
    ReplaceFocusListener(nullptr);
}

void cl_Character::ReplaceFocusListener(ISyncedActionInitiator* listener)
{
    ISyncedActionInitiator* before = m_focusListener;
    m_focusListener = listener;
    if (before && before != listener)
        before->OnDone(ISyncedActionInitiator::RESULT_FINISHED);
}

void cl_Character::TurnToDirection(const Ogre::Vector3&, float, ISyncedActionInitiator* initiator)
{
    InstantAction(initiator);
}

void cl_Character::MoveTo(Ogre::SceneNode* node, const std::string&, float, ISyncedActionInitiator* initiator)
{
    MoveOntoLocation(node, 0.0f, 0.0f, initiator);
}

void cl_Character::MoveOntoLocation(Ogre::SceneNode* node, float, float, ISyncedActionInitiator* initiator)
{
    if (node && m_navmesh && m_movementControl && m_turnControl)
    {
        MoveAlongPath(node->_getDerivedPosition(), initiator);
        return;
    }
    NewAction(initiator, ACTIVITY_WALKING_PATH);
    if (!node)
    {
        ActionDone(ISyncedActionInitiator::RESULT_FAILED);
        return;
    }
    SetLocation(node);
    ActionDone(ISyncedActionInitiator::RESULT_FINISHED);
}

void cl_Character::TurnToAnimOrigin(const std::string& animation, bool exactMatch,
                                    ISyncedActionInitiator* initiator)
{
    Ogre::SceneNode* origin = GetOriginNode();
    if (GetPuppet() && origin)
        GetPuppet()->ApplyAnimOriginToSceneNode(origin, animation);
    MoveOntoLocation(origin, exactMatch ? 0.0f : 5.0f, exactMatch ? 0.0f : 3.0f, initiator);
}

void cl_Character::ReleaseAction(const ISyncedActionInitiator* initiator)
{
    if (!initiator || m_initiator != initiator)
        return;
    m_initiator = nullptr;
    m_startNotReported = false;
    ActionDone(ISyncedActionInitiator::RESULT_ABORTED_BY_ABORT_ALL);
}

void cl_Character::InstantAction(ISyncedActionInitiator* initiator)
{
    NewAction(initiator, ACTIVITY_TURNING_BEFORE_WALK);
    ActionDone(ISyncedActionInitiator::RESULT_FINISHED);
}

void cl_Character::StartSpeaking()
{
    m_speaking = true;
    if (m_faceControl)
        m_faceControl->SetSpeaking(true);
}

void cl_Character::StopSpeaking()
{
    m_speaking = false;
    m_speechLevel = 0.0f;
    if (m_faceControl)
        m_faceControl->SetSpeaking(false);
}

void cl_Character::SetSpeechPosition(int mode, float x, float y)
{
    m_speechPositionMode = mode;
    m_speechOffsetX = x;
    m_speechOffsetY = y;
}
