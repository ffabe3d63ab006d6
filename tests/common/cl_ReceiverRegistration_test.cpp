#include "common/cl_ReceiverRegistration.h"

#include "common/cl_Command.h"
#include "common/cl_CommandDistributor.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace
{
class CountingReceiver final : public ICommandReceiver
{
public:
    bool ExecuteCmd(cl_Command&) override
    {
        ++m_calls;
        return true;
    }

    int m_calls = 0;
};

bool Send(cl_CommandDistributor& distributor, const char* receiver)
{
    cl_Command command("Ping");
    return distributor.SendCmd(receiver, command);
}

TEST(ReceiverRegistration, HoldsTheNameWhileItLivesAndASecondClaimTakesNothingAway)
{
    LogCapture log;
    cl_CommandDistributor distributor;
    CountingReceiver first;
    CountingReceiver second;
    {
        cl_ReceiverRegistration registration(distributor, "camera", &first);
        {
            cl_ReceiverRegistration refused(distributor, "camera", &second);
        }
        EXPECT_TRUE(Send(distributor, "camera"));
        EXPECT_EQ(first.m_calls, 1);
        EXPECT_EQ(second.m_calls, 0);
    }
    EXPECT_FALSE(Send(distributor, "camera"));
    EXPECT_EQ(first.m_calls, 1);
}
} // namespace
