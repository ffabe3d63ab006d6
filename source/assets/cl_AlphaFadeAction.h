#pragma once

#include "assets/cl_SeqAction.h"

// The base of the fades of an alpha from "startalpha" to "endalpha" over "fadetime" seconds. A skip or
// the end of the sequence lets a fade run on to its end value. A target that cannot be found is logged by
// the derived type and the action finishes.
class cl_AlphaFadeAction : public cl_SeqAction
{
public:
    // Reads "startalpha" (1), "endalpha" (0) and "fadetime" (1); a number that does not parse keeps its
    // default.
    explicit cl_AlphaFadeAction(const TiXmlElement* element);

    // Writes the three numbers as whole numbers, after what the derived type writes.
    void WriteXml(TiXmlElement& element) const override;
    void Update(float dt) override;
    void Skip() override {}

protected:
    // Finds the target and shows the start alpha; a missing target finishes the action.
    void Start() override;
    // The target of the fade, found anew for every run; false (logged) when there is none.
    virtual bool FindTarget() = 0;
    virtual void ApplyAlpha(float alpha) = 0;
    // The derived type's attributes, written before the fade's numbers.
    virtual void WriteTarget(TiXmlElement& element) const = 0;

private:
    float m_startAlpha = 1.0f;
    float m_endAlpha = 0.0f;
    float m_fadeTime = 1.0f;
    float m_elapsed = 0.0f;
    bool m_running = false;
};
