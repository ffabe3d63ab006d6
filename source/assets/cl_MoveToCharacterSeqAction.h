#pragma once

#include "assets/cl_BaseMoveToSeqAction.h"

// The walk to the location where the current scene records a character ("characterref"), up to the
// character's examine distance (280 when it has none).
class cl_MoveToCharacterSeqAction : public cl_BaseMoveToSeqAction
{
public:
    // Reads "characterref".
    explicit cl_MoveToCharacterSeqAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "MoveToCharacterAction"; }
    void WriteXml(TiXmlElement& element) const override;

protected:
    void Start() override;
    void LogFailure() const override;

private:
    std::string m_characterRef;
};
