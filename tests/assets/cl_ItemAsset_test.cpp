#include "assets/cl_ItemAsset.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_ItemPool.h"
#include "common/cl_Logger.h"
#include "statechart/StateChartTemplate.h"
#include "support/AssetWorld.h"
#include "support/PrintedXml.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>

namespace
{
// The box's chart stays in "closed"; conditions naming "closed" hold, those naming "open" do not.
const char* const BOX_CHART = "<scxml initialstate='closed'>"
                              "<state id='closed'><transition event='open' target='open'/></state>"
                              "<state id='open'/></scxml>";

const char* const MOUSE_OVER_ERROR =
    "Current MouseOver-Text couldn't be retrieved for item-asset 'items_box'";

// The item "items_box", bound to a game state whose `item` element is the given text and whose logic
// element holds the given interaction items; "items_key" is the item held on the pointer.
class ItemAssetTest : public testing::Test
{
protected:
    ItemAssetTest() { m_key.SetId("items_key"); }

    cl_ItemAsset& Box(const std::string& itemXml, const std::string& interactionItems = "",
                      bool withLogic = true)
    {
        EXPECT_TRUE(m_world.LoadGameState("<gamestate><items>" + itemXml +
                                          "</items><logics><logic idref='items_box'>" + interactionItems +
                                          "</logic></logics></gamestate>"));
        m_box = std::make_unique<cl_ItemAsset>();
        m_box->SetId("items_box");
        if (withLogic)
            m_box->SetLogic(std::make_unique<cl_AssetLogic>(
                StateChartTemplate::LoadFromText(BOX_CHART, "box"), "items_box"));
        m_box->BindState(&m_world.gameState);
        m_box->RestoreState();
        m_world.log.Clear();
        return *m_box;
    }
    std::string BoxState() { return PrintedXml(m_world.gameState.GetItemState("items_box")); }

    AssetWorld m_world;
    std::unique_ptr<cl_ItemAsset> m_box;
    cl_ItemAsset m_key;
};

TEST_F(ItemAssetTest, InteractionFollowsTheFlagsBeforeTheMode)
{
    const struct
    {
        const char* name;
        const char* attributes;
        bool allows;
    } cases[] = {
        {"a mode allows", "interactionmode='take'", true},
        {"mode none", "interactionmode='none'", false},
        {"no mode reads as empty, not none", "", true},
        {"an empty mode", "interactionmode=''", true},
        {"bit 16 blocks", "interactionmode='take' interactionflags='65536'", false},
        {"bit 17 blocks", "interactionmode='take' interactionflags='131072'", false},
        {"both bits", "interactionmode='take' interactionflags='196608'", false},
        {"other bits are for the sequence player", "interactionmode='take' interactionflags='65535'", true},
        {"flags that are no number read as 0", "interactionmode='take' interactionflags='lots'", true},
        {"bit 16 with mode none", "interactionmode='none' interactionflags='65536'", false},
    };
    for (const auto& c : cases)
    {
        const cl_ItemAsset& box = Box(std::string("<item idref='items_box' ") + c.attributes + "/>");
        EXPECT_EQ(box.AllowsInteraction(), c.allows) << c.name;
    }
}

TEST_F(ItemAssetTest, MouseOverTextFollowsTheFlagsTheHeldItemAndTheConditions)
{
    const std::string accepted = "<interactionitem item='items_key'/>";
    const struct
    {
        const char* name;
        std::string item;
        std::string interactionItems;
        bool held;
        const char* textId;
        bool logsError;
    } cases[] = {
        {"no held item: mouseoverref", "<item idref='items_box' mouseoverref='texts_box'/>", "", false,
         "texts_box", false},
        {"bit 17 hides the text",
         "<item idref='items_box' mouseoverref='texts_box' interactionflags='131072'/>", "", false, "",
         false},
        {"bit 16 keeps the text",
         "<item idref='items_box' mouseoverref='texts_box' interactionflags='65536'/>", "", false,
         "texts_box", false},
        {"no mouseoverref is corrupt state", "<item idref='items_box'/>", "", false, "", true},
        {"an empty mouseoverref too", "<item idref='items_box' mouseoverref=''/>", "", false, "", true},
        {"bit 17 with a held item",
         "<item idref='items_box' interactionflags='131072'><interactmouseover itemref='items_key' "
         "textref='texts_key_on_box'/></item>",
         accepted, true, "", false},
        {"held item the logic does not accept",
         "<item idref='items_box'><interactmouseover itemref='items_key' textref='texts_key_on_box'/></item>",
         "<interactionitem item='items_stone'/>", true, "", false},
        {"held item accepted only in another state",
         "<item idref='items_box'><interactmouseover itemref='items_key' textref='texts_key_on_box'/></item>",
         "<interactionitem item='items_key' condition='open'/>", true, "", false},
        {"a false condition, then one without",
         "<item idref='items_box'><interactmouseover itemref='items_key' condition='open' "
         "textref='texts_open'/>"
         "<interactmouseover itemref='items_key' textref='texts_any'/></item>",
         accepted, true, "texts_any", false},
        {"a true condition wins over an earlier one without",
         "<item idref='items_box'><interactmouseover itemref='items_key' textref='texts_any'/>"
         "<interactmouseover itemref='items_key' condition='closed' textref='texts_closed'/></item>",
         accepted, true, "texts_closed", false},
        {"a true condition without textref is passed over",
         "<item idref='items_box'><interactmouseover itemref='items_key' condition='closed'/>"
         "<interactmouseover itemref='items_key' textref='texts_any'/></item>",
         accepted, true, "texts_any", false},
        {"an empty condition is evaluated and fails",
         "<item idref='items_box'><interactmouseover itemref='items_key' condition='' "
         "textref='texts_x'/></item>",
         accepted, true, "", true},
        {"the last entry without condition counts",
         "<item idref='items_box'><interactmouseover itemref='items_key' textref='texts_first'/>"
         "<interactmouseover itemref='items_key' textref='texts_last'/></item>",
         accepted, true, "texts_last", false},
        {"entries for other items do not count",
         "<item idref='items_box'><interactmouseover itemref='items_stone' textref='texts_stone'/></item>",
         accepted, true, "", true},
        {"an entry without condition and without textref",
         "<item idref='items_box'><interactmouseover itemref='items_key'/></item>", accepted, true, "", true},
    };
    for (const auto& c : cases)
    {
        const cl_ItemAsset& box = Box(c.item, c.interactionItems);
        EXPECT_EQ(box.GetCurrentMouseOverTextId(c.held ? &m_key : nullptr), c.textId) << c.name;
        EXPECT_EQ(m_world.log.Contains(MOUSE_OVER_ERROR, cl_Logger::LEVEL_ERROR), c.logsError) << c.name;
    }
}

TEST_F(ItemAssetTest, AnItemWithoutLogicShowsNoTextForAHeldItem)
{
    const cl_ItemAsset& box =
        Box("<item idref='items_box'><interactmouseover itemref='items_key' textref='texts_any'/></item>", "",
            false);
    EXPECT_EQ(box.GetCurrentMouseOverTextId(&m_key), "");
    EXPECT_TRUE(m_world.log.Lines().empty());
}

TEST_F(ItemAssetTest, SettingTheMouseOverTextWritesNoneOnlyWhereNoConditionApplies)
{
    const std::string conditional =
        "<interactmouseover itemref='items_key' condition='open' textref='texts_open'/>";
    const std::string plain = "<interactmouseover itemref='items_key' textref='texts_any'/>";
    const struct
    {
        const char* name;
        std::string children;
        const char* textId;
        const char* heldItemId;
        const char* condition;
        std::string expected;
    } cases[] = {
        {"no held item, empty text", "", "", "", "", "<item idref=\"items_box\" mouseoverref=\"none\" />"},
        {"no held item, a text", "", "texts_box", "", "",
         "<item idref=\"items_box\" mouseoverref=\"texts_box\" />"},
        {"a new entry keeps the empty text", "", "", "items_key", "",
         "<item idref=\"items_box\"><interactmouseover itemref=\"items_key\" textref=\"\" /></item>"},
        {"the entry without condition gets none", conditional + plain, "", "items_key", "",
         "<item idref=\"items_box\"><interactmouseover itemref=\"items_key\" condition=\"open\" "
         "textref=\"texts_open\" /><interactmouseover itemref=\"items_key\" textref=\"none\" /></item>"},
        {"a conditional entry keeps the empty text", plain + conditional, "", "items_key", "open",
         "<item idref=\"items_box\"><interactmouseover itemref=\"items_key\" textref=\"texts_any\" />"
         "<interactmouseover itemref=\"items_key\" condition=\"open\" textref=\"\" /></item>"},
        {"a new condition is appended", plain, "texts_closed", "items_key", "closed",
         "<item idref=\"items_box\"><interactmouseover itemref=\"items_key\" textref=\"texts_any\" />"
         "<interactmouseover itemref=\"items_key\" condition=\"closed\" textref=\"texts_closed\" /></item>"},
    };
    for (const auto& c : cases)
    {
        cl_ItemAsset& box = Box("<item idref='items_box'>" + c.children + "</item>");
        box.SetCurrentMouseOverText(c.textId, c.heldItemId, c.condition);
        EXPECT_EQ(BoxState(), c.expected) << c.name;
    }
}

TEST_F(ItemAssetTest, InteractionSequencesByMode)
{
    cl_ItemAsset& box = Box("<item idref='items_box'><interaction mode='take' sequenceref='sequences_take'/>"
                            "<interaction mode='take' sequenceref='sequences_second'/></item>");
    EXPECT_EQ(box.GetInteractionSequence("take"), "sequences_take");
    EXPECT_EQ(box.GetInteractionSequence("examine"), "none") << "a mode without entry";

    box.SetInteractionSequence("take", "sequences_new");
    box.SetInteractionSequence("examine", "sequences_look");
    EXPECT_EQ(BoxState(),
              "<item idref=\"items_box\"><interaction mode=\"take\" sequenceref=\"sequences_new\" />"
              "<interaction mode=\"take\" sequenceref=\"sequences_second\" />"
              "<interaction mode=\"examine\" sequenceref=\"sequences_look\" /></item>");
}

TEST_F(ItemAssetTest, UsedBySequenceTakesAHoldingConditionAtOnceElseTheLastUnconditional)
{
    const struct
    {
        const char* name;
        std::string interactions;
        bool withLogic;
        const char* sequence;
    } cases[] = {
        {"no entry", "", true, ""},
        {"an entry without condition", "<interaction mode='used_by' item='items_key' sequenceref='s_a'/>",
         true, "s_a"},
        {"an empty condition counts as none",
         "<interaction mode='used_by' item='items_key' condition='' sequenceref='s_a'/>", true, "s_a"},
        {"a false condition, then none",
         "<interaction mode='used_by' item='items_key' condition='open' sequenceref='s_open'/>"
         "<interaction mode='used_by' item='items_key' sequenceref='s_any'/>",
         true, "s_any"},
        {"a true condition after one without",
         "<interaction mode='used_by' item='items_key' sequenceref='s_any'/>"
         "<interaction mode='used_by' item='items_key' condition='closed' sequenceref='s_closed'/>",
         true, "s_closed"},
        {"the later unconditional entry",
         "<interaction mode='used_by' item='items_key' sequenceref='s_first'/>"
         "<interaction mode='used_by' item='items_key' sequenceref='s_last'/>",
         true, "s_last"},
        {"other modes, no mode, other items",
         "<interaction mode='take' item='items_key' sequenceref='s_take'/>"
         "<interaction item='items_key' sequenceref='s_nomode'/>"
         "<interaction mode='used_by' item='items_stone' sequenceref='s_stone'/>",
         true, ""},
        {"no logic: conditions fail",
         "<interaction mode='used_by' item='items_key' condition='closed' sequenceref='s_closed'/>", false,
         ""},
    };
    for (const auto& c : cases)
    {
        const cl_ItemAsset& box =
            Box("<item idref='items_box'>" + c.interactions + "</item>", "", c.withLogic);
        EXPECT_EQ(box.GetUsedBySequence(&m_key), c.sequence) << c.name;
    }
    EXPECT_EQ(m_box->GetUsedBySequence(nullptr), "");
}

TEST_F(ItemAssetTest, SettingAUsedBySequenceMatchesItemAndConditionAndAlwaysWritesTheCondition)
{
    cl_ItemAsset& box =
        Box("<item idref='items_box'><interaction mode='used_by' item='items_key' sequenceref='s_a'/>"
            "</item>");
    box.SetUsedByInteractionSequence("items_key", "s_b", ""); // an absent condition counts as empty
    box.SetUsedByInteractionSequence("items_key", "s_c", "closed");
    box.SetUsedByInteractionSequence("items_stone", "s_d", "");
    EXPECT_EQ(
        BoxState(),
        "<item idref=\"items_box\"><interaction mode=\"used_by\" item=\"items_key\" sequenceref=\"s_b\" />"
        "<interaction mode=\"used_by\" item=\"items_key\" condition=\"closed\" sequenceref=\"s_c\" />"
        "<interaction mode=\"used_by\" item=\"items_stone\" condition=\"\" sequenceref=\"s_d\" /></item>");
    EXPECT_EQ(box.GetUsedBySequence(&m_key), "s_c");
}

TEST_F(ItemAssetTest, AnUnboundItemReadsNothingAndWritesNothing)
{
    cl_ItemAsset item;
    item.SetId("items_loose");
    item.SetInteractionMode("take");
    item.SetInteractionSequence("take", "s_take");
    item.SetCurrentMouseOverText("texts_x", "", "");
    EXPECT_EQ(item.GetInteractionMode(), "");
    EXPECT_EQ(item.GetInteractionSequence("take"), "none");
    EXPECT_EQ(item.GetUsedBySequence(&m_key), "");
}

TEST_F(ItemAssetTest, BindingCreatesAMissingItemStateAndUnbindingLetsGo)
{
    ASSERT_TRUE(m_world.LoadGameState("<gamestate/>"));
    cl_ItemAsset item;
    item.SetId("items_new");
    item.BindState(&m_world.gameState);
    EXPECT_TRUE(m_world.log.Contains("No State found for item 'items_new'", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(item.GetInteractionMode(), "none");
    EXPECT_EQ(item.GetVisualisation(), "default");
    item.SetCurrentScene("scenes_tower");
    item.SetNameRef("texts_new");
    item.SetInteractionFlags(65536);
    EXPECT_EQ(PrintedXml(m_world.gameState.GetItemState("items_new")),
              "<item idref=\"items_new\" interactionmode=\"none\" visualisation=\"default\" "
              "currentscene=\"scenes_tower\""
              " nameref=\"texts_new\" interactionflags=\"65536\" />");

    item.BindState(nullptr);
    EXPECT_EQ(item.GetCurrentScene(), "");
}

TEST(ItemPool, MakesItemsAndReadsNoTypeData)
{
    cl_ItemPool pool;
    EXPECT_EQ(pool.GetName(), "items");
    const std::unique_ptr<cl_Asset> asset = pool.CreateAsset(nullptr);
    ASSERT_NE(dynamic_cast<cl_ItemAsset*>(asset.get()), nullptr);
    EXPECT_EQ(asset->GetType(), "item");
    EXPECT_EQ(asset->GetThingType(), "item");
    EXPECT_FALSE(asset->IsThing());
}

// The demo's door takes the key only while it is locked.
TEST(ItemAssetDemo, TheDoorShowsAndUsesTheKeyWhileLocked)
{
    AssetWorld world;
    world.LoadChapter(DemoChapterFolder());
    ASSERT_TRUE(world.LoadGameState(DemoNewGameState()));
    auto& door = dynamic_cast<cl_ItemAsset&>(world.Asset("items_door"));
    const cl_Asset& key = world.Asset("items_key");

    EXPECT_TRUE(door.AllowsInteraction());
    EXPECT_EQ(door.GetCurrentMouseOverTextId(nullptr), "texts_door");
    EXPECT_EQ(door.GetCurrentMouseOverTextId(&key), "texts_key_on_door");
    EXPECT_EQ(door.GetUsedBySequence(&key), "sequences_unlock_door");
    EXPECT_FALSE(dynamic_cast<cl_ItemAsset&>(world.Asset("items_lamp")).AllowsInteraction());

    cl_Argument keyId;
    keyId.SetString("items_key");
    world.Logic("items_door").SendEvent("character.UseItem", &keyId);
    ASSERT_TRUE(world.Logic("items_door").IsInState("closed"));
    EXPECT_EQ(door.GetCurrentMouseOverTextId(&key), "") << "the door no longer takes the key";
    EXPECT_EQ(door.GetUsedBySequence(&key), "");
    EXPECT_EQ(world.log.Count(cl_Logger::LEVEL_ERROR), 0u);
}
} // namespace
