#include "graphics/cl_PatchAnimationInitiator.h"

#include "graphics/cl_ItemManager.h"
#include "graphics/cl_PatchItem.h"

namespace
{
cl_PatchItem* FindPatchItem(const std::string& id)
{
    cl_ItemManager* items = cl_ItemManager::GetInstance();
    return items && !id.empty() ? items->GetPatchItem(id) : nullptr;
}
} // namespace

cl_PatchAnimationInitiator::~cl_PatchAnimationInitiator()
{
    if (m_done)
        return;
    if (cl_PatchItem* item = FindPatchItem(m_id))
        item->StopAnimation();
}

void cl_PatchAnimationInitiator::PlayPatchAnimation(const std::string& id, const std::string& animation)
{
    m_done = false;
    m_id = id;
    if (cl_PatchItem* item = FindPatchItem(id))
        item->PlayAnimation(animation, this);
}

void cl_PatchAnimationInitiator::OnDone(int)
{
    m_done = true;
    m_id.clear();
}
