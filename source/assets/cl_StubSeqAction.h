#pragma once

#include "assets/cl_SeqAction.h"

// Stands in for an action still to be made: it does nothing and finishes at once. "stubtype" labels what
// it stands for; its text is a note.
class cl_StubSeqAction : public cl_SeqAction
{
public:
    explicit cl_StubSeqAction(const TiXmlElement* element);

    // Hides the on-screen hint, then ends as the base's skip does.
    void Skip() override;
    std::string GetTypeName() const override;
    // The base's attributes, "stubtype" and the note as text.
    void WriteXml(TiXmlElement& element) const override;

protected:
    // Reports started and finishes.
    void Start() override;

private:
    std::string m_stubType;
    std::string m_note;
};
