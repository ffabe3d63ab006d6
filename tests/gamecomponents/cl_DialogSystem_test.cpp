#include "gamecomponents/cl_DialogSystem.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_ItemAsset.h"
#include "common/cl_SyncManager.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_SceneManager.h"
#include "support/ArgumentText.h"
#include "support/AssetWorld.h"
#include "support/HeadlessOgre.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
const char* const FIXTURE = QUILLMERE_TEST_DATA "gamecomponents/dialogs/";

// Notes what the dialog system tells it, with the entries it offers then, into the Lua string "heard",
// where the charts of the fixture note the events they get: one trace in the order things happened.
class RecordingDialogListener final : public IDialogSystemListener
{
public:
    RecordingDialogListener(cl_LuaScriptSystem& script, const cl_DialogSystem& dialogs)
        : m_script(script), m_dialogs(dialogs)
    {
    }

    void OnChoicesChanged() override { Note("OnChoicesChanged", true); }
    void OnChoicesHidden() override { Note("OnChoicesHidden", false); }
    void OnDialogStart() override { Note("OnDialogStart", false); }
    void OnDialogExit() override { Note("OnDialogExit", false); }
    void OnTopicEnter() override { Note("OnTopicEnter", true); }

private:
    void Note(const std::string& what, bool withEntries)
    {
        std::string note = what;
        if (withEntries)
        {
            std::vector<std::string> texts;
            m_dialogs.GetEntryTexts(texts);
            note += " [";
            for (size_t i = 0; i < texts.size(); ++i)
                note += (i ? ", " : "") + texts[i];
            note += "]";
        }
        EXPECT_TRUE(m_script.ExecuteString("heard = heard .. '" + note + "; '"));
    }

    cl_LuaScriptSystem& m_script;
    const cl_DialogSystem& m_dialogs;
};

// The fixture's chapter with the game components' real sequence player and dialog system, the hero (the
// current character) and the keeper in the scene; the guard has no figure. Steps are Lua, except
// "choose N" (ChooseByIndex), "exit topic" (ChooseExitTopic) and "frames" (two seconds of game time).
// Lua's "react" table maps "<asset> <event>" to a function that the charts call after noting the event.
class DialogSystemTest : public testing::Test
{
protected:
    explicit DialogSystemTest(const std::string& chapter = FIXTURE, const std::string& gameState = "")
        : m_gameState(gameState.empty() ? ReadTextFile(chapter + "gamestate.xml") : gameState)
    {
        m_world.LoadChapter(chapter);
        m_scenes.CreateCurtain(nullptr, nullptr);
        m_characters.AddCharacter(
            std::make_unique<cl_Character>(m_ogre.SceneManager(), nullptr, "characters_hero"));
        m_characters.AddCharacter(
            std::make_unique<cl_Character>(m_ogre.SceneManager(), nullptr, "characters_keeper"));
        Dialogs().AddListener(&m_listener);
    }
    ~DialogSystemTest() override { Dialogs().RemoveListener(&m_listener); }

    void Restart()
    {
        EXPECT_TRUE(m_world.LoadGameState(m_gameState));
        m_hub.SetCurrentCharacter("characters_hero");
        EXPECT_TRUE(m_world.script.ExecuteString(
            "heard = '' react = {} "
            "function note(who, what) heard = heard .. who .. ' ' .. what .. '; ' "
            "local reaction = react[who .. ' ' .. what] if reaction then reaction() end end "
            "function dialog(...) sendcmd('game', ...) end"));
        m_world.log.Clear();
    }

    // Runs the step and returns what was heard, then the busy counts of hero and keeper and whether the
    // dialog is active. A topic's sequence holds the hero too while it plays.
    std::string Step(const std::string& step)
    {
        if (step.rfind("choose ", 0) == 0)
            Dialogs().ChooseByIndex(std::stoi(step.substr(7)));
        else if (step == "exit topic")
            Dialogs().ChooseExitTopic();
        else if (step == "frames")
            m_world.Frames(4, 0.5f);
        else
            EXPECT_TRUE(m_world.script.ExecuteString(step)) << step;
        // ReturnedText gives "string <text>".
        const std::string heard = ReturnedText("return heard").substr(7);
        EXPECT_TRUE(m_world.script.ExecuteString("heard = ''"));
        return heard + "| " + std::to_string(Count("characters_hero")) + " " +
               std::to_string(Count("characters_keeper")) + (Dialogs().IsDialogActive() ? " active" : "");
    }

    int Count(const std::string& id) const { return m_characters.GetCharacter(id)->GetBusyCount(); }
    cl_DialogSystem& Dialogs() { return m_hub.GetDialogSystem(); }

    std::string m_gameState;
    AssetWorld m_world;
    HeadlessOgre m_ogre;
    cl_SyncManager m_sync;
    cl_SceneManager m_scenes{m_world.script};
    cl_CharacterManager m_characters{m_world.script};
    cl_GameComponents m_hub{m_world.script};
    RecordingDialogListener m_listener{m_world.script, m_hub.GetDialogSystem()};
};

TEST_F(DialogSystemTest, ScenariosTellTheLogicsAndListenersAndGiveTheBusyCountsBack)
{
    const char* const START = "dialog('StartDialog', 'characters_keeper')";
    const char* const STARTED = "OnDialogStart; OnTopicEnter [Tower?, Bye]; | 1 1 active";
    // Choosing the tower opens the key topic; its sequence holds the foreground.
    const char* const OPEN_KEY = "react['topics_tower choosen'] = function() sendcmd('poolmanager', "
                                 "'SetTopicActive', 'topics_key', true) end";
    const struct
    {
        const char* name;
        std::vector<std::string> steps;
        std::vector<std::string> heard;
    } cases[] = {
        {"a sub-level exit goes up; a top level of one exit topic queues it and ends",
         {OPEN_KEY,
          "react['topics_tower topic.Exit'] = function() sendcmd('poolmanager', 'SetTopicActive', "
          "'topics_tower', false) end",
          START, "choose 0", "frames", "choose 1", "frames"},
         {"| 0 0", "| 0 0", STARTED,
          "topics_tower choosen; topics_tower topic.Enter; OnTopicEnter [Key?, Back]; | 2 1 active",
          "topics_tower sequence.Done; | 1 1 active",
          "topics_back choosen; topics_tower topic.Exit; characters_keeper character.DialogExit; "
          "OnDialogExit; "
          "OnTopicEnter []; | 2 1 active",
          "topics_bye sequence.Done; | 0 0"}},
        {"an index out of range chooses the exit topic, whose sequence ends the closing",
         {START, "choose 2", "frames"},
         {STARTED, "topics_bye choosen; characters_keeper character.DialogExit; OnDialogExit; | 2 1 active",
          "topics_bye sequence.Done; | 0 0"}},
        {"the exit topic's aborted sequence ends the closing too",
         {START, "exit topic", "dialog('AbortSequence', -1)", "choose 0"},
         {STARTED, "topics_bye choosen; characters_keeper character.DialogExit; OnDialogExit; | 2 1 active",
          "topics_bye sequence.Abort; | 0 0", "| 0 0"}},
        {"an empty list ends the dialog; without exit topic an index out of range does nothing",
         {"react['topics_chat choosen'] = function() sendcmd('poolmanager', 'SetTopicActive', 'topics_chat', "
          "false) end",
          "dialog('StartDialog', 'characters_guard')", "choose 3", "exit topic", "choose 0"},
         {"| 0 0", "OnDialogStart; OnTopicEnter [Chat]; | 1 0 active", "| 1 0 active", "| 1 0 active",
          "topics_chat choosen; topics_chat topic.Enter; topics_chat topic.Exit; characters_guard "
          "character.DialogExit; OnDialogExit; OnTopicEnter []; OnTopicEnter []; | 0 0"}},
        {"a choosen reaction that exits is not entered; the counts wait for its sequence",
         {"react['topics_tower choosen'] = function() dialog('ExitDialog') end", START, "choose 0", "frames"},
         {"| 0 0", STARTED, "topics_tower choosen; OnDialogExit; | 2 1",
          "topics_tower sequence.Done; | 0 0"}},
        {"a second dialog replaces the first; ExitDialog ends it",
         {START, "dialog('StartDialog', 'characters_guard')", "dialog('ExitDialog')", "dialog('ExitDialog')"},
         {STARTED, "OnDialogStart; OnTopicEnter [Chat]; | 1 0 active", "OnDialogExit; | 0 0", "| 0 0"}},
        {"choices are offered in key order, a key set twice keeps its last text",
         {"dialog('AddChoice', 'characters_hero', 'answer.b', 'b')",
          "dialog('AddChoice', 'characters_hero', 'answer.a', 'a')",
          "dialog('AddChoice', 'characters_hero', 'answer.b', 'c')",
          "dialog('QueryChoice', 'characters_hero')", "choose 2", "choose 1", "choose 0"},
         {"| 0 0", "| 0 0", "| 0 0", "OnChoicesChanged [Yes, Maybe]; | 1 0 active", "| 1 0 active",
          "OnChoicesHidden; characters_hero answer.b; | 0 0", "| 0 0"}},
        {"no query during a dialog or another query, no dialog during a query",
         {START, "dialog('QueryChoice', 'characters_hero')", "dialog('ExitDialog')",
          "dialog('QueryChoice', 'characters_hero')", "dialog('QueryChoice', 'characters_keeper')", START,
          "dialog('ClearChoices')", "dialog('ClearChoices')"},
         {STARTED, "| 1 1 active", "OnDialogExit; | 0 0", "OnChoicesChanged []; | 1 0 active", "| 1 0 active",
          "| 1 0 active", "| 0 0", "| 0 0"}},
        {"ExitDialog drops a pending query",
         {"dialog('QueryChoice', 'characters_hero')", "dialog('ExitDialog')"},
         {"OnChoicesChanged []; | 1 0 active", "OnChoicesHidden; | 0 0"}},
        {"a choice's reaction may ask the next question",
         {"dialog('AddChoice', 'characters_hero', 'answer.a', 'a')",
          "react['characters_hero answer.a'] = function() dialog('AddChoice', 'characters_hero', 'answer.b', "
          "'b') "
          "dialog('QueryChoice', 'characters_hero') end",
          "dialog('QueryChoice', 'characters_hero')", "choose 0", "choose 0"},
         {"| 0 0", "| 0 0", "OnChoicesChanged [Yes]; | 1 0 active",
          "OnChoicesHidden; characters_hero answer.a; OnChoicesChanged [No]; | 1 0 active",
          "OnChoicesHidden; characters_hero answer.b; | 0 0"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Restart();
        ASSERT_EQ(c.steps.size(), c.heard.size());
        for (size_t i = 0; i < c.steps.size(); ++i)
            EXPECT_EQ(Step(c.steps[i]), c.heard[i]) << c.steps[i];
        Dialogs().ExitDialog();
        m_world.Frames(4, 0.5f);
        EXPECT_EQ(Count("characters_hero"), 0);
        EXPECT_EQ(Count("characters_keeper"), 0);
        EXPECT_FALSE(Dialogs().IsDialogActive());
    }
}

TEST_F(DialogSystemTest, TraceLinesStandWithoutSourceLine)
{
    Restart();
    Step("dialog('StartDialog', 'characters_keeper')");
    Step("choose 0");
    Step("exit topic");
    Step("dialog('StartDialog', 'characters_guard')");
    Step("dialog('ExitDialog')");
    Step("dialog('AddChoice', 'characters_hero', 'answer.a', 'a')");
    Step("dialog('QueryChoice', 'characters_hero')");
    Step("choose 0");
    std::vector<std::string> lines;
    for (const LogCapture::Line& line : m_world.log.Lines())
    {
        if (line.level == cl_Logger::TOPIC_DIALOG)
            lines.push_back(line.text);
    }
    const std::vector<std::string> expected = {
        "DialogStart :: 'characters_hero' talks with 'characters_keeper'",
        "ChooseTopic :: Tower? (topics_tower)",
        "ChooseTopic :: Bye (topics_bye)",
        "DialogExit",
        "DialogStart :: 'characters_hero' talks with 'characters_guard'",
        "DialogExit",
        "ChooseChoice :: Yes (answer.a)",
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(DialogSystemTest, TheHeroLooksAtThePartnerUntilTheDialogIsOver)
{
    Restart();
    cl_Character& hero = *m_characters.GetCharacter("characters_hero");
    Step("dialog('StartDialog', 'characters_keeper')");
    EXPECT_EQ(hero.GetFocusTarget(), m_characters.GetCharacter("characters_keeper"));
    Step("choose 1");
    EXPECT_NE(hero.GetFocusTarget(), nullptr) << "the last topic's sequence still plays";
    Step("frames");
    EXPECT_EQ(hero.GetFocusTarget(), nullptr);
}
// The demo's own chapter: the keeper's dialog as a player meets it.
class DemoDialogTest : public DialogSystemTest
{
protected:
    DemoDialogTest() : DialogSystemTest(DemoChapterFolder(), DemoNewGameState()) {}

    std::string Entries()
    {
        std::vector<std::string> texts;
        Dialogs().GetEntryTexts(texts);
        std::string joined;
        for (const std::string& text : texts)
            joined += (joined.empty() ? "" : " | ") + text;
        return joined;
    }
};

TEST_F(DemoDialogTest, TalkingToTheKeeperLeadsThroughHisTopicsAndBack)
{
    Restart();
    auto& keeper = dynamic_cast<cl_ItemAsset&>(m_world.Asset("characters_keeper"));
    m_hub.GetSequencePlayer().VisualizeInteraction(&keeper, nullptr);
    m_world.Frames(4, 0.5f);
    EXPECT_EQ(Dialogs().GetDialogPartner(), &keeper);
    EXPECT_EQ(Entries(), "Was ist das für ein Turm? | Auf Wiedersehen.");

    Dialogs().ChooseByIndex(0);
    EXPECT_EQ(Entries(), "Wem gehört der Schlüssel? | Zurück.");
    m_world.Frames(6, 0.5f);
    Dialogs().ChooseExitTopic();
    EXPECT_EQ(Entries(), "Was ist das für ein Turm? | Auf Wiedersehen.") << "back at the top";
    Dialogs().ChooseByIndex(1);
    EXPECT_FALSE(Dialogs().IsDialogActive()) << "the goodbye has no sequence to wait for";
    EXPECT_EQ(Count("characters_hero"), 0);
    EXPECT_EQ(Count("characters_keeper"), 0);
}

TEST_F(DemoDialogTest, ALookAtTheDoorAsksInKeyOrderAndTheDoorKeepsTheAnswer)
{
    Restart();
    m_world.Logic("items_door").SendEvent("character.Examine", nullptr);
    EXPECT_EQ(Entries(), "Anklopfen. | Warten.") << "door.Knock sorts before door.Wait, though added after";
    Dialogs().ChooseByIndex(1);
    EXPECT_EQ(ReturnedText("return _globals.door_answer"), "string wait");
    EXPECT_FALSE(Dialogs().IsDialogActive());
    EXPECT_EQ(Count("characters_hero"), 0);
}
} // namespace
