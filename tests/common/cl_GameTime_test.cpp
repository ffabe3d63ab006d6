#include "common/IGameTimeListener.h"
#include "common/cl_Command.h"
#include "common/cl_CommandDistributor.h"
#include "common/cl_GameTime.h"
#include "support/LogCapture.h"
#include "support/LogLine.h"
#include "support/ManualGameTime.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
// Writes its label to a shared call list and keeps the steps it got; runs a one-off action on its next
// call, as a listener that changes the registrations from inside the update.
class Recorder final : public IGameTimeListener
{
public:
    Recorder(const std::string& label, std::vector<std::string>& calls) : m_label(label), m_calls(calls) {}

    void Update(float dt) override
    {
        steps.push_back(dt);
        m_calls.push_back(m_label);
        std::function<void()> action = std::move(once);
        once = nullptr;
        if (action)
            action();
    }

    std::vector<float> steps;
    std::function<void()> once;

private:
    std::string m_label;
    std::vector<std::string>& m_calls;
};

using Calls = std::vector<std::string>;

class GameTime : public testing::Test
{
protected:
    // The call list of one update, emptied for the next.
    Calls Frame(float dt = 0.5f)
    {
        m_calls.clear();
        m_time.Update(dt);
        return m_calls;
    }

    LogCapture m_log;
    cl_CommandDistributor m_distributor;
    ManualGameTime m_time{m_distributor};
    Calls m_calls;
};

TEST_F(GameTime, StepsAreScaledThenCappedPerGroup)
{
    const struct
    {
        const char* name;
        const char* group;
        TimeGroup values;
        float expected; // for a frame of 0.5 s
    } cases[] = {
        {"gui held at its maximum", "gui", {1.0f, 0.1f, -1.0f}, 0.1f},
        {"fx held at its maximum", "fx", {1.0f, 0.2f, -1.0f}, 0.2f},
        {"a new group passes the frame", "sound", TimeGroup(), 0.5f},
        {"paused default gets exactly nothing", "default", {0.0f, 1.0f, -1.0f}, 0.0f},
        {"minimum above maximum wins", "a", {1.0f, 0.1f, 0.3f}, 0.3f},
        {"minimum raises a slowed step", "b", {0.1f, -1.0f, 0.2f}, 0.2f},
        {"negative caps are off", "c", {3.0f, -0.5f, -2.0f}, 1.5f},
        {"a maximum of zero holds still", "d", {1.0f, 0.0f, -1.0f}, 0.0f},
        {"negative flow passes unchanged", "e", {-1.0f, -1.0f, -1.0f}, -0.5f},
        {"speed-up below the maximum", "f", {2.0f, 1.5f, -1.0f}, 1.0f},
    };
    std::vector<std::unique_ptr<Recorder>> listeners;
    for (const auto& c : cases)
    {
        m_time.GetTimeGroup(c.group) = c.values;
        listeners.push_back(std::make_unique<Recorder>(c.name, m_calls));
        m_time.AddListener(listeners.back().get(), c.group, 0);
    }
    Frame(0.5f);
    for (size_t i = 0; i < listeners.size(); ++i)
    {
        SCOPED_TRACE(cases[i].name);
        ASSERT_EQ(listeners[i]->steps.size(), 1u);
        EXPECT_FLOAT_EQ(listeners[i]->steps[0], cases[i].expected);
    }
    EXPECT_TRUE(m_log.Lines().empty());
}

TEST_F(GameTime, ListenerOfMissingGroupFollowsDefault)
{
    Recorder listener("x", m_calls);
    m_time.AddListener(&listener, "nowhere", 0);
    // Not even "default" exists: it is made with the values of a new group.
    Frame(0.5f);
    m_time.GetTimeGroup("default") = {0.5f, 0.2f, -1.0f};
    Frame(1.0f);
    // "nowhere" was not created on the way, so the listener still follows "default".
    m_time.GetTimeGroup("default").maxCap = -1.0f;
    Frame(1.0f);
    EXPECT_EQ(listener.steps, (std::vector<float>{0.5f, 0.2f, 0.5f}));
    EXPECT_TRUE(m_log.Lines().empty());
}

TEST_F(GameTime, PlayedTimeCountsUnscaledFrames)
{
    m_time.GetTimeGroup("default").timeFlow = 0.0f;
    Recorder listener("x", m_calls);
    m_time.AddListener(&listener, "default", 0);
    Frame(0.5f);
    Frame(0.25f);
    EXPECT_FLOAT_EQ(m_time.GetPlayedTime(), 0.75f);
    EXPECT_EQ(listener.steps, (std::vector<float>{0.0f, 0.0f}));

    m_time.SetPlayedTime(100.0f);
    m_time.RemoveListener(&listener);
    Frame(0.5f);
    EXPECT_FLOAT_EQ(m_time.GetPlayedTime(), 100.5f);
}

TEST_F(GameTime, AZeroStepReachesEveryListenerUncappedAndPlaysNoTime)
{
    m_time.GetTimeGroup("gui") = {1.0f, -1.0f, 0.2f};
    Recorder capped("capped", m_calls);
    Recorder plain("plain", m_calls);
    m_time.AddListener(&capped, "gui", 1);
    m_time.AddListener(&plain, "default", 0);
    m_time.NotifyZeroStep();
    EXPECT_EQ(m_calls, (Calls{"plain", "capped"}));
    EXPECT_EQ(capped.steps, (std::vector<float>{0.0f})) << "a minimum cap would make the zero a step";
    EXPECT_EQ(plain.steps, (std::vector<float>{0.0f}));
    EXPECT_EQ(m_time.GetPlayedTime(), 0.0f);
}

TEST_F(GameTime, ListenersRunByPriorityThenRegistration)
{
    const struct
    {
        const char* label;
        int32_t priority;
    } registrations[] = {{"video", 999}, {"scene", 0},  {"items", 3}, {"logic", 0},
                         {"tags", 1},    {"early", -5}, {"puppet", 0}};
    std::vector<std::unique_ptr<Recorder>> listeners;
    for (const auto& r : registrations)
    {
        listeners.push_back(std::make_unique<Recorder>(r.label, m_calls));
        m_time.AddListener(listeners.back().get(), "default", r.priority);
    }
    const Calls expected{"early", "scene", "logic", "puppet", "tags", "items", "video"};
    EXPECT_EQ(Frame(), expected);
    EXPECT_EQ(Frame(), expected);
}

TEST_F(GameTime, RegisteringAgainMovesTheListener)
{
    m_time.GetTimeGroup("gui") = {1.0f, 0.1f, -1.0f};
    Recorder a("a", m_calls), b("b", m_calls), c("c", m_calls);
    for (Recorder* listener : {&a, &b, &c})
        m_time.AddListener(listener, "default", 0);

    // Same priority: behind the others, and now in "gui".
    m_time.AddListener(&a, "gui", 0);
    EXPECT_EQ(Frame(0.5f), (Calls{"b", "c", "a"}));
    EXPECT_EQ(a.steps, std::vector<float>{0.1f});

    m_time.AddListener(&c, "default", -1);
    EXPECT_EQ(Frame(0.5f), (Calls{"c", "b", "a"}));
    EXPECT_EQ(c.steps, (std::vector<float>{0.5f, 0.5f}));
}

TEST_F(GameTime, RemovalAnswersWhetherTheListenerWasRegistered)
{
    Recorder a("a", m_calls);
    EXPECT_FALSE(m_time.RemoveListener(nullptr));
    EXPECT_FALSE(m_time.RemoveListener(&a));
    m_time.AddListener(nullptr, "default", 0);
    m_time.AddListener(&a, "default", 0);
    EXPECT_EQ(Frame(), Calls{"a"});
    EXPECT_TRUE(m_time.RemoveListener(&a));
    EXPECT_FALSE(m_time.RemoveListener(&a));
    EXPECT_EQ(Frame(), Calls{});
}

TEST_F(GameTime, LoadsRunTheZeroTimeListOnlyWithZeroSteps)
{
    Recorder loading("loading", m_calls);
    Recorder framed("framed", m_calls);
    m_time.AddListener(&framed, "default", 0);
    m_time.AddZeroTimeListener(&loading);
    m_time.AddZeroTimeListener(&loading);
    m_time.AddZeroTimeListener(nullptr);

    m_time.UpdateWhileLoading();
    EXPECT_EQ(m_calls, Calls{"loading"});
    EXPECT_EQ(loading.steps, std::vector<float>{0.0f});
    EXPECT_EQ(Frame(), Calls{"framed"});

    m_time.RemoveZeroTimeListener(&loading);
    m_calls.clear();
    m_time.UpdateWhileLoading();
    EXPECT_EQ(m_calls, Calls{});
}

TEST_F(GameTime, RegistrationsChangedDuringTheUpdate)
{
    // a, b and c run at priorities 0, 1 and 2; d is a spare listener. While a pass runs, the entry it
    // calls next is the one after the listener being called.
    struct Listeners
    {
        Recorder& a;
        Recorder& b;
        Recorder& c;
        Recorder& d;
    };
    const struct
    {
        const char* name;
        char actor;
        std::function<void(cl_GameTime&, Listeners&)> action;
        Calls firstFrame;
        Calls secondFrame;
    } cases[] = {
        {"removing the next listener skips it", 'a',
         [](cl_GameTime& t, Listeners& l) { t.RemoveListener(&l.b); }, Calls{"a", "c"}, Calls{"a", "c"}},
        {"removing itself", 'a', [](cl_GameTime& t, Listeners& l) { t.RemoveListener(&l.a); },
         Calls{"a", "b", "c"}, Calls{"b", "c"}},
        {"removing itself and then the next", 'a',
         [](cl_GameTime& t, Listeners& l)
         {
             t.RemoveListener(&l.a);
             t.RemoveListener(&l.b);
         },
         Calls{"a", "c"}, Calls{"c"}},
        {"the last removing itself", 'c', [](cl_GameTime& t, Listeners& l) { t.RemoveListener(&l.c); },
         Calls{"a", "b", "c"}, Calls{"a", "b"}},
        {"removing one already called", 'b', [](cl_GameTime& t, Listeners& l) { t.RemoveListener(&l.a); },
         Calls{"a", "b", "c"}, Calls{"b", "c"}},
        {"removing one after the next", 'a', [](cl_GameTime& t, Listeners& l) { t.RemoveListener(&l.c); },
         Calls{"a", "b"}, Calls{"a", "b"}},
        {"adding behind the next runs in this pass", 'a',
         [](cl_GameTime& t, Listeners& l) { t.AddListener(&l.d, "default", 2); }, Calls{"a", "b", "c", "d"},
         Calls{"a", "b", "c", "d"}},
        {"adding before the next waits a frame", 'a',
         [](cl_GameTime& t, Listeners& l) { t.AddListener(&l.d, "default", 0); }, Calls{"a", "b", "c"},
         Calls{"a", "d", "b", "c"}},
        {"moving the next listener to the end", 'a',
         [](cl_GameTime& t, Listeners& l) { t.AddListener(&l.b, "default", 5); }, Calls{"a", "c", "b"},
         Calls{"a", "c", "b"}},
    };
    for (const auto& change : cases)
    {
        SCOPED_TRACE(change.name);
        Recorder a("a", m_calls), b("b", m_calls), c("c", m_calls), d("d", m_calls);
        Listeners listeners{a, b, c, d};
        m_time.AddListener(&a, "default", 0);
        m_time.AddListener(&b, "default", 1);
        m_time.AddListener(&c, "default", 2);
        Recorder& actor = change.actor == 'a' ? a : change.actor == 'b' ? b : c;
        actor.once = [this, &change, &listeners] { change.action(m_time, listeners); };
        EXPECT_EQ(Frame(), change.firstFrame);
        EXPECT_EQ(Frame(), change.secondFrame);
        for (Recorder* listener : {&a, &b, &c, &d})
            m_time.RemoveListener(listener);
    }
}

TEST_F(GameTime, LocalTimeIsTakenNow)
{
    const int64_t before = platform::Time64();
    platform::LocalTime now;
    EXPECT_TRUE(m_time.GetLocalTime(now));
    const int64_t after = platform::Time64();
    EXPECT_LE(before, now.time);
    EXPECT_GE(after, now.time);

    platform::LocalTime same;
    EXPECT_TRUE(m_time.ToLocalTime(now.time, same));
    EXPECT_EQ(same.year, now.year);
    EXPECT_EQ(same.day, now.day);
    EXPECT_EQ(same.second, now.second);
}

// The receiver "gametime", reached as Lua reaches it: through the distributor.
TEST_F(GameTime, CommandsWriteGroupsAndWarnOnBadArguments)
{
    const TimeGroup gui{0.3f, 0.1f, -1.0f};
    const TimeGroup fallback{0.3f, 1.0f, -1.0f};
    const std::string site = " -> source\\common\\cl_GameTime(#) <cl_GameTime::ExecuteCmd>";
    const std::string noGroup = "A group name is expected as first argument but couldn't be found!" + site;
    const std::string noValue = "A value type is expected as second argument!" + site;
    const std::string badValue = "The second argument has to be an int or double value!" + site;
    using Fill = std::function<void(cl_ArgList&)>;
    const Fill nothing = [](cl_ArgList&) {};
    const auto text = [](const char* value)
    { return [value](cl_ArgList& a) { a.GetArg(-1)->SetString(value); }; };
    const auto number = [](double value)
    { return [value](cl_ArgList& a) { a.GetArg(-1)->SetDouble(value); }; };
    const struct
    {
        const char* name;
        const char* command;
        Fill first;
        Fill second;
        const char* group;
        TimeGroup expected;
        std::vector<LogCapture::Line> lines;
    } cases[] = {
        {"name in lower case", "settimeflow", text("gui"), number(0.5), "gui", {0.5f, 0.1f, -1.0f}, {}},
        {"int value",
         "SetMaxCap",
         text("gui"),
         [](cl_ArgList& a) { a.GetArg(-1)->SetInt(2); },
         "gui",
         {0.3f, 2.0f, -1.0f},
         {}},
        {"minimum cap", "SETMINCAP", text("gui"), number(0.05), "gui", {0.3f, 0.1f, 0.05f}, {}},
        {"extra arguments are ignored",
         "SETTIMEFLOW",
         text("gui"),
         [](cl_ArgList& a)
         {
             a.GetArg(-1)->SetDouble(0.5);
             a.GetArg(-1)->SetString("extra");
         },
         "gui",
         {0.5f, 0.1f, -1.0f},
         {}},
        {"a new group", "SETMAXCAP", text("sequences"), number(0.25), "sequences", {1.0f, 0.25f, -1.0f}, {}},
        {"group names keep their case",
         "SETTIMEFLOW",
         text("GUI"),
         number(0.5),
         "GUI",
         {0.5f, -1.0f, -1.0f},
         {}},
        {"missing value", "SETTIMEFLOW", text("gui"), nothing, "gui", {1.0f, 0.1f, -1.0f}, {{noValue, 2}}},
        {"text value", "SETTIMEFLOW", text("gui"), text("0.5"), "gui", {1.0f, 0.1f, -1.0f}, {{badValue, 2}}},
        {"bool value",
         "SETMAXCAP",
         text("gui"),
         [](cl_ArgList& a) { a.GetArg(-1)->SetBool(true); },
         "gui",
         {0.3f, 1.0f, -1.0f},
         {{badValue, 2}}},
        {"group not a string",
         "SETTIMEFLOW",
         [](cl_ArgList& a) { a.GetArg(-1)->SetInt(5); },
         number(0.5),
         "default",
         {0.5f, 1.0f, -1.0f},
         {{noGroup, 2}}},
        {"no arguments",
         "SETTIMEFLOW",
         nothing,
         nothing,
         "default",
         {1.0f, 1.0f, -1.0f},
         {{noGroup, 2}, {noValue, 2}}},
        {"unknown command",
         "Pause",
         text("gui"),
         number(0.0),
         "gui",
         gui,
         {{"Received unknown Cmd 'PAUSE'!" + site, 1}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_time.GetTimeGroup("gui") = gui;
        m_time.GetTimeGroup("default") = fallback;
        m_log.Clear();

        cl_Command cmd(c.command);
        c.first(cmd.m_arguments);
        c.second(cmd.m_arguments);
        EXPECT_FALSE(m_distributor.SendCmd("gametime", cmd));
        EXPECT_EQ(cmd.m_results.GetSize(), 0);

        const TimeGroup& written = m_time.GetTimeGroup(c.group);
        EXPECT_FLOAT_EQ(written.timeFlow, c.expected.timeFlow);
        EXPECT_FLOAT_EQ(written.maxCap, c.expected.maxCap);
        EXPECT_FLOAT_EQ(written.minCap, c.expected.minCap);
        for (const auto& [name, untouched] :
             {std::make_pair("gui", gui), std::make_pair("default", fallback)})
        {
            if (name == std::string(c.group))
                continue;
            EXPECT_EQ(m_time.GetTimeGroup(name).timeFlow, untouched.timeFlow) << name;
            EXPECT_EQ(m_time.GetTimeGroup(name).maxCap, untouched.maxCap) << name;
            EXPECT_EQ(m_time.GetTimeGroup(name).minCap, untouched.minCap) << name;
        }

        ASSERT_EQ(m_log.Lines().size(), c.lines.size());
        for (size_t i = 0; i < c.lines.size(); ++i)
        {
            EXPECT_EQ(WithoutLineNumber(m_log.Lines()[i].text), c.lines[i].text);
            EXPECT_EQ(m_log.Lines()[i].level, c.lines[i].level);
        }
    }
}

TEST(GameTimeReceiver, LeavesTheDistributorWhenDestroyed)
{
    LogCapture log;
    cl_CommandDistributor distributor;
    auto time = std::make_unique<ManualGameTime>(distributor);
    cl_Command cmd("SETTIMEFLOW");
    cmd.m_arguments.GetArg(-1)->SetString("gui");
    cmd.m_arguments.GetArg(-1)->SetDouble(0.5);
    distributor.SendCmd("gametime", cmd);
    EXPECT_FLOAT_EQ(time->GetTimeGroup("gui").timeFlow, 0.5f);

    time.reset();
    EXPECT_FALSE(distributor.SendCmd("gametime", cmd));
    EXPECT_TRUE(log.Contains("A Command-Receiver with the name 'gametime' does not exist!", 2));
}

TEST(GameTimeReceiver, KeepsAForeignRegistrationOfItsName)
{
    LogCapture log;
    cl_CommandDistributor distributor;
    struct Other final : ICommandReceiver
    {
        bool ExecuteCmd(cl_Command&) override { return true; }
    } other;
    distributor.RegisterCmdReceiver("gametime", &other);
    {
        ManualGameTime time(distributor);
        EXPECT_TRUE(log.Contains("A CmdReceiver with the name gametime is allready registered!", 2));
    }
    cl_Command cmd("SETTIMEFLOW");
    EXPECT_TRUE(distributor.SendCmd("gametime", cmd));
}
} // namespace
