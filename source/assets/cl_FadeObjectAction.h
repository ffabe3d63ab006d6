#pragma once

#include "assets/cl_AlphaFadeAction.h"

// Fades the alpha of one texture unit of a scene object's material.
class cl_FadeObjectAction : public cl_AlphaFadeAction
{
public:
    // Reads "object", "submesh", "subEntity", "pass", "textureUnit" and the fade's numbers.
    explicit cl_FadeObjectAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "FadeObjectAction"; }

protected:
    bool FindTarget() override;
    void ApplyAlpha(float alpha) override;
    void WriteTarget(TiXmlElement& element) const override;

private:
    std::string m_object;
    std::string m_subMesh;
    int m_subEntity = 0;
    int m_pass = 0;
    int m_textureUnit = 0;
};
