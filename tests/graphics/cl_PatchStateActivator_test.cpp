#include "graphics/cl_PatchStateActivator.h"

#include "graphics/cl_AnimatedPatch.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_VisualStateHolder.h"
#include "support/BackdropWorld.h"
#include "support/VisualStatesText.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
// The loaded scene has the animated patch "torch" (10 s through 20 frames, looping, playing, at 0) and the
// plain patch "glow".
class PatchStates : public testing::Test
{
protected:
    PatchStates()
    {
        m_torch.SetDuration(10.0f);
        m_torch.SetFrameLayout(20, 5);
        m_world.scene->AddPatch("torch", &m_torch);
        m_world.scene->AddPatch("glow", &m_glow);
    }
    // Reads the state "lit" from the entries' text.
    void Read(const std::string& entries)
    {
        ReadVisualStates(m_holder, "<visualstates><visualstate name=\"lit\">" + entries +
                                       "</visualstate></visualstates>");
    }

    BackdropWorld m_world;
    cl_Backdrop& m_backdrop = m_world.AddBackdrop("default");
    cl_AnimatedPatch m_torch{m_backdrop, 32.0f, 32.0f};
    cl_Patch m_glow{m_backdrop, 64.0f, 64.0f};
    cl_VisualStateHolder m_holder;
};

TEST_F(PatchStates, AnAnimatedPatchTakesTheEntrysTimeModeDelayAndPlaying)
{
    const struct
    {
        const char* entry;
        float time;
        int mode;
        bool playing;
    } cases[] = {
        {R"(<patch name="torch" visible="true" frame="3"/>)", 1.5f, cl_AnimatedPatch::MODE_LOOP, false},
        {R"(<patch name="torch" visible="true" frame="max" animated="true" mode="bounce"/>)", 10.0f,
         cl_AnimatedPatch::MODE_BOUNCE, true},
        {R"(<patch name="torch" visible="true" time="2.5" frame="3" mode="none"/>)", 2.5f,
         cl_AnimatedPatch::MODE_NONE, false},
        {R"(<patch name="torch" visible="true" time="max" mode="swing"/>)", 10.0f,
         cl_AnimatedPatch::MODE_LOOP, false},
        {R"(<patch name="torch" visible="true" animated="true" mode="loop" delay="0.5"/>)", 0.0f,
         cl_AnimatedPatch::MODE_LOOP, true},
    };
    for (const auto& c : cases)
    {
        m_holder.ClearVisualStates();
        m_torch.Hide();
        m_torch.SetTimePosition(7.0f);
        m_torch.SetMode(cl_AnimatedPatch::MODE_BOUNCE);
        Read(c.entry);
        m_holder.SetVisualState("lit");
        EXPECT_TRUE(m_torch.IsVisible()) << c.entry;
        EXPECT_FLOAT_EQ(m_torch.GetTimePosition(), c.time) << c.entry;
        EXPECT_EQ(m_torch.GetMode(), c.mode) << c.entry;
        EXPECT_EQ(m_torch.IsPlaying(), c.playing) << c.entry;
    }
}

TEST_F(PatchStates, AHiddenPatchOnlyHides)
{
    m_torch.SetTimePosition(7.0f);
    Read(
        R"(<patch name="torch" visible="false" animated="false" frame="3" mode="none"/><patch name="glow"/>)");
    m_holder.SetVisualState("lit");
    EXPECT_FALSE(m_torch.IsVisible());
    EXPECT_FALSE(m_glow.IsVisible());
    EXPECT_FLOAT_EQ(m_torch.GetTimePosition(), 7.0f);
    EXPECT_TRUE(m_torch.IsPlaying());
    EXPECT_EQ(m_torch.GetMode(), cl_AnimatedPatch::MODE_LOOP);
}

TEST_F(PatchStates, AnEntryReadWithoutAnAnimatedPatchOnlyShowsOrHidesLater)
{
    m_world.scene->AddPatch("torch", &m_glow); // "torch" is a plain patch while the entry is read
    Read(R"(<patch name="torch" visible="true" frame="3" animated="false" mode="none"/>)");
    m_world.scene->AddPatch("torch", &m_torch);
    m_torch.Hide();
    m_torch.SetTimePosition(7.0f);
    m_holder.SetVisualState("lit");
    EXPECT_TRUE(m_torch.IsVisible());
    EXPECT_FLOAT_EQ(m_torch.GetTimePosition(), 7.0f);
    EXPECT_TRUE(m_torch.IsPlaying());
    EXPECT_EQ(m_torch.GetMode(), cl_AnimatedPatch::MODE_LOOP);
}

TEST_F(PatchStates, AMissingPatchStopsTheRestAndAnEntryWithoutNameIsNotRead)
{
    m_glow.Hide();
    Read(
        R"(<patch name="torch" visible="false"/><patch name="gone" visible="true"/><patch name="glow" visible="true"/>
            <patch visible="true"/><patch name="" visible="true"/>)");
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_ERROR), 2u);
    EXPECT_TRUE(m_world.log.Contains("Could not load a patchstate in vs 'lit'.", cl_Logger::LEVEL_ERROR));
    m_holder.SetVisualState("lit");
    EXPECT_FALSE(m_torch.IsVisible());
    EXPECT_TRUE(m_world.log.Contains("Patch with the id 'gone' could not be found!", cl_Logger::LEVEL_ERROR));
    EXPECT_FALSE(m_glow.IsVisible());
}
} // namespace
