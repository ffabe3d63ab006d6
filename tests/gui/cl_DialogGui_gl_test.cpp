#include "gui/cl_DialogGui.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterAsset.h"
#include "common/cl_SyncManager.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gui/cl_IngameMenu.h"
#include "support/AssetWorld.h"
#include "support/OverlayWindow.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>

#include <memory>
#include <string>

namespace
{
const char* const FIXTURE = QUILLMERE_TEST_DATA "gamecomponents/dialogs/";

// The dialog fixture's chapter with the game components and the in-game menu's overlays in a 4:3 window
// (no bars): the panel spans 0.9 of the width at the bottom edge.
class DialogViewTest : public testing::Test
{
protected:
    DialogViewTest()
    {
        m_world.LoadChapter(FIXTURE);
        EXPECT_TRUE(m_world.LoadGameState(ReadTextFile(std::string(FIXTURE) + "gamestate.xml")));
        m_window.Render();
        m_menu.CreateOverlays();
        m_window.Render();
    }
    ~DialogViewTest() override { m_menu.DestroyOverlays(); }

    // A choice query of the hero with the texts of the parameters named (a, b, c), keys in that order.
    void Ask(const std::vector<std::string>& params)
    {
        for (const std::string& param : params)
            EXPECT_TRUE(m_world.script.ExecuteString(
                "sendcmd('game', 'AddChoice', 'characters_hero', 'answer." + param + "', '" + param + "')"));
        Dialogs().QueryChoice(&m_world.Logic("characters_hero"));
    }
    void Frames(int count, float dt)
    {
        for (int frame = 0; frame < count; ++frame)
            View().Update(dt);
    }
    // Frames of dt until the panel stands still; returns how many it took.
    int FramesUntilStill(float dt)
    {
        for (int frame = 1; frame <= 200; ++frame)
        {
            const float before = Panel().getHeight();
            View().Update(dt);
            if (Panel().getHeight() == before)
                return frame - 1;
        }
        return -1;
    }
    Ogre::OverlayElement& Line(int index)
    {
        return *Ogre::OverlayManager::getSingleton().getOverlayElement("choice" + std::to_string(index));
    }
    // The middle of the line in screen fractions.
    std::pair<float, float> Centre(Ogre::OverlayElement& element)
    {
        return {element._getDerivedLeft() + element.getWidth() / 2,
                element._getDerivedTop() + element.getHeight() / 2};
    }

    cl_DialogGui& View() { return m_menu.GetDialogGui(); }
    Ogre::OverlayContainer& Panel() { return *View().GetPanel(); }
    cl_DialogSystem& Dialogs() { return m_hub.GetDialogSystem(); }

    OverlayWindow m_window{800, 600};
    AssetWorld m_world;
    cl_SyncManager m_sync;
    cl_GameComponents m_hub{m_world.script};
    cl_IngameMenu m_menu;
};

TEST_F(DialogViewTest, ThreeOneLineEntriesMakeThePanelInsetsLinesAndGapsHigh)
{
    Ask({"a", "b", "c"});
    View().Update(0.0f);
    ASSERT_TRUE(View().IsShown());
    float lines = 0.0f;
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_GT(Line(i).getHeight(), 0.0f) << i;
        lines += Line(i).getHeight();
        EXPECT_NEAR(Line(i).getTop(), 0.02f + i * (Line(0).getHeight() + 0.01f), 1e-5f) << i;
        EXPECT_NEAR(Line(i).getLeft(), 0.02f, 1e-6f);
        EXPECT_NEAR(Line(i).getWidth(), Panel().getWidth() - 0.04f, 1e-6f);
    }
    EXPECT_NEAR(View().GetTargetHeight(), 0.02f + lines + 2 * 0.01f + 0.02f, 1e-5f);
}

TEST_F(DialogViewTest, ThePanelOpensAndClosesInAQuarterSecondWithItsBottomEdgeKept)
{
    const float bottom = Panel().getTop();
    const struct
    {
        const char* name;
        float dt;
        int frames;
    } cases[] = {
        {"60 frames a second", 1.0f / 60.0f, 15},
        {"one long frame", 0.5f, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Ask({"a", "b"});
        // The first frame opens the panel for the pending choices.
        View().Update(c.dt);
        ASSERT_TRUE(View().IsShown());
        Frames(c.frames - 1, c.dt);
        EXPECT_LT(Panel().getHeight(), View().GetTargetHeight() - 0.001f) << "not open before its time";
        Frames(1, c.dt);
        EXPECT_NEAR(Panel().getHeight(), View().GetTargetHeight(), 1e-5f);
        EXPECT_NEAR(Panel().getTop() + Panel().getHeight(), bottom, 1e-5f);
        FramesUntilStill(c.dt);
        const float open = Panel().getHeight();
        Dialogs().ExitDialog();
        Frames(c.frames - 1, c.dt);
        EXPECT_GT(Panel().getHeight(), 0.001f) << "not closed before its time";
        Frames(1, c.dt);
        EXPECT_NEAR(Panel().getHeight(), 0.0f, 1e-5f);
        FramesUntilStill(c.dt);
        EXPECT_GT(open, 0.05f);
        EXPECT_EQ(Panel().getHeight(), 0.0f);
        EXPECT_NEAR(Panel().getTop(), bottom, 1e-5f);
        EXPECT_FALSE(View().IsShown()) << "no dialog runs: closed is hidden";
        EXPECT_FALSE(Panel().isVisible());
    }
}

TEST_F(DialogViewTest, ADialogsPanelClosesWhileItsTopicPlaysAndHidesAfterTheExit)
{
    Dialogs().StartSubDialog(dynamic_cast<cl_CharacterAsset*>(&m_world.Asset("characters_keeper")), nullptr);
    EXPECT_TRUE(View().IsShown());
    // Closed at once; with nothing playing in the foreground the topics are built and the panel opens.
    View().Update(0.1f);
    EXPECT_GT(View().GetTargetHeight(), 0.0f);
    FramesUntilStill(0.1f);
    EXPECT_NEAR(Panel().getHeight(), View().GetTargetHeight(), 1e-6f);
    // The goodbye's sequence holds the foreground: the panel closes and stays hidden.
    Dialogs().ChooseExitTopic();
    FramesUntilStill(0.1f);
    EXPECT_FALSE(View().IsShown());
}

TEST_F(DialogViewTest, TheLineUnderTheMouseTakesTheSpeechColourAndTheGapNone)
{
    const struct
    {
        const char* name;
        std::string currentCharacter;
        Ogre::ColourValue highlight;
    } cases[] = {
        {"the hero's speech colour", "characters_hero", Ogre::ColourValue(0, 128 / 255.0f, 1)},
        {"green without a current character", "", Ogre::ColourValue::Green},
        {"green for a character the pool lacks", "characters_nobody", Ogre::ColourValue::Green},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_world.gameState.SetCurrentCharacterId(c.currentCharacter);
        Ask({"a", "b"});
        View().Update(0.5f);
        View().Update(0.5f);
        m_window.Render();
        const auto first = Centre(Line(0));
        View().MouseMoved(first.first, first.second);
        EXPECT_EQ(View().GetHoveredEntry(), 0);
        EXPECT_TRUE(View().IsMouseOverPanel());
        EXPECT_EQ(Line(0).getColour(), c.highlight);
        EXPECT_EQ(Line(1).getColour(), Ogre::ColourValue::White);
        const float gap = Line(0)._getDerivedTop() + Line(0).getHeight() + 0.005f;
        View().MouseMoved(first.first, gap);
        EXPECT_EQ(View().GetHoveredEntry(), -1);
        EXPECT_TRUE(View().IsMouseOverPanel());
        EXPECT_EQ(Line(0).getColour(), Ogre::ColourValue::White);
        const auto second = Centre(Line(1));
        View().MouseMoved(second.first, second.second);
        EXPECT_EQ(View().GetHoveredEntry(), 1);
        View().MouseMoved(0.5f, 0.1f);
        EXPECT_FALSE(View().IsMouseOverPanel());
        EXPECT_EQ(View().GetHoveredEntry(), -1);
        Dialogs().ExitDialog();
        FramesUntilStill(0.5f);
    }
}
} // namespace
