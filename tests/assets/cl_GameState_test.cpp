#include "assets/IGameStateListener.h"
#include "assets/cl_GameState.h"
#include "support/AssetWorld.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
std::string Print(const TiXmlNode* node)
{
    if (!node)
        return "(null)";
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    node->Accept(&printer);
    return printer.CStr();
}

class GameStateTest : public testing::Test
{
protected:
    void Load(const char* xml)
    {
        TiXmlDocument document;
        document.Parse(xml);
        ASSERT_NE(document.RootElement(), nullptr) << xml;
        ASSERT_TRUE(m_state.ReplaceTree(*document.RootElement()));
    }
    std::string Tree() { return Print(m_state.GetRoot()); }

    LogCapture m_log;
    cl_GameState m_state;
};

using Accessor = std::function<TiXmlElement*(cl_GameState&)>;

TEST_F(GameStateTest, WithoutTreeReadersAreEmptyAndNothingIsCreated)
{
    const Accessor accessors[] = {
        [](cl_GameState& s) { return s.GetItemState("items_a"); },
        [](cl_GameState& s) { return s.GetTopicState("topics_a"); },
        [](cl_GameState& s) { return s.GetSceneState("scenes_a"); },
        [](cl_GameState& s) { return s.GetLogicState("items_a"); },
        [](cl_GameState& s) { return s.GetInventoryState(); },
        [](cl_GameState& s) { return s.GetQuestLogState(); },
        [](cl_GameState& s) { return s.GetPartyState(); },
        [](cl_GameState& s) { return s.GetDataBindingState(); },
    };
    for (const Accessor& accessor : accessors)
        EXPECT_EQ(accessor(m_state), nullptr);

    m_state.SetCurrentSceneId("scenes_a");
    m_state.SetCurrentBackdrop("night");
    m_state.SetCurrentCharacterId("characters_hero");
    m_state.SetCurrentChapter("chapter1");
    m_state.SetCurrentHint("characters_hero", "texts_hint");
    EXPECT_EQ(m_state.GetRoot(), nullptr);
    EXPECT_EQ(m_state.GetCurrentSceneId(), "");
    EXPECT_EQ(m_state.GetCurrentBackdrop(), "default");
    EXPECT_EQ(m_state.GetCurrentCharacterId(), "");
    EXPECT_EQ(m_state.GetCurrentChapter(), "");
    EXPECT_TRUE(m_log.Lines().empty());
}

TEST_F(GameStateTest, AccessorsCreateMissingElementsOnce)
{
    struct Case
    {
        const char* name;
        Accessor accessor;
        const char* created; // the new element as written
        const char* parent;  // its parent below the root, or "" for the root itself
    } cases[] = {
        {"item", [](cl_GameState& s) { return s.GetItemState("items_zylinder"); },
         "<item idref=\"items_zylinder\" interactionmode=\"none\" visualisation=\"default\" />", "items"},
        {"topic", [](cl_GameState& s) { return s.GetTopicState("topics_a"); }, "<topic idref=\"topics_a\" />",
         "topics"},
        {"logic", [](cl_GameState& s) { return s.GetLogicState("items_key"); },
         "<logic idref=\"items_key\" />", "logics"},
        {"inventory", [](cl_GameState& s) { return s.GetInventoryState(); }, "<inventory />", ""},
        {"questlog", [](cl_GameState& s) { return s.GetQuestLogState(); }, "<questlog />", ""},
        {"party", [](cl_GameState& s) { return s.GetPartyState(); }, "<party />", ""},
        {"databinding", [](cl_GameState& s) { return s.GetDataBindingState(); }, "<databinding />", ""},
    };
    for (const Case& c : cases)
    {
        Load("<gamestate><currentscene sceneid=\"scenes_a\"/>party</gamestate>");
        TiXmlElement* element = c.accessor(m_state);
        ASSERT_NE(element, nullptr) << c.name;
        EXPECT_EQ(Print(element), c.created) << c.name;
        const TiXmlNode* parent = element->Parent();
        if (*c.parent)
        {
            EXPECT_EQ(parent->ValueStr(), c.parent) << c.name;
            parent = parent->Parent();
        }
        EXPECT_EQ(parent, m_state.GetRoot()) << c.name;
        EXPECT_EQ(c.accessor(m_state), element) << c.name << ": a second call creates another";
    }
}

TEST_F(GameStateTest, StatesAreFoundByExactIdrefInTheFirstList)
{
    Load("<gamestate>"
         "<items><item idref=\"items_a\" n=\"1\"/><item idref=\"items_a\" n=\"2\"/><item "
         "idref=\"Items_b\"/></items>"
         "<items><item idref=\"items_c\"/></items>"
         "<scenes><scene idref=\"scenes_a\"/></scenes>"
         "</gamestate>");
    EXPECT_STREQ(m_state.GetItemState("items_a")->Attribute("n"), "1");

    TiXmlElement* b = m_state.GetItemState("items_b");
    EXPECT_EQ(b->Parent(), m_state.GetRoot()->FirstChildElement("items")) << "case-sensitive";
    EXPECT_EQ(m_state.GetItemState("items_c")->Parent(), b->Parent()) << "only the first list is searched";

    EXPECT_EQ(Print(m_state.GetSceneState("scenes_a")), "<scene idref=\"scenes_a\" />");
    const std::string before = Tree();
    EXPECT_EQ(m_state.GetSceneState("scenes_b"), nullptr);
    EXPECT_EQ(Tree(), before) << "a scene state is never created";
}

TEST_F(GameStateTest, LookupsFollowTheTreeAsItChanges)
{
    Load("<gamestate><logics><logic idref=\"items_a\" n=\"old\"/></logics></gamestate>");
    ASSERT_NE(m_state.GetLogicState("items_a"), nullptr);

    // Appended from outside, after the lookups began.
    auto* added = new TiXmlElement("logic");
    added->SetAttribute("idref", "items_b");
    m_state.GetRoot()->FirstChildElement("logics")->LinkEndChild(added);
    EXPECT_EQ(m_state.GetLogicState("items_b"), added);

    TiXmlElement* created = m_state.GetLogicState("items_c");
    EXPECT_EQ(m_state.GetLogicState("items_c"), created) << "a created state is found, not made again";

    // A new tree with the same ids: its elements, not the deleted ones.
    Load("<gamestate><logics><logic idref=\"items_a\" n=\"new\"/></logics></gamestate>");
    EXPECT_STREQ(m_state.GetLogicState("items_a")->Attribute("n"), "new");
    EXPECT_EQ(m_state.GetLogicState("items_b")->Attribute("n"), nullptr) << "created in the new tree";

    m_state.Clear();
    EXPECT_EQ(m_state.GetLogicState("items_a"), nullptr);
    Load("<gamestate/>");
    EXPECT_EQ(m_state.GetLogicState("items_a")->Parent()->Parent(), m_state.GetRoot());
}

TEST_F(GameStateTest, CreatingItemAndTopicStatesIsLoggedByTheirRules)
{
    struct Case
    {
        const char* name;
        Accessor accessor;
        const char* line; // the error logged when the state is created, or null
    } cases[] = {
        {"item id beginning with items", [](cl_GameState& s) { return s.GetItemState("items_zylinder"); },
         "No State found for item 'items_zylinder'. Creating an empty one. -> source\\assets\\cl_GameState("},
        {"character id as item", [](cl_GameState& s) { return s.GetItemState("characters_hero"); }, nullptr},
        {"prefix is case-sensitive", [](cl_GameState& s) { return s.GetItemState("Items_a"); }, nullptr},
        {"id shorter than the prefix", [](cl_GameState& s) { return s.GetItemState("item"); }, nullptr},
        {"id exactly the prefix", [](cl_GameState& s) { return s.GetItemState("items"); },
         "No State found for item 'items'. Creating an empty one."},
        {"id with a format sign", [](cl_GameState& s) { return s.GetItemState("items_%s%n"); },
         "No State found for item 'items_%s%n'. Creating an empty one."},
        {"any topic", [](cl_GameState& s) { return s.GetTopicState("x"); },
         "No State found for topic 'x'. Creating an empty one. -> source\\assets\\cl_GameState("},
        {"logic", [](cl_GameState& s) { return s.GetLogicState("items_key"); }, nullptr},
    };
    for (const Case& c : cases)
    {
        Load("<gamestate/>");
        m_log.Clear();
        c.accessor(m_state);
        if (!c.line)
        {
            EXPECT_TRUE(m_log.Lines().empty()) << c.name;
            continue;
        }
        ASSERT_EQ(m_log.Lines().size(), 1u) << c.name;
        EXPECT_EQ(m_log.Lines()[0].level, cl_Logger::LEVEL_ERROR) << c.name;
        EXPECT_EQ(m_log.Lines()[0].text.rfind(c.line, 0), 0u) << c.name << ": " << m_log.Lines()[0].text;
        const std::string function = c.name == std::string("any topic") ? "<cl_GameState::GetTopicState>"
                                                                        : "<cl_GameState::GetItemState>";
        EXPECT_NE(m_log.Lines()[0].text.find(function), std::string::npos) << c.name;

        m_log.Clear();
        c.accessor(m_state);
        EXPECT_TRUE(m_log.Lines().empty()) << c.name << ": the second call finds the state";
    }
}

TEST_F(GameStateTest, CurrentValuesAreWrittenAndReadBack)
{
    Load("<gamestate/>");
    m_state.SetCurrentSceneId("scenes_a");
    EXPECT_EQ(m_state.GetCurrentBackdrop(), "default") << "no backdrop attribute yet";
    m_state.SetCurrentBackdrop("night");
    m_state.SetCurrentCharacterId("characters_hero");
    m_state.SetCurrentChapter("chapter1");
    m_state.SetCurrentChapter("chapter2");
    EXPECT_EQ(Tree(), "<gamestate><currentscene sceneid=\"scenes_a\" backdrop=\"night\" />"
                      "<currentcharacter characterid=\"characters_hero\" />"
                      "<currentchapter>chapter2</currentchapter></gamestate>");
    EXPECT_EQ(m_state.GetCurrentSceneId(), "scenes_a");
    EXPECT_EQ(m_state.GetCurrentBackdrop(), "night");
    EXPECT_EQ(m_state.GetCurrentCharacterId(), "characters_hero");
    EXPECT_EQ(m_state.GetCurrentChapter(), "chapter2");

    Load("<gamestate><currentscene backdrop=\"\"/></gamestate>");
    EXPECT_EQ(m_state.GetCurrentBackdrop(), "") << "an empty backdrop is not missing";
}

TEST_F(GameStateTest, TheChapterIsTheFirstTextOfItsElement)
{
    struct Case
    {
        const char* tree;
        const char* read;
        const char* afterSet; // the element after SetCurrentChapter("chapter9")
    } cases[] = {
        {"<gamestate><currentchapter>chapter1</currentchapter></gamestate>", "chapter1",
         "<currentchapter>chapter9</currentchapter>"},
        {"<gamestate><currentchapter/></gamestate>", "", "<currentchapter>chapter9</currentchapter>"},
        {"<gamestate><currentchapter><!--old-->chapter2</currentchapter></gamestate>", "chapter2",
         "<currentchapter><!--old-->chapter9</currentchapter>"},
        {"<gamestate><currentchapter><x/></currentchapter></gamestate>", "",
         "<currentchapter><x />chapter9</currentchapter>"},
    };
    for (const Case& c : cases)
    {
        Load(c.tree);
        EXPECT_EQ(m_state.GetCurrentChapter(), c.read) << c.tree;
        m_state.SetCurrentChapter("chapter9");
        EXPECT_EQ(Print(m_state.GetRoot()->FirstChildElement("currentchapter")), c.afterSet) << c.tree;
        EXPECT_EQ(m_state.GetCurrentChapter(), "chapter9") << c.tree;
    }
}

TEST_F(GameStateTest, SettingAHintLeavesOneTextNode)
{
    Load("<gamestate><currenthint><characters_hero>texts_old<a/>more</characters_hero>"
         "<characters_other>texts_other</characters_other></currenthint></gamestate>");
    m_state.SetCurrentHint("characters_hero", "texts_one");
    m_state.SetCurrentHint("characters_hero", "texts_two");
    m_state.SetCurrentHint("characters_new", "texts_new");
    m_state.SetCurrentHint("characters_new", "texts_newer");
    EXPECT_EQ(Print(m_state.GetRoot()->FirstChildElement("currenthint")),
              "<currenthint><characters_hero>texts_two</characters_hero>"
              "<characters_other>texts_other</characters_other>"
              "<characters_new>texts_newer</characters_new></currenthint>");

    Load("<gamestate/>");
    m_state.SetCurrentHint("characters_hero", "texts_a&b");
    EXPECT_EQ(Tree(), "<gamestate><currenthint><characters_hero>texts_a&amp;b</characters_hero>"
                      "</currenthint></gamestate>");
}

TEST_F(GameStateTest, AHintForAnIdThatIsNoElementNameIsRefused)
{
    const char* const ids[] = {"",   "1abc", "-a",  "a b",  "a<b",
                               "a>", "a/b",  "a&b", "a\"b", "\xE2\x80\x8B\x01"};
    for (const char* id : ids)
    {
        Load("<gamestate/>");
        m_log.Clear();
        m_state.SetCurrentHint(id, "texts_hint");
        EXPECT_EQ(Tree(), "<gamestate />") << id;
        ASSERT_EQ(m_log.Lines().size(), 1u) << id;
        EXPECT_EQ(m_log.Lines()[0].level, cl_Logger::LEVEL_ERROR) << id;
        EXPECT_EQ(m_log.Lines()[0].text.rfind(
                      "The character id '" + std::string(id) + "' cannot name an element", 0),
                  0u)
            << m_log.Lines()[0].text;
    }
}

TEST(GameStateHint, IsTheTextOfTheControlledCharactersHint)
{
    AssetWorld world;
    world.LoadChapter(DemoChapterFolder());
    const std::string hero = "<currentcharacter characterid='characters_hero'/>";
    const struct
    {
        const char* name;
        std::string tree; // inside "gamestate"
        const char* hint;
    } cases[] = {
        {"no hint", hero, ""},
        {"a hint for another character",
         hero + "<currenthint><characters_keeper>texts_tower_hint</characters_keeper></currenthint>", ""},
        {"no controlled character",
         "<currenthint><characters_hero>texts_tower_hint</characters_hero></currenthint>", ""},
        {"an unknown text id",
         hero + "<currenthint><characters_hero>texts_nothing</characters_hero></currenthint>", ""},
        {"an empty hint", hero + "<currenthint><characters_hero/></currenthint>", ""},
        {"a found text",
         hero + "<currenthint><characters_keeper>texts_key</characters_keeper>"
                "<characters_hero>texts_tower_hint</characters_hero></currenthint>",
         "Irgendwo im Turm liegt ein Schl\xC3\xBCssel."},
    };
    for (const auto& c : cases)
    {
        ASSERT_TRUE(world.LoadGameState("<gamestate>" + c.tree + "</gamestate>")) << c.name;
        EXPECT_EQ(world.gameState.GetCurrentHint(), c.hint) << c.name;
    }
}

// Records every notification as "<name>:<operation>".
struct Recorder
{
    std::vector<std::string> lines;
    std::function<void(std::string name)> onLoading;
};

class RecordingListener : public IGameStateListener
{
public:
    RecordingListener(cl_GameState& state, std::string name, Recorder& recorder)
        : m_state(state), m_name(std::move(name)), m_recorder(recorder)
    {
        m_state.AddListener(this);
    }
    ~RecordingListener() override { m_state.RemoveListener(this); }

    void NotifyGameStateCleared() override { Note("Cleared"); }
    void NotifyChapterChanged() override { Note("ChapterChanged"); }
    void NotifyGameStateLoading() override
    {
        Note("Loading");
        // May destroy this listener: nothing of it is used afterwards.
        Recorder& recorder = m_recorder;
        if (recorder.onLoading)
            recorder.onLoading(m_name);
    }
    void NotifyGameStateLoaded(cl_GameState* gameState) override
    {
        EXPECT_EQ(gameState, &m_state);
        Note("Loaded");
    }
    void NotifyGameStateSaving(cl_GameState*) override { Note("Saving"); }

private:
    void Note(const char* operation) { m_recorder.lines.push_back(m_name + ":" + operation); }

    cl_GameState& m_state;
    std::string m_name;
    Recorder& m_recorder;
};

class GameStateListenerTest : public GameStateTest
{
protected:
    void SetUp() override
    {
        for (const char* name : {"a", "b", "c"})
            m_listeners.push_back(std::make_unique<RecordingListener>(m_state, name, m_recorder));
    }

    Recorder m_recorder;
    std::vector<std::unique_ptr<RecordingListener>> m_listeners;
};

using Lines = std::vector<std::string>;

TEST_F(GameStateListenerTest, ALoadTellsEveryListenerLoadingBeforeAnyLoaded)
{
    Load("<gamestate/>");
    EXPECT_EQ(m_recorder.lines,
              (Lines{"a:Loading", "b:Loading", "c:Loading", "a:Loaded", "b:Loaded", "c:Loaded"}));
}

TEST_F(GameStateListenerTest, TheOldTreeLivesUntilEveryListenerIsLoaded)
{
    Load("<gamestate><items><item idref=\"items_old\"/></items></gamestate>");
    const TiXmlElement* held = m_state.GetItemState("items_old");
    std::string seenWhileLoading;
    m_recorder.onLoading = [&](const std::string&)
    {
        seenWhileLoading = held->Attribute("idref");
        EXPECT_EQ(m_state.GetRoot()->FirstChildElement("items"), nullptr) << "the new tree is in place";
    };
    Load("<gamestate/>");
    EXPECT_EQ(seenWhileLoading, "items_old");
}

TEST_F(GameStateListenerTest, ReplacingKeepsACopyAndRefusesOtherElements)
{
    TiXmlDocument document;
    document.Parse("<gamestate><currentchapter>chapter1</currentchapter></gamestate>");
    ASSERT_TRUE(m_state.ReplaceTree(*document.RootElement()));
    document.RootElement()->Clear();
    EXPECT_EQ(m_state.GetCurrentChapter(), "chapter1");

    m_recorder.lines.clear();
    const TiXmlElement save("savegame");
    EXPECT_FALSE(m_state.ReplaceTree(save));
    EXPECT_EQ(m_state.GetCurrentChapter(), "chapter1");
    EXPECT_TRUE(m_recorder.lines.empty());
    EXPECT_TRUE(m_log.Contains("The element 'savegame' is no game state", cl_Logger::LEVEL_ERROR));
}

TEST_F(GameStateListenerTest, AdoptingMakesTheSavesOwnElementTheTree)
{
    auto document = std::make_unique<TiXmlDocument>();
    document->Parse("<savegame><gamestate><currentchapter>chapter2</currentchapter></gamestate></savegame>");
    TiXmlElement& gamestate = *document->RootElement()->FirstChildElement("gamestate");
    ASSERT_TRUE(m_state.AdoptTree(std::move(document), gamestate));
    EXPECT_EQ(m_state.GetRoot(), &gamestate);
    EXPECT_EQ(m_state.GetCurrentChapter(), "chapter2");
    EXPECT_EQ(m_recorder.lines,
              (Lines{"a:Loading", "b:Loading", "c:Loading", "a:Loaded", "b:Loaded", "c:Loaded"}));

    m_recorder.lines.clear();
    auto other = std::make_unique<TiXmlDocument>();
    other->Parse("<savegame/>");
    TiXmlElement& savegame = *other->RootElement();
    EXPECT_FALSE(m_state.AdoptTree(std::move(other), savegame));
    EXPECT_EQ(m_state.GetCurrentChapter(), "chapter2");
    EXPECT_TRUE(m_recorder.lines.empty());
    EXPECT_TRUE(m_log.Contains("The element 'savegame' is no game state", cl_Logger::LEVEL_ERROR));
}

TEST_F(GameStateListenerTest, ClearDeletesTheTreeThenTellsEveryListener)
{
    Load("<gamestate/>");
    m_recorder.lines.clear();
    m_recorder.onLoading = nullptr;
    m_state.Clear();
    EXPECT_EQ(m_state.GetRoot(), nullptr);
    EXPECT_EQ(m_recorder.lines, (Lines{"a:Cleared", "b:Cleared", "c:Cleared"}));
}

TEST_F(GameStateListenerTest, AListenerRemovedDuringNotificationIsNotToldAgain)
{
    struct Case
    {
        const char* name;
        const char* remover;
        size_t removed;
        Lines expected;
    } cases[] = {
        {"first destroys second", "a", 1, {"a:Loading", "c:Loading", "a:Loaded", "c:Loaded"}},
        {"second destroys itself", "b", 1, {"a:Loading", "b:Loading", "c:Loading", "a:Loaded", "c:Loaded"}},
        {"last destroys first", "c", 0, {"a:Loading", "b:Loading", "c:Loading", "b:Loaded", "c:Loaded"}},
    };
    for (const Case& c : cases)
    {
        m_listeners.clear();
        SetUp();
        m_recorder.lines.clear();
        m_recorder.onLoading = [&](const std::string& name)
        {
            if (name == c.remover)
                m_listeners[c.removed].reset();
        };
        Load("<gamestate/>");
        EXPECT_EQ(m_recorder.lines, c.expected) << c.name;
    }
}

class FakePoolReloader : public IPoolReloader
{
public:
    void ReloadPools(const std::string& chapterFolder, const std::string& commonFolder,
                     ILoadingProgress* progress) override
    {
        calls.push_back(chapterFolder + "|" + commonFolder);
        EXPECT_EQ(progress, nullptr);
    }
    std::vector<std::string> calls;
};

TEST_F(GameStateListenerTest, SwitchingToTheLoadedChapterDoesNothing)
{
    FakePoolReloader pools;
    m_state.SetPoolReloader(&pools);
    EXPECT_EQ(m_state.GetChapterFolder(), "");

    m_state.SwitchChapter("data/chapter1/", "data/common/", nullptr);
    EXPECT_EQ(m_recorder.lines, (Lines{"a:ChapterChanged", "b:ChapterChanged", "c:ChapterChanged"}));
    EXPECT_EQ(pools.calls, (Lines{"data/chapter1/|data/common/"}));
    EXPECT_EQ(m_state.GetChapterFolder(), "data/chapter1/");

    m_state.SwitchChapter("data/chapter1/", "data/other/", nullptr);
    EXPECT_EQ(m_recorder.lines.size(), 3u);
    EXPECT_EQ(pools.calls.size(), 1u);

    m_state.SwitchChapter("data/Chapter1/", "data/common/", nullptr);
    EXPECT_EQ(m_recorder.lines.size(), 6u) << "folders compare exactly";
    EXPECT_EQ(pools.calls.back(), "data/Chapter1/|data/common/");
    EXPECT_TRUE(m_log.Lines().empty());

    m_state.SetPoolReloader(nullptr);
    m_state.SwitchChapter("data/chapter2/", "data/common/", nullptr);
    EXPECT_EQ(m_state.GetChapterFolder(), "data/chapter2/");
    EXPECT_EQ(m_recorder.lines.size(), 9u);
    EXPECT_TRUE(
        m_log.Contains("No pool manager to load the pools of 'data/chapter2/'.", cl_Logger::LEVEL_ERROR));
}

// Must never be told anything.
class SilentListener : public IGameStateListener
{
public:
    void NotifyGameStateCleared() override { ADD_FAILURE() << "Cleared"; }
    void NotifyChapterChanged() override { ADD_FAILURE() << "ChapterChanged"; }
    void NotifyGameStateLoading() override { ADD_FAILURE() << "Loading"; }
    void NotifyGameStateLoaded(cl_GameState*) override { ADD_FAILURE() << "Loaded"; }
    void NotifyGameStateSaving(cl_GameState*) override { ADD_FAILURE() << "Saving"; }
};

TEST(GameStateLifetime, DestroyingDeletesTheTreeAndLeavesListenersAlone)
{
    SilentListener listener;
    auto state = std::make_unique<cl_GameState>();
    EXPECT_EQ(cl_GameState::GetInstance(), state.get());
    state->ReplaceTree(TiXmlElement("gamestate"));
    state->GetItemState("items_a");
    state->AddListener(&listener);
    state.reset();
    EXPECT_EQ(cl_GameState::GetInstance(), nullptr);
}
} // namespace
