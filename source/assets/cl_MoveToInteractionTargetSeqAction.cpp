#include "assets/cl_MoveToInteractionTargetSeqAction.h"

#include "assets/cl_Asset.h"
#include "assets/cl_SceneAsset.h"
#include "assets/cl_SequenceAsset.h"
#include "common/LogCall.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_Inventory.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneObject.h"

namespace
{
bool IsCarried(const std::string& itemId)
{
    const cl_GameComponents* hub = cl_GameComponents::GetInstance();
    if (!hub)
        return false;
    const cl_Inventory& inventory = hub->GetInventory();
    return inventory.FindItem(inventory.GetCurrentCharacter(), itemId) != nullptr;
}
} // namespace

cl_MoveToInteractionTargetSeqAction::cl_MoveToInteractionTargetSeqAction(const TiXmlElement* element)
    : cl_BaseMoveToSeqAction(element)
{
}

void cl_MoveToInteractionTargetSeqAction::Start()
{
    const cl_SequenceAsset* sequence = GetSequence();
    const cl_Asset* target = sequence ? sequence->GetInteractionTarget() : nullptr;
    if (!target || IsCarried(target->GetId()))
    {
        if (!target)
            LOG_WARNING("MoveToInteractionTargetAction does nothing because no InteractionTarget is set!");
        else
            LOG_WARNING("MoveToInteractionTargetAction does nothing because the InteractionTarget is in the "
                        "inventory!");
        NotifyStarted();
        Finish(true);
        return;
    }
    const cl_Scene* scene = cl_Camera::CurrentScene();
    if (!scene || !scene->GetAsset())
    {
        LogFailure();
        Finish(true);
        return;
    }
    const std::string id = target->GetId();
    cl_ItemManager* items = cl_ItemManager::GetInstance();
    cl_SceneObject* object = items ? items->GetItemObject(id) : nullptr;
    if (!object)
        object = cl_SceneObject::ResolveByName(id);
    if (object)
    {
        object->ApplySlaveTagPoints();
        Examine(object->GetSceneNode(), id, -1.0f);
        return;
    }
    Examine(scene->GetAsset()->FindObjectLocation(id), id, -1.0f);
}

void cl_MoveToInteractionTargetSeqAction::LogFailure() const
{
    LOG_ERROR("MoveToInteractionTargetAction failed to positon the avatar!");
}
