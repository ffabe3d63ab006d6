#pragma once

#include "assets/cl_SeqAction.h"

#include <cstdint>

// Joins branches: activated once every trigger of its sequence that points at it has fired, then finishes
// at once with success.
class cl_LogicalAndSeqAction : public cl_SeqAction
{
public:
    using cl_SeqAction::cl_SeqAction;

    // Counts the firing; the one that makes the count reach the number of the sequence's triggers that
    // point at the action activates it. Without a sequence nothing happens.
    void OnTriggered(cl_BaseActionTrigger* trigger) override;
    // Also forgets the firings counted.
    void Reset() override;
    std::string GetTypeName() const override;

protected:
    // Reports started, then finishes with success.
    void Start() override;

private:
    uint32_t m_triggerCount = 0;
};
