#pragma once

#include "assets/cl_CurtainFadeAction.h"

// Fades the screen from black through the scene's curtain.
class cl_FadeFromBlackAction : public cl_CurtainFadeAction
{
public:
    explicit cl_FadeFromBlackAction(const TiXmlElement* element) : cl_CurtainFadeAction(element, false) {}

    std::string GetTypeName() const override { return "FadeFromBlackAction"; }
};
