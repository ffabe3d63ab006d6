#include "common/cl_Command.h"
#include "common/cl_CommandDistributor.h"
#include "support/LogCapture.h"
#include "support/LogLine.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
// Records the commands it gets, appends one result naming itself and answers as told.
class RecordingReceiver final : public ICommandReceiver
{
public:
    explicit RecordingReceiver(const std::string& label) : m_label(label) {}

    bool ExecuteCmd(cl_Command& cmd) override
    {
        received.push_back(cmd.GetName());
        cmd.m_results.GetArg(-1)->SetString(m_label);
        if (during)
            during(cmd);
        return answer;
    }

    bool answer = true;
    std::vector<std::string> received;
    std::function<void(cl_Command&)> during;

private:
    std::string m_label;
};

class Distributor : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_distributor.RegisterCmdReceiver("x", &m_first)); }

    // The one line logged since the capture started, without its line number.
    std::string OnlyLine() const
    {
        if (m_capture.Lines().size() != 1)
            return "lines logged: " + std::to_string(m_capture.Lines().size());
        return WithoutLineNumber(m_capture.Lines()[0].text);
    }

    LogCapture m_capture;
    cl_CommandDistributor m_distributor;
    RecordingReceiver m_first{"first"};
    RecordingReceiver m_second{"second"};
};

TEST_F(Distributor, RefusalsWarnAndKeepTheFirstReceiver)
{
    const struct
    {
        const char* name;
        std::function<bool(cl_CommandDistributor&, cl_Command&, ICommandReceiver&)> act;
        const char* line;
    } cases[] = {
        {"a name registered twice",
         [](cl_CommandDistributor& d, cl_Command&, ICommandReceiver& other)
         { return d.RegisterCmdReceiver("x", &other); },
         "A CmdReceiver with the name x is allready registered! -> "
         "source\\common\\cl_CommandDistributor(#) <cl_CommandDistributor::RegisterCmdReceiver>"},
        {"unregistering an unknown name",
         [](cl_CommandDistributor& d, cl_Command&, ICommandReceiver&)
         { return d.UnRegisterCmdReceiver("y"); },
         "A CmdReceiver with the name y does not exist! -> "
         "source\\common\\cl_CommandDistributor(#) <cl_CommandDistributor::UnRegisterCmdReceiver>"},
        {"sending to a name in another case",
         [](cl_CommandDistributor& d, cl_Command& cmd, ICommandReceiver&) { return d.SendCmd("X", cmd); },
         "A Command-Receiver with the name 'X' does not exist! -> "
         "source\\common\\cl_CommandDistributor(#) <cl_CommandDistributor::SendCmd>"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_capture.Clear();
        cl_Command cmd("look");
        cmd.m_arguments.GetArg(-1)->SetInt(4);
        EXPECT_FALSE(c.act(m_distributor, cmd, m_second));
        EXPECT_EQ(OnlyLine(), c.line);
        EXPECT_EQ(m_capture.Lines()[0].level, 2);
        // The command is untouched.
        EXPECT_EQ(cmd.m_name, "look");
        EXPECT_EQ(cmd.m_arguments.GetSize(), 1);
        EXPECT_EQ(cmd.m_results.GetSize(), 0);

        cl_Command probe("probe");
        EXPECT_TRUE(m_distributor.SendCmd("x", probe));
        ASSERT_EQ(probe.m_results.GetSize(), 1);
        EXPECT_EQ(probe.m_results.GetArg(0)->GetString(), "first");
    }
    EXPECT_TRUE(m_second.received.empty());
}

TEST_F(Distributor, ResultsReachTheSenderWhateverTheAnswer)
{
    for (bool answer : {true, false})
    {
        m_first.answer = answer;
        cl_Command cmd("count");
        EXPECT_EQ(m_distributor.SendCmd("x", cmd), answer);
        ASSERT_EQ(cmd.m_results.GetSize(), 1);
        EXPECT_EQ(cmd.m_results.GetArg(0)->GetString(), "first");
    }
    EXPECT_EQ(m_first.received, (std::vector<std::string>{"count", "count"}));
    EXPECT_TRUE(m_capture.Lines().empty());
}

TEST_F(Distributor, UnregisteredNameNoLongerReachesItsReceiver)
{
    EXPECT_TRUE(m_distributor.UnRegisterCmdReceiver("x"));
    EXPECT_TRUE(m_capture.Lines().empty());
    cl_Command cmd("look");
    EXPECT_FALSE(m_distributor.SendCmd("x", cmd));
    EXPECT_EQ(OnlyLine(), "A Command-Receiver with the name 'x' does not exist! -> "
                          "source\\common\\cl_CommandDistributor(#) <cl_CommandDistributor::SendCmd>");
    EXPECT_TRUE(m_first.received.empty());

    // The name is free again.
    EXPECT_TRUE(m_distributor.RegisterCmdReceiver("x", &m_second));
    EXPECT_TRUE(m_distributor.SendCmd("x", cmd));
    EXPECT_EQ(m_second.received, std::vector<std::string>{"look"});
}

TEST_F(Distributor, ReceiverMaySendWhileItRuns)
{
    ASSERT_TRUE(m_distributor.RegisterCmdReceiver("y", &m_second));
    m_first.during = [this](cl_Command& cmd)
    {
        cl_Command inner("inner");
        m_distributor.SendCmd("y", inner);
        *cmd.m_results.GetArg(-1) = *inner.m_results.GetArg(0);
        // Leaving while running is allowed too.
        m_distributor.UnRegisterCmdReceiver("x");
    };
    cl_Command cmd("outer");
    EXPECT_TRUE(m_distributor.SendCmd("x", cmd));
    ASSERT_EQ(cmd.m_results.GetSize(), 2);
    EXPECT_EQ(cmd.m_results.GetArg(0)->GetString(), "first");
    EXPECT_EQ(cmd.m_results.GetArg(1)->GetString(), "second");
    EXPECT_EQ(m_second.received, std::vector<std::string>{"inner"});
    EXPECT_TRUE(m_capture.Lines().empty());
}
} // namespace
