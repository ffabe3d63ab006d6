#pragma once

#include "common/IGameTimeListener.h"
#include "graphics/EnvironmentType.h"
#include "graphics/IPuppetControlListener.h"
#include "graphics/cl_Navmesh.h"
#include "graphics/cl_SceneObject.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ISyncedActionInitiator;
class cl_BlobShadow;
class cl_FaceControl;
class cl_GameTimeRegistration;
class cl_MovementControl;
class cl_StepSound;
class cl_TurnControl;

// A person in the loaded scene: a scene object named by its character id, owned by the character manager.
// It performs one action at a time for an initiator (the application, the scene manager, a sequence) by
// driving its puppet's controls, and hears their reports. It counts the foreground sequences and dialogs
// that hold it (its busy count) and how long it has been left alone (its idle time).
//
// An action lives from its start to exactly one result told to its initiator (OnStarted at most once and
// at the latest right before OnDone): 0 finished, 1 aborted by a new action, a deactivation or the
// deletion of the character, 2 failed.
class cl_Character : public cl_SceneObject, public IPuppetControlListener, public IGameTimeListener
{
public:
    // What the character is doing.
    enum Activity : int32_t
    {
        ACTIVITY_NEVER_ACTIVE = 0,
        ACTIVITY_INACTIVE = 1,
        ACTIVITY_IDLE = 2,
        ACTIVITY_TURNING_BEFORE_WALK = 4,
        ACTIVITY_WALKING_PATH = 5,
    };

    // With a puppet of its own. Either way the puppet shows its fallback clip while nothing else plays.
    cl_Character(Ogre::SceneManager& sceneManager, const std::string& id);
    // With a ready puppet (may be null) that it does not own; it must outlive the character.
    cl_Character(Ogre::SceneManager& sceneManager, cl_ControlledPuppet* puppet, const std::string& id);
    // Ends a running action with 1, then tells the game components, which may hold it as the current
    // character.
    ~cl_Character() override;

    // The character has no animations yet: initiator (may be null) is told at once that it failed.
    void PlayAnimation(const std::string& animation, const std::string& position, const Ogre::Vector3& offset,
                       const Ogre::Quaternion& rotation, ISyncedActionInitiator* initiator) override;
    void StartAnimation(const std::string& animation, ISyncedActionInitiator* initiator) override;
    // Nothing plays, so nothing stops.
    void StopAnimation() override {}
    void AbortAll() override {}

    // Placing the character by a location's name remembers the name; any other placement forgets it. The
    // blob shadow shows where the character stands under a node and hides where it stands nowhere.
    void SetLocation(Ogre::SceneNode* node) override;
    void SetLocation(const std::string& locationName) override;
    bool SetLocation(const st_ObjectPlacement& placement) override;
    // The location the character was last placed at by name; empty when it stands at no named location.
    const std::string& GetLocationName() const { return m_locationName; }

    // Nothing when the puppet's activity already is that. Activating: idle time 0, an inactive character
    // becomes idle. Deactivating: the movement and turn controls' jobs are dropped unheard, a running
    // action ends with 1, the character is inactive.
    void SetActive(bool active) override;
    // The node's scale and the blob shadow's.
    void SetScale(float scale) override;
    // A frame of the active character (time group "default"): its blob shadow follows the bones.
    void Update(float dt) override;

    // Walks to point (a world position, projected onto the navigation mesh; beside it, to the mesh's
    // nearest triangle) as a new action of initiator (may be null; it must live until told the result).
    // A point closer than the minimum walk distance ends the action at once with 0. A walk that needs no
    // turn first goes on from the walk under way; otherwise the character turns toward the path with a
    // walk turn and then walks it. Without navigation mesh, enabled movement and turn controls, or ground
    // under the character or the point, the action fails (2).
    void MoveAlongPath(const Ogre::Vector3& point, ISyncedActionInitiator* initiator);

    // The reports of the character's controls advance its action.
    void OnControlEvent(cl_PuppetControl* control, int code) override;

    // The current scene's navigation mesh (not owned, may be null): the character walks on it.
    void SetNavmesh(cl_Navmesh* navmesh) { m_navmesh = navmesh; }
    cl_Navmesh* GetNavmesh() const { return m_navmesh; }
    // The controls the character drives (registered with its puppet, which owns them; may be null).
    void SetMovementControl(cl_MovementControl* control) { m_movementControl = control; }
    cl_MovementControl* GetMovementControl() const { return m_movementControl; }
    void SetTurnControl(cl_TurnControl* control) { m_turnControl = control; }
    cl_TurnControl* GetTurnControl() const { return m_turnControl; }
    // The scene's environment for the walks of the movement and turn controls: its type (ENVIRONMENT_TIGHT,
    // ENVIRONMENT_NARROW, any other number open) and its running value (running is allowed unless it is 0).
    void ApplySceneMovementSettings(int type, float running);
    // A walk shorter than this ends at once: toward a target object, and toward a plain position.
    void SetMinWalkDistanceToTarget(float distance) { m_minWalkDistanceToTarget = distance; }
    float GetMinWalkDistanceToTarget() const { return m_minWalkDistanceToTarget; }
    void SetMinWalkDistanceToPosition(float distance) { m_minWalkDistanceToPosition = distance; }
    float GetMinWalkDistanceToPosition() const { return m_minWalkDistanceToPosition; }
    Activity GetActivity() const { return m_activity; }
    // The character loader's: a character read from its data is inactive until a scene activates it.
    void SetActivity(Activity activity) { m_activity = activity; }

    // Keeps the world position, orientation and scale of the puppet's node, so that the character can be
    // placed there again; nothing without a puppet.
    void StoreTransform();
    bool HasStoredTransform() const { return m_hasStoredTransform; }
    const Ogre::Vector3& GetStoredPosition() const { return m_storedPosition; }
    const Ogre::Quaternion& GetStoredOrientation() const { return m_storedOrientation; }
    const Ogre::Vector3& GetStoredScale() const { return m_storedScale; }

    // The number of foreground sequences and dialogs holding the character. A change of it sets the idle
    // time to 0.
    int32_t GetBusyCount() const { return m_busyCount; }
    void SetBusyCount(int32_t count);
    // How far the mouth is open while the character speaks, 0 to 1 (held within).
    void SetSpeechLevel(float level);
    float GetSpeechLevel() const { return m_speechLevel; }
    // Seconds the character has been left alone.
    float GetIdleTime() const { return m_idleTime; }
    void SetIdleTime(float seconds) { m_idleTime = seconds; }

    // ---- What sequences ask of a character. Least forms until the focus and turn controls are driven:
    // focusing and turning are reported begun and ended within the call; a move walks the path when the
    // character can walk (navigation mesh and controls), else it is put on its target at once.

    // Looks at target (null: stops focusing) or at a world point; listener (may be null) replaces the one
    // before, which is told OnDone(0) first, and is told OnStarted and OnDone(0).
    void Focus(cl_SceneObject* target, bool turn, float turnTolerance, float sweepAngle,
               ISyncedActionInitiator* listener);
    void FocusOnPoint(const Ogre::Vector3& point, bool turn, float turnTolerance, float sweepAngle,
                      ISyncedActionInitiator* listener);
    // Stops focusing; a focus listener is told OnDone(0) and dropped.
    void StopFocus();
    bool IsFocusing() const { return m_focusing; }
    // The scene object looked at; null while focusing on a point or not at all.
    cl_SceneObject* GetFocusTarget() const { return m_focusTarget; }
    const Ogre::Vector3& GetFocusPoint() const { return m_focusPoint; }
    // Turns toward the world point as a new action of initiator (may be null).
    void TurnToDirection(const Ogre::Vector3& point, float angle, ISyncedActionInitiator* initiator);
    // Goes to node (null fails: 2) as a new action of initiator to examine target; a distance of 0 or
    // less is the character's examine distance when positive, else 280.
    void MoveTo(Ogre::SceneNode* node, const std::string& targetId, float distance,
                ISyncedActionInitiator* initiator);
    // Goes onto node within the tolerances (negatives count as 0).
    void MoveOntoLocation(Ogre::SceneNode* node, float positionTolerance, float rotationTolerance,
                          ISyncedActionInitiator* initiator);
    // Moves the origin node by where the animation starts, then goes onto it: tolerances 0 with
    // exactMatch, else 5 (position) and 3 (rotation).
    void TurnToAnimOrigin(const std::string& animation, bool exactMatch, ISyncedActionInitiator* initiator);
    // The initiator of the running action; null for none.
    ISyncedActionInitiator* GetInitiator() const { return m_initiator; }
    // When initiator runs the character's action: forgets it, then ends the action with 3, unheard.
    void ReleaseAction(const ISyncedActionInitiator* initiator);
    float GetExamineDistance() const { return m_examineDistance; }
    void SetExamineDistance(float distance) { m_examineDistance = distance; }
    // The face's mouth moves while the character speaks.
    void StartSpeaking();
    void StopSpeaking();
    bool IsSpeaking() const { return m_speaking; }
    // Where subtitles go: mode 1 offset from the head, 2 a fixed screen position (0: projected head).
    void SetSpeechPosition(int mode, float x, float y);
    int GetSpeechPositionMode() const { return m_speechPositionMode; }
    float GetSpeechOffsetX() const { return m_speechOffsetX; }
    float GetSpeechOffsetY() const { return m_speechOffsetY; }
    // The sweep of the eyes while focusing, for the focus control.
    void SetEyeSweepAngle(float angle) { m_eyeSweepAngle = angle; }
    float GetEyeSweepAngle() const { return m_eyeSweepAngle; }
    // The face (registered with the puppet, which owns it); null for a character without one.
    cl_FaceControl* GetFaceControl() const { return m_faceControl; }
    void SetFaceControl(cl_FaceControl* faceControl) { m_faceControl = faceControl; }
    // The footsteps; a new one replaces (and deletes) the one before. May be null.
    void SetStepSound(std::unique_ptr<cl_StepSound> stepSound);
    cl_StepSound* GetStepSound() const { return m_stepSound.get(); }
    // The quads under the feet; a new one replaces the one before and shows when the character is placed.
    // May be null.
    void SetBlobShadow(std::unique_ptr<cl_BlobShadow> blobShadow);
    cl_BlobShadow* GetBlobShadow() const { return m_blobShadow.get(); }
    // The surface under the character: the local surface id of the navigation mesh's triangle below its
    // node, else the mesh's default surface; 0 without a mesh or a triangle below.
    int32_t GetSurfaceType() const;

    // Where its speech point is on the screen (0..1 from the left and from the top), for subtitles. The
    // character has no head to project yet: false, x and y untouched.
    bool GetScreenPosition(float& /*x*/, float& /*y*/) const { return false; }

private:
    // What PlanPath found.
    enum PlanResult
    {
        PLAN_FAILED = 0,
        PLAN_TURN_FIRST = 1,
        PLAN_WALKING = 2,
        PLAN_NO_WALK = 3,
    };

    // Logs the new action, ends a running one with 1 and makes initiator's the running one.
    void NewAction(ISyncedActionInitiator* initiator, Activity kind);
    // Ends the running action: its initiator is told OnStarted (when not told yet), then, last, OnDone.
    void ActionDone(int result);
    bool IsActionRunning() const { return m_activity > ACTIVITY_IDLE; }
    // Plans the walk to target into the path: from the ground under the character to the ground under
    // target when project is set, else between the points themselves. Hands a walk that goes on in the
    // same direction to the movement control, or starts the walk turn toward the path.
    PlanResult PlanPath(const Ogre::Vector3& target, bool project);
    // Hands the path to the enabled movement control, which starts in the phase the walk turn ended in.
    bool StartWalking();
    // The movement and turn controls no longer owe the character a report of their jobs.
    void DropControlCallbacks();
    Ogre::Vector3 GetPosition() const;
    // Shows the blob shadow while the character hangs under a node, hides it otherwise.
    void ShowBlobShadowWherePlaced();

    cl_Navmesh* m_navmesh = nullptr;
    Activity m_activity = ACTIVITY_NEVER_ACTIVE;
    ISyncedActionInitiator* m_initiator = nullptr;
    bool m_startNotReported = false;
    std::vector<st_NavPathPoint> m_path;
    float m_minWalkDistanceToTarget = 50.0f;
    float m_minWalkDistanceToPosition = 25.0f;
    // Within it the walk's last turn may draw the character onto its target; it raises the minimum walk.
    float m_slideDistance = 0.0f;
    cl_MovementControl* m_movementControl = nullptr;
    cl_TurnControl* m_turnControl = nullptr;
    std::string m_locationName;
    int32_t m_busyCount = 0;
    float m_idleTime = 0.0f;
    float m_speechLevel = 0.0f;
    // Starts an action of initiator that ends at once with 0.
    void InstantAction(ISyncedActionInitiator* initiator);
    // A new focus listener; the one before is told OnDone(0).
    void ReplaceFocusListener(ISyncedActionInitiator* listener);

    bool m_focusing = false;
    Ogre::Vector3 m_focusPoint = Ogre::Vector3::ZERO;
    cl_SceneObject* m_focusTarget = nullptr;
    ISyncedActionInitiator* m_focusListener = nullptr;
    float m_examineDistance = 0.0f;
    bool m_speaking = false;
    int m_speechPositionMode = 0;
    float m_speechOffsetX = 0.0f;
    float m_speechOffsetY = 0.0f;
    float m_eyeSweepAngle = 0.0f;
    cl_FaceControl* m_faceControl = nullptr;
    // Declared after the base's puppet, so they go first: the step sound unregisters from the puppet.
    std::unique_ptr<cl_StepSound> m_stepSound;
    std::unique_ptr<cl_BlobShadow> m_blobShadow;
    // Registered with the game time while active.
    std::unique_ptr<cl_GameTimeRegistration> m_frames;
    bool m_hasStoredTransform = false;
    Ogre::Vector3 m_storedPosition = Ogre::Vector3::ZERO;
    Ogre::Quaternion m_storedOrientation = Ogre::Quaternion::IDENTITY;
    Ogre::Vector3 m_storedScale = Ogre::Vector3::UNIT_SCALE;
};
