#pragma once

#include "assets/cl_SeqAction.h"

// Sets how far a character's eyes sweep while it focuses ("eyesweepangle").
class cl_EyeSweepAction : public cl_SeqAction
{
public:
    // Reads "charref" ("avatar" by default) and "eyesweepangle".
    explicit cl_EyeSweepAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "EyeSweepAction"; }
    void WriteXml(TiXmlElement& element) const override;

protected:
    // An unknown character changes nothing.
    void Start() override;

private:
    std::string m_charRef = "avatar";
    float m_angle = 0.0f;
};
