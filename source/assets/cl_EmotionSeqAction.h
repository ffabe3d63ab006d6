#pragma once

#include "assets/cl_SeqAction.h"

// Shows an emotion on a character's face: for "duration" seconds with "temp", else until another one
// replaces it (no end, no fade-out).
class cl_EmotionSeqAction : public cl_SeqAction
{
public:
    // Reads "charref", "emotion", "temp", "fadein", "fadeout", "duration" and "strength".
    explicit cl_EmotionSeqAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "EmotionAction"; }
    void WriteXml(TiXmlElement& element) const override;

protected:
    // A character without face is logged; the action finishes at once either way.
    void Start() override;

private:
    std::string m_charRef;
    std::string m_emotion;
    bool m_temporary = false;
    float m_fadeIn = 0.5f;
    float m_fadeOut = 0.5f;
    float m_duration = 0.0f;
    float m_strength = 1.0f;
};
