#include "gamecomponents/cl_SequencePlayer.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_ItemAsset.h"
#include "assets/cl_SeqAction.h"
#include "assets/cl_SequenceAsset.h"
#include "assets/cl_SequencePool.h"
#include "common/cl_Command.h"
#include "common/cl_Logger.h"
#include "common/cl_SyncManager.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_Inventory.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_SceneManager.h"
#include "statechart/StateChartTemplate.h"
#include "support/ArgumentText.h"
#include "support/AssetWorld.h"
#include "support/FunctionReceiver.h"
#include "support/HeadlessOgre.h"
#include "support/SceneDefinition.h"
#include "support/SequenceStandIns.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
// Notes what the player tells its listeners, "; " between the notes.
class RecordingPlayerListener final : public ISequencePlayerListener
{
public:
    void OnSequenceStarted(cl_SequenceAsset* sequence, int layer) override
    {
        Note("started " + sequence->GetId() + " " + std::to_string(layer));
    }
    void OnSequenceUninterruptible(cl_SequenceAsset* sequence) override
    {
        Note("uninterruptible " + sequence->GetId());
    }
    void OnSequenceAborted(cl_SequenceAsset* sequence) override { Note("aborted " + sequence->GetId()); }
    void OnSequenceFinished(cl_SequenceAsset* sequence) override { Note("finished " + sequence->GetId()); }

    std::string TakeTrace()
    {
        std::string taken;
        taken.swap(m_trace);
        return taken;
    }

private:
    void Note(const std::string& note) { m_trace += (m_trace.empty() ? "" : "; ") + note; }

    std::string m_trace;
};

// The demo's new game with the game components' real sequence player, a hero in the scene who is the
// current character, and an owner logic whose chart notes in the Lua string "heard" the sequence events
// it gets and then calls the Lua functions "onDone" and "onAbort" when they are set. Lua reaches the
// test's own sequences through the receiver "test": "play" and "enqueue" (name, layer), "abortall".
class PlayerTest : public testing::Test
{
protected:
    PlayerTest()
    {
        m_world.LoadChapter(DemoChapterFolder());
        EXPECT_TRUE(m_world.LoadGameState(DemoNewGameState()));
        m_scenes.CreateCurtain(nullptr, nullptr);
        m_characters.AddCharacter(
            std::make_unique<cl_Character>(m_ogre.SceneManager(), nullptr, "characters_hero"));
        m_characters.AddCharacter(
            std::make_unique<cl_Character>(m_ogre.SceneManager(), nullptr, "characters_keeper"));
        m_hub.SetCurrentCharacter("characters_hero");
        m_owner.Start();
        EXPECT_TRUE(m_world.script.ExecuteString("heard = '' order = ''"));
        Player().AddListener(&m_listener);
        m_world.log.Clear();
    }
    ~PlayerTest() override { Player().RemoveListener(&m_listener); }

    cl_SequencePlayer& Player() { return m_hub.GetSequencePlayer(); }
    // A sequence of the test read from its actions' XML text, owned by m_owner, named id.
    cl_SequenceAsset& Make(const std::string& id, const std::string& actions)
    {
        std::unique_ptr<cl_SequenceAsset> sequence = ReadSequence(
            *m_world.poolManager.GetSequencePool(), "<asset id='" + id + "'>" + actions + "</asset>");
        sequence->SetOwnerLogic(&m_owner);
        cl_SequenceAsset& made = *sequence;
        m_sequences[id] = std::move(sequence);
        return made;
    }
    // A script action that appends word to the Lua string "order".
    static std::string Note(const std::string& word)
    {
        return "<action type='ScriptAction'>order = order .. '" + word + " '</action>";
    }
    static std::string Wait(float seconds)
    {
        return "<action type='WaitAction' duration='" + std::to_string(seconds) + "'/>";
    }
    static std::string Lua(const std::string& expression) { return ReturnedText("return " + expression); }
    void Frames(int count, float dt = 0.5f) { m_world.Frames(count, dt); }
    cl_ItemAsset& Item(const std::string& id) { return dynamic_cast<cl_ItemAsset&>(m_world.Asset(id)); }
    std::string FrontTypes()
    {
        const cl_SequenceAsset* front = Player().GetFrontSequence(cl_SequencePlayer::FOREGROUND);
        std::string types;
        if (!front)
            return types;
        for (const auto& action : front->GetActions())
            types += (types.empty() ? "" : " ") + action->GetTypeName();
        return types;
    }

    bool RunTestCommand(cl_Command& cmd)
    {
        if (cmd.m_name == "abortall")
        {
            Player().AbortAll();
            return true;
        }
        cl_SequenceAsset& sequence = *m_sequences.at(cmd.m_arguments.GetArg(0)->GetString());
        const int layer = cmd.m_arguments.GetArg(1)->GetInt();
        if (cmd.m_name == "play")
            Player().PlaySequence(&sequence, layer, false);
        else
            Player().EnqueueSequence(&sequence, layer, false);
        return true;
    }

    AssetWorld m_world;
    HeadlessOgre m_ogre;
    cl_SyncManager m_sync;
    cl_SceneManager m_scenes{m_world.script};
    cl_CharacterManager m_characters{m_world.script};
    cl_GameComponents m_hub{m_world.script};
    RecordingPlayerListener m_listener;
    std::map<std::string, std::unique_ptr<cl_SequenceAsset>> m_sequences;
    FunctionReceiver m_test{m_world.script, "test", [this](cl_Command& cmd) { return RunTestCommand(cmd); }};
    cl_AssetLogic m_owner{
        StateChartTemplate::LoadFromText(
            "<scxml initialstate='s'><state id='s'>"
            "<transition event='sequence.Done'><script>heard = heard .. 'Done ' if onDone then onDone() end"
            "</script></transition><transition event='sequence.Abort'><script>heard = heard .. 'Abort ' "
            "if onAbort then onAbort() end</script></transition></state></scxml>",
            "owner.scxml"),
        "owner"};
};
} // namespace

TEST_F(PlayerTest, AnEmptyLayerStartsAtOnceAndTheNextStartsInTheFrameTheFrontFinishes)
{
    cl_SequenceAsset& first = Make("first", Wait(1.0f) + Note("first"));
    cl_SequenceAsset& second = Make("second", Note("second"));
    Player().EnqueueSequence(&first, 3, false);
    EXPECT_EQ(m_listener.TakeTrace(), "started first 3");
    Player().EnqueueSequence(&second, 3, false);
    EXPECT_EQ(m_listener.TakeTrace(), "");
    Frames(1);
    EXPECT_EQ(m_listener.TakeTrace(), "");
    Frames(1);
    EXPECT_EQ(m_listener.TakeTrace(), "finished first; started second 3");
    EXPECT_EQ(Lua("order"), "string first second ");
    Frames(1);
    EXPECT_EQ(m_listener.TakeTrace(), "finished second");
    EXPECT_EQ(Player().GetFrontSequence(3), nullptr);
    EXPECT_EQ(Lua("heard"), "string Done Done ");
}

TEST_F(PlayerTest, PlayingWhatPlaysChangesNothingAndAnotherSequenceReplacesTheLayer)
{
    cl_SequenceAsset& first = Make("first", Wait(1.0f));
    cl_SequenceAsset& queued = Make("queued", Note("queued"));
    cl_SequenceAsset& other = Make("other", Wait(1.0f));
    Player().PlaySequence(&first, -1, false);
    Frames(1);
    Player().PlaySequence(&first, -1, false);
    EXPECT_EQ(m_listener.TakeTrace(), "started first -1");
    Frames(1);
    EXPECT_EQ(m_listener.TakeTrace(), "finished first") << "the run went on";
    cl_SequenceAsset& empty = Make("empty", "");
    Player().PlaySequence(&empty, -1, true);
    Player().PlaySequence(&empty, -1, false);
    EXPECT_TRUE(Player().IsForegroundInterruptible()) << "not even the flag changed";
    Frames(1);
    m_listener.TakeTrace();

    Player().PlaySequence(&first, -1, false);
    Player().EnqueueSequence(&queued, -1, false);
    Player().PlaySequence(&other, -1, false);
    EXPECT_EQ(m_listener.TakeTrace(), "started first -1; aborted first; started other -1");
    EXPECT_TRUE(m_world.log.Contains("PlaySequence of 'other' aborted the playback of sequence 'first'.",
                                     cl_Logger::LEVEL_WARNING));
    Frames(4);
    EXPECT_EQ(m_listener.TakeTrace(), "finished other");
    EXPECT_EQ(Lua("order"), "string ") << "the queued sequence went without a word";
    EXPECT_EQ(Lua("heard"), "string Done Done Abort Done ");
}

TEST_F(PlayerTest, AbortsAreCarriedOutAtTheLayersUpdateAndARequestIsCancelledByQueuingTheFront)
{
    cl_SequenceAsset& first = Make("first", Wait(1.0f));
    cl_SequenceAsset& next = Make("next", Wait(1.0f));
    Player().PlaySequence(&first, -1, true);
    Player().EnqueueSequence(&next, -1, true);
    Player().RequestAbortForeground();
    Player().EnqueueSequence(&first, -1, true);
    Player().UpdateLayer(-1);
    EXPECT_EQ(m_listener.TakeTrace(), "started first -1; uninterruptible first") << "the abort was cancelled";

    Player().RequestAbortForeground();
    EXPECT_EQ(m_listener.TakeTrace(), "");
    Player().UpdateLayer(-1);
    EXPECT_EQ(m_listener.TakeTrace(), "aborted first; started next -1; uninterruptible next");

    Player().AbortSequence(-1);
    EXPECT_EQ(m_listener.TakeTrace(), "aborted next");
    EXPECT_FALSE(Player().IsForegroundPlaying());
    EXPECT_EQ(Lua("heard"), "string Abort Abort ");
}

TEST_F(PlayerTest, AbortSequenceLeavesTheNextToTheLayersUpdateAndAbortAllForgetsEveryQueue)
{
    Player().PlaySequence(&Make("a", Wait(1.0f)), 2, false);
    Player().EnqueueSequence(&Make("b", Wait(1.0f)), 2, false);
    Player().PlaySequence(&Make("c", Wait(1.0f)), -1, false);
    EXPECT_EQ(Player().GetSequenceCaller(2), &m_owner);
    EXPECT_EQ(Player().GetSequenceCaller(7), nullptr) << "a layer never used";
    Player().AbortSequence(2);
    EXPECT_EQ(m_listener.TakeTrace(), "started a 2; started c -1; aborted a");
    Frames(1, 0.1f);
    EXPECT_EQ(m_listener.TakeTrace(), "started b 2") << "at the layer's next update";

    Player().AbortAll();
    EXPECT_EQ(m_listener.TakeTrace(), "aborted c; aborted b");
    EXPECT_FALSE(Player().IsForegroundPlaying());
    EXPECT_EQ(Player().GetFrontSequence(2), nullptr);
    EXPECT_TRUE(Player().IsForegroundInterruptible());
}

TEST_F(PlayerTest, OwnersMayPlayQueueAndAbortFromTheEventsOfTheirSequences)
{
    const struct
    {
        const char* name;
        const char* hook; // Lua run before
        const char* operation;
        const char* trace;
        const char* order;
    } cases[] = {
        {"another sequence from the end",
         "onDone = function() onDone = nil sendcmd('test', 'play', 'B', -1) end", "frames",
         "finished A; started B -1; finished B", "string A B "},
        {"the same sequence again from its end",
         "runs = 1 onDone = function() if runs < 3 then runs = runs + 1 sendcmd('test', 'play', 'A', -1) end "
         "end",
         "frames", "finished A; started A -1; finished A; started A -1; finished A", "string A A A "},
        {"queued from the end", "onDone = function() onDone = nil sendcmd('test', 'enqueue', 'B', -1) end",
         "frames", "finished A; started B -1; finished B", "string A B "},
        {"everything aborted from the end",
         "onDone = function() onDone = nil sendcmd('test', 'abortall') end", "frames",
         "finished A; aborted W", "string A "},
        {"a sequence played while everything is aborted",
         "onAbort = function() sendcmd('test', 'play', 'B', 2) end", "abortall", "aborted A; aborted W",
         "string A "},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_world.script.ExecuteString("order = '' onDone = nil onAbort = nil"));
        cl_SequenceAsset& a = Make("A", Note("A"));
        Make("B", Note("B"));
        Player().PlaySequence(&a, -1, false);
        Player().PlaySequence(&Make("W", Wait(60.0f)), 5, false);
        ASSERT_TRUE(m_world.script.ExecuteString(c.hook));
        m_listener.TakeTrace();
        if (std::string(c.operation) == "frames")
            Frames(4, 0.1f);
        else
            Player().AbortAll();
        EXPECT_EQ(m_listener.TakeTrace(), c.trace);
        EXPECT_EQ(Lua("order"), c.order);
        Player().AbortAll();
    }
    EXPECT_TRUE(m_world.log.Contains("Sequence 'B' is not played: every sequence is being aborted.",
                                     cl_Logger::LEVEL_WARNING));
}

TEST_F(PlayerTest, TheFlagsOfCharacterAndItemDecideWhetherAClickPlays)
{
    auto refusal = std::make_unique<cl_SequenceAsset>();
    refusal->SetId("sequences_refuse");
    cl_SequenceAsset& refuse = *refusal;
    ASSERT_TRUE(m_world.poolManager.GetSequencePool()->AddAsset(std::move(refusal)));
    const struct
    {
        const char* name;
        int characterFlags;
        int itemFlags;
        bool refusalSequence;
        const char* played;
    } cases[] = {
        {"no flags", 0, 0, true, "sequences_take_key"},
        {"a shared bit", 6, 4, true, "sequences_take_key"},
        {"the item's flags only", 0, 4, true, "sequences_take_key"},
        {"the character's flags only: no shared bit", 2, 0, true, "sequences_refuse"},
        {"no shared bit: the refusal", 2, 4, true, "sequences_refuse"},
        {"no shared bit and no refusal sequence", 2, 4, false, ""},
        {"the item allows no interaction", 0, 0x10004, true, ""},
        {"no interaction beats a shared bit", 4, 0x10004, true, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_world.LoadGameState(DemoNewGameState()));
        auto& hero = dynamic_cast<cl_CharacterAsset&>(m_world.Asset("characters_hero"));
        hero.SetInteractionFlags(c.characterFlags);
        hero.SetForbiddenInteractSequence(c.refusalSequence ? "sequences_refuse" : "none");
        Item("items_key").SetInteractionFlags(c.itemFlags);
        m_listener.TakeTrace();
        Player().VisualizeInteraction(&Item("items_key"), nullptr);
        const cl_SequenceAsset* front = Player().GetFrontSequence(-1);
        EXPECT_EQ(front ? front->GetId() : "", c.played);
        if (front == &refuse)
        {
            EXPECT_EQ(refuse.GetOwnerLogic(), hero.GetLogic());
            EXPECT_EQ(refuse.GetCallerName(), "none");
            EXPECT_EQ(refuse.GetInteractionTarget(), nullptr);
            EXPECT_TRUE(refuse.IsBlocking());
            EXPECT_FALSE(refuse.IsInterruptible());
        }
    }
}

TEST_F(PlayerTest, AClickWithoutSequenceGetsADefaultOne)
{
    const struct
    {
        const char* name;
        const char* mode;
        bool carried;
        bool held;
        const char* actions;
        bool exitArmed;
        const char* log;
    } cases[] = {
        {"a walk first", "look", false, false, "MoveToInteractionTargetAction AutoInteractionAction", false,
         "'look' :: 'items_lamp'"},
        {"no walk to what the character carries", "look", true, false, "AutoInteractionAction", false,
         "'look' :: 'items_lamp'"},
        {"a leave arms the exit", "leave", false, false, "AutoInteractionAction", true,
         "'leave' :: 'items_lamp'"},
        {"a use is the data's mistake", "use", false, false, "AutoInteractionAction", false,
         "Empty Use-Sequence created for item 'items_lamp'!"},
        {"a held item the lamp does not take", "look", false, true, "", false, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_world.LoadGameState(DemoNewGameState()));
        m_scenes.SetExitArmed(false);
        m_world.log.Clear();
        cl_ItemAsset& lamp = Item("items_lamp");
        lamp.SetInteractionMode(c.mode);
        if (c.carried)
            m_hub.GetInventory().AddItem("items_lamp", "characters_hero");
        Player().VisualizeInteraction(&lamp, c.held ? &Item("items_key") : nullptr);
        EXPECT_EQ(FrontTypes(), c.actions);
        EXPECT_EQ(m_scenes.IsExitArmed(), c.exitArmed);
        if (*c.log)
            EXPECT_TRUE(m_world.log.Contains(c.log));
        if (const cl_SequenceAsset* front = Player().GetFrontSequence(-1))
        {
            EXPECT_EQ(front->GetInteractionTarget(), &lamp);
            EXPECT_EQ(front->GetCallerName(), c.mode);
            EXPECT_EQ(front->GetOwnerLogic(), lamp.GetLogic());
        }
    }
}

TEST_F(PlayerTest, AWalkKeepsTheForegroundInterruptibleUntilTheInteractionBegins)
{
    Item("items_lamp").SetInteractionMode("look");
    m_listener.TakeTrace();
    Player().VisualizeInteraction(&Item("items_lamp"), nullptr);
    EXPECT_EQ(m_listener.TakeTrace(), "started  -1; uninterruptible ");
    EXPECT_FALSE(Player().IsForegroundInterruptible());
}

TEST_F(PlayerTest, UsedByAndExamineTraceAndPlayTheirSequences)
{
    m_world.log.Clear();
    Player().VisualizeInteraction(&Item("items_door"), &Item("items_key"));
    const cl_SequenceAsset* front = Player().GetFrontSequence(-1);
    ASSERT_NE(front, nullptr);
    EXPECT_EQ(front->GetId(), "sequences_unlock_door");
    EXPECT_EQ(front->GetCallerName(), "used_by");
    EXPECT_EQ(front->GetUsedItem(), &Item("items_key"));
    EXPECT_TRUE(m_world.log.Contains("'used_by' :: 'items_door' with 'items_key'", cl_Logger::TOPIC_DIALOG));

    Player().AbortAll();
    Player().Examine(&Item("items_door"));
    front = Player().GetFrontSequence(-1);
    ASSERT_NE(front, nullptr);
    EXPECT_EQ(FrontTypes(), "AutoInteractionAction");
    EXPECT_EQ(front->GetCallerName(), "examine");
    EXPECT_TRUE(m_world.log.Contains("'examine' :: 'items_door'", cl_Logger::TOPIC_DIALOG));
    Frames(1);
    EXPECT_FALSE(Player().IsForegroundPlaying());
}

TEST_F(PlayerTest, ABlockingRunHoldsTheBusyCountOfTheCharacterItWasTakenFrom)
{
    cl_Character& hero = *m_characters.GetCharacter("characters_hero");
    cl_Character& keeper = *m_characters.GetCharacter("characters_keeper");
    cl_SequenceAsset& blocking = Make("blocking", Wait(1.0f));
    blocking.SetBlocking(true);

    Player().PlaySequence(&blocking, -1, false);
    EXPECT_EQ(hero.GetBusyCount(), 1);
    Player().AbortSequence(-1);
    EXPECT_EQ(hero.GetBusyCount(), 0) << "given back at the abort";
    Player().PlaySequence(&blocking, -1, false);
    Player().PlaySequence(&blocking, -1, false);
    EXPECT_EQ(hero.GetBusyCount(), 1) << "counted once per run";

    m_hub.SetCurrentCharacter("characters_keeper");
    EXPECT_EQ(keeper.GetBusyCount(), 1);
    Frames(2);
    EXPECT_EQ(hero.GetBusyCount(), 0);
    EXPECT_EQ(keeper.GetBusyCount(), 0) << "given back to the character the count was handed to";

    Player().PlaySequence(&blocking, -1, false);
    m_hub.SetCurrentCharacter("characters_nobody");
    EXPECT_EQ(keeper.GetBusyCount(), 1) << "no character took the count over";
    Frames(2);
    EXPECT_EQ(keeper.GetBusyCount(), 0) << "the character it was taken from, not whoever is current";
}

TEST_F(PlayerTest, ADemoClickOnTheKeyPutsItIntoTheHerosPocket)
{
    m_hub.SetMouseOverObject(&Item("items_key"));
    EXPECT_TRUE(m_hub.Interact());
    Frames(1);
    EXPECT_NE(m_hub.GetInventory().FindItem("characters_hero", "items_key"), nullptr);
    EXPECT_TRUE(m_world.Logic("items_key").IsInState("carried")) << "the key heard 'take'";
    EXPECT_TRUE(m_world.log.Contains("'take' :: 'items_key'", cl_Logger::TOPIC_DIALOG));
    EXPECT_FALSE(Player().IsForegroundPlaying());
    EXPECT_EQ(m_characters.GetCharacter("characters_hero")->GetBusyCount(), 0);
    // The hero's chart pockets the key at the click, so there is nothing left to walk to: the walk says
    // so and the take goes on.
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_ERROR), 0u);
    EXPECT_TRUE(m_world.log.Contains("the InteractionTarget is in the inventory", cl_Logger::LEVEL_WARNING));
}

TEST_F(PlayerTest, TheDemoDoorsSequenceRunsDownEitherBranchAndCountsTheTryHalfASecondLater)
{
    // With the key the closing cutscene follows. Without scene, camera shots, puppets or sounds here its
    // walk, animation and creak end at once (logged), as do the camera move and the fades; without voices
    // the keeper speaks for his line's reading time (58 bytes: 4.35 s), then the hero (16 bytes: the
    // floor of 2.0 s). Each speaker's turn is one letter of "spoke".
    const struct
    {
        const char* name;
        const char* before;
        const char* door;
        const char* rattled;
        const char* spoke;
        int frames; // of 0.25 s until the sequence has ended
    } cases[] = {
        {"without the key the door rattles", "_globals.key_taken = nil", "string locked", "bool true", "", 2},
        // Its curtain fades of 1 s each take 12 frames: steps of at most 0.1 s, the end reported one later.
        {"with the key it is unlocked and the cutscene plays", "_globals.key_taken = true", "string closed",
         "bool false", "KH", 50},
    };
    const cl_Character& hero = *m_characters.GetCharacter("characters_hero");
    const cl_Character& keeper = *m_characters.GetCharacter("characters_keeper");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_world.LoadGameState(DemoNewGameState()));
        ASSERT_TRUE(m_world.script.ExecuteString(std::string(c.before) + " _globals.door_rattled = nil "
                                                                         "_globals.door_tries = nil"));
        ASSERT_TRUE(m_world.script.ExecuteString("sendcmd('game', 'PlaySequence', 'items_door', 'unlock')"));
        EXPECT_EQ(Player().GetSequenceCaller(-1), &m_world.Logic("items_door"));
        EXPECT_EQ(Lua("_globals.door"), c.door);
        EXPECT_EQ(Lua("_globals.door_rattled == 1"), c.rattled);
        Frames(1, 0.25f);
        EXPECT_TRUE(Player().IsForegroundPlaying()) << "the delayed trigger waits";
        Frames(1, 0.25f);
        EXPECT_EQ(Lua("_globals.door_tries"), "int 1");
        std::string spoke;
        int frames = 2;
        for (; Player().IsForegroundPlaying() && frames < 100; ++frames)
        {
            const char speaker = keeper.IsSpeaking() ? 'K' : hero.IsSpeaking() ? 'H' : '\0';
            if (speaker && (spoke.empty() || spoke.back() != speaker))
                spoke += speaker;
            Frames(1, 0.25f);
        }
        EXPECT_EQ(spoke, c.spoke);
        EXPECT_EQ(frames, c.frames);
    }
}

TEST_F(PlayerTest, TheDemoTowerPlaysItsBackgroundOnLayerOneOnceItIsShownForAsLongAsItIsShown)
{
    ASSERT_TRUE(m_world.script.ExecuteString("_globals.tower_ticks = 0"));
    ParseScenes(m_scenes, {"scenes_tower", "scenes_hall"});
    m_scenes.SwitchScene("scenes_tower", "default", true, false);
    EXPECT_EQ(Player().GetSequenceCaller(1), &m_world.Logic("scenes_tower"));
    Frames(7);
    EXPECT_EQ(Lua("_globals.tower_ticks"), "int 3");
    m_scenes.SwitchScene("scenes_hall", "default", true, false);
    Frames(6);
    EXPECT_EQ(Lua("_globals.tower_ticks"), "int 4") << "the last run ends; none follows";
    EXPECT_EQ(Player().GetFrontSequence(1), nullptr);
}
