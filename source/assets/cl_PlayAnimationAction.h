#pragma once

#include "assets/cl_NonInstantSeqAction.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

// Plays an animation on a character or an item (loaded when it is not yet) and lasts as long as it: where
// the object stands, or at the "parent" node moved by "offset" and turned by "rotation". With "skip" a
// skip stops the animation, also one that arrives before the animation has started.
class cl_PlayAnimationAction : public cl_NonInstantSeqAction
{
public:
    // Reads "animationname", the target ("item", else "character", else "avatar"), "skip", "parent" and
    // the children "offset" (a vector) and "rotation" (the axis, with "angle").
    explicit cl_PlayAnimationAction(const TiXmlElement* element);

    // "PlayItemAnimationAction" for an item target, else "PlayCharacterAnimationAction".
    std::string GetTypeName() const override;
    void WriteXml(TiXmlElement& element) const override;
    // The animation has begun: logged and reported; a skip asked for before is carried out now.
    void OnStarted() override;
    // The animation has ended; unless skipped, a failed (2) or cancelled (1) one is logged. Finishes.
    void OnDone(int result) override;
    void Skip() override;
    // Gives the sync token back and ends the character's animation when it still is this action's.
    void Stop(bool aborted) override;
    void Reset() override;

protected:
    // A target or animation that cannot be had is logged and the action finishes.
    void Start() override;

private:
    // Stops a running animation of a skippable action asked to skip.
    void TrySkip();

    std::string m_animation;
    std::string m_target;
    bool m_itemTarget = false;
    bool m_skippable = false;
    std::string m_parent;
    Ogre::Vector3 m_offset = Ogre::Vector3::ZERO;
    Ogre::Vector3 m_axis = Ogre::Vector3::UNIT_Y;
    Ogre::Radian m_angle{0.0f};
    bool m_running = false;
    bool m_skipRequested = false;
};
