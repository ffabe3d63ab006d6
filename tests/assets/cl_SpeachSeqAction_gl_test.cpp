#include "assets/cl_SpeachSeqAction.h"

#include "assets/cl_SeqAction.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "gui/cl_GUISystem.h"
#include "gui/cl_IngameMenu.h"
#include "support/ActionProbe.h"
#include "support/AssetWorld.h"
#include "support/OverlayWindow.h"

#include <gtest/gtest.h>

#include <Overlay/OgreOverlayElement.h>

#include <memory>

namespace
{
// The demo's chapter as a new game with the keeper's figure and the in-game menu's overlays in a window.
// No sound device: the keeper's greeting (73 bytes) has no voice and lasts its reading time, 5.475 s.
class SpokenSubtitles : public testing::Test
{
protected:
    SpokenSubtitles()
    {
        m_world.LoadChapter(DemoChapterFolder());
        m_world.LoadGameState(DemoNewGameState());
        m_characters.AddCharacter(
            std::make_unique<cl_Character>(m_window.SceneManager(), nullptr, "characters_keeper"));
        m_window.Render();
        m_gui.GetIngameMenu().CreateOverlays();
    }

    const Ogre::OverlayElement* Subtitle()
    {
        return m_gui.GetIngameMenu().FindElement("st_characters_keeper");
    }
    bool SubtitleShown() { return Subtitle() && Subtitle()->isVisible(); }

    OverlayWindow m_window{800, 600};
    AssetWorld m_world;
    cl_CharacterManager m_characters{m_world.script};
    cl_GUISystem m_gui{m_world.script};
};

const char* const GREETING = "<action type='SpeachAction' textref='spokentexts_keeper_hello' delay='0'/>";
} // namespace

TEST_F(SpokenSubtitles, TheSubtitleStandsWhileTheLineRunsAndGoesAtItsEndOrAbort)
{
    for (const bool aborted : {false, true})
    {
        SCOPED_TRACE(aborted ? "aborted" : "to its end");
        ActionProbe line(GREETING);
        line.Start();
        EXPECT_TRUE(SubtitleShown());
        line.Frames(50, 0.1f);
        EXPECT_TRUE(SubtitleShown()) << "still within its reading time";
        if (aborted)
            line.Action().Stop(true);
        else
            line.Frames(5, 0.1f);
        EXPECT_FALSE(SubtitleShown());
        EXPECT_EQ(line.trace, aborted ? "S" : "SD");
    }
}

TEST_F(SpokenSubtitles, AStoppedLineThatWaitsForItsSpeakerLeavesTheSpokenOnesSubtitle)
{
    ActionProbe first(GREETING);
    ActionProbe waiting(GREETING);
    first.Start();
    waiting.Start();
    waiting.Action().Stop(true);
    EXPECT_TRUE(SubtitleShown());
    first.Action().Stop(true);
    EXPECT_FALSE(SubtitleShown());
}
