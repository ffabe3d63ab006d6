#pragma once

#include "assets/cl_SeqAction.h"

// Shows a text of the text pool as the on-screen label "onscreen" for its reading time (0.075 s per
// byte, at least 2 s).
class cl_OnScreenTextSeqAction : public cl_SeqAction
{
public:
    // Reads "textref".
    explicit cl_OnScreenTextSeqAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "OnScreenTextAction"; }
    void WriteXml(TiXmlElement& element) const override;
    void Update(float dt) override;
    // Hides the text at once; there is no lock.
    void Skip() override;
    // A text still shown is hidden.
    void Stop(bool aborted) override;

protected:
    // A text the pool lacks is logged and the action finishes.
    void Start() override;

private:
    std::string m_textRef;
    float m_remaining = 0.0f;
};
