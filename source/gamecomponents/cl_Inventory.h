#pragma once

#include "assets/IGameStateListener.h"
#include "common/ICommandReceiver.h"
#include "common/ListenerList.h"
#include "common/cl_ReceiverRegistration.h"

#include <map>
#include <string>

class TiXmlElement;
class cl_CommandDistributor;

// Told of changes of the inventories; the inventory view listens.
class IInventoryListener
{
public:
    // forCurrentCharacter: the item went to (or left) the character the player controls.
    virtual void OnItemAdded(const std::string& itemId, bool forCurrentCharacter) = 0;
    virtual void OnItemRemoved(const std::string& itemId, bool forCurrentCharacter) = 0;
    // The icon tag of an item the current character carries changed.
    virtual void OnItemIconTagChanged(const std::string& itemId) = 0;
    // Show the whole inventory anew.
    virtual void OnInventoryChanged() = 0;

protected:
    // Listeners are never deleted through this interface.
    ~IInventoryListener() = default;
};

// Which items each character carries, in the game state's "inventory" element ("character" elements with
// "characterid", holding "item" elements with "itemid" in the order received), and an icon tag per item,
// kept here and written to "inventory/icontags/<item id>" when the game is saved. The item operations need
// the element: before the first load and after a clear or chapter change they do nothing. The icon tags
// survive a clear and a chapter change; a load replaces them. It is the receiver "inventory".
class cl_Inventory : public IGameStateListener, public ICommandReceiver
{
public:
    // Registers as the receiver "inventory" with distributor, which must outlive it, and with the game
    // state when there is one; that must then outlive it too.
    explicit cl_Inventory(cl_CommandDistributor& distributor);
    ~cl_Inventory() override;
    cl_Inventory(const cl_Inventory&) = delete;
    cl_Inventory& operator=(const cl_Inventory&) = delete;

    // Listeners are not owned, told in the order they were added.
    void AddListener(IInventoryListener* listener) { m_listeners.Add(listener); }
    void RemoveListener(const IInventoryListener* listener) { m_listeners.Remove(listener); }

    // The character the player controls (set by the hub, not saved); empty at start.
    const std::string& GetCurrentCharacter() const { return m_currentCharacter; }
    void SetCurrentCharacter(const std::string& characterId) { m_currentCharacter = characterId; }
    // Whether there is an inventory element to show.
    bool HasInventoryElement() const { return m_inventoryElement != nullptr; }
    // Tells every listener OnInventoryChanged.
    void TellInventoryChanged();

    // The character's "character" element, or null. Elements belong to the game-state tree.
    TiXmlElement* FindCharacterNode(const std::string& characterId) const;
    // The character's "item" element for the item, or null.
    TiXmlElement* FindItem(const std::string& characterId, const std::string& itemId) const;
    // Appends the item to the character's items and tells OnItemAdded; nothing when it carries it already.
    void AddItem(const std::string& itemId, const std::string& characterId);
    // Removes the item and tells OnItemRemoved; nothing when the character does not carry it.
    void RemoveItem(const std::string& itemId, const std::string& characterId);
    // Removes every item of the character (its element stays) and tells OnInventoryChanged; nothing when the
    // character has no element.
    void ClearInventory(const std::string& characterId);

    // An empty tag removes the item's tag. Tells OnItemIconTagChanged when the current character carries the
    // item, also when nothing changed. An item id that cannot be an XML element name (the saved form) is
    // refused with a log line: nothing changes and nobody is told.
    void SetItemIconTag(const std::string& itemId, const std::string& tag);
    // Empty when the item has no tag.
    std::string GetItemIconTag(const std::string& itemId) const;

    // The receiver "inventory": its commands, the arguments each reads and what it answers are the table
    // COMMANDS in cl_Inventory.cpp. A command missing a required argument is refused with a log line and
    // answers false (CommandArguments); so does an unknown name.
    bool ExecuteCmd(cl_Command& cmd) override;

    // Lets go of the element.
    void NotifyGameStateCleared() override;
    // Lets go of the element and tells OnInventoryChanged.
    void NotifyChapterChanged() override;
    void NotifyGameStateLoading() override;
    // Takes the tree's "inventory" element (made when missing), reads the icon tags from its "icontags"
    // element and tells OnInventoryChanged.
    void NotifyGameStateLoaded(cl_GameState* gameState) override;
    // Writes the icon tags into the one "icontags" element, replacing what it held.
    void NotifyGameStateSaving(cl_GameState* gameState) override;

private:
    TiXmlElement* m_inventoryElement = nullptr;
    ListenerList<IInventoryListener> m_listeners;
    std::string m_currentCharacter;
    std::map<std::string, std::string> m_iconTags;
    cl_ReceiverRegistration m_receiver;
};
