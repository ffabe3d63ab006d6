#include "gamecomponents/cl_Inventory.h"

#include "assets/cl_Asset.h"
#include "assets/cl_AssetLogic.h"
#include "assets/cl_GameState.h"
#include "assets/cl_ItemPool.h"
#include "assets/cl_PoolManager.h"
#include "common/CommandArguments.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlName.h"
#include "common/cl_Command.h"

#include <tinyxml.h>

namespace
{
const char* const RECEIVER = "inventory";
const char* const ICON_TAGS = "icontags";
} // namespace

cl_Inventory::cl_Inventory(cl_CommandDistributor& distributor) : m_receiver(distributor, RECEIVER, this)
{
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->AddListener(this);
}

cl_Inventory::~cl_Inventory()
{
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->RemoveListener(this);
}

void cl_Inventory::TellInventoryChanged()
{
    m_listeners.Tell([](IInventoryListener& listener) { listener.OnInventoryChanged(); });
}

TiXmlElement* cl_Inventory::FindCharacterNode(const std::string& characterId) const
{
    return m_inventoryElement
               ? FindChildWithAttribute(*m_inventoryElement, "character", "characterid", characterId)
               : nullptr;
}

TiXmlElement* cl_Inventory::FindItem(const std::string& characterId, const std::string& itemId) const
{
    TiXmlElement* character = FindCharacterNode(characterId);
    return character ? FindChildWithAttribute(*character, "item", "itemid", itemId) : nullptr;
}

void cl_Inventory::AddItem(const std::string& itemId, const std::string& characterId)
{
    if (!m_inventoryElement || FindItem(characterId, itemId))
        return;
    TiXmlElement* character = FindCharacterNode(characterId);
    if (!character)
    {
        character = AppendChild(*m_inventoryElement, "character");
        character->SetAttribute("characterid", characterId);
    }
    AppendChild(*character, "item")->SetAttribute("itemid", itemId);
    const bool current = characterId == m_currentCharacter;
    m_listeners.Tell([&itemId, current](IInventoryListener& listener)
                     { listener.OnItemAdded(itemId, current); });
}

void cl_Inventory::RemoveItem(const std::string& itemId, const std::string& characterId)
{
    TiXmlElement* item = FindItem(characterId, itemId);
    if (!item)
        return;
    FindCharacterNode(characterId)->RemoveChild(item);
    const bool current = characterId == m_currentCharacter;
    m_listeners.Tell([&itemId, current](IInventoryListener& listener)
                     { listener.OnItemRemoved(itemId, current); });
}

void cl_Inventory::ClearInventory(const std::string& characterId)
{
    TiXmlElement* character = FindCharacterNode(characterId);
    if (!character)
        return;
    while (TiXmlElement* item = character->FirstChildElement("item"))
        character->RemoveChild(item);
    TellInventoryChanged();
}

void cl_Inventory::SetItemIconTag(const std::string& itemId, const std::string& tag)
{
    // The tags are saved as elements named by the item id; another id would make the save unreadable.
    if (!IsXmlName(itemId))
    {
        LOG_ERROR("The item id '%s' cannot name an icon tag; the tag is not set.", itemId.c_str());
        return;
    }
    if (tag.empty())
        m_iconTags.erase(itemId);
    else
        m_iconTags[itemId] = tag;
    if (FindItem(m_currentCharacter, itemId))
        m_listeners.Tell([&itemId](IInventoryListener& listener) { listener.OnItemIconTagChanged(itemId); });
}

std::string cl_Inventory::GetItemIconTag(const std::string& itemId) const
{
    const auto found = m_iconTags.find(itemId);
    return found == m_iconTags.end() ? std::string() : found->second;
}

std::string cl_Inventory::ItemOfCaller(const cl_Command& cmd, bool charactersToo)
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (!pools)
        return std::string();
    const std::string callerId = StringArgument(cmd, 0);
    const cl_Asset* caller =
        charactersToo ? pools->FindItemOrCharacter(callerId) : pools->GetItemPool()->FindAsset(callerId);
    const cl_AssetLogic* logic = caller ? caller->GetLogic() : nullptr;
    return logic ? logic->GetParam(StringArgument(cmd, 1)) : std::string();
}

bool cl_Inventory::ExecuteCmd(cl_Command& cmd)
{
    const int count = cmd.m_arguments.GetSize();
    const bool addItem = cmd.m_name == "AddItem";
    if (addItem || cmd.m_name == "RemoveItem")
    {
        if ((count != 1 && count != 2) || !CheckArguments(cmd, RECEIVER, count == 1 ? "s" : "ss"))
        {
            LOG_WARNING("inventory %s takes an item id, or a caller id and a parameter name.",
                        cmd.m_name.c_str());
            return false;
        }
        const std::string itemId = count == 1 ? StringArgument(cmd, 0) : ItemOfCaller(cmd, addItem);
        if (itemId.empty())
            return true;
        if (addItem)
            AddItem(itemId, m_currentCharacter);
        else
            RemoveItem(itemId, m_currentCharacter);
        return true;
    }
    if (cmd.m_name == "ClearInventory")
    {
        if (count > 1 || !CheckArguments(cmd, RECEIVER, "o"))
        {
            LOG_WARNING("inventory ClearInventory takes nothing or a character id.");
            return false;
        }
        ClearInventory(count == 0 ? m_currentCharacter : StringArgument(cmd, 0));
        return true;
    }
    if (cmd.m_name == "SetItemIconTag")
    {
        if (count == 2 && CheckArguments(cmd, RECEIVER, "ss"))
            SetItemIconTag(StringArgument(cmd, 0), StringArgument(cmd, 1));
        else
            LOG_WARNING("inventory SetItemIconTag takes an item id and a tag.");
        return false;
    }
    LOG_WARNING("inventory: unknown command '%s'.", cmd.m_name.c_str());
    return false;
}

void cl_Inventory::NotifyGameStateCleared()
{
    m_inventoryElement = nullptr;
}

void cl_Inventory::NotifyChapterChanged()
{
    m_inventoryElement = nullptr;
    TellInventoryChanged();
}

void cl_Inventory::NotifyGameStateLoading() {}

void cl_Inventory::NotifyGameStateLoaded(cl_GameState* gameState)
{
    m_inventoryElement = gameState ? gameState->GetInventoryState() : nullptr;
    m_iconTags.clear();
    const TiXmlElement* tags =
        m_inventoryElement ? m_inventoryElement->FirstChildElement(ICON_TAGS) : nullptr;
    for (const TiXmlElement* tag = tags ? tags->FirstChildElement() : nullptr; tag;
         tag = tag->NextSiblingElement())
    {
        const TiXmlNode* text = tag->FirstChild();
        m_iconTags[tag->ValueStr()] = text && text->ToText() ? text->ValueStr() : std::string();
    }
    TellInventoryChanged();
}

void cl_Inventory::NotifyGameStateSaving(cl_GameState* /*gameState*/)
{
    if (!m_inventoryElement)
        return;
    TiXmlElement* tags = m_inventoryElement->FirstChildElement(ICON_TAGS);
    if (tags)
        tags->Clear();
    else
        tags = AppendChild(*m_inventoryElement, ICON_TAGS);
    for (const auto& entry : m_iconTags)
    {
        auto* tag = new TiXmlElement(entry.first);
        tag->LinkEndChild(new TiXmlText(entry.second));
        tags->LinkEndChild(tag);
    }
}
