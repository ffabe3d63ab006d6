#pragma once

#include "assets/cl_AlphaFadeAction.h"

class cl_Patch;

// Fades the alpha of a backdrop patch of the current scene.
class cl_FadePatchAction : public cl_AlphaFadeAction
{
public:
    // Reads "patchname" and the fade's numbers.
    explicit cl_FadePatchAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "FadePatchAction"; }

protected:
    bool FindTarget() override;
    void ApplyAlpha(float alpha) override;
    void WriteTarget(TiXmlElement& element) const override;

private:
    std::string m_patchName;
    cl_Patch* m_patch = nullptr;
};
