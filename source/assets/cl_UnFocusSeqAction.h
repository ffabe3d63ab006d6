#pragma once

#include "assets/cl_SeqAction.h"

// Makes a character stop looking at what it focuses.
class cl_UnFocusSeqAction : public cl_SeqAction
{
public:
    // Reads "charref".
    explicit cl_UnFocusSeqAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "UnFocusAction"; }
    void WriteXml(TiXmlElement& element) const override;

protected:
    // An unknown character is logged; the action finishes either way.
    void Start() override;

private:
    std::string m_charRef;
};
