#include "assets/cl_MoveToInteractionTargetSeqAction.h"

cl_MoveToInteractionTargetSeqAction::cl_MoveToInteractionTargetSeqAction(const TiXmlElement* element)
    : cl_NonInstantSeqAction(element)
{
    SetKeepsInterruptible(true);
}

std::string cl_MoveToInteractionTargetSeqAction::GetTypeName() const
{
    return "MoveToInteractionTargetAction";
}

void cl_MoveToInteractionTargetSeqAction::OnDone(int)
{
    Finish(true);
}

void cl_MoveToInteractionTargetSeqAction::Start()
{
    OnStarted();
    OnDone(RESULT_FINISHED);
}
