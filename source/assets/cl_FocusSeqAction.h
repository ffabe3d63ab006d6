#pragma once

#include "assets/cl_NonInstantSeqAction.h"

#include <OgreVector.h>

// Makes a character look at a target: "camera" (where the camera is at the start), a scene object, a
// location of the current scene, or a scene node; with "turn" it turns its body when its head cannot
// reach. The foreground stays interruptible while it looks.
class cl_FocusSeqAction : public cl_NonInstantSeqAction
{
public:
    // Reads "charref", "targetref", "turn", "turntolerance" (degrees) and "sweepangle".
    explicit cl_FocusSeqAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "FocusAction"; }
    void WriteXml(TiXmlElement& element) const override;
    // The focus is on target, has given up, or was replaced by another: finished with success.
    void OnDone(int result) override;
    // Gives the sync token back; after an abort, a character that got its focus stops focusing, while a
    // finished sequence leaves it looking.
    void Stop(bool aborted) override;

protected:
    // A target that resolves to nothing is logged, and the action finishes.
    void Start() override;

private:
    // Where the engine has a scene node for the target: a location of the current scene, else a node of
    // that name.
    bool FindTargetPoint(Ogre::Vector3& point) const;

    std::string m_charRef;
    std::string m_targetRef;
    bool m_turn = false;
    float m_turnTolerance = 0.0f;
    float m_sweepAngle = 0.0f;
};
