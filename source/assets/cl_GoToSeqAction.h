#pragma once

#include "assets/cl_SeqAction.h"

// Jumps to a marker of its sequence: "targetmarker" names it, or picks one at random ("random", a
// separator and a count: one of the markers "0" to count - 1).
class cl_GoToSeqAction : public cl_SeqAction
{
public:
    // Reads the base's data and "targetmarker".
    explicit cl_GoToSeqAction(const TiXmlElement* element);

    std::string GetTypeName() const override;
    // The base's attributes and "targetmarker".
    void WriteXml(TiXmlElement& element) const override;

protected:
    // Reports started, has the sequence go to the marker (an unknown one changes nothing), then finishes.
    void Start() override;

private:
    std::string m_targetMarker;
};
