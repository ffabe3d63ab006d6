#include "minigames/cl_MinigameManager.h"

#include "common/cl_TarqdataLoader.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace
{
const char* const MINIGAMES = "<tarqdata>"
                              "<minigame name='startsplash' type='splash'/>"
                              "<minigame type='puzzle'/>"
                              "</tarqdata>";

TEST(MinigameManager, KnowsTheMinigamesOfTheDataFilesByName)
{
    LogCapture log;
    cl_TarqdataLoader loader;
    {
        cl_MinigameManager minigames;
        loader.ParseTdf("GAMEDATA", MINIGAMES, "minigames.tdf", false);
        EXPECT_TRUE(minigames.IsRegistered("startsplash"));
        EXPECT_FALSE(minigames.IsRegistered("endsplash"));
        EXPECT_TRUE(log.Contains("without name", cl_Logger::LEVEL_WARNING));

        minigames.StartMinigame("startsplash", nullptr);
        EXPECT_EQ(minigames.GetCurrentMinigame(), nullptr);
        EXPECT_TRUE(log.Contains("'startsplash'", cl_Logger::LEVEL_WARNING));
    }
    // The manager left the loader's registry with its end.
    log.Clear();
    loader.ParseTdf("GAMEDATA", MINIGAMES, "minigames.tdf", false);
    EXPECT_TRUE(log.Lines().empty());
}
} // namespace
