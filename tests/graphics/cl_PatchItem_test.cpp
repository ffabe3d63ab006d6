#include "graphics/cl_PatchItem.h"

#include "common/XmlParse.h"
#include "graphics/IPatchAnimationEventListener.h"
#include "graphics/cl_AnimatedPatch.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_PatchItemLoader.h"
#include "graphics/cl_Scene.h"
#include "support/BackdropWorld.h"
#include "support/RecordingInitiator.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Calls = std::vector<std::string>;

// Notes each event it hears and may act on it.
class RecordingListener final : public IPatchAnimationEventListener
{
public:
    void OnAnimationEvent(const std::string& event) override
    {
        events.push_back(event);
        if (onEvent)
            onEvent();
    }

    std::vector<std::string> events;
    std::function<void()> onEvent;
};

// The loaded scene has the animated patch "fire" (10 s through 20 frames, so 0.5 s a frame, hidden) and
// the plain patch "glow"; patch items are read from text.
class PatchItems : public testing::Test
{
protected:
    PatchItems()
    {
        m_fire.SetDuration(10.0f);
        m_fire.SetFrameLayout(20, 5);
        m_fire.Hide();
        m_world.scene->AddPatch("fire", &m_fire);
        m_world.scene->AddPatch("glow", &m_glow);
    }
    // The patch item of a `patchitem` element holding the animations' text.
    cl_PatchItem& Read(const std::string& animations)
    {
        TiXmlDocument document;
        ParseXml(document,
                 "<patchitem assetref=\"items_fire\"><animations>" + animations + "</animations></patchitem>",
                 "patch item test");
        m_item = cl_PatchItemLoader::Load(&m_world.ogre.SceneManager(), document.RootElement(), "items_fire");
        EXPECT_NE(m_item, nullptr);
        return *m_item;
    }
    // count frames of dt: the game time (a played item steps), then the patch plays.
    void Frames(int count, float dt)
    {
        for (int frame = 0; frame < count; ++frame)
        {
            m_world.gameTime.Update(dt);
            m_fire.Update(dt);
        }
    }

    BackdropWorld m_world;
    cl_Backdrop& m_backdrop = m_world.AddBackdrop("default");
    cl_AnimatedPatch m_fire{m_backdrop, 32.0f, 32.0f};
    cl_Patch m_glow{m_backdrop, 64.0f, 64.0f};
    std::unique_ptr<cl_PatchItem> m_item;
};

TEST_F(PatchItems, AnAnimationTakesItsFramesDurationAndSpeedFromThePatch)
{
    const struct
    {
        const char* attributes;
        std::vector<int> sequence;
        int start;
        int end;
        float duration;
        float speed;
    } cases[] = {
        {R"(framesequence="1-3,7,5-4")", {1, 2, 3, 7}, 1, 7, 2.0f, 1.0f},
        {R"(start="max")", {}, 19, 19, 0.5f, 1.0f},
        {R"(start="4" end="13")", {}, 4, 13, 5.0f, 1.0f},
        {R"(start="4" end="13" duration="2.5")", {}, 4, 13, 2.5f, 2.0f},
        {R"(start="13" end="4")", {}, 13, 4, 5.0f, -1.0f},
        {R"(start="4" end="13" duration="0")", {}, 4, 13, 5.0f, 1.0f},
        {R"(start="4" patch="glow")", {}, 0, 1, 0.0f, 1.0f},
        {R"(start="4" patch="smoke")", {}, 0, 1, 0.0f, 1.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.attributes);
        const std::string text = std::string(c.attributes).find("patch=") == std::string::npos
                                     ? std::string(c.attributes) + R"( patch="fire")"
                                     : std::string(c.attributes);
        const st_PatchAnimationProperties& animation =
            Read("<animation name=\"burn\" " + text + "/>").GetAnimations().at("burn");
        EXPECT_EQ(animation.frameSequence, c.sequence);
        EXPECT_EQ(animation.hasSequence, !c.sequence.empty());
        EXPECT_EQ(animation.startFrame, c.start);
        EXPECT_EQ(animation.endFrame, c.end);
        EXPECT_FLOAT_EQ(animation.duration, c.duration);
        EXPECT_FLOAT_EQ(animation.speed, c.speed);
    }
}

TEST_F(PatchItems, TheReaderWarnsOfLoopsAndTriggersAndRefusesOtherElements)
{
    Read(R"(<animation name="burn" patch="fire" mode="loop"><event time="1">a</event><event time="2"/>
        <event time="3">c</event></animation><animation patch="fire"/><animation name="smoke"/>)");
    EXPECT_TRUE(m_world.log.Contains("Looped Animations aren't supported anymore! Use VisualStates...",
                                     cl_Logger::LEVEL_WARNING));
    EXPECT_EQ(m_item->GetAnimations().size(), 1u);
    EXPECT_EQ(m_item->GetAnimations().at("burn").events.size(), 1u) << "an event without text ends them";

    TiXmlDocument document;
    ParseXml(document, "<patchitem><trigger><script event=\"a\">x = 1</script></trigger></patchitem>",
             "trigger");
    EXPECT_NE(cl_PatchItemLoader::Load(&m_world.ogre.SceneManager(), document.RootElement(), "items_fire"),
              nullptr);
    EXPECT_TRUE(
        m_world.log.Contains("The patch item 'items_fire' has no scripts of its own: its trigger is ignored.",
                             cl_Logger::LEVEL_WARNING));
    document.Clear();
    ParseXml(document, "<item assetref=\"items_fire\"/>", "item");
    EXPECT_EQ(cl_PatchItemLoader::Load(&m_world.ogre.SceneManager(), document.RootElement(), "items_fire"),
              nullptr);
    EXPECT_TRUE(m_world.log.Contains("Couldn't load patchitem from xml - patchitem node expected.",
                                     cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(cl_PatchItemLoader::Load(nullptr, document.RootElement(), "items_fire"), nullptr);
}

TEST_F(PatchItems, AnEventFiresOnceInTheStepWhoseWindowHoldsItInEitherDirection)
{
    const struct
    {
        const char* animation;
        int steps;
        std::vector<int> firedAt; // the steps after which the event had fired, counted
    } cases[] = {
        {R"(<animation name="burn" patch="fire" start="0" end="19"><event time="0.25">spark</event></animation>)",
         4,
         {0, 1, 1, 1}},
        {R"(<animation name="burn" patch="fire" start="19" end="0"><event time="9.25">spark</event></animation>)",
         4,
         {0, 1, 1, 1}},
        {R"(<animation name="burn" patch="fire" framesequence="0-5"><event time="0.3">spark</event></animation>)",
         4,
         {0, 1, 1, 1}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.animation);
        Read(c.animation);
        RecordingListener listener;
        m_item->AddAnimationEventListener("burn#spark", &listener);
        RecordingInitiator initiator;
        m_item->PlayAnimation("burn", &initiator);
        for (int step = 0; step < c.steps; ++step)
        {
            Frames(1, 0.2f);
            EXPECT_EQ(static_cast<int>(listener.events.size()), c.firedAt[static_cast<size_t>(step)]) << step;
        }
        m_item->RemoveAnimationEventListener("burn#spark", &listener);
        m_item.reset();
    }
}

TEST_F(PatchItems, TheWaitingPartyHearsTheEndOfTheFollowUpAStopOrAFailure)
{
    Read(R"(<animation name="flare" patch="fire" start="0" end="1" followup="fade"/>
        <animation name="fade" patch="fire" start="2" end="3"/><animation name="smoke" patch="smoke"/>)");
    RecordingInitiator first;
    m_item->PlayAnimation("flare", &first);
    EXPECT_TRUE(m_fire.IsVisible());
    Frames(3, 0.25f);
    EXPECT_EQ(first.calls, (Calls{"started"})) << "the follow-up still plays";
    EXPECT_EQ(m_item->GetCurrentAnimation(), &m_item->GetAnimations().at("fade"));
    Frames(3, 0.25f);
    EXPECT_EQ(first.calls, (Calls{"started", "done 0"}));
    EXPECT_TRUE(m_fire.IsVisible()) << "the follow-up found it shown, and left it so";

    RecordingInitiator second;
    RecordingInitiator third;
    m_item->PlayAnimation("flare", &second);
    m_item->PlayAnimation("fade", &third);
    EXPECT_EQ(second.calls, (Calls{"started", "done 1"}));
    m_item->StopAnimation();
    EXPECT_EQ(third.calls, (Calls{"started", "done 1"}));

    for (const char* name : {"smoke", "ash"})
    {
        RecordingInitiator failed;
        m_item->PlayAnimation(name, &failed);
        EXPECT_EQ(failed.calls, (Calls{"done 2"})) << name;
    }
}

TEST_F(PatchItems, WithoutAWaitingPartyThePatchPlaysOnToItsLastFrame)
{
    Read(R"(<animation name="flare" patch="fire" start="0" end="3"/>)");
    m_item->PlayAnimation("flare", nullptr);
    Frames(60, 0.25f);
    EXPECT_EQ(m_fire.GetCurrentFrame(), 19);
    EXPECT_TRUE(m_fire.IsVisible());
}

TEST_F(PatchItems, AListenerThatStopsOrRestartsTheItemEndsTheStep)
{
    Read(R"(<animation name="burn" patch="fire" start="0" end="19"><event time="0.1">a</event>
        <event time="0.2">b</event></animation>)");
    for (const bool restart : {false, true})
    {
        SCOPED_TRACE(restart);
        RecordingListener first;
        RecordingListener second;
        first.onEvent = [&] { restart ? m_item->PlayAnimation("burn", nullptr) : m_item->StopAnimation(); };
        m_item->AddAnimationEventListener("burn#a", &first);
        m_item->AddAnimationEventListener("burn#b", &second);
        RecordingInitiator initiator;
        m_item->PlayAnimation("burn", &initiator);
        Frames(1, 0.5f);
        EXPECT_EQ(first.events.size(), 1u);
        EXPECT_TRUE(second.events.empty()) << "the step ended with what it played";
        EXPECT_EQ(initiator.calls, (Calls{"started", "done 1"}));
        m_item->RemoveAnimationEventListener("burn#a", &first);
        m_item->RemoveAnimationEventListener("burn#b", &second);
    }
}
} // namespace
