#pragma once

#include "assets/cl_SeqAction.h"

// Sets a visual state ("visualstate") on an asset, a character or an item ("assetid", "avatar" the
// current character): in the asset's state, on the scene object and on the loaded item alike.
class cl_VisualStateSeqAction : public cl_SeqAction
{
public:
    // Reads "assetid" and "visualstate".
    explicit cl_VisualStateSeqAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "VisualStateAction"; }
    void WriteXml(TiXmlElement& element) const override;

protected:
    // An id that names none of the three is logged; the action finishes either way.
    void Start() override;

private:
    std::string m_assetId;
    std::string m_visualState;
};
