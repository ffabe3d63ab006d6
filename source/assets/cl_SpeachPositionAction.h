#pragma once

#include "assets/cl_SeqAction.h"

// Sets where a character's subtitles appear: "relative" to its head by an offset, or at an "absolute"
// screen position ("offsetX", "offsetY").
class cl_SpeachPositionAction : public cl_SeqAction
{
public:
    // Reads "charref" ("avatar" by default), "offsettype", "offsetX" and "offsetY".
    explicit cl_SpeachPositionAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "SpeachPositionAction"; }
    void WriteXml(TiXmlElement& element) const override;

protected:
    // An unknown character changes nothing. An unknown "offsettype" keeps the character's mode, with a
    // warning, and still sets the offset.
    void Start() override;

private:
    std::string m_charRef = "avatar";
    std::string m_offsetType;
    float m_offsetX = 0.0f;
    float m_offsetY = 0.0f;
};
