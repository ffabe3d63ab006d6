#include "assets/cl_AutoInteractionSeqAction.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_ItemPool.h"
#include "assets/cl_SequenceAsset.h"
#include "assets/cl_SequencePool.h"
#include "common/cl_Logger.h"
#include "statechart/StateChartTemplate.h"
#include "support/ArgumentText.h"
#include "support/AssetWorld.h"
#include "support/SequenceStandIns.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
// The demo chapter and an item "items_probe" whose chart notes the interaction events "take" and "look"
// in the Lua string "heard", each with its event data ("eventdata" is "none" before each case).
class InteractionEvents : public testing::Test
{
protected:
    InteractionEvents()
    {
        m_world.LoadChapter(DemoChapterFolder());
        EXPECT_TRUE(m_world.LoadGameState(DemoNewGameState()));
        m_probe = m_world.poolManager.GetItemPool()->AddNewAsset("items_probe");
        m_probe->SetLogic(std::make_unique<cl_AssetLogic>(
            StateChartTemplate::LoadFromText("<scxml initialstate='s'><state id='s'>"
                                             "<transition event='take'><script>heard = heard .. 'take:' .. "
                                             "eventdata .. ' '</script></transition>"
                                             "<transition event='look'><script>heard = heard .. 'look:' .. "
                                             "eventdata .. ' '</script></transition>"
                                             "</state></scxml>",
                                             "probe.scxml"),
            "items_probe"));
        m_probe->GetLogic()->Start();
    }

    AssetWorld m_world;
    cl_SequencePool m_pool;
    cl_Asset* m_probe = nullptr;
};
} // namespace

TEST_F(InteractionEvents, TheInteractionActionsSendTheirEventWithTheItemUsed)
{
    const struct
    {
        const char* name;
        const char* action;
        bool target;
        bool usedKey;
        const char* caller;
        const char* heard;
    } cases[] = {
        {"the interaction with the item used", "<action type='AutoInteractionAction'/>", true, true, "take",
         "take:items_key "},
        {"the interaction without item", "<action type='AutoInteractionAction'/>", true, false, "look",
         "look:none "},
        {"no interaction target: no event", "<action type='AutoInteractionAction'/>", false, true, "take",
         ""},
        {"an event of its own",
         "<action type='InteractAction' itemref='items_probe' handitemref='items_key' "
         "interactionmode='take'/>",
         false, false, "", "take:items_key "},
        {"an event of its own without item",
         "<action type='InteractAction' itemref='items_probe' "
         "interactionmode='look'/>",
         false, false, "", "look:none "},
        {"an item the items pool lacks",
         "<action type='InteractAction' itemref='items_nowhere' "
         "interactionmode='take'/>",
         false, false, "", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_world.script.ExecuteString("heard = '' eventdata = 'none'"));
        m_world.log.Clear();
        std::unique_ptr<cl_SequenceAsset> sequence =
            ReadSequence(m_pool, std::string("<asset id='s'>") + c.action + "</asset>");
        sequence->SetInteractionTarget(c.target ? m_probe : nullptr);
        sequence->SetUsedItem(c.usedKey ? &m_world.Asset("items_key") : nullptr);
        sequence->SetCallerName(c.caller);
        sequence->Start();
        EXPECT_EQ(ReturnedText("return heard"), std::string("string ") + c.heard);
        EXPECT_TRUE(sequence->GetActions().front()->IsDone());
        EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_ERROR), 0u);
        EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), 0u);
    }
}
