#pragma once

#include "assets/cl_SeqAction.h"
#include "graphics/cl_Curtain.h"

// The base of the fades of the scene's curtain to or from black over "duration" seconds: the action
// lasts until the curtain reports the end state. A skip ends the fade at once in its end state.
class cl_CurtainFadeAction : public cl_SeqAction, public ICurtainListener
{
public:
    // Leaves the curtain's listeners.
    ~cl_CurtainFadeAction() override;

    void WriteXml(TiXmlElement& element) const override;
    // Puts the curtain in the end state, unreported, and ends the action: a fade to black reports it
    // aborted, a fade from black done (both with success).
    void Skip() override;
    void NotifyFadedToBlack() override;
    void NotifyFadedIn() override;

protected:
    // Reads "duration".
    cl_CurtainFadeAction(const TiXmlElement* element, bool toBlack);
    // Without a curtain the action finishes at once.
    void Start() override;

private:
    // The curtain's report of the end state this fade waits for.
    void Reached();

    float m_duration = 0.0f;
    bool m_toBlack;
    bool m_listening = false;
};
