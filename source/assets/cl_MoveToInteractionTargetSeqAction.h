#pragma once

#include "assets/cl_NonInstantSeqAction.h"

// The current character's walk to the object its sequence's interaction is on. The foreground stays
// interruptible while it walks. Characters cannot walk yet: the walk starts and arrives at once.
class cl_MoveToInteractionTargetSeqAction : public cl_NonInstantSeqAction
{
public:
    explicit cl_MoveToInteractionTargetSeqAction(const TiXmlElement* element);

    std::string GetTypeName() const override;
    // The walk has ended, however it went: the action finishes with success.
    void OnDone(int result) override;

protected:
    // Reports the walk begun and ended.
    void Start() override;
};
