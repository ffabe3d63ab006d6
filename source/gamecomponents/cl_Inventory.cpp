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

namespace
{
// The item id named by the logic parameter in argument 1 of the caller named by argument 0 (an item, or
// also a character); empty when any of them is missing.
std::string ItemOfCaller(const CommandArguments& args, bool charactersToo)
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (!pools)
        return std::string();
    const std::string callerId = args.String(0);
    const cl_Asset* caller =
        charactersToo ? pools->FindItemOrCharacter(callerId) : pools->GetItemPool()->FindAsset(callerId);
    const cl_AssetLogic* logic = caller ? caller->GetLogic() : nullptr;
    return logic ? logic->GetParam(args.String(1)) : std::string();
}

// With one argument, the item id; with two, the item named by the caller's parameter.
std::string ItemArgument(const CommandArguments& args, bool charactersToo)
{
    return args.Count() == 1 ? args.String(0) : ItemOfCaller(args, charactersToo);
}

struct CommandRow
{
    const char* name;
    const char* arguments;
    bool answer;
    void (*run)(cl_Inventory& inventory, const CommandArguments& args);
};

// The receiver "inventory". Item and character are the current character's unless given; a caller that
// names no asset, has no logic or no such parameter skips the work.
const CommandRow COMMANDS[] = {
    // The caller, with a param, is a character or an item.
    {"AddItem", "string item id or caller, [string param]", true,
     [](cl_Inventory& inventory, const CommandArguments& args)
     {
         const std::string itemId = ItemArgument(args, true);
         if (!itemId.empty())
             inventory.AddItem(itemId, inventory.GetCurrentCharacter());
     }},
    {"ClearInventory", "[string character id]", true,
     [](cl_Inventory& inventory, const CommandArguments& args)
     { inventory.ClearInventory(args.Has(0) ? args.String(0) : inventory.GetCurrentCharacter()); }},
    // The caller, with a param, is an item.
    {"RemoveItem", "string item id or caller, [string param]", true,
     [](cl_Inventory& inventory, const CommandArguments& args)
     {
         const std::string itemId = ItemArgument(args, false);
         if (!itemId.empty())
             inventory.RemoveItem(itemId, inventory.GetCurrentCharacter());
     }},
    {"SetItemIconTag", "string item id, string tag", false,
     [](cl_Inventory& inventory, const CommandArguments& args)
     { inventory.SetItemIconTag(args.String(0), args.String(1)); }},
};
} // namespace

bool cl_Inventory::ExecuteCmd(cl_Command& cmd)
{
    const CommandArguments args(cmd, RECEIVER);
    const CommandRow* row = args.Find(COMMANDS, true);
    if (!row)
        return false;
    row->run(*this, args);
    return row->answer;
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
