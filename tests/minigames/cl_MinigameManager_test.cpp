#include "minigames/cl_MinigameManager.h"

#include "common/cl_TarqdataLoader.h"
#include "support/LogCapture.h"
#include "support/RecordingMinigame.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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

TEST(MinigameManager, StartsTheMinigameAddedUnderTheNameElseTheDefaultOne)
{
    LogCapture log;
    cl_MinigameManager minigames;
    std::vector<std::string> seen;
    minigames.AddMinigame("puzzle", std::make_unique<RecordingMinigame>("puzzle", seen));
    EXPECT_TRUE(minigames.IsRegistered("puzzle"));

    minigames.StartMinigame("puzzle", nullptr);
    minigames.StartMinigame("unknown", nullptr);
    EXPECT_EQ(minigames.GetCurrentMinigame(), nullptr);
    EXPECT_TRUE(log.Contains("'unknown'", cl_Logger::LEVEL_WARNING));

    minigames.AddMinigame("default", std::make_unique<RecordingMinigame>("default", seen));
    minigames.StartMinigame("unknown", nullptr);
    ASSERT_NE(minigames.GetCurrentMinigame(), nullptr);
    // A minigame added in place of the running one ends it first.
    minigames.AddMinigame("default", std::make_unique<RecordingMinigame>("other", seen));
    EXPECT_EQ(minigames.GetCurrentMinigame(), nullptr);
    EXPECT_EQ(seen, (std::vector<std::string>{"puzzle start", "puzzle end", "default start", "default end"}));
}
} // namespace
