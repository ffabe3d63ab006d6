#include "assets/cl_LogicalAndSeqAction.h"

#include "assets/cl_SequenceAsset.h"

void cl_LogicalAndSeqAction::OnTriggered(cl_BaseActionTrigger*)
{
    cl_SequenceAsset* sequence = GetSequence();
    if (!sequence)
        return;
    ++m_triggerCount;
    if (m_triggerCount == sequence->CountTriggersTo(*this))
        sequence->ActivateAction(this);
}

void cl_LogicalAndSeqAction::Reset()
{
    cl_SeqAction::Reset();
    m_triggerCount = 0;
}

std::string cl_LogicalAndSeqAction::GetTypeName() const
{
    return "LogicalAndAction";
}

void cl_LogicalAndSeqAction::Start()
{
    NotifyStarted();
    Finish(true);
}
