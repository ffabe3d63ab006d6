#pragma once

#include "assets/cl_SeqAction.h"

// A named point a go-to can jump to: activating it finishes it at once, and its triggers carry the
// sequence on from there.
class cl_MarkerSeqAction : public cl_SeqAction
{
public:
    // Reads the base's data and "marker", the name.
    explicit cl_MarkerSeqAction(const TiXmlElement* element);

    std::string GetTypeName() const override;
    // The base's attributes and "marker".
    void WriteXml(TiXmlElement& element) const override;

    const std::string& GetMarker() const { return m_marker; }

protected:
    // Reports started and finishes.
    void Start() override;

private:
    std::string m_marker;
};
