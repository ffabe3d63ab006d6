#pragma once

#include "assets/cl_BaseMoveToSeqAction.h"

// The walk to an item of the current scene ("itemref"), to examine it.
class cl_MoveToSeqAction : public cl_BaseMoveToSeqAction
{
public:
    // Reads "itemref".
    explicit cl_MoveToSeqAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "MoveToAction"; }
    void WriteXml(TiXmlElement& element) const override;

protected:
    void Start() override;
    void LogFailure() const override;

private:
    std::string m_itemRef;
};
