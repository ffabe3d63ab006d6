#pragma once

#include "sound/cl_SoundChannel.h"
#include "sound/cl_SoundLoader.h"
#include "sound/cl_SoundPool.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/LoopbackAudio.h"
#include "support/Recording.h"
#include "support/RecordingPlaybackCallback.h"
#include "support/SoundFolder.h"

#include <gtest/gtest.h>

#include <memory>

// A fixture for sound components on one channel of the loopback device, over files in OGRE's sound
// groups: a loader, the sound definitions, and a callback that hears every end.
class LoopbackChannelTest : public testing::Test
{
protected:
    explicit LoopbackChannelTest(int sources) : m_channel(std::make_unique<cl_SoundChannel>(sources)) {}
    void SetUp() override { ASSERT_TRUE(m_audio.IsOpen()); }

    // Renders seconds of sound in frames of step seconds, with the channel's update after each.
    void Run(float seconds, float step = 0.01f)
    {
        m_audio.Run(
            seconds, [this](float dt) { m_channel->Update(dt); }, step);
    }
    // Everything rendered since the start (or the last ForgetSamples).
    Recording Heard() const { return Recording(m_audio.Samples(), 2, LoopbackAudio::RATE); }

    HeadlessOgre m_ogre;
    SoundFolder m_files;
    LoopbackAudio m_audio;
    LogCapture m_log;
    cl_SoundLoader m_loader;
    cl_SoundPool m_pool{m_loader};
    std::unique_ptr<cl_SoundChannel> m_channel;
    RecordingPlaybackCallback m_callback;
};
