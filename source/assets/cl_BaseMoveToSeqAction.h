#pragma once

#include "assets/cl_NonInstantSeqAction.h"

namespace Ogre
{
class SceneNode;
}

// The base of the walks of a character ("movingcharacter", empty or "avatar" the current one) to a
// node. Walks keep the foreground interruptible and ignore a skip. A walk that cannot start is logged
// and the action finishes; one the character fails at (2) logs the type's failure line. Stop ends only
// the character's action that still is this one's.
class cl_BaseMoveToSeqAction : public cl_NonInstantSeqAction
{
public:
    // Reads "movingcharacter".
    explicit cl_BaseMoveToSeqAction(const TiXmlElement* element);

    void WriteXml(TiXmlElement& element) const override;
    void Skip() override {}
    void OnDone(int result) override;
    void Stop(bool aborted) override;

    // The node a walk aims at: "op" is where the scene resolves the moving character's position, any
    // other name a scene node of that name. Null for none.
    Ogre::SceneNode* FindTargetNode(const std::string& name) const;

protected:
    // Walks the moving character to node to examine target (distance 0 or less: the character's own).
    void Examine(Ogre::SceneNode* node, const std::string& target, float distance);
    void Examine(const std::string& location, const std::string& target, float distance);
    // Walks the moving character onto the node of location within the tolerances.
    void MoveTo(const std::string& location, float positionTolerance, float rotationTolerance);
    // The type's failure line.
    virtual void LogFailure() const = 0;

    const std::string& GetMovingCharacter() const { return m_movingCharacter; }

private:
    // The moving character and the target node, each logged when missing; finishes then. Null then.
    cl_Character* Walker(const Ogre::SceneNode* node, const std::string& location);

    std::string m_movingCharacter;
};
