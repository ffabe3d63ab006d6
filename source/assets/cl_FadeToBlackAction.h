#pragma once

#include "assets/cl_CurtainFadeAction.h"

// Fades the screen to black through the scene's curtain.
class cl_FadeToBlackAction : public cl_CurtainFadeAction
{
public:
    explicit cl_FadeToBlackAction(const TiXmlElement* element) : cl_CurtainFadeAction(element, true) {}

    std::string GetTypeName() const override { return "FadeToBlackAction"; }
};
