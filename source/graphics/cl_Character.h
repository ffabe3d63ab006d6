#pragma once

#include "graphics/cl_SceneObject.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <string>

class ISyncedActionInitiator;

// A person in the loaded scene: a scene object named by its character id, owned by the character manager.
// It counts the foreground sequences and dialogs that hold it (its busy count) and how long it has been
// left alone (its idle time).
class cl_Character : public cl_SceneObject
{
public:
    // With a puppet of its own. Either way the puppet shows its fallback clip while nothing else plays.
    cl_Character(Ogre::SceneManager& sceneManager, const std::string& id);
    // With a ready puppet (may be null) that it does not own; it must outlive the character.
    cl_Character(Ogre::SceneManager& sceneManager, cl_ControlledPuppet* puppet, const std::string& id);
    // Tells the game components, which may hold it as the current character.
    ~cl_Character() override;

    // The character has no animations yet: initiator (may be null) is told at once that it failed.
    void PlayAnimation(const std::string& animation, const std::string& position, const Ogre::Vector3& offset,
                       const Ogre::Quaternion& rotation, ISyncedActionInitiator* initiator) override;
    void StartAnimation(const std::string& animation, ISyncedActionInitiator* initiator) override;
    // Nothing plays, so nothing stops.
    void StopAnimation() override {}
    void AbortAll() override {}

    // Walks to point, a world position, and tells initiator (may be null; must live until told) when the
    // walk has begun and when it has ended. There are no paths yet: the character arrives at once, before
    // this returns.
    void MoveAlongPath(const Ogre::Vector3& point, ISyncedActionInitiator* initiator);

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

    // Where its speech point is on the screen (0..1 from the left and from the top), for subtitles. The
    // character has no head to project yet: false, x and y untouched.
    bool GetScreenPosition(float& /*x*/, float& /*y*/) const { return false; }

private:
    int32_t m_busyCount = 0;
    float m_idleTime = 0.0f;
    float m_speechLevel = 0.0f;
    bool m_hasStoredTransform = false;
    Ogre::Vector3 m_storedPosition = Ogre::Vector3::ZERO;
    Ogre::Quaternion m_storedOrientation = Ogre::Quaternion::IDENTITY;
    Ogre::Vector3 m_storedScale = Ogre::Vector3::UNIT_SCALE;
};
