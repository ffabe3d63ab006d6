#pragma once

#include "assets/cl_NonInstantSeqAction.h"

// Turns a character's body toward "camera", a scene object or a scene node, within "turntolerance"
// degrees.
class cl_TurnToSeqAction : public cl_NonInstantSeqAction
{
public:
    // Reads "charref", "targetref" and "turntolerance".
    explicit cl_TurnToSeqAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "TurnToAction"; }
    void WriteXml(TiXmlElement& element) const override;
    // A failed turn (2) is logged; the action finishes with success either way.
    void OnDone(int result) override;
    // Gives the sync token back and ends the character's turn when it still is this action's.
    void Stop(bool aborted) override;

protected:
    // An unknown character or target is logged, and the action finishes.
    void Start() override;

private:
    void Fail(const char* reason);

    std::string m_charRef;
    std::string m_targetRef;
    float m_turnTolerance = 0.0f;
};
