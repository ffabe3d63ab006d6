#include "gamecomponents/cl_QuestSystem.h"

#include "assets/cl_GameState.h"
#include "support/PrintedXml.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>
#include <string>

namespace
{
class QuestBook : public testing::Test
{
protected:
    void SetUp() override
    {
        TiXmlElement root("gamestate");
        ASSERT_TRUE(m_gameState.ReplaceTree(root));
        m_quests.AddQuestText("tower", "texts_a");
    }
    std::string Log() { return PrintedXml(m_gameState.GetRoot()->FirstChildElement("questlog")); }

    cl_GameState m_gameState;
    cl_QuestSystem m_quests;
};

TEST_F(QuestBook, QuestsAreMadeByTheirFirstTextAndChangedInPlace)
{
    const struct
    {
        const char* name;
        std::function<void(cl_QuestSystem&)> change;
        const char* questLog;
    } cases[] = {
        {"a text already in the quest is not added",
         [](cl_QuestSystem& q) { q.AddQuestText("tower", "texts_a"); },
         "<questlog><quest id=\"tower\"><texts><text textref=\"texts_a\" /></texts></quest></questlog>"},
        {"texts in the order added", [](cl_QuestSystem& q) { q.AddQuestText("tower", "texts_b"); },
         "<questlog><quest id=\"tower\"><texts><text textref=\"texts_a\" /><text textref=\"texts_b\" "
         "/></texts>"
         "</quest></questlog>"},
        {"a title makes a quest without texts or slots",
         [](cl_QuestSystem& q) { q.SetQuestTitle("key", "texts_t"); },
         "<questlog><quest id=\"tower\"><texts><text textref=\"texts_a\" /></texts></quest>"
         "<quest id=\"key\" titleref=\"texts_t\" /></questlog>"},
        {"a slot set twice changes in place",
         [](cl_QuestSystem& q)
         {
             q.SetQuestSlotText("tower", "door", "texts_open", false);
             q.SetQuestSlotText("tower", "door", "texts_done", true);
         },
         "<questlog><quest id=\"tower\"><texts><text textref=\"texts_a\" /></texts><slots>"
         "<slot id=\"door\" textref=\"texts_done\" done=\"true\" /></slots></quest></questlog>"},
        {"a quest deleted with everything in it", [](cl_QuestSystem& q) { q.DeleteQuest("tower"); },
         "<questlog />"},
        {"deleting a quest not in the log changes nothing", [](cl_QuestSystem& q) { q.DeleteQuest("key"); },
         "<questlog><quest id=\"tower\"><texts><text textref=\"texts_a\" /></texts></quest></questlog>"},
    };
    for (const auto& c : cases)
    {
        SetUp();
        c.change(m_quests);
        EXPECT_EQ(Log(), c.questLog) << c.name;
    }
}

TEST_F(QuestBook, WithoutGameStateTheOperationsDoNothing)
{
    m_gameState.Clear();
    m_quests.SetQuestTitle("key", "texts_t");
    EXPECT_EQ(m_quests.FindQuest("key", true), nullptr);
}
} // namespace
