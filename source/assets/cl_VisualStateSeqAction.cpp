#include "assets/cl_VisualStateSeqAction.h"

#include "assets/cl_CharacterPool.h"
#include "assets/cl_GameState.h"
#include "assets/cl_ItemAsset.h"
#include "assets/cl_ItemPool.h"
#include "assets/cl_PoolManager.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_SceneObject.h"

#include <tinyxml.h>

namespace
{
cl_ItemAsset* FindItemOrCharacterAsset(const std::string& id)
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (!pools)
        return nullptr;
    cl_Asset* asset = pools->GetCharacterPool()->FindAsset(id);
    if (!asset)
        asset = pools->GetItemPool()->FindAsset(id);
    return dynamic_cast<cl_ItemAsset*>(asset);
}
} // namespace

cl_VisualStateSeqAction::cl_VisualStateSeqAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (!element)
        return;
    m_assetId = AttributeOrEmpty(*element, "assetid");
    m_visualState = AttributeOrEmpty(*element, "visualstate");
}

void cl_VisualStateSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("assetid", m_assetId);
    element.SetAttribute("visualstate", m_visualState);
}

void cl_VisualStateSeqAction::Start()
{
    NotifyStarted();
    std::string id = m_assetId;
    const cl_GameState* state = cl_GameState::GetInstance();
    if (id == "avatar" && state)
        id = state->GetCurrentCharacterId();
    bool found = false;
    if (cl_ItemAsset* asset = FindItemOrCharacterAsset(id))
    {
        asset->SetVisualisation(m_visualState);
        found = true;
    }
    if (cl_SceneObject* object = cl_SceneObject::ResolveByName(m_assetId))
    {
        object->SetVisualState(m_visualState);
        found = true;
    }
    const cl_ItemManager* items = cl_ItemManager::GetInstance();
    const auto item =
        items ? items->GetItems().find(id) : std::map<std::string, cl_ItemEntry*>::const_iterator();
    if (items && item != items->GetItems().end() && item->second->sceneItem)
    {
        item->second->sceneItem->SetVisualState(m_visualState);
        found = true;
    }
    if (!found)
    {
        const std::string actionId = GetId();
        LOG_ERROR("SetVisualStateAction '%s' could not find an asset, character or item called '%s'!",
                  actionId.c_str(), m_assetId.c_str());
    }
    Finish(true);
}
