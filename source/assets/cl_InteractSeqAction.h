#pragma once

#include "assets/cl_SeqAction.h"

// Sends an interaction event of its own to an item: "interactionmode" as the event to the item
// "itemref", with the id "handitemref" as its data.
class cl_InteractSeqAction : public cl_SeqAction
{
public:
    explicit cl_InteractSeqAction(const TiXmlElement* element);

    std::string GetTypeName() const override;
    // The base's attributes and the three of the action.
    void WriteXml(TiXmlElement& element) const override;

protected:
    // Reports started, sends the event at once when the items pool has the item (its data "handitemref"
    // as a string, or an empty argument when that is empty), then finishes. An unknown item is no fault.
    void Start() override;

private:
    std::string m_itemRef;
    std::string m_handItemRef;
    std::string m_interactionMode;
};
