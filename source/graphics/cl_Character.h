#pragma once

#include "common/IGameTimeListener.h"
#include "graphics/EnvironmentType.h"
#include "graphics/IPuppetControlListener.h"
#include "graphics/ObjectLocation.h"
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
class cl_AutoActionControl;
class cl_AutoAnimationControl;
class cl_IdleAnimationControl;
class cl_FaceControl;
class cl_FocusTargetControl;
class cl_Scene;
class cl_GameTimeRegistration;
class cl_MovementControl;
class cl_SpecialAnimationControl;
class cl_StepSound;
class cl_TurnControl;

// A person in the loaded scene: a scene object named by its character id, owned by the character manager.
// It performs one action at a time for an initiator (the application, the scene manager, a sequence) by
// driving its puppet's controls, and hears their reports. It counts the foreground sequences and dialogs
// that hold it (its busy count) and how long it has been left alone (its idle time).
//
// An action lives from its start to exactly one result told to its initiator (OnStarted at most once and
// at the latest right before OnDone): 0 finished, 1 aborted by a new action, a deactivation or the
// deletion of the character, 2 failed, 3 aborted by AbortAll or StopAnimation. An initiator may start the
// next action from inside OnDone. An explicit focus (Focus, FocusOnPoint) is a second, independent action
// with its own initiator: 0 the head faces the target, 1 replaced or stopped, 2 not reached in 2 s.
class cl_Character : public cl_SceneObject, public IPuppetControlListener, public IGameTimeListener
{
public:
    // What the character is doing.
    enum Activity : int32_t
    {
        ACTIVITY_NEVER_ACTIVE = 0,
        ACTIVITY_INACTIVE = 1,
        ACTIVITY_IDLE = 2,
        ACTIVITY_WALKING_TO_OBJECT = 3,
        ACTIVITY_TURNING_BEFORE_WALK = 4,
        ACTIVITY_WALKING_PATH = 5,
        ACTIVITY_FINAL_TURN = 6,
        ACTIVITY_TURNING_TO_POINT = 7,
        ACTIVITY_TURNING = 8,
        ACTIVITY_ANIMATION = 9,
        ACTIVITY_TURNING_BEFORE_OBJECT_WALK = 10,
        ACTIVITY_TURNING_BEFORE_LOCATION_WALK = 11,
        ACTIVITY_WALKING_TO_LOCATION = 12,
    };

    // With a puppet of its own. Either way the puppet shows its fallback clip while nothing else plays.
    cl_Character(Ogre::SceneManager& sceneManager, const std::string& id);
    // With a ready puppet (may be null) that it does not own; it must outlive the character.
    cl_Character(Ogre::SceneManager& sceneManager, cl_ControlledPuppet* puppet, const std::string& id);
    // Ends a running action with 1, then tells the game components, which may hold it as the current
    // character.
    ~cl_Character() override;

    // ---- Actions. Each initiator may be null; one that is not must live until told its result.

    // Plays animation at the loaded scene's node named position; an unknown position fails (2, logged).
    void PlayAnimation(const std::string& animation, const std::string& position, const Ogre::Vector3& offset,
                       const Ogre::Quaternion& rotation, ISyncedActionInitiator* initiator) override;
    // Plays animation where the character stands. Without an enabled special animation control both fail.
    void StartAnimation(const std::string& animation, ISyncedActionInitiator* initiator) override;
    // Ends a running animation action with 3; any other action goes on.
    void StopAnimation() override;
    // Ends the running action with 3, stops speaking and the explicit focus (its initiator told 1) and
    // resets the puppet's controls.
    void AbortAll() override;

    // Walks to point (a world position, projected onto the navigation mesh; beside it, to the mesh's
    // nearest triangle). A point closer than the minimum walk distance ends the action at once with 0. A
    // walk that needs no turn first goes on from the walk under way; otherwise the character turns toward
    // the path with a walk turn and then walks it. Without navigation mesh, enabled movement and turn
    // controls, or ground under the character or the point, the action fails (2).
    void MoveAlongPath(const Ogre::Vector3& point, ISyncedActionInitiator* initiator);
    // The examine walk toward node (null fails): the walk ends where the character stands within reach
    // (in the navmesh zone reachZone when the mesh has one of that name, else closer than reach; 0 or
    // less: the examine distance), already at 0.8 of it, and the character turns to face the node.
    void MoveTo(Ogre::SceneNode* node, const std::string& reachZone, float reach,
                ISyncedActionInitiator* initiator);
    // Walks onto node (null fails) and takes its facing: the last turn may stop within turnLimit degrees
    // and draw the character onto the node from within slideDistance (negatives count as 0; both 0: the
    // character is set exactly onto the node).
    void TurnTo(Ogre::SceneNode* node, float slideDistance, float turnLimit,
                ISyncedActionInitiator* initiator);
    // Moves the origin node to where animation starts, then TurnTo it: exactly with exactMatch, else
    // within 5 units and 3 degrees.
    void TurnToAnimOrigin(const std::string& animation, bool exactMatch, ISyncedActionInitiator* initiator);
    // Turns on the spot toward point, within limit degrees.
    void TurnToDirection(const Ogre::Vector3& point, float limit, ISyncedActionInitiator* initiator);
    // Looks at point and turns toward it, as an action without initiator (the glance at the camera).
    void LookAtPosition(const Ogre::Vector3& point);
    // Walks from the loaded scene's spawn point for a character entering from fromScene to its target node
    // (or to the spawn point itself), then faces the spawn point's way. Without spawn point: fails (2).
    void WalkToLocation(const std::string& fromScene, ISyncedActionInitiator* initiator);
    // The loaded scene's walking settings; with placeNow the character is set onto that spawn point and
    // activated (then walks to its target node), or, without spawn point, hidden and deactivated.
    void MoveToLocation(const std::string& fromScene, bool placeNow);
    // The initiator of the running action; null for none.
    ISyncedActionInitiator* GetInitiator() const { return m_initiator; }
    // When initiator runs the character's action: forgets it, then ends the action with 3, unheard.
    void ReleaseAction(const ISyncedActionInitiator* initiator);

    // The reports of the character's controls advance its action.
    void OnControlEvent(cl_PuppetControl* control, int code) override;

    // ---- Focus: where the focus target control turns the head.

    // The explicit focus on target's focus point (null: only stops the focus; initiator is then told 0 at
    // once). turn: the body turns when the point leaves the head's reach, by turnAngle degrees at most.
    // Glances and actions leave the focus alone while it holds. Without an enabled focus control there is
    // no head to turn: the initiator is told 0 at once.
    void Focus(cl_SceneObject* target, bool turn, float turnAngle, float glanceAmplitude,
               ISyncedActionInitiator* initiator);
    void FocusOnPoint(const Ogre::Vector3& point, bool turn, float turnAngle, float glanceAmplitude,
                      ISyncedActionInitiator* initiator);
    // Ends the explicit focus; its initiator is told 1.
    void StopFocus();
    // Looks at object's focus point (followed each frame) or at a node's or a point's position; false
    // without an enabled focus control. While the explicit focus holds nothing changes (true).
    bool SetFocusTarget(cl_SceneObject* object, float glanceAmplitude);
    bool FocusOnNode(const Ogre::SceneNode* node, float glanceAmplitude);
    bool FocusOnPosition(const Ogre::Vector3& point, float glanceAmplitude);
    // The explicit focus holds.
    bool IsFocusing() const { return m_focusHeld; }
    // The scene object looked at; null while looking at a point or not at all.
    cl_SceneObject* GetFocusTarget() const { return m_focusObject; }
    // The point of the last focus given.
    const Ogre::Vector3& GetFocusPoint() const { return m_focusPoint; }
    float GetFocusTime() const { return m_focusTime; }
    // The sweep of the eyes while focusing, for the focus control.
    void SetEyeSweepAngle(float angle);
    float GetEyeSweepAngle() const { return m_eyeSweepAngle; }

    // ---- Saved game.

    // Writes the body (the scene object's part), then "offset", "rotation", "parent" and "scene" (the
    // transform stored, refreshed first while the character is active), "scale" (a running fade's
    // target), "customOP", "exDist", the "focus" child and the "controls" child with one child per control
    // named after it; children already there are reused.
    void SaveState(TiXmlElement* element) const override;
    // Aborts everything, restores the body and reads back what SaveState wrote (missing values take their
    // defaults; "focus" only with "bone" and "slave" both set); the character is placed at the stored
    // transform when its scene is the loaded one and the parent node exists. A control child naming no
    // control is logged and the rest is read. Nothing but the abort for a null element.
    void LoadState(const TiXmlElement* element);
    // Appends a "vs" child per visual-state name the character or its idle, auto action and auto animation
    // controls know, each name once, the controls' ones in byte order.
    void ListVisualStates(TiXmlElement& element) const;

    // Writes the scene object's description, then a "state" child (the activity's "value" and its "cat"), a
    // "caller" child while an action or an explicit focus has an initiator (its "name", and the "type" and
    // "sequence" of a sequence action, else "type" "unknown"), and a "focus" child while the focus control
    // has a target ("target", "locked", "time" in whole seconds).
    void DescribeState(TiXmlElement& element) const;

    // ---- Placement.

    // Each placement made while an action runs is logged (the action goes on). The blob shadow shows where
    // the character hangs under a node and hides where it stands nowhere.
    void SetLocation(Ogre::SceneNode* node) override;
    void SetLocation(const std::string& locationName) override;
    bool SetLocation(const st_ObjectPlacement& placement) override;
    // By name: the OGRE node of that name; else, in the loaded scene, the scene's position for this
    // character (not for a name beginning "positions_inactive_pc"), else the transform stored last, else
    // that position anyway, else the scene's root. Without loaded scene nothing changes: false (logged).
    bool SetLocationByName(const std::string& locationName);
    // The location the character was last placed at by name ("customOP" of the saved game); empty when it
    // stands at no named location.
    const std::string& GetLocationName() const { return m_locationName; }
    void SetCustomObjectPosition(const std::string& name) { m_locationName = name; }
    // Keeps the position and orientation relative to the parent node, that node's name, the loaded
    // scene's name and the world scale, so that the character can be placed there again; nothing without
    // a puppet. Const: it only notes where the character stands (a save does it too).
    void StoreTransform() const;
    // Places the character at the stored transform: only in the scene stored and when its parent node
    // exists.
    bool RestoreTransform();
    bool HasStoredTransform() const { return m_hasStoredTransform; }
    const Ogre::Vector3& GetStoredPosition() const { return m_storedPosition; }
    const Ogre::Quaternion& GetStoredOrientation() const { return m_storedOrientation; }
    const Ogre::Vector3& GetStoredScale() const { return m_storedScale; }
    const std::string& GetStoredParentName() const { return m_storedParentName; }
    const std::string& GetStoredSceneName() const { return m_storedSceneName; }

    // Nothing when the puppet's activity already is that. Activating: idle time 0, an inactive character
    // becomes idle, the visual state is applied again. Deactivating: the controls' jobs are dropped
    // unheard, a running action ends with 1, the character is inactive.
    void SetActive(bool active) override;
    // The node's scale and the blob shadow's; stops a scale fade.
    void SetScale(float scale) override;
    // Scales the node linearly from its scale now to target over duration seconds (0 or less: at the next
    // frame).
    void StartScaleFade(float target, float duration);
    bool IsScaleFading() const { return m_scaleFadeRunning; }
    float GetScaleFadeTarget() const { return m_scaleFadeTo; }
    // A frame of the active character (time group "default"): focus, scale fade, the early end of a walk
    // toward an object, the blob shadow.
    void Update(float dt) override;

    // The current scene's navigation mesh (not owned, may be null): the character walks on it.
    void SetNavmesh(cl_Navmesh* navmesh) { m_navmesh = navmesh; }
    cl_Navmesh* GetNavmesh() const { return m_navmesh; }
    // The controls the character drives (registered with its puppet, which owns them; may be null).
    void SetMovementControl(cl_MovementControl* control) { m_movementControl = control; }
    cl_MovementControl* GetMovementControl() const { return m_movementControl; }
    void SetTurnControl(cl_TurnControl* control) { m_turnControl = control; }
    cl_TurnControl* GetTurnControl() const { return m_turnControl; }
    void SetFocusControl(cl_FocusTargetControl* control) { m_focusControl = control; }
    cl_FocusTargetControl* GetFocusControl() const { return m_focusControl; }
    // The face (null for a character without one).
    cl_FaceControl* GetFaceControl() const { return m_faceControl; }
    void SetFaceControl(cl_FaceControl* faceControl) { m_faceControl = faceControl; }
    void SetAutoActionControl(cl_AutoActionControl* control) { m_autoActionControl = control; }
    void SetIdleControl(cl_IdleAnimationControl* control) { m_idleControl = control; }
    void SetAutoAnimationControl(cl_AutoAnimationControl* control) { m_autoAnimationControl = control; }
    // Plays the animations of PlayAnimation and StartAnimation.
    void SetSpecialControl(cl_SpecialAnimationControl* control) { m_specialControl = control; }
    cl_SpecialAnimationControl* GetSpecialControl() const { return m_specialControl; }
    cl_AutoActionControl* GetAutoActionControl() const { return m_autoActionControl; }
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
    // From the character file; the character itself does not use it.
    void SetHeight(float height) { m_height = height; }
    float GetHeight() const { return m_height; }
    // The reach of an examine walk given none; 0 or less: 280.
    float GetExamineDistance() const { return m_examineDistance; }
    void SetExamineDistance(float distance) { m_examineDistance = distance; }

    // The number of foreground sequences and dialogs holding the character. A change of it sets the idle
    // time to 0.
    int32_t GetBusyCount() const { return m_busyCount; }
    void SetBusyCount(int32_t count);
    // Seconds the character has been left alone.
    float GetIdleTime() const { return m_idleTime; }
    void SetIdleTime(float seconds) { m_idleTime = seconds; }
    // The idle time after which the idle character looks round again.
    float GetGlanceInterval() const { return m_glanceInterval; }
    // Looks round, idle and left alone: the current character standing on the navigation mesh looks at a
    // random object of the loaded scene, at the camera, or lets its auto action control play something;
    // the next look follows after 6 s (or the auto action's trigger time when nothing was looked at).
    // While the explicit focus holds he does not look round; the auto action still plays.
    void UpdateGlances();
    // The record a glance looks at for the draw x (0 up to the sum of the kinds, which weigh the records):
    // the first whose running sum of kinds reaches x; -1 when none does.
    static int PickGlanceRecord(const ObjectLocations& records, int x);

    // The face's mouth moves while the character speaks.
    void StartSpeaking();
    void StopSpeaking();
    bool IsSpeaking() const { return m_speaking; }
    // How far the mouth is open while the character speaks, 0 to 1 (held within).
    void SetSpeechLevel(float level);
    float GetSpeechLevel() const { return m_speechLevel; }
    // Where subtitles go: mode 1 offset from the head, 2 a fixed screen position (0: projected head).
    void SetSpeechPosition(int mode, float x, float y);
    int GetSpeechPositionMode() const { return m_speechPositionMode; }
    float GetSpeechOffsetX() const { return m_speechOffsetX; }
    float GetSpeechOffsetY() const { return m_speechOffsetY; }
    // The loaded scene's node the speech bubble hangs from (empty: above the focus point).
    void SetSpeechNodeName(const std::string& name) { m_speechNodeName = name; }
    // Where its speech point is on the screen (0..1 from the left and from the top), for subtitles: mode 2
    // the fixed position; else the speech node's, or 20 units above the focus point, projected by the
    // loaded scene's camera, mode 1 moved by the offset. False, x and y untouched, when nothing projects.
    bool GetScreenPosition(float& x, float& y) const;

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
    // A stand turn toward point within angle degrees; false without an enabled turn control.
    bool StartTurnControl(const Ogre::Vector3& point, float angle);
    // The final turn of a walk: from position into direction within the turn limit and slide distance.
    bool TurnToDirectionAt(const Ogre::Vector3& position, const Ogre::Vector3& direction);
    bool TurnToNodeDirection(const Ogre::SceneNode* node);
    // Hands animation to the enabled special animation control, in the initiator's sync group when it has
    // joined one; false without such a control.
    bool StartSpecialAnimation(const std::string& animation);
    // The control reports, by the activity they arrive in.
    void OnTurnDone(bool done);
    void OnMovementDone(bool done);
    void OnAnimationEvent(int code);
    // The controls no longer owe the character a report of their jobs.
    void DropControlCallbacks();
    // The focus control's target let go (the explicit focus is left alone by the callers).
    void ReleaseFocusTarget();
    // The explicit focus held on the control's target; the old initiator told 1.
    void HoldFocus(bool turn, float turnAngle, ISyncedActionInitiator* initiator);
    // Tells the focus initiator result and forgets it.
    void EndFocusAction(int result);
    // Each frame: follows the focus object, ends the explicit focus, turns the body after the head.
    void PuppetUpdateFocus();
    void UpdateScaleFade(float dt);
    // Idle and alone, the character counts its idle time and looks round when it has run out.
    void UpdateIdle(float dt);
    // Looks at a random object of the loaded scene, if it has any (never while the explicit focus holds).
    void GlanceAtObject();
    // The walk toward an object ends once the character is within 0.8 of the reach.
    void CheckEarlyArrival();
    Ogre::Vector3 GetPosition() const;
    // Shows the blob shadow while the character hangs under a node, hides it otherwise.
    void ShowBlobShadowWherePlaced();
    void WarnIfActionRunning() const;
    bool IsFocusEnabled() const;

    cl_Navmesh* m_navmesh = nullptr;
    Activity m_activity = ACTIVITY_NEVER_ACTIVE;
    ISyncedActionInitiator* m_initiator = nullptr;
    bool m_startNotReported = false;
    Ogre::SceneNode* m_actionTargetNode = nullptr;
    Ogre::SceneNode* m_followUpNode = nullptr;
    float m_reachDistance = 0.0f;
    std::string m_reachZone;
    float m_examineDistance = -1.0f;
    float m_height = 200.0f;
    std::vector<st_NavPathPoint> m_path;
    float m_minWalkDistanceToTarget = 50.0f;
    float m_minWalkDistanceToPosition = 25.0f;
    // The final turn of a walk may stop within this many degrees of the target's facing.
    float m_turnLimit = 0.0f;
    // Within it the walk's last turn may draw the character onto its target; it raises the minimum walk.
    float m_slideDistance = 0.0f;

    cl_SceneObject* m_focusObject = nullptr;
    Ogre::Vector3 m_focusPoint = Ogre::Vector3::ZERO;
    bool m_focusHeld = false;
    bool m_turnWithFocus = false;
    float m_focusTurnAngle = 40.0f;
    ISyncedActionInitiator* m_focusInitiator = nullptr;
    float m_focusTime = 0.0f;
    float m_eyeSweepAngle = 0.0f;

    float m_scaleFadeFrom = 0.0f;
    float m_scaleFadeTo = 0.0f;
    float m_scaleFadeElapsed = 0.0f;
    float m_scaleFadeDuration = 0.0f;
    bool m_scaleFadeRunning = false;

    cl_MovementControl* m_movementControl = nullptr;
    cl_TurnControl* m_turnControl = nullptr;
    cl_FocusTargetControl* m_focusControl = nullptr;
    cl_FaceControl* m_faceControl = nullptr;
    cl_AutoActionControl* m_autoActionControl = nullptr;
    cl_IdleAnimationControl* m_idleControl = nullptr;
    cl_AutoAnimationControl* m_autoAnimationControl = nullptr;
    cl_SpecialAnimationControl* m_specialControl = nullptr;
    // Where PlayAnimation sets the character while its animation plays; it goes back afterwards.
    st_ObjectPlacement m_playLocation;
    bool m_playLocationPending = false;
    // The animation has set the character there; the placement before is restored when it ends.
    bool m_atPlayLocation = false;
    std::string m_locationName;
    int32_t m_busyCount = 0;
    float m_idleTime = 0.0f;
    float m_glanceInterval = 6.0f;
    bool m_speaking = false;
    bool m_savedAutoTrigger = false;
    float m_speechLevel = 0.0f;
    std::string m_speechNodeName;
    int m_speechPositionMode = 0;
    float m_speechOffsetX = 0.0f;
    float m_speechOffsetY = 0.0f;
    // Declared after the base's puppet, so they go first: the step sound unregisters from the puppet.
    std::unique_ptr<cl_StepSound> m_stepSound;
    std::unique_ptr<cl_BlobShadow> m_blobShadow;
    // Registered with the game time while active.
    std::unique_ptr<cl_GameTimeRegistration> m_frames;
    // Where the character stood when it was last parked or saved while active.
    mutable bool m_hasStoredTransform = false;
    mutable Ogre::Vector3 m_storedPosition = Ogre::Vector3::ZERO;
    mutable Ogre::Quaternion m_storedOrientation = Ogre::Quaternion::IDENTITY;
    mutable Ogre::Vector3 m_storedScale = Ogre::Vector3::UNIT_SCALE;
    mutable std::string m_storedParentName;
    mutable std::string m_storedSceneName;
};
