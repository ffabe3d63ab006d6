#pragma once

#include "assets/cl_SeqAction.h"

// Puts a scene object ("charref", empty or "avatar" the current character) at once where an animation
// starts, and activates it.
class cl_PlaceAtAnimoAction : public cl_SeqAction
{
public:
    // Reads "charref" and "animationname".
    explicit cl_PlaceAtAnimoAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "PlaceAtAnimoAction"; }
    void WriteXml(TiXmlElement& element) const override;

protected:
    // An unknown object is logged; the action finishes either way.
    void Start() override;

private:
    std::string m_charRef;
    std::string m_animation;
};
