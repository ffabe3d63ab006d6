#include "gamecomponents/cl_Inventory.h"

#include "common/cl_Logger.h"
#include "support/ArgumentText.h"
#include "support/AssetWorld.h"
#include "support/PrintedXml.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>
#include <vector>

namespace
{
// Writes each notification as one line, e.g. "added items_key current".
class RecordingInventoryListener : public IInventoryListener
{
public:
    virtual ~RecordingInventoryListener() = default;
    void OnItemAdded(const std::string& itemId, bool current) override { Add("added", itemId, current); }
    void OnItemRemoved(const std::string& itemId, bool current) override { Add("removed", itemId, current); }
    void OnItemIconTagChanged(const std::string& itemId) override { lines.push_back("icon " + itemId); }
    void OnInventoryChanged() override { lines.push_back("changed"); }

    std::vector<std::string> lines;

private:
    void Add(const char* what, const std::string& itemId, bool current)
    {
        lines.push_back(std::string(what) + " " + itemId + (current ? " current" : " other"));
    }
};

// The demo's first chapter as a new game, with an inventory whose current character is the hero.
class InventoryTest : public testing::Test
{
protected:
    InventoryTest()
    {
        m_inventory.AddListener(&m_listener);
        m_world.LoadChapter(DemoChapterFolder());
    }
    ~InventoryTest() override { m_inventory.RemoveListener(&m_listener); }
    // Also run again by table tests, for a fresh new game per case.
    void SetUp() override
    {
        ASSERT_TRUE(m_world.LoadGameState(DemoNewGameState()));
        // The cases start from a hero who has carried nothing yet; the demo's hero starts with a cloth.
        TiXmlElement* hero = m_inventory.FindCharacterNode("characters_hero");
        ASSERT_NE(hero, nullptr);
        hero->Parent()->RemoveChild(hero);
        m_inventory.SetCurrentCharacter("characters_hero");
        m_listener.lines.clear();
        m_world.log.Clear();
    }

    // The items the character carries, in order, separated by spaces.
    std::string Items(const std::string& characterId) const
    {
        const TiXmlElement* character = m_inventory.FindCharacterNode(characterId);
        if (!character)
            return "(no element)";
        std::string items;
        for (const TiXmlElement* item = character->FirstChildElement("item"); item;
             item = item->NextSiblingElement("item"))
            items += (items.empty() ? "" : " ") + std::string(item->Attribute("itemid"));
        return items;
    }
    static void Lua(const std::string& code) { ReturnedText(code); }

    AssetWorld m_world;
    cl_Inventory m_inventory{m_world.script};
    RecordingInventoryListener m_listener;
};

using Lines = std::vector<std::string>;

TEST_F(InventoryTest, CommandsChangeTheCurrentCharactersItems)
{
    const struct
    {
        const char* name;
        const char* commands;
        const char* heroItems;
        Lines told;
    } cases[] = {
        {"an item id",
         "sendcmd('inventory', 'AddItem', 'items_key')",
         "items_key",
         {"added items_key current"}},
        {"an item carried already is not added again",
         "sendcmd('inventory', 'AddItem', 'items_key') sendcmd('inventory', 'AddItem', 'items_key')",
         "items_key",
         {"added items_key current"}},
        {"a character's parameter",
         "sendcmd('inventory', 'AddItem', 'characters_hero', 'key')",
         "items_key",
         {"added items_key current"}},
        {"an item's parameter",
         "sendcmd('inventory', 'AddItem', 'items_door', 'key')",
         "items_key",
         {"added items_key current"}},
        {"a caller that is no asset",
         "sendcmd('inventory', 'AddItem', 'items_none', 'key')",
         "(no element)",
         {}},
        {"a name that is no parameter",
         "sendcmd('inventory', 'AddItem', 'items_door', 'lock')",
         "(no element)",
         {}},
        {"removed by id",
         "sendcmd('inventory', 'AddItem', 'items_key') sendcmd('inventory', 'RemoveItem', 'items_key')",
         "",
         {"added items_key current", "removed items_key current"}},
        {"removed through an item's parameter",
         "sendcmd('inventory', 'AddItem', 'items_key') sendcmd('inventory', 'RemoveItem', 'items_door', "
         "'key')",
         "",
         {"added items_key current", "removed items_key current"}},
        {"a character is no caller for a removal",
         "sendcmd('inventory', 'AddItem', 'items_key') sendcmd('inventory', 'RemoveItem', 'characters_hero', "
         "'key')",
         "items_key",
         {"added items_key current"}},
        {"an item not carried is not removed",
         "sendcmd('inventory', 'RemoveItem', 'items_key')",
         "(no element)",
         {}},
        {"cleared, the element stays",
         "sendcmd('inventory', 'AddItem', 'items_key') sendcmd('inventory', 'AddItem', 'items_lamp') "
         "sendcmd('inventory', 'ClearInventory')",
         "",
         {"added items_key current", "added items_lamp current", "changed"}},
        {"cleared by character id",
         "sendcmd('inventory', 'AddItem', 'items_key') sendcmd('inventory', 'ClearInventory', "
         "'characters_hero')",
         "",
         {"added items_key current", "changed"}},
        {"a character without element is not cleared",
         "sendcmd('inventory', 'ClearInventory')",
         "(no element)",
         {}},
        {"an icon tag of a carried item is told",
         "sendcmd('inventory', 'AddItem', 'items_key') sendcmd('inventory', 'SetItemIconTag', 'items_key', "
         "'glow')",
         "items_key",
         {"added items_key current", "icon items_key"}},
        {"an empty tag on an item without tag is told too",
         "sendcmd('inventory', 'AddItem', 'items_key') sendcmd('inventory', 'SetItemIconTag', 'items_key', "
         "'')",
         "items_key",
         {"added items_key current", "icon items_key"}},
        {"a tag of an item not carried is not told",
         "sendcmd('inventory', 'SetItemIconTag', 'items_key', 'glow')",
         "(no element)",
         {}},
    };
    for (const auto& c : cases)
    {
        SetUp();
        Lua(c.commands);
        EXPECT_EQ(Items("characters_hero"), c.heroItems) << c.name;
        EXPECT_EQ(m_listener.lines, c.told) << c.name;
        EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), 0u) << c.name;
        EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_ERROR), 0u) << c.name;
    }
}

TEST_F(InventoryTest, ExtraArgumentsAreIgnoredOtherKindsReadAsDefaultsAndMissingOnesRefuse)
{
    const char* const notString = "Stored data-type is not a 'string'.";
    const struct
    {
        const char* command; // run while the hero carries the key
        const char* heroItems;
        Lines told;
        const char* warning; // null: none
    } cases[] = {
        {"sendcmd('inventory', 'RemoveItem', 'items_door', 'key', 'x')",
         "",
         {"removed items_key current"},
         nullptr},
        {"sendcmd('inventory', 'ClearInventory', 'characters_hero', 'x')", "", {"changed"}, nullptr},
        {"sendcmd('inventory', 'SetItemIconTag', 'items_key', 'glow', 'x')",
         "items_key",
         {"icon items_key"},
         nullptr},
        {"sendcmd('inventory', 'AddItem', 5)", "items_key", {}, notString},
        {"sendcmd('inventory', 'RemoveItem', 'items_door', true)", "items_key", {}, notString},
        {"sendcmd('inventory', 'ClearInventory', 3)", "items_key", {}, notString},
        {"sendcmd('inventory', 'SetItemIconTag', 'items_key', 4)",
         "items_key",
         {"icon items_key"},
         notString},
        {"sendcmd('inventory', 'AddItem')",
         "items_key",
         {},
         "Receiver 'inventory' refused the command 'AddItem': the argument 'string item id or caller' is "
         "missing."},
        {"sendcmd('inventory', 'SetItemIconTag', 'items_key')",
         "items_key",
         {},
         "Receiver 'inventory' refused the command 'SetItemIconTag': the argument 'string tag' is missing."},
        {"sendcmd('inventory', 'GiveItem', 'items_key')",
         "items_key",
         {},
         "Receiver 'inventory' has no command 'GiveItem'."},
    };
    for (const auto& c : cases)
    {
        SetUp();
        Lua("sendcmd('inventory', 'AddItem', 'items_key')");
        m_listener.lines.clear();
        Lua(c.command);
        EXPECT_EQ(Items("characters_hero"), c.heroItems) << c.command;
        EXPECT_EQ(m_listener.lines, c.told) << c.command;
        EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), c.warning ? 1u : 0u) << c.command;
        if (c.warning)
            EXPECT_TRUE(m_world.log.Contains(c.warning, cl_Logger::LEVEL_WARNING)) << c.command;
    }
}

TEST_F(InventoryTest, AnotherCharactersItemsAreToldAsNotCurrent)
{
    m_inventory.AddItem("items_key", "characters_keeper");
    m_inventory.RemoveItem("items_key", "characters_keeper");
    EXPECT_EQ(m_listener.lines, (Lines{"added items_key other", "removed items_key other"}));
    EXPECT_EQ(Items("characters_keeper"), "");
}

TEST_F(InventoryTest, IconTagsAreWrittenOnceAndReadBackOnLoad)
{
    m_inventory.SetItemIconTag("items_key", "glow");
    m_inventory.SetItemIconTag("items_lamp", "dim");
    m_world.gameState.NotifySaving();
    const std::string saved = PrintedXml(m_world.gameState.GetRoot()->FirstChildElement("inventory"));
    m_inventory.SetItemIconTag("items_lamp", "");
    m_world.gameState.NotifySaving();
    const std::string again = PrintedXml(m_world.gameState.GetRoot()->FirstChildElement("inventory"));
    EXPECT_NE(saved.find("<items_lamp>dim</items_lamp>"), std::string::npos) << saved;
    EXPECT_EQ(again.find("<icontags"), again.rfind("<icontags")) << again;
    EXPECT_NE(again.find("<items_key>glow</items_key>"), std::string::npos) << again;
    EXPECT_EQ(again.find("items_lamp"), std::string::npos) << again;

    m_inventory.SetItemIconTag("items_key", "changed");
    TiXmlElement tree(*m_world.gameState.GetRoot());
    ASSERT_TRUE(m_world.gameState.ReplaceTree(tree));
    EXPECT_EQ(m_inventory.GetItemIconTag("items_key"), "glow");
    EXPECT_EQ(m_listener.lines.back(), "changed");
}

TEST_F(InventoryTest, AnIdThatCannotNameAnElementGetsNoTag)
{
    m_inventory.SetItemIconTag("1 key", "glow");
    EXPECT_EQ(m_inventory.GetItemIconTag("1 key"), "");
    EXPECT_TRUE(m_world.log.Contains("The item id '1 key' cannot name an icon tag; the tag is not set.",
                                     cl_Logger::LEVEL_ERROR));
}

TEST_F(InventoryTest, WithoutGameStateTheItemsWaitAndTheTagsStay)
{
    m_inventory.SetItemIconTag("items_key", "glow");
    m_world.gameState.Clear();
    m_inventory.AddItem("items_key", "characters_hero");
    EXPECT_FALSE(m_inventory.HasInventoryElement());
    EXPECT_TRUE(m_listener.lines.empty());
    EXPECT_EQ(m_inventory.GetItemIconTag("items_key"), "glow");
}
} // namespace
