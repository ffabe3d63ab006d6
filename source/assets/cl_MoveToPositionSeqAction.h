#pragma once

#include "assets/cl_BaseMoveToSeqAction.h"

// The walk onto a named location of the current scene ("locationref", "op" the scene's resolution),
// within a position and a rotation tolerance.
class cl_MoveToPositionSeqAction : public cl_BaseMoveToSeqAction
{
public:
    // Reads "locationref"; "exactrot" "false" allows 360 degrees, "rottol" a number of them; "exactpos"
    // "false" allows 50, "postol" a distance. Else both are 0.
    explicit cl_MoveToPositionSeqAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "MoveToPositionAction"; }
    void WriteXml(TiXmlElement& element) const override;

    float GetPositionTolerance() const { return m_positionTolerance; }
    float GetRotationTolerance() const { return m_rotationTolerance; }

protected:
    void Start() override;
    void LogFailure() const override;

private:
    std::string m_locationRef;
    float m_positionTolerance = 0.0f;
    float m_rotationTolerance = 0.0f;
};
