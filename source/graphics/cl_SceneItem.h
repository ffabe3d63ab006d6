#pragma once

#include "graphics/IPuppetControlListener.h"
#include "graphics/cl_SceneObject.h"

class cl_AutoActionControl;
class cl_AutoAnimationControl;
class cl_IdleAnimationControl;
class cl_SpecialAnimationControl;

// An item standing in a location as a 3D object with a puppet of its own (a chest that opens, a door that
// swings): it plays its special animation as an action an initiator waits for, where it stands or at a
// named position, and goes back to where it stood and to its earlier activity when the animation ends.
class cl_SceneItem : public cl_SceneObject, public IPuppetControlListener
{
public:
    // The item's own puppet, named after it.
    cl_SceneItem(Ogre::SceneManager& sceneManager, const std::string& name);
    ~cl_SceneItem() override;

    // The base's states, then those its idle and automatic controls use, each once, in byte order.
    void SaveVisualState(TiXmlElement& element) const override;
    // Plays at the scene node of that name ("avatar": the current character's) moved by offset and turned
    // by rotation. Without such a node: logged, result 2 to initiator (may be null).
    void PlayAnimation(const std::string& animation, const std::string& position, const Ogre::Vector3& offset,
                       const Ogre::Quaternion& rotation, ISyncedActionInitiator* initiator) override;
    // Plays where the item stands.
    void StartAnimation(const std::string& animation, ISyncedActionInitiator* initiator) override;
    // Stops the special animation (result 1 to the waiting initiator); nothing without the control.
    void StopAnimation() override;
    // StopAnimation, then every control of the puppet is reset.
    void AbortAll() override;
    // Deactivating ends a waiting action with result 1.
    void SetActive(bool active) override;
    // Logged while an action is under way, then placed all the same.
    void SetLocation(Ogre::SceneNode* node) override;
    void SetLocation(const std::string& locationName) override;
    bool SetLocation(const st_ObjectPlacement& placement) override;

    // From the item's controls: 3 started, 1 finished, 2 failed, 4 aborted; other codes change nothing.
    void OnControlEvent(cl_PuppetControl* control, int code) override;

    // The loader keeps each control it creates here (the puppet owns them).
    void SetIdleControl(cl_IdleAnimationControl* control) { m_idleControl = control; }
    void SetSpecialControl(cl_SpecialAnimationControl* control) { m_specialControl = control; }
    void SetAutoActionControl(cl_AutoActionControl* control) { m_autoActionControl = control; }
    void SetAutoAnimationControl(cl_AutoAnimationControl* control) { m_autoAnimationControl = control; }
    cl_SpecialAnimationControl* GetSpecialControl() const { return m_specialControl; }

    // The distance from which the item is examined; -1 when the data gives none.
    int GetExamineDistance() const { return m_examineDistance; }
    void SetExamineDistance(int distance) { m_examineDistance = distance; }
    bool IsPlaying() const { return m_initiator != nullptr; }

private:
    void PlayAt(const std::string& animation, const st_ObjectPlacement& placement,
                ISyncedActionInitiator* initiator);
    // The waiting initiator, if any, is forgotten and told the result.
    void EndAction(int result);
    // Back from the play placement, when the item was moved there.
    void ReturnFromPlayPlacement();
    // Warns while an action waits; the item no longer counts as moved.
    void BeforeExternalPlacement();

    int m_examineDistance = -1;
    bool m_savedActive = false;
    st_ObjectPlacement m_playPlacement;
    bool m_moved = false;
    ISyncedActionInitiator* m_initiator = nullptr;
    bool m_startPending = false;
    cl_IdleAnimationControl* m_idleControl = nullptr;
    cl_SpecialAnimationControl* m_specialControl = nullptr;
    cl_AutoActionControl* m_autoActionControl = nullptr;
    cl_AutoAnimationControl* m_autoAnimationControl = nullptr;
};
