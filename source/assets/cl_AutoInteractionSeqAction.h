#pragma once

#include "assets/cl_SeqAction.h"

// The interaction itself, as the click asked for it: sends the sequence's caller name (the interaction
// mode, "used_by" or "examine") as an event to its interaction target, with the used item's id.
class cl_AutoInteractionSeqAction : public cl_SeqAction
{
public:
    using cl_SeqAction::cl_SeqAction;

    std::string GetTypeName() const override;

protected:
    // Reports started, sends the event at once when the sequence has an interaction target (its data the
    // used item's id as a string, else an empty argument), then finishes.
    void Start() override;
};
