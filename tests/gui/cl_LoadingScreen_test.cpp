#include "gui/cl_LoadingScreen.h"

#include "gui/cl_ChapterLoadingScreen.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// A screen that notes each progress it is told of and each caption it is shown.
class RecordingScreen : public cl_LoadingScreen
{
public:
    void OnStart() override {}
    void OnProgress() override { progresses.push_back(GetProgress()); }
    void OnCaptionChanged() override { captions.push_back(GetCaption()); }
    void OnEnd() override {}

    // One resource group as OGRE reports it: its scripts parsed, then its resources loaded.
    void ParseGroup(size_t scripts)
    {
        resourceGroupScriptingStarted("group", scripts);
        for (size_t script = 0; script < scripts; ++script)
        {
            bool skip = false;
            scriptParseStarted("script" + std::to_string(script), skip);
            scriptParseEnded("script" + std::to_string(script), false);
        }
        resourceGroupScriptingEnded("group");
    }
    void LoadGroup(size_t resources)
    {
        resourceGroupLoadStarted("group", resources);
        for (size_t resource = 0; resource < resources; ++resource)
        {
            resourceLoadStarted(Ogre::ResourcePtr());
            resourceLoadEnded();
        }
        resourceGroupLoadEnded("group");
    }

    std::vector<float> progresses;
    std::vector<std::string> captions;
};

TEST(LoadingScreen, EachGroupFillsItsShareOfTheBar)
{
    const struct
    {
        const char* name;
        float dataShare;
        int scriptGroups;
        int loadGroups;
        std::vector<size_t> scripts;   // per group parsed
        std::vector<size_t> resources; // per group loaded
        float progress;
    } cases[] = {
        {"start-up: seven groups parsed fill 0.7", 0.0f, 7, 3, {9, 0, 3, 1, 12, 5, 2}, {}, 0.7f},
        {"start-up: and three loaded the rest", 0.0f, 7, 3, {9, 0, 3, 1, 12, 5, 2}, {4, 0, 20}, 1.0f},
        {"a chapter's two groups fill half", 0.5f, 2, 2, {3, 1}, {8, 2}, 0.5f},
        {"a group without scripts still adds its share", 0.0f, 1, 1, {0}, {}, 0.7f},
        {"a screen told of no groups does not move", 0.0f, 0, 0, {3}, {2}, 0.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        RecordingScreen screen;
        screen.SetShares(c.dataShare, c.scriptGroups, c.loadGroups, 0);
        for (size_t scripts : c.scripts)
            screen.ParseGroup(scripts);
        for (size_t resources : c.resources)
            screen.LoadGroup(resources);
        EXPECT_NEAR(screen.GetProgress(), c.progress, 1e-5f);
    }
}

TEST(LoadingScreen, AScriptMovesTheBarByItsGroupsShare)
{
    // 0.7 / (9 + 1) / 7 per script of a group of nine, and once more at the group's end.
    RecordingScreen screen;
    screen.SetShares(0.0f, 7, 3, 0);
    screen.ParseGroup(9);
    ASSERT_EQ(screen.progresses.size(), 10u);
    EXPECT_NEAR(screen.progresses[0], 0.01f, 1e-6f);
    EXPECT_NEAR(screen.progresses[9], 0.1f, 1e-6f);
}

TEST(LoadingScreen, CaptionsSayWhatIsBeingDone)
{
    RecordingScreen screen;
    screen.SetShares(0.0f, 1, 1, 0);
    screen.ParseGroup(1);
    screen.LoadGroup(1);
    screen.worldGeometryStageStarted("terrain");
    EXPECT_EQ(screen.captions, (std::vector<std::string>{"Parsing scripts...", "script0",
                                                         "Loading resources...", "", "terrain"}));
}

TEST(LoadingScreen, ThePoolsOfAChapterFillTheDataShare)
{
    const struct
    {
        const char* name;
        int dataLoads;
        int count;
        float perPool;
        bool complains;
    } cases[] = {
        {"ten pools: 0.05 each", 1, 10, 0.05f, false},
        {"a screen not prepared for data takes one load", 0, 10, 0.05f, true},
        {"no pools: no step and no division by zero", 1, 0, 0.0f, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        LogCapture log;
        RecordingScreen screen;
        screen.SetShares(0.5f, 2, 2, c.dataLoads);
        screen.ParseGroup(2);
        screen.ParseGroup(0);
        screen.LoadGroup(3);
        screen.LoadGroup(1);
        const size_t before = screen.progresses.size();
        screen.OnDataLoadStarted(c.count);
        EXPECT_EQ(screen.progresses.size(), before) << "the start of the data draws nothing";
        for (int pool = 0; pool < c.count; ++pool)
            screen.OnDataLoaded();
        screen.OnDataLoaded();
        EXPECT_NEAR(screen.progresses.back() - screen.progresses[screen.progresses.size() - 2], c.perPool,
                    1e-6f);
        EXPECT_EQ(log.Contains("Not prepared to load additional data!", cl_Logger::LEVEL_ERROR), c.complains);
        if (c.count > 0)
            EXPECT_NEAR(screen.progresses[screen.progresses.size() - 2], 1.0f, 1e-5f);
    }
}

TEST(ChapterLoadingScreen, FlavourAndPercentageFollowTheProgress)
{
    const struct
    {
        float progress;
        int flavour;
        const char* percentage;
    } cases[] = {
        {0.0f, 1, "0%"},   {0.3f, 1, "30%"},  {0.31f, 2, "31%"},  {0.6f, 2, "60%"},  {0.61f, 3, "61%"},
        {0.95f, 3, "95%"}, {0.96f, 4, "96%"}, {0.999f, 4, "99%"}, {1.0f, 4, "100%"}, {0.5f, 2, "50%"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(cl_ChapterLoadingScreen::FlavourNumber(c.progress), c.flavour) << c.progress;
        EXPECT_EQ(cl_ChapterLoadingScreen::PercentageText(c.progress), c.percentage) << c.progress;
    }
}
} // namespace
