#include "common/cl_Command.h"
#include "common/cl_CommandDistributor.h"
#include "common/cl_LuaCommandReceiver.h"
#include "common/cl_LuaScriptSystem.h"
#include "support/LogCapture.h"
#include "support/LogLine.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
TEST(LuaCommandReceiver, LogsEveryCommandAndAnswersTrue)
{
    cl_CommandDistributor distributor;
    cl_LuaCommandReceiver root(distributor, "root");
    LogCapture capture;
    for (const char* name : {"anything", "", "quit"})
    {
        capture.Clear();
        cl_Command cmd(name);
        cmd.m_arguments.GetArg(-1)->SetInt(1);
        EXPECT_TRUE(distributor.SendCmd("root", cmd));
        EXPECT_EQ(cmd.m_results.GetSize(), 0);
        ASSERT_EQ(capture.Lines().size(), 1u);
        EXPECT_EQ(capture.Lines()[0].level, 4);
        EXPECT_EQ(WithoutLineNumber(capture.Lines()[0].text),
                  std::string("Receiver 'root' received the command '") + name +
                      "'. -> source\\common\\cl_LuaCommandReceiver(#) <cl_LuaCommandReceiver::ExecuteCmd>");
    }
}

TEST(LuaCommandReceiver, LeavesTheDistributorWhenDestroyed)
{
    cl_CommandDistributor distributor;
    LogCapture capture;
    auto root = std::make_unique<cl_LuaCommandReceiver>(distributor, "root");
    {
        // A second receiver under the same name is refused and must not take the first one's name along.
        cl_LuaCommandReceiver twin(distributor, "root");
        EXPECT_TRUE(capture.Contains("A CmdReceiver with the name root is allready registered!", 2));
    }
    cl_Command cmd("ping");
    EXPECT_TRUE(distributor.SendCmd("root", cmd));

    root.reset();
    capture.Clear();
    EXPECT_FALSE(distributor.SendCmd("root", cmd));
    EXPECT_TRUE(capture.Contains("A Command-Receiver with the name 'root' does not exist!", 2));
}

TEST(LuaCommandReceiver, RootOfTheApplicationHearsLua)
{
    LogCapture capture;
    cl_LuaScriptSystem scripts;
    {
        // Made as the application makes it: by name, with the script system as its distributor.
        cl_LuaCommandReceiver root("root");
        capture.Clear();
        cl_ArgList results;
        EXPECT_TRUE(scripts.ExecuteString("return select('#', sendcmd('root', 'Ping', 1, 'text'))", results));
        ASSERT_EQ(results.GetSize(), 1);
        EXPECT_EQ(results.GetArg(0)->GetInt(), 0);
        ASSERT_EQ(capture.Lines().size(), 1u);
        EXPECT_EQ(WithoutLineNumber(capture.Lines()[0].text),
                  "Receiver 'root' received the command 'Ping'. -> "
                  "source\\common\\cl_LuaCommandReceiver(#) <cl_LuaCommandReceiver::ExecuteCmd>");
    }
    capture.Clear();
    EXPECT_TRUE(scripts.ExecuteString("sendcmd('root', 'Ping')"));
    EXPECT_TRUE(capture.Contains("A Command-Receiver with the name 'root' does not exist!", 2));
}

TEST(LuaCommandReceiver, WithoutScriptSystemItReceivesNothing)
{
    LogCapture capture;
    {
        cl_LuaCommandReceiver root("root");
    }
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(WithoutLineNumber(capture.Lines()[0].text),
              "No script system to register the receiver 'root' with! -> "
              "source\\common\\cl_LuaCommandReceiver(#) <cl_LuaCommandReceiver::cl_LuaCommandReceiver>");
    EXPECT_EQ(capture.Lines()[0].level, 1);
}

TEST(LuaCommandReceiver, MissingRegistrationWarnsOnDestruction)
{
    cl_CommandDistributor distributor;
    LogCapture capture;
    {
        cl_LuaCommandReceiver root(distributor, "root");
        distributor.UnRegisterCmdReceiver("root");
        capture.Clear();
    }
    EXPECT_TRUE(capture.Contains("A CmdReceiver with the name root does not exist!", 2));
}
} // namespace
