#pragma once

#include "assets/cl_BaseActionTrigger.h"

// Fires when an input ends with the outcome it waits for ("OnSuccess": success, "OnFailed": failure; a
// skip counts as success), and takes the firing back when a later end has the other outcome.
class cl_SuccessActionTrigger : public cl_BaseActionTrigger
{
public:
    cl_SuccessActionTrigger(const std::string& name, bool onSuccess);

    void OnDone(cl_SeqAction* action, bool success) override;
    void OnAborted(cl_SeqAction* action, bool success) override;
    // The base's children and "type" "OnSuccess" or "OnFailed".
    void WriteXml(TiXmlElement& element) const override;

private:
    void OnOutcome(bool success);

    bool m_onSuccess;
};
