#include "gamecomponents/cl_GameComponents.h"

#include "TarqApp.h"
#include "assets/ISceneStateListener.h"
#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_ItemAsset.h"
#include "assets/cl_SceneAsset.h"
#include "assets/cl_SequenceAsset.h"
#include "common/StringHelpers.h"
#include "common/cl_Command.h"
#include "common/cl_Config.h"
#include "common/cl_GameTime.h"
#include "common/cl_Localizer.h"
#include "common/cl_Logger.h"
#include "common/cl_ScriptSystem.h"
#include "common/cl_TarqdataLoader.h"
#include "gamecomponents/cl_Inventory.h"
#include "gamecomponents/cl_Party.h"
#include "gamecomponents/cl_VideoPlayer.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "gui/cl_GUISystem.h"
#include "minigames/cl_MinigameManager.h"
#include "support/ArgumentText.h"
#include "support/AssetWorld.h"
#include "support/DemoWorkingFolder.h"
#include "support/GameComponentsStandIns.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/PrintedXml.h"
#include "support/SceneDefinition.h"
#include "support/TemporaryFolder.h"
#include "support/TestMeshes.h"
#include "support/TriangleMesh.h"

#include <OgreEntity.h>
#include <OgreFrameListener.h>
#include <OgreMeshManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{
// The hub over the demo chapter's new game, with recording stand-ins for its sequence player and dialog
// system, and the scene manager, the GUI and the localizer it reaches through their singletons.
class HubTest : public testing::Test
{
protected:
    HubTest()
    {
        m_world.LoadChapter(DemoChapterFolder());
        EXPECT_TRUE(m_world.LoadGameState(DemoNewGameState()));
        m_scenes.CreateCurtain(nullptr, nullptr);
        ParseScenes(m_scenes, {"scenes_tower"});
        m_hub.AddListener(&m_listener);
    }

    // Back to the new game with nothing under the mouse, held or playing, and the scene manager idle.
    void Restart()
    {
        m_dialogs.partner = nullptr;
        m_dialogs.queryPending = false;
        EXPECT_TRUE(m_world.LoadGameState(DemoNewGameState()));
        m_scenes.SetChangePending(false);
        m_scenes.SetCharacterSwitchPending(false);
        m_scenes.SetInteractionBlocked(false);
        m_scenes.SetExitArmed(false);
        m_scenes.SetTargetScene("");
        m_scenes.GetCurtain()->FadeFromBlack(0.0f);
        m_hub.GetVideoPlayer().Stop();
        DialogGui().SetHoveredEntry(-1);
        DialogGui().SetMouseOverPanel(false);
        m_calls.clear();
        m_heard.clear();
    }

    // Puts object under the mouse and held on the pointer ("" for none) and, with dialog, then starts a
    // dialog with the keeper (while one runs nothing new is taken under the mouse).
    void Arrange(const std::string& object, const std::string& held, bool dialog)
    {
        if (!object.empty())
            m_hub.SetMouseOverObject(Item(object));
        if (!held.empty())
            m_hub.SetSelectedItem(Item(held));
        if (dialog)
            m_dialogs.partner = Character("characters_keeper");
    }
    // The stand-ins' calls since the last Restart, joined by "; ".
    std::string CallsMade() const
    {
        std::string joined;
        for (const std::string& call : m_calls)
            joined += (joined.empty() ? "" : "; ") + call;
        return joined;
    }

    cl_ItemAsset* Item(const std::string& id) { return dynamic_cast<cl_ItemAsset*>(&m_world.Asset(id)); }
    cl_CharacterAsset* Character(const std::string& id)
    {
        return dynamic_cast<cl_CharacterAsset*>(&m_world.Asset(id));
    }
    cl_DialogGui& DialogGui() { return m_gui.GetIngameMenu().GetDialogGui(); }
    const std::string& Label() { return m_gui.GetIngameMenu().GetMouseOverText(); }
    std::string FrontSequence() const
    {
        return m_sequences.foreground.empty() ? "" : m_sequences.foreground.front().name;
    }

    AssetWorld m_world;
    cl_SceneManager m_scenes{m_world.script};
    cl_GUISystem m_gui{m_world.script};
    cl_Localizer m_localizer;
    Calls m_calls;
    Calls m_heard;
    RecordingListener m_listener{"listener", m_heard};
    cl_GameComponents m_hub{m_world.script, RecordingComponents(m_calls)};
    RecordingSequencePlayer& m_sequences = static_cast<RecordingSequencePlayer&>(m_hub.GetSequencePlayer());
    RecordingDialogSystem& m_dialogs = static_cast<RecordingDialogSystem&>(m_hub.GetDialogSystem());
};

TEST_F(HubTest, RunsInItsOwnTimeGroupAndAnswersAsGame)
{
    const TimeGroup& group = m_world.gameTime.GetTimeGroup("gamecomponents");
    EXPECT_EQ(group.timeFlow, 1.0f);
    EXPECT_EQ(group.maxCap, 0.1f);
    EXPECT_EQ(group.minCap, -1.0f);

    cl_Command command("NoSuchCommand");
    EXPECT_FALSE(m_world.script.SendCmd("game", command));
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), 0u) << "an unknown command is no fault";
}

TEST_F(HubTest, InteractionNeedsAllSixConditions)
{
    const struct
    {
        const char* name;
        bool uninterruptibleSequence;
        bool changePending;
        bool characterSwitchPending;
        bool interactionBlocked;
        bool switching;
        bool video;
    } cases[] = {
        {"nothing in the way", false, false, false, false, false, false},
        {"a sequence that may not be interrupted", true, false, false, false, false, false},
        {"a scene change pending", false, true, false, false, false, false},
        {"a character switch pending", false, false, true, false, false, false},
        {"interaction blocked", false, false, false, true, false, false},
        {"a switch made behind the curtain, fading in", false, false, false, false, true, false},
        {"a video playing", false, false, false, false, false, true},
    };
    for (const auto& c : cases)
    {
        Restart();
        if (c.uninterruptibleSequence)
            m_sequences.Play("cutscene", false);
        m_scenes.SetChangePending(c.changePending);
        m_scenes.SetCharacterSwitchPending(c.characterSwitchPending);
        m_scenes.SetInteractionBlocked(c.interactionBlocked);
        if (c.switching)
        {
            // The black curtain carries the pending change out at once.
            m_scenes.SetTargetScene("scenes_tower");
            m_scenes.SetChangePending(true);
            m_scenes.GetCurtain()->FadeToBlack(0.0f);
        }
        if (c.video)
            m_hub.GetVideoPlayer().Play("intro.ogv");
        const bool free = !(c.uninterruptibleSequence || c.changePending || c.characterSwitchPending ||
                            c.interactionBlocked || c.switching || c.video);
        EXPECT_EQ(m_hub.CanInteract(), free) << c.name;
    }
    Restart();
    m_sequences.Play("cutscene", true);
    EXPECT_TRUE(m_hub.CanInteract()) << "a sequence that may be interrupted";
}

TEST_F(HubTest, ALeftClickWhileInteractionIsImpossibleIsUsedAndOnlyPushesTheWaitOn)
{
    const struct
    {
        const char* name;
        bool waiting; // a sequence that may not be interrupted plays
        bool video;
        bool changePending;
        bool exitArmed;
        bool characterSwitchPending;
        bool interactionBlocked;
        const char* calls;
        bool changeRequested; // the curtain closed for the change or the switch
    } cases[] = {
        {"a sequence that may not be interrupted is skipped", true, false, false, false, false, false,
         "SkipForeground", false},
        {"a video only takes the click", false, true, false, false, false, false, "", false},
        {"a change with an armed exit goes at once", false, false, true, true, false, false, "", true},
        {"a change without an armed exit waits", false, false, true, false, false, false, "", false},
        {"a character switch is pushed on behind the curtain", false, false, false, false, true, false, "",
         true},
        {"blocked interaction skips no sequence", true, false, false, false, false, true, "", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Restart();
        Arrange("items_door", "items_key", false);
        if (c.waiting)
            m_sequences.Play("cutscene", false);
        if (c.video)
            m_hub.GetVideoPlayer().Play("intro.ogv");
        m_scenes.SetChangePending(c.changePending);
        m_scenes.SetExitArmed(c.exitArmed);
        m_scenes.SetTargetScene("scenes_tower");
        m_scenes.SetCharacterSwitchPending(c.characterSwitchPending);
        m_scenes.SetInteractionBlocked(c.interactionBlocked);
        m_calls.clear();

        EXPECT_TRUE(m_hub.Interact());
        EXPECT_EQ(CallsMade(), c.calls);
        EXPECT_EQ(m_scenes.GetCurtain()->IsFading(), c.changeRequested)
            << "the curtain closes for the change";
        EXPECT_FALSE(m_scenes.IsExitArmed());
        EXPECT_EQ(m_hub.GetSelectedItem(), Item("items_key"));
        EXPECT_TRUE(m_world.Logic("characters_hero").IsInState("standing")) << "no event was sent";
    }
}

TEST_F(HubTest, ALeftClickUsesTheDialogEntryOrTheObjectUnderTheMouse)
{
    const struct
    {
        const char* name;
        const char* object; // "" for none
        const char* held;   // "" for none
        bool dialog;        // with the keeper
        int hoveredEntry;
        bool runningSequence;
        bool used;
        const char* calls;
        const char* heldAfter;
        bool heroInteracted;
    } cases[] = {
        {"nothing under the mouse is no use", "", "", false, -1, false, false, "UpdateLayer -1", "null",
         false},
        {"the dialog entry under the mouse is chosen", "items_door", "", true, 2, false, true,
         "ChooseByIndex 2; UpdateLayer -1", "null", false},
        {"a dialog takes a click between its entries", "items_door", "", true, -1, false, true,
         "UpdateLayer -1", "null", false},
        {"an object is interacted with", "items_door", "", false, -1, false, true,
         "VisualizeInteraction items_door null; UpdateLayer -1", "null", true},
        {"an item the object takes is used up", "items_door", "items_key", false, -1, false, true,
         "VisualizeInteraction items_door items_key; UpdateLayer -1", "null", true},
        {"an item the object does not take stays held", "items_door", "items_lamp", false, -1, false, true,
         "VisualizeInteraction items_door items_lamp; UpdateLayer -1", "items_lamp", true},
        {"an object without logic takes no item", "items_lamp", "items_key", false, -1, false, true,
         "VisualizeInteraction items_lamp items_key; UpdateLayer -1", "items_key", true},
        {"a running sequence is asked to abort first", "items_door", "", false, -1, true, true,
         "RequestAbortForeground; VisualizeInteraction items_door null; UpdateLayer -1", "null", true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Restart();
        Arrange(c.object, c.held, c.dialog);
        DialogGui().SetHoveredEntry(c.hoveredEntry);
        if (c.runningSequence)
            m_sequences.Play("cutscene", true);
        m_calls.clear();

        EXPECT_EQ(m_hub.Interact(), c.used);
        EXPECT_EQ(CallsMade(), c.calls);
        EXPECT_EQ(IdOf(m_hub.GetSelectedItem()), c.heldAfter);
        EXPECT_EQ(m_world.Logic("characters_hero").IsInState("talking"), c.heroInteracted);
    }
}

TEST_F(HubTest, AClickOnAnObjectStartsItsInteractionInTheSameFrame)
{
    m_sequences.Play("cutscene", true);
    m_hub.SetMouseOverObject(Item("items_door"));
    EXPECT_TRUE(m_hub.Interact());
    EXPECT_EQ(FrontSequence(), "interaction items_door");
}

TEST_F(HubTest, AnAcceptedItemIsDroppedAfterItsInteractionStarted)
{
    RecordingListener inOrder("listener", m_calls);
    m_hub.AddListener(&inOrder);
    Arrange("items_door", "items_key", false);
    m_calls.clear();
    EXPECT_TRUE(m_hub.Interact());
    EXPECT_EQ(CallsMade(),
              "VisualizeInteraction items_door items_key; listener OnItemSelected null; UpdateLayer -1");
    m_hub.RemoveListener(&inOrder);
}

TEST_F(HubTest, ARightClickChoosesDropsOrExamines)
{
    const struct
    {
        const char* name;
        const char* object; // "" for none
        const char* held;   // "" for none
        bool dialog;        // with the keeper
        bool choiceQuery;   // a dialog without partner
        int hoveredEntry;
        bool overPanel;
        bool runningSequence;
        bool video;
        const char* calls;
        const char* heldAfter;
    } cases[] = {
        {"nothing while interaction is impossible", "items_door", "items_key", false, false, -1, false, false,
         true, "", "items_key"},
        {"the dialog entry under the mouse is chosen", "items_door", "", true, false, 1, false, false, false,
         "ChooseByIndex 1", "null"},
        {"off the dialog panel the dialog is left", "items_door", "", true, false, -1, false, false, false,
         "ChooseExitTopic", "null"},
        {"on the panel between entries nothing happens", "items_door", "", true, false, -1, true, false,
         false, "", "null"},
        {"a choice query has no exit", "items_door", "", false, true, -1, false, false, false, "", "null"},
        {"a held item is only dropped", "items_door", "items_key", false, false, -1, false, false, false, "",
         "null"},
        {"the object is examined", "items_door", "", false, false, -1, false, false, false,
         "Examine items_door; UpdateLayer -1", "null"},
        {"a running sequence is asked to abort first", "items_door", "", false, false, -1, false, true, false,
         "RequestAbortForeground; Examine items_door; UpdateLayer -1", "null"},
        {"nothing under the mouse", "", "", false, false, -1, false, false, false, "", "null"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Restart();
        Arrange(c.object, c.held, c.dialog);
        m_dialogs.queryPending = c.choiceQuery;
        DialogGui().SetHoveredEntry(c.hoveredEntry);
        DialogGui().SetMouseOverPanel(c.overPanel);
        if (c.runningSequence)
            m_sequences.Play("cutscene", true);
        if (c.video)
            m_hub.GetVideoPlayer().Play("intro.ogv");
        m_calls.clear();

        m_hub.Examine();
        EXPECT_EQ(CallsMade(), c.calls);
        EXPECT_EQ(IdOf(m_hub.GetSelectedItem()), c.heldAfter);
    }
}

TEST_F(HubTest, TheMouseOverTextFollowsWhatIsPointedAt)
{
    TiXmlElement language("language");
    TiXmlElement tokens("tokens");
    tokens.InsertEndChild(TiXmlText("play_with_characters_hero|Mit dem Helden spielen"));
    language.InsertEndChild(tokens);
    m_localizer.ParseElement(&language, "GAMEDATA", false);

    const struct
    {
        const char* name;
        const char* object;   // "" for none
        const char* held;     // "" for none
        const char* portrait; // "" for none
        bool dialog;
        bool uninterruptibleSequence;
        const char* text;
    } cases[] = {
        {"an object's own text", "items_door", "", "", false, false, "Turmtür"},
        {"the text for the held item", "items_door", "items_key", "", false, false,
         "Schlüssel an der Tür benutzen"},
        {"a held item the object does not take", "items_door", "items_lamp", "", false, false, ""},
        {"nothing while the player waits", "items_door", "", "", false, true, ""},
        {"a portrait before the object", "items_door", "", "characters_hero", false, false,
         "Mit dem Helden spielen"},
        {"a portrait without its token shows the token", "", "", "characters_keeper", false, false,
         "play_with_characters_keeper"},
        {"nothing under the mouse", "", "", "", false, false, ""},
        {"nothing during a dialog", "items_door", "", "", true, false, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Restart();
        if (*c.portrait)
            m_hub.SetMouseOverPortrait(Character(c.portrait));
        Arrange(c.object, c.held, c.dialog);
        if (c.uninterruptibleSequence)
            m_sequences.Play("cutscene", false);

        m_hub.UpdateMouseOverText();
        EXPECT_EQ(Label(), c.text);
    }
}

TEST_F(HubTest, DuringADialogTheObjectUnderTheMouseStays)
{
    Arrange("items_door", "", true);
    m_heard.clear();

    m_hub.SetMouseOverObject(Item("items_key"));
    m_hub.SetMouseOverObject(nullptr);
    EXPECT_EQ(m_hub.GetMouseOverObject(), Item("items_door"));
    EXPECT_TRUE(m_heard.empty());
}

TEST_F(HubTest, APortraitChangesTheTextButTellsNobody)
{
    m_heard.clear();
    m_hub.SetMouseOverPortrait(Character("characters_keeper"));
    EXPECT_EQ(Label(), "play_with_characters_keeper");
    m_hub.SetMouseOverPortrait(nullptr);
    EXPECT_EQ(Label(), "");
    EXPECT_TRUE(m_heard.empty());
}

TEST_F(HubTest, EverySequenceNotificationUpdatesTheMouseOverText)
{
    using Notify = void (*)(ISequencePlayerListener&);
    const std::pair<const char*, Notify> notifications[] = {
        {"started", [](ISequencePlayerListener& listener) { listener.OnSequenceStarted(nullptr, -1); }},
        {"uninterruptible",
         [](ISequencePlayerListener& listener) { listener.OnSequenceUninterruptible(nullptr); }},
        {"aborted", [](ISequencePlayerListener& listener) { listener.OnSequenceAborted(nullptr); }},
        {"finished", [](ISequencePlayerListener& listener) { listener.OnSequenceFinished(nullptr); }},
    };
    for (const auto& notification : notifications)
    {
        SCOPED_TRACE(notification.first);
        Restart();
        m_hub.SetMouseOverObject(Item("items_door"));
        EXPECT_EQ(Label(), "Turmtür");
        m_sequences.Play("cutscene", false);
        m_sequences.TellListeners(notification.second);
        EXPECT_EQ(Label(), "");
        m_sequences.foreground.clear();
        m_sequences.TellListeners(notification.second);
        EXPECT_EQ(Label(), "Turmtür");
    }
}

TEST_F(HubTest, ARequestedChapterStartsInTheFirstFrameThatAllowsInteraction)
{
    std::vector<std::pair<std::string, int32_t>> started;
    m_hub.SetChapterStarter(
        [&started](const std::string& chapter, int32_t difficulty, std::string&)
        {
            started.emplace_back(chapter, difficulty);
            return true;
        });
    m_scenes.SetChangePending(true);
    m_hub.RequestChapterStart("chapter2", 1);
    m_hub.RequestChapterStart("chapter1", 2);
    m_world.Frames(2, 0.5f);
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(m_hub.GetRequestedChapter(), "chapter1");

    m_scenes.SetChangePending(false);
    m_world.Frames(2, 0.5f);
    EXPECT_EQ(started, (std::vector<std::pair<std::string, int32_t>>{{"chapter1", 2}}));
    EXPECT_EQ(m_hub.GetRequestedChapter(), "");
    EXPECT_FALSE(m_world.log.Contains("not found"));
}

TEST_F(HubTest, ResetForgetsThePointerHeldAndPlayingButADialogKeepsTheObject)
{
    const struct
    {
        const char* name;
        void (*trigger)(AssetWorld&);
        bool dialog;
        bool objectKept;
    } cases[] = {
        {"a loaded game", [](AssetWorld& world) { world.LoadGameState(DemoNewGameState()); }, false, false},
        {"a loaded game during a dialog", [](AssetWorld& world) { world.LoadGameState(DemoNewGameState()); },
         true, true},
        {"a cleared game during a dialog", [](AssetWorld& world) { world.gameState.Clear(); }, true, false},
        {"another chapter during a dialog",
         [](AssetWorld& world) { world.LoadChapter(QUILLMERE_TEST_DATA "gamecomponents/party/"); }, true,
         false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_world.LoadChapter(DemoChapterFolder());
        Restart();
        m_hub.SetMouseOverPortrait(Character("characters_keeper"));
        Arrange("items_door", "items_key", c.dialog);
        m_sequences.Play("cutscene", true);
        m_heard.clear();
        m_calls.clear();

        c.trigger(m_world);
        m_dialogs.partner = nullptr;
        EXPECT_EQ(m_hub.GetMouseOverObject() != nullptr, c.objectKept);
        EXPECT_EQ(m_hub.GetSelectedItem(), nullptr);
        EXPECT_EQ(m_hub.GetMouseOverPortrait(), nullptr);
        EXPECT_EQ(m_calls, Calls{"AbortAll"});
        Calls heard = {"listener OnItemSelected null"};
        if (!c.objectKept)
            heard.insert(heard.begin(), "listener OnInteractionChanged null");
        EXPECT_EQ(m_heard, heard);
    }
}

// Counts what a scene asset tells its loaded scene.
class SceneStateCounter final : public ISceneStateListener
{
public:
    void NotifyItemEntered(const TiXmlElement&) override { ++told; }
    void NotifyItemLeft(const TiXmlElement&) override { ++told; }
    void NotifyCharacterEntered(const TiXmlElement&) override { ++told; }
    void NotifyCharacterLeft(const TiXmlElement&) override { ++told; }
    void NotifySpawn() override { ++told; }
    void NotifyDespawn() override { ++told; }
    void NotifySavePlacements() override { ++told; }
    void NotifyItemMoved(const std::string&, const std::string&, const std::string&) override { ++told; }
    void NotifyCharacterMoved(const std::string&, const std::string&, const std::string&) override { ++told; }

    int told = 0;
};

// Counts the inventory's calls to show itself anew.
class InventoryChangeCounter final : public IInventoryListener
{
public:
    void OnItemAdded(const std::string&, bool) override {}
    void OnItemRemoved(const std::string&, bool) override {}
    void OnItemIconTagChanged(const std::string&) override {}
    void OnInventoryChanged() override { ++told; }

    int told = 0;
};

// The hub over a small party (the hero and the companion, each in a scene of its own; the keeper is no
// member) whose characters stand in the scene as entities on nodes.
class PartyTest : public testing::Test
{
protected:
    PartyTest()
    {
        m_world.LoadChapter(QUILLMERE_TEST_DATA "gamecomponents/party/");
        EXPECT_TRUE(
            m_world.LoadGameState(ReadTextFile(QUILLMERE_TEST_DATA "gamecomponents/party/gamestate.xml")));
        m_body = MakeTestMesh("body", {}, {{{{{0, 0, 0}, {}}, {{1, 0, 0}, {}}, {{0, 1, 0}, {}}}, {0, 1, 2}}});
        for (const char* id : {"characters_hero", "characters_companion", "characters_keeper"})
        {
            cl_Character* character =
                m_characters.AddCharacter(std::make_unique<cl_Character>(m_ogre.SceneManager(), id));
            EXPECT_TRUE(character->GetPuppet()->AddSubMesh("body", "body"));
            character->SetLocation(st_ObjectPlacement{m_ogre.SceneManager().getRootSceneNode()});
        }
        m_hub.AddListener(&m_listener);
    }

    cl_Character& Character(const std::string& id) { return *m_characters.GetCharacter(id); }
    static Ogre::Entity& Entity(cl_Character& character)
    {
        return *character.GetPuppet()->GetSubMesh("body").entity;
    }
    static Ogre::SceneNode& Node(cl_Character& character) { return *character.GetSceneNode(); }
    cl_SceneAsset& Scene(const std::string& id) { return dynamic_cast<cl_SceneAsset&>(m_world.Asset(id)); }
    // Where the character's puppet stands in the scene's state; empty when it has none there.
    std::string Location(const std::string& sceneId, const std::string& characterId)
    {
        return Scene(sceneId).FindObjectLocation(characterId);
    }

    HeadlessOgre m_ogre;
    Ogre::MeshPtr m_body;
    AssetWorld m_world;
    cl_SceneManager m_scenes{m_world.script};
    cl_GUISystem m_gui{m_world.script};
    cl_CharacterManager m_characters{m_world.script};
    Calls m_heard;
    RecordingListener m_listener{"listener", m_heard};
    cl_GameComponents m_hub{m_world.script};
};

TEST_F(PartyTest, TheControlledCharacterLeavesItsScenesPuppetsAndCannotBePicked)
{
    SceneStateCounter hall;
    Scene("scenes_hall").AddSceneStateListener(&hall);
    m_hub.SetCurrentCharacter("characters_hero");

    EXPECT_EQ(m_hub.GetCurrentCharacter(), &Character("characters_hero"));
    EXPECT_EQ(cl_SceneObject::ResolveByName("avatar"), &Character("characters_hero"));
    EXPECT_EQ(Entity(Character("characters_hero")).getQueryFlags(), 0u);
    EXPECT_EQ(Location("scenes_hall", "characters_hero"), "");
    EXPECT_EQ(Location("scenes_hall", "characters_keeper"), "positions_desk");
    EXPECT_EQ(hall.told, 0);
    EXPECT_EQ(m_world.gameState.GetCurrentCharacterId(), "characters_hero");
    EXPECT_EQ(m_heard,
              (Calls{"listener OnItemSelected null", "listener OnActiveCharacterChanged characters_hero"}));
    Scene("scenes_hall").RemoveSceneStateListener(&hall);
}

TEST_F(PartyTest, ASwitchParksThePartyMemberAndHandsOverTheBusyCount)
{
    m_hub.SetCurrentCharacter("characters_hero");
    cl_Character& hero = Character("characters_hero");
    cl_Character& companion = Character("characters_companion");
    hero.SetBusyCount(2);
    hero.SetIdleTime(5.0f);
    companion.SetIdleTime(7.0f);
    Node(hero).setPosition(3, 0, 4);
    Node(hero).setScale(2, 2, 2);
    SceneStateCounter hall;
    SceneStateCounter garden;
    Scene("scenes_hall").AddSceneStateListener(&hall);
    Scene("scenes_garden").AddSceneStateListener(&garden);

    m_hub.SetCurrentCharacter("characters_companion");
    EXPECT_EQ(m_hub.GetCurrentCharacter(), &companion);
    EXPECT_EQ(Entity(hero).getQueryFlags(), 2u);
    EXPECT_EQ(Entity(companion).getQueryFlags(), 0u);
    EXPECT_EQ(companion.GetBusyCount(), 2);
    EXPECT_EQ(companion.GetIdleTime(), 0.0f);
    EXPECT_EQ(hero.GetBusyCount(), 0);
    EXPECT_EQ(hero.GetIdleTime(), 0.0f);
    EXPECT_EQ(Location("scenes_hall", "characters_hero"), "positions_inactive_pc_characters_hero");
    EXPECT_EQ(Location("scenes_garden", "characters_companion"), "");
    EXPECT_EQ(hall.told + garden.told, 0);
    ASSERT_TRUE(hero.HasStoredTransform());
    EXPECT_EQ(hero.GetStoredPosition(), Ogre::Vector3(3, 0, 4));
    EXPECT_EQ(hero.GetStoredScale(), Ogre::Vector3(2, 2, 2));
    EXPECT_EQ(m_world.gameState.GetCurrentCharacterId(), "characters_companion");
    Scene("scenes_hall").RemoveSceneStateListener(&hall);
    Scene("scenes_garden").RemoveSceneStateListener(&garden);

    // The same count handed over is no change of it, yet the new character has just been taken over.
    companion.SetBusyCount(0);
    hero.SetIdleTime(4.0f);
    m_hub.SetCurrentCharacter("characters_hero");
    EXPECT_EQ(hero.GetBusyCount(), 0);
    EXPECT_EQ(hero.GetIdleTime(), 0.0f);
    EXPECT_EQ(Location("scenes_garden", "characters_companion"),
              "positions_inactive_pc_characters_companion");
}

TEST_F(PartyTest, TheCommandHandsOverControlAndLeavesNothingPendingForAnUnknownScene)
{
    const std::string command = R"(sendcmd("game", "SetCurrentCharacter", "characters_companion"))";
    EXPECT_TRUE(m_world.script.ExecuteString(command));
    EXPECT_EQ(m_hub.GetCurrentCharacter(), &Character("characters_companion")) << "no scene: at once";

    EXPECT_TRUE(m_world.script.ExecuteString(R"(sendcmd("game", "SetCurrentCharacter", "characters_hero"))"));
    EXPECT_EQ(m_hub.GetCurrentCharacter(), &Character("characters_hero"));
    EXPECT_FALSE(m_scenes.IsCharacterSwitchPending());

    // The companion stands in the garden, which the scene manager does not know: he takes over, and no
    // scene change keeps the game waiting.
    m_scenes.SetLoadedScene(MakeScene("scenes_hall"));
    EXPECT_TRUE(m_world.script.ExecuteString(command));
    EXPECT_EQ(m_hub.GetCurrentCharacter(), &Character("characters_companion"));
    EXPECT_FALSE(m_scenes.IsCharacterSwitchPending());
    EXPECT_FALSE(m_scenes.IsChangePending());
}

TEST_F(PartyTest, TheInventoryShowsTheNewCharactersItems)
{
    InventoryChangeCounter view;
    m_hub.GetInventory().AddListener(&view);
    m_hub.SetCurrentCharacter("characters_companion");
    EXPECT_EQ(m_hub.GetInventory().GetCurrentCharacter(), "characters_companion");
    EXPECT_EQ(view.told, 1);

    // Without a game state there is nothing to show, but the character is taken.
    m_world.gameState.Clear();
    m_hub.SetCurrentCharacter("characters_hero");
    EXPECT_EQ(m_hub.GetInventory().GetCurrentCharacter(), "characters_hero");
    EXPECT_EQ(view.told, 1);
    m_hub.GetInventory().RemoveListener(&view);
}

TEST_F(PartyTest, OnlyMembersOfThePartyObjectAreParked)
{
    m_hub.GetParty().AddMember("characters_keeper");
    m_hub.SetCurrentCharacter("characters_keeper");
    m_hub.SetCurrentCharacter("characters_hero");
    EXPECT_EQ(Location("scenes_hall", "characters_keeper"), "positions_inactive_pc_characters_keeper");
}

TEST_F(PartyTest, ACharacterOutsideThePartyIsNotParked)
{
    m_hub.SetCurrentCharacter("characters_keeper");
    EXPECT_EQ(Location("scenes_hall", "characters_keeper"), "");
    m_hub.SetCurrentCharacter("characters_hero");
    EXPECT_EQ(Location("scenes_hall", "characters_keeper"), "");
    EXPECT_FALSE(Character("characters_keeper").HasStoredTransform());
    EXPECT_EQ(Entity(Character("characters_keeper")).getQueryFlags(), 2u);
}

TEST_F(PartyTest, SwitchesThatFindNoNewCharacter)
{
    const struct
    {
        const char* name;
        const char* from; // "" for none
        const char* to;
        Calls heard;
        const char* currentIdAfter;
        bool heroParked;
    } cases[] = {
        {"the current character again changes nothing",
         "characters_hero",
         "characters_hero",
         {},
         "characters_hero",
         false},
        {"an id no scene character has is still announced",
         "characters_hero",
         "characters_ghost",
         {"listener OnItemSelected null", "listener OnActiveCharacterChanged characters_ghost"},
         "characters_ghost",
         true},
        {"the empty id lets go of the character",
         "characters_hero",
         "",
         {"listener OnItemSelected null"},
         "characters_hero",
         true},
        {"an unknown id while none is controlled changes nothing",
         "",
         "characters_ghost",
         {},
         "characters_hero",
         false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(
            m_world.LoadGameState(ReadTextFile(QUILLMERE_TEST_DATA "gamecomponents/party/gamestate.xml")));
        if (*c.from)
            m_hub.SetCurrentCharacter(c.from);
        m_hub.SetSelectedItem(dynamic_cast<cl_ItemAsset*>(&m_world.Asset("characters_keeper")));
        m_heard.clear();

        m_hub.SetCurrentCharacter(c.to);
        EXPECT_EQ(m_heard, c.heard);
        EXPECT_EQ(m_hub.GetCurrentCharacter(), m_characters.GetCharacter(c.to));
        EXPECT_EQ(m_world.gameState.GetCurrentCharacterId(), c.currentIdAfter);
        EXPECT_EQ(Location("scenes_hall", "characters_hero") == "positions_inactive_pc_characters_hero",
                  c.heroParked);
    }
}

TEST_F(PartyTest, AClickOnAPortraitActivatesThatCharacter)
{
    m_hub.SetCurrentCharacter("characters_hero");
    m_hub.SetMouseOverObject(dynamic_cast<cl_ItemAsset*>(&m_world.Asset("characters_keeper")));
    m_hub.SetMouseOverPortrait(dynamic_cast<cl_CharacterAsset*>(&m_world.Asset("characters_companion")));
    EXPECT_TRUE(m_hub.Interact());
    EXPECT_TRUE(m_world.Logic("characters_companion").IsInState("activated"));
    EXPECT_TRUE(m_world.Logic("characters_hero").IsInState("idle")) << "the object under the mouse waits";

    m_hub.SetMouseOverPortrait(nullptr);
    EXPECT_TRUE(m_hub.Interact());
    EXPECT_TRUE(m_world.Logic("characters_hero").IsInState("interacting"));
}

TEST_F(PartyTest, ResetLetsGoOfTheCharacterAndUndoesItsLook)
{
    m_hub.SetCurrentCharacter("characters_hero");
    Node(Character("characters_hero")).setScale(2, 2, 2);
    m_world.gameState.Clear();
    EXPECT_EQ(m_hub.GetCurrentCharacter(), nullptr);
    EXPECT_EQ(Entity(Character("characters_hero")).getQueryFlags(), 2u);
    EXPECT_EQ(Node(Character("characters_hero")).getScale(), Ogre::Vector3::UNIT_SCALE);
}

TEST_F(PartyTest, ACharacterThatIsDeletedIsNoLongerControlled)
{
    m_hub.SetCurrentCharacter("characters_hero");
    m_characters.UnloadCharacters();
    EXPECT_EQ(m_hub.GetCurrentCharacter(), nullptr);
    // A reset or a switch must not touch the deleted character (the sanitizers watch).
    m_world.gameState.Clear();
    m_hub.SetCurrentCharacter("characters_companion");
}

TEST_F(PartyTest, ListenersAreToldInTheOrderTheyCameAndOnlyWhileListed)
{
    RecordingListener second("second", m_heard);
    RecordingListener third("third", m_heard);
    m_hub.AddListener(&second);
    m_hub.AddListener(&third);
    m_hub.AddListener(&second);
    cl_ItemAsset* keeper = dynamic_cast<cl_ItemAsset*>(&m_world.Asset("characters_keeper"));
    m_heard.clear();

    m_hub.SetMouseOverObject(keeper);
    m_hub.SetCurrentCharacter("characters_hero");
    EXPECT_EQ(m_heard, (Calls{
                           "listener OnInteractionChanged characters_keeper",
                           "second OnInteractionChanged characters_keeper",
                           "third OnInteractionChanged characters_keeper",
                           "second OnInteractionChanged characters_keeper",
                           "listener OnItemSelected null",
                           "second OnItemSelected null",
                           "third OnItemSelected null",
                           "second OnItemSelected null",
                           "listener OnActiveCharacterChanged characters_hero",
                           "second OnActiveCharacterChanged characters_hero",
                           "third OnActiveCharacterChanged characters_hero",
                           "second OnActiveCharacterChanged characters_hero",
                       }));

    m_hub.RemoveListener(&second);
    m_heard.clear();
    m_hub.SetSelectedItem(keeper);
    EXPECT_EQ(m_heard,
              (Calls{"listener OnItemSelected characters_keeper", "third OnItemSelected characters_keeper"}));
    m_hub.RemoveListener(&third);
}

// The hub inside the application, which it asks to quit or to go to the main menu.
class HubInApplication : public testing::Test
{
protected:
    HubInApplication() { Restart(); }

    void Restart()
    {
        m_log.reset();
        m_app.reset();
        m_app = std::make_unique<TarqApp>();
        m_log = std::make_unique<LogCapture>();
        m_app->SetMode(TarqApp::MODE_INGAME);
    }

    // False when the program ends at the end of the frame.
    bool Frame()
    {
        Ogre::FrameEvent event{};
        event.timeSinceLastFrame = 0.25f;
        return m_app->UpdateFrame(event);
    }

    static cl_GameComponents& Hub() { return *cl_GameComponents::GetInstance(); }

    DemoWorkingFolder m_game{QUILLMERE_DEMO_DIR};
    std::unique_ptr<TarqApp> m_app;
    std::unique_ptr<LogCapture> m_log;
};

TEST_F(HubInApplication, WithoutAMainMenuAChapterThatCannotStartEndsTheProgramWithAFailure)
{
    const auto fails = [](const std::string&, int32_t, std::string&) { return false; };
    const struct
    {
        const char* name;
        const char* chapter;
        cl_GameComponents::ChapterStarter starter;
        const char* logged;
    } cases[] = {
        {"the chapter does not exist", "chapter9", fails, "chapter 'chapter9' not found... quitting!"},
        {"nothing can start a chapter", "chapter9", nullptr, "chapter 'chapter9' not found... quitting!"},
        {"the chapter's data is broken", "chapter1", fails,
         "chapter 'chapter1' cannot be started... quitting!"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Restart();
        cl_TarqdataLoader::GetInstance()->ParseTdf("GAMEDATA", ReadTextFile("data/common/quillmere.tdf"),
                                                   "quillmere.tdf", false);
        Hub().SetChapterStarter(c.starter);
        Hub().RequestChapterStart(c.chapter, 1);
        EXPECT_FALSE(Frame());
        EXPECT_TRUE(m_app->IsQuitRequested());
        EXPECT_EQ(m_app->GetExitCode(), EXIT_FAILURE);
        EXPECT_TRUE(m_log->Contains(c.logged, cl_Logger::LEVEL_ERROR));
        EXPECT_EQ(Hub().GetRequestedChapter(), "");
    }
}

TEST_F(HubInApplication, AChapterThatCannotStartGoesBackToTheMainMenuWhichSaysWhy)
{
    const std::string newGame = ReadTextFile("pimb/chapter1/gamestate.xml");
    const struct
    {
        const char* name;
        const char* chapter;
        const char* gamestate;
        const char* shown;
        const char* logged;
    } cases[] = {
        {"an empty gamestate.xml", "chapter1", "",
         "The chapter 'chapter1' cannot start: its gamestate.xml is empty.",
         "chapter 'chapter1' cannot be started... back to the main menu"},
        {"no such chapter", "chapter9", nullptr, "There is no chapter 'chapter9'.",
         "chapter 'chapter9' not found... back to the main menu"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Restart();
        WriteTextFile("pimb/chapter1/gamestate.xml", c.gamestate ? c.gamestate : newGame);
        cl_TarqdataLoader& loader = *cl_TarqdataLoader::GetInstance();
        loader.ParseTdf("GAMEDATA", ReadTextFile("data/common/quillmere.tdf"), "quillmere.tdf", false);
        loader.ParseTdf("INTERFACEDATA", ReadTextFile("data/interface/mainmenu.tdf"), "mainmenu.tdf", false);
        ASSERT_TRUE(cl_ScriptSystem::GetInstance()->ExecuteString(
            std::string(R"(sendcmd("game", "StartChapter", ")") + c.chapter + "\")"));

        EXPECT_TRUE(Frame());
        EXPECT_FALSE(m_app->IsQuitRequested());
        EXPECT_EQ(m_app->GetExitCode(), EXIT_SUCCESS);
        EXPECT_EQ(m_app->GetMode(), TarqApp::MODE_MAINMENU);
        const cl_MainMenu& menu = cl_GUISystem::GetInstance()->GetMainMenu();
        EXPECT_TRUE(menu.IsShown());
        EXPECT_EQ(menu.GetPageStack(), (std::vector<std::string>{"MainPage_left", "MainPage"}));
        EXPECT_EQ(menu.GetFailureMessage(), c.shown);
        EXPECT_TRUE(m_log->Contains(c.logged, cl_Logger::LEVEL_ERROR));
        EXPECT_FALSE(m_log->Contains("quitting!"));
        EXPECT_EQ(Hub().GetRequestedChapter(), "");
    }
}

TEST_F(HubInApplication, AChapterStartedFromLuaIsTheNewGameOfALaterFrame)
{
    // The chapters the game has, as the start-up reads them.
    cl_TarqdataLoader::GetInstance()->ParseTdf("GAMEDATA", ReadTextFile("data/common/quillmere.tdf"),
                                               "quillmere.tdf", false);
    cl_GameState& gameState = *cl_GameState::GetInstance();
    ASSERT_TRUE(cl_ScriptSystem::GetInstance()->ExecuteString(R"(
        _globals = _globals or {}
        _globals.difficulty = 1
        sendcmd("game", "StartChapter", "chapter1"))"));
    EXPECT_EQ(gameState.GetRoot(), nullptr) << "nothing starts before the frame";

    EXPECT_TRUE(Frame());
    EXPECT_EQ(Hub().GetRequestedChapter(), "");
    EXPECT_EQ(gameState.GetCurrentChapter(), "chapter1");
    EXPECT_EQ(gameState.GetCurrentSceneId(), "scenes_tower");
    EXPECT_EQ(cl_ScriptSystem::GetInstance()->GetDifficulty(), 1);
    EXPECT_FALSE(m_app->IsQuitRequested());
}

TEST_F(HubInApplication, UnlockChapterGoesToTheSettings)
{
    ASSERT_TRUE(
        cl_ScriptSystem::GetInstance()->ExecuteString(R"(sendcmd("game", "UnlockChapter", "chapter7"))"));
    EXPECT_EQ(cl_Config::GetInstance()->GetValue("unlocked_chapter7"), "true");
}

TEST_F(HubInApplication, GameOverWaitsForTheChapterStartAndForInteraction)
{
    cl_GameState& gameState = *cl_GameState::GetInstance();
    TiXmlDocument document;
    document.Parse(DemoNewGameState().c_str());
    ASSERT_TRUE(gameState.ReplaceTree(*document.RootElement()));
    int starts = 0;
    Hub().SetChapterStarter(
        [&starts](const std::string&, int32_t, std::string&)
        {
            ++starts;
            return true;
        });
    cl_SceneManager::GetInstance()->SetInteractionBlocked(true);
    Hub().RequestGameOver();
    Hub().RequestChapterStart("chapter1", 1);

    Frame();
    EXPECT_EQ(starts, 0);
    cl_SceneManager::GetInstance()->SetInteractionBlocked(false);
    Frame();
    EXPECT_EQ(starts, 1);
    EXPECT_TRUE(Hub().IsGameOverRequested()) << "only looked at while no chapter is requested";
    EXPECT_EQ(m_app->GetMode(), TarqApp::MODE_INGAME);

    Frame();
    EXPECT_FALSE(Hub().IsGameOverRequested());
    EXPECT_EQ(gameState.GetRoot(), nullptr) << "the chapter was closed";
    EXPECT_EQ(m_app->GetMode(), TarqApp::MODE_MAINMENU);
    EXPECT_FALSE(m_app->IsQuitRequested());
}
// The receiver "game" driven from Lua over a small chapter: the hero's logic names a sequence, a text and
// a minigame; the keeper has a topic for the hero. The tower scene is loaded with its navmesh.
class GameCommandTest : public testing::Test
{
protected:
    // The tower's walkable floor: one triangle around (1 2 3.5), one far off.
    static std::string TowerNavmeshMesh()
    {
        const std::string name = "navmesh_tower.mesh";
        if (!Ogre::MeshManager::getSingleton().resourceExists(name))
        {
            CreateTriangleMesh(name,
                               {{0.5f, 1.5f, 3.5f},
                                {1.5f, 1.5f, 3.5f},
                                {1.0f, 2.5f, 3.5f},
                                {10, 0, 0},
                                {11, 0, 0},
                                {10, 1, 0}},
                               {0, 1, 2, 3, 4, 5});
        }
        return name;
    }

    GameCommandTest()
    {
        m_world.LoadChapter(QUILLMERE_TEST_DATA "gamecomponents/commands/");
        m_hub.AddListener(&m_listener);
    }

    // The new state, and what the words of arrange name: "dialog" (the keeper is the partner), "query" (a
    // choice query waits), "hover" (the key under the mouse), "held" (the key on the pointer), "video"
    // (a video plays), "front" (the hero's talk sequence is the foreground's front).
    void Restart(const std::string& arrange)
    {
        EXPECT_TRUE(
            m_world.LoadGameState(ReadTextFile(QUILLMERE_TEST_DATA "gamecomponents/commands/gamestate.xml")));
        auto scene = MakeScene("scenes_tower");
        scene->AddEnvironment(TowerNavmeshMesh(), Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_SCALE,
                              Ogre::Quaternion::IDENTITY);
        scene->SetNavmesh(TowerNavmeshMesh());
        m_scenes.SetLoadedScene(std::move(scene));
        m_dialogs.ClearChoices();
        m_dialogs.AddChoice("old", "texts_choice");
        m_dialogs.queryPending = arrange.find("query") != std::string::npos;
        m_dialogs.partner = nullptr;
        m_hub.SetSelectedItem(nullptr);
        m_hub.SetMouseOverObject(nullptr);
        if (arrange.find("hover") != std::string::npos)
            m_hub.SetMouseOverObject(Item("items_key"));
        if (arrange.find("held") != std::string::npos)
            m_hub.SetSelectedItem(Item("items_key"));
        if (arrange.find("dialog") != std::string::npos)
            m_dialogs.partner = dynamic_cast<cl_CharacterAsset*>(&m_world.Asset("characters_keeper"));
        m_hub.GetVideoPlayer().Stop();
        if (arrange.find("video") != std::string::npos)
            m_hub.GetVideoPlayer().Play("old.ogv");
        // A sequence that showed an interaction of an item before.
        auto& talk = dynamic_cast<cl_SequenceAsset&>(m_world.Asset("sequences_talk"));
        talk.SetOwnerLogic(nullptr);
        talk.SetUsedItem(Item("items_key"));
        talk.SetInteractionTarget(Item("items_key"));
        talk.SetCallerName("item");
        talk.SetBlocking(false);
        m_sequences.fronts.clear();
        if (arrange.find("front") != std::string::npos)
        {
            talk.SetOwnerLogic(&m_world.Logic("characters_hero"));
            m_sequences.fronts[cl_SequencePlayer::FOREGROUND] = &talk;
        }
        m_hub.RequestChapterStart("", 0);
        m_hub.Update(0.0f);
        EXPECT_TRUE(m_world.script.ExecuteString("_globals = {difficulty = 2}"));
        m_calls.clear();
        m_heard.clear();
        m_world.log.Clear();
        m_before = Probes();
    }

    // What can be seen of the game, by name.
    std::map<std::string, std::string> Probes()
    {
        std::string surfaces;
        const cl_Navmesh* navmesh = m_scenes.GetLoadedScene()->FindNavmesh(TowerNavmeshMesh());
        for (int i = 0; i < navmesh->GetTriangleCount(); ++i)
            surfaces += Format(i ? " %d" : "%d", navmesh->GetTriangle(i).localSurfaceId);
        std::string choices;
        for (const auto& choice : m_dialogs.GetChoices())
            choices += choice.first + ":" + choice.second + " ";
        const TiXmlElement* root = m_world.gameState.GetRoot();
        return {
            {"selected", IdOf(m_hub.GetSelectedItem())},
            {"hover", IdOf(m_hub.GetMouseOverObject())},
            {"partner", IdOf(m_dialogs.GetDialogPartner())},
            {"choices", choices},
            {"video", static_cast<RecordingVideoPlayer&>(m_hub.GetVideoPlayer()).video},
            {"requested", m_hub.GetRequestedChapter() + " " + std::to_string(m_hub.GetRequestedDifficulty())},
            {"gameover", m_hub.IsGameOverRequested() ? "true" : "false"},
            {"chapter", m_world.gameState.GetCurrentChapter()},
            {"character", m_world.gameState.GetCurrentCharacterId()},
            {"hint", PrintedXml(root ? root->FirstChildElement("currenthint") : nullptr)},
            {"scene navmesh", m_scenes.GetLoadedScene()->GetNavmeshName()},
            {"tower navmesh", SceneAsset("scenes_tower").GetNavMesh()},
            {"garden navmesh", SceneAsset("scenes_garden").GetNavMesh()},
            {"surfaces", surfaces},
            {"switch", m_scenes.IsCharacterSwitchPending() ? m_scenes.GetSwitchTarget() : ""},
            {"quests", PrintedXml(root ? root->FirstChildElement("questlog") : nullptr)},
            {"party", PrintedXml(root ? root->FirstChildElement("party") : nullptr)},
        };
    }

    // The calls, what the listener heard, the log lines and the probes that changed since Restart.
    std::string Effects()
    {
        std::vector<std::string> effects = m_calls;
        effects.insert(effects.end(), m_heard.begin(), m_heard.end());
        for (const LogCapture::Line& line : m_world.log.Lines())
            effects.push_back("log " + line.text.substr(0, line.text.find(" -> ")));
        for (const auto& probe : Probes())
        {
            if (probe.second != m_before[probe.first])
                effects.push_back(probe.first + "=" + probe.second);
        }
        std::string joined;
        for (const std::string& effect : effects)
            joined += (joined.empty() ? "" : "; ") + effect;
        return joined;
    }

    // The answer of the command whose name and arguments are the Lua values of arguments.
    bool Answer(const std::string& arguments)
    {
        cl_ArgList values;
        EXPECT_TRUE(m_world.script.ExecuteString("return " + arguments, values));
        // The last value comes first.
        cl_Command command(values.GetArg(values.GetSize() - 1)->GetString());
        for (int i = values.GetSize() - 2; i >= 0; --i)
            *command.m_arguments.GetArg(-1) = *values.GetArg(i);
        return m_world.script.SendCmd("game", command);
    }

    cl_ItemAsset* Item(const std::string& id) { return dynamic_cast<cl_ItemAsset*>(&m_world.Asset(id)); }
    cl_SceneAsset& SceneAsset(const std::string& id)
    {
        return dynamic_cast<cl_SceneAsset&>(m_world.Asset(id));
    }

    HeadlessOgre m_ogre;
    AssetWorld m_world;
    cl_SceneManager m_scenes{m_world.script};
    cl_MinigameManager m_minigames;
    Calls m_calls;
    Calls m_heard;
    RecordingListener m_listener{"listener", m_heard};
    cl_GameComponents m_hub{m_world.script, RecordingComponents(m_calls)};
    RecordingSequencePlayer& m_sequences = static_cast<RecordingSequencePlayer&>(m_hub.GetSequencePlayer());
    RecordingDialogSystem& m_dialogs = static_cast<RecordingDialogSystem&>(m_hub.GetDialogSystem());
    std::map<std::string, std::string> m_before;
};

TEST_F(GameCommandTest, EachCommandReadsItsArgumentsAndAnswersItsValue)
{
    const char* const talk = "layer -1 owner characters_hero caller none blocking item null target null";
    const char* const talkOn2 =
        "layer 2 owner characters_hero caller none not blocking item null target null";
    // The loaded tower has only the navmesh of its mesh; the name is recorded all the same.
    const std::string UNKNOWN_TOWER_NAVMESH =
        "log The scene 'scenes_tower' has no navmesh 'navmesh_b'; the characters have none now.; "
        "scene navmesh=navmesh_b; tower navmesh=navmesh_b";
    const struct
    {
        const char* arrange;
        const char* arguments; // after "game"
        bool answer;
        const char* results;
        std::string effects;
    } cases[] = {
        {"", R"("NoSuchCommand")", false, "", ""},
        {"", R"("AddQuestText", "characters_hero", "quests_old", "text")", true, "",
         "quests=<questlog><quest id=\"quests_old\" titleref=\"texts_choice\"><texts><text "
         "textref=\"texts_choice\" /></texts></quest></questlog>"},
        {"", R"("AddQuestText", "characters_hero", "quests_old", "nothing")", true, "", ""},
        {"", R"("DeleteQuest", "quests_old")", true, "", "quests=<questlog />"},
        {"", R"("DeleteQuest", "quests_none")", true, "", ""},
        {"", R"("SetQuestSlotText", "characters_hero", "quests_new", "slot1", "text", true)", false, "",
         "quests=<questlog><quest id=\"quests_old\" titleref=\"texts_choice\" /><quest "
         "id=\"quests_new\"><slots><slot id=\"slot1\" textref=\"texts_choice\" done=\"true\" "
         "/></slots></quest></questlog>"},
        {"", R"("SetQuestSlotText", "characters_nobody", "quests_new", "slot1", "text", true)", false, "",
         ""},
        {"", R"("SetQuestTitle", "characters_hero", "quests_new", "text")", false, "",
         "quests=<questlog><quest id=\"quests_old\" titleref=\"texts_choice\" /><quest id=\"quests_new\" "
         "titleref=\"texts_choice\" /></questlog>"},
        {"", R"("SetQuestTitle", "characters_mute", "quests_new", "text")", false, "", ""},
        {"", R"("AddCharacterToParty", "characters_hero")", false, "",
         "party=<party><member characterid=\"characters_keeper\" tag=\"first\" /><member "
         "characterid=\"characters_hero\" /></party>"},
        {"", R"("RemoveCharacterFromParty", "characters_keeper")", false, "", "party=<party />"},
        {"", R"("SetPartyTag", "characters_keeper", "leader")", false, "",
         "party=<party><member characterid=\"characters_keeper\" tag=\"leader\" /></party>"},
        {"", R"("ExitDialog")", true, "", "ExitDialog"},
        {"", R"("AbortSequence", 2)", true, "", "AbortSequence 2"},
        {"", R"("AddChoice", "characters_hero", "yes", "text")", true, "",
         "choices=old:texts_choice yes:texts_choice "},
        {"", R"("AddChoice", "characters_hero", "yes", "nothing")", true, "", ""},
        {"", R"("AddChoice", "characters_nobody", "yes", "text")", true, "", ""},
        {"", R"("AddChoice", "characters_mute", "yes", "text")", true, "", ""},
        {"", R"("CharacterInDialog", "characters_keeper")", true, "bool false", ""},
        {"dialog", R"("CharacterInDialog", "characters_keeper")", true, "bool true", ""},
        {"dialog", R"("CharacterInDialog", "characters_hero")", true, "bool false", ""},
        {"", R"("IsDialogActive")", false, "bool false", ""},
        {"query", R"("IsDialogActive")", false, "bool true", ""},
        {"", R"("ClearChoices")", true, "", "choices="},
        {"", R"("GetCurrentCharacter")", true, "string characters_hero", ""},
        {"", R"("GetCurrentScene")", true, "string scenes_tower", ""},
        {"", R"("GetCurrentSceneName")", true, "string scenes_tower", ""},
        {"front", R"("GetSequenceCaller", -1)", true, "string characters_hero", ""},
        {"front", R"("GetSequenceCallerType", -1)", true, "string character", ""},
        {"front", R"("GetSequenceCaller", 3)", true, "", ""},
        {"", R"("GetSequenceCallerType", -1)", true, "", ""},
        {"", R"("PlaySequence", "characters_hero", "sequence")", true, "",
         std::string("PlaySequence sequences_talk ") + talk},
        {"", R"("EnqueueSequence", "characters_hero", "sequence")", true, "",
         std::string("EnqueueSequence sequences_talk ") + talk},
        {"", R"("PlayBackgroundSequence", "characters_hero", "sequence", 2)", true, "",
         std::string("PlaySequence sequences_talk ") + talkOn2},
        {"", R"("EnqueueBackgroundSequence", "characters_hero", "sequence", 2)", true, "",
         std::string("EnqueueSequence sequences_talk ") + talkOn2},
        {"", R"("PlaySequence", "characters_hero", "nothing")", true, "", ""},
        {"", R"("PlaySequence", "characters_nobody", "sequence")", true, "", ""},
        {"", R"("EnqueueSequence", "characters_mute", "sequence")", true, "", ""},
        {"", R"("QueryChoice", "characters_hero")", true, "", "QueryChoice characters_hero"},
        {"", R"("QueryChoice", "characters_nobody")", true, "", ""},
        {"", R"("SetNavmesh", "navmesh_b")", false, "", UNKNOWN_TOWER_NAVMESH},
        {"", R"("SetNavmesh", "navmesh_b", "scenes_tower")", false, "", UNKNOWN_TOWER_NAVMESH},
        {"", R"("SetNavmesh", "navmesh_b", "scenes_garden")", false, "", "garden navmesh=navmesh_b"},
        {"", R"("SetNavmesh", "navmesh_b", "scenes_none")", false, "", ""},
        {"", R"("SetLocalSurfaceId", "navmesh_tower.mesh", 7, 1, 2, 3.5, 0.5, 0.5, 1)", false, "",
         "surfaces=7 -1"},
        {"", R"("SetLocalSurfaceId", "navmesh_none", 7, 1, 2, 3.5, 0.5, 0.5, 1)", false, "", ""},
        {"", R"("UseItem", "items_key")", true, "", "listener OnItemSelected items_key; selected=items_key"},
        {"held", R"("UseItem", "items_none")", true, "", "listener OnItemSelected null; selected=null"},
        {"hover", R"("StartDialog", "characters_keeper")", true, "",
         "StartSubDialog characters_keeper null; listener OnInteractionChanged null; hover=null"},
        {"hover", R"("StartDialog", "characters_mute")", true, "",
         "StartSubDialog characters_mute null; listener OnInteractionChanged null; hover=null"},
        {"", R"("StartDialog", "characters_nobody")", true, "", ""},
        {"", R"("StartSubDialog", "characters_keeper", "sub")", true, "",
         "StartSubDialog characters_keeper topics_tower"},
        {"", R"("StartSubDialog", "characters_keeper", "none")", true, "",
         "StartSubDialog characters_keeper null"},
        {"", R"("StartSubDialog", "characters_mute", "sub")", true, "",
         "StartSubDialog characters_mute null"},
        {"", R"("StartSubDialog", "characters_nobody", "sub")", true, "", ""},
        {"", R"("StartMinigame", "maze")", true, "", "log No minigame 'maze' can run yet"},
        {"", R"("StartMinigame", "characters_hero", "game")", true, "",
         "log No minigame 'puzzle' can run yet"},
        // An extra argument is ignored: with two or more, the caller's param names the minigame.
        {"", R"("StartMinigame", "characters_hero", "game", 3)", true, "",
         "log No minigame 'puzzle' can run yet"},
        {"", R"("StartMinigame", "characters_nobody", "game")", true, "", ""},
        {"", R"("StopMinigame")", true, "", ""},
        {"", R"("IsMinigameActive")", true, "bool false", ""},
        {"", R"("StartMovie")", true, "", "video=welk_teaser_high.ogv"},
        {"", R"("StartMovie", "intro.ogv", 3)", true, "", "video=welk_teaser_high.ogv"},
        {"video", R"("StopMovie")", true, "", "video="},
        {"", R"("StartChapter", "chapter2")", false, "", "requested=chapter2 2"},
        {"", R"("GameOver")", false, "", "gameover=true"},
        {"", R"("SetCurrentChapter", "chapter2")", false, "",
         "log Entering chapter/section 'chapter2'; chapter=chapter2"},
        {"", R"("SetCurrentHint", "characters_hero", "texts_choice")", false, "",
         "hint=<currenthint><characters_hero>texts_choice</characters_hero></currenthint>"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.arguments);
        Restart(c.arrange);
        EXPECT_EQ(Answer(c.arguments), c.answer);
        Restart(c.arrange);
        EXPECT_EQ(ReturnedText(std::string("return sendcmd(\"game\", ") + c.arguments + ")"), c.results);
        EXPECT_EQ(Effects(), c.effects);
    }
}

TEST_F(GameCommandTest, ExtraArgumentsAreIgnoredAndOtherKindsReadAsTheGettersDefault)
{
    const std::string notInt = "log Stored data-type is not an 'int' (nor a 'double').";
    const std::string notString = "log Stored data-type is not a 'string'.";
    const struct
    {
        const char* arguments; // after "game"
        bool answer;
        std::string effects;
    } cases[] = {
        {R"("ExitDialog", 1)", true, "ExitDialog"},
        {R"("AbortSequence", 1.5)", true, "AbortSequence 1"},
        {R"("AbortSequence", -2.5)", true, "AbortSequence -2"},
        {R"("AbortSequence", "two")", true, "AbortSequence 0; " + notInt},
        {R"("PlaySequence", "characters_hero", "sequence", 2)", true,
         "PlaySequence sequences_talk layer -1 owner characters_hero caller none blocking item null target "
         "null"},
        {R"("SetNavmesh", "navmesh_b", "scenes_garden", "x")", false, "garden navmesh=navmesh_b"},
        {R"("StartMinigame", 4)", true, notString + "; log No minigame '' can run yet"},
        {R"("StartMinigame", "characters_hero", 4)", true, notString},
        {R"("StartChapter", "chapter2", 1)", false, "requested=chapter2 2"},
        {R"("GameOver", true)", false, "gameover=true"},
        {R"("SetCurrentHint", "characters_hero", true)", false,
         notString + "; hint=<currenthint><characters_hero></characters_hero></currenthint>"},
        {R"("SetQuestSlotText", "characters_hero", "quests_new", "slot1", "text", "yes")", false,
         "log Stored data-type is not a 'bool'.; quests=<questlog><quest id=\"quests_old\" "
         "titleref=\"texts_choice\" /><quest id=\"quests_new\"><slots><slot id=\"slot1\" "
         "textref=\"texts_choice\" done=\"false\" /></slots></quest></questlog>"},
        {R"("DeleteQuest", false)", true, notString},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.arguments);
        Restart("");
        EXPECT_EQ(Answer(c.arguments), c.answer);
        EXPECT_EQ(Effects(), c.effects);
    }
}

TEST_F(GameCommandTest, AMissingRequiredArgumentRefusesTheCommandWithOneLineNamingIt)
{
    const struct
    {
        const char* arguments; // after "game"
        const char* missing;
    } cases[] = {
        {R"("AddChoice", "characters_hero", "yes")", "string param"},
        {R"("PlayBackgroundSequence", "characters_hero", "sequence")", "int layer"},
        {R"("SetNavmesh")", "string navmesh"},
        {R"("SetLocalSurfaceId", "navmesh_tower", 7, 1, 2, 3, 0.5, 0.5)", "number extent z"},
        {R"("UseItem")", "string item id"},
        {R"("StartMinigame")", "string name or caller"},
        {R"("SetPartyTag", "characters_keeper")", "string tag"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.arguments);
        Restart("held");
        EXPECT_FALSE(Answer(c.arguments));
        Restart("held");
        EXPECT_EQ(ReturnedText(std::string("return sendcmd(\"game\", ") + c.arguments + ")"), "");
        const std::string name =
            std::string(c.arguments).substr(1, std::string(c.arguments).find('"', 1) - 1);
        EXPECT_EQ(Effects(), "log Receiver 'game' refused the command '" + name + "': the argument '" +
                                 c.missing + "' is missing.");
    }
}

TEST_F(GameCommandTest, TheLastChapterStartOfAFrameWinsWithItsDifficulty)
{
    Restart("");
    EXPECT_TRUE(m_world.script.ExecuteString(R"(
        sendcmd("game", "StartChapter", "chapter2")
        _globals.difficulty = 3
        sendcmd("game", "StartChapter", "chapter3"))"));
    std::vector<std::string> started;
    m_hub.SetChapterStarter(
        [&started](const std::string& chapter, int32_t difficulty, std::string&)
        {
            started.push_back(chapter + " " + std::to_string(difficulty));
            return true;
        });
    EXPECT_TRUE(started.empty()) << "nothing starts before the hub's frame";
    m_hub.Update(0.0f);
    m_hub.Update(0.0f);
    EXPECT_EQ(started, std::vector<std::string>{"chapter3 3"});
}
} // namespace
