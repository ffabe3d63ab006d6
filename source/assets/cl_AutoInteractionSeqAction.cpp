#include "assets/cl_AutoInteractionSeqAction.h"

#include "assets/cl_PoolManager.h"
#include "assets/cl_SequenceAsset.h"

std::string cl_AutoInteractionSeqAction::GetTypeName() const
{
    return "AutoInteractionAction";
}

void cl_AutoInteractionSeqAction::Start()
{
    NotifyStarted();
    const cl_SequenceAsset* sequence = GetSequence();
    cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (sequence && sequence->GetInteractionTarget() && pools)
    {
        cl_Argument usedItem;
        if (const cl_Asset* item = sequence->GetUsedItem())
            usedItem.SetString(item->GetId());
        pools->SendToAsset(sequence->GetInteractionTarget(), sequence->GetCallerName(), usedItem, 0.0f);
    }
    Finish(true);
}
