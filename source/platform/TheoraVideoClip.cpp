#include "platform/TheoraVideoClip.h"

#include "common/StringHelpers.h"
#include "platform/TheoraAudioInterface.h"
#include "platform/TheoraDataSource.h"
#include "platform/TheoraVideoFrame.h"
#include "platform/TheoraVideoManager.h"

#include <algorithm>
#include <exception>

namespace
{
// How far ahead of the clock decoded sound is handed over: enough to bridge a slow frame or two, little
// enough that the sound never runs ahead of the picture by more than a blink.
constexpr double SoundLead = 0.2;
// Times summed from frame steps are a hair off; a frame this close to its time counts as due.
constexpr double TimeSlack = 1e-6;

int NextPowerOfTwo(int value)
{
    int power = 1;
    while (power < value)
        power *= 2;
    return power;
}

void Tell(const std::string& clipName, const std::string& text)
{
    TheoraVideoManager::logMessage("'" + clipName + "': " + text);
}

// Reads the headers again from the start; a data source that throws counts as unreadable.
bool Reopen(TheoraDecoder& decoder, std::string& error)
{
    try
    {
        return decoder.Open(error);
    }
    catch (const std::exception& exception)
    {
        error = std::string("reading failed: ") + exception.what();
        return false;
    }
}
} // namespace

TheoraVideoClip::TheoraVideoClip(std::mutex& mutex, std::condition_variable& changed,
                                 std::unique_ptr<TheoraDataSource> source)
    : m_mutex(mutex), m_changed(changed), m_name(source->repr()), m_source(std::move(source)),
      m_decoder(std::make_unique<TheoraDecoder>(*m_source))
{
}

TheoraVideoClip::~TheoraVideoClip()
{
    if (m_audio)
        m_audio->stop();
}

std::unique_ptr<TheoraVideoClip> TheoraVideoClip::Load(std::mutex& mutex, std::condition_variable& changed,
                                                       std::unique_ptr<TheoraDataSource> source,
                                                       int frameCount, bool power2Stride)
{
    std::unique_ptr<TheoraVideoClip> clip(new TheoraVideoClip(mutex, changed, std::move(source)));
    TheoraDecoder& decoder = *clip->m_decoder;
    std::string error;
    bool complete = false;
    if (!Reopen(decoder, error))
    {
        Tell(clip->m_name, error);
        return nullptr;
    }
    const double duration = decoder.ScanDuration(complete);
    if (!Reopen(decoder, error))
    {
        Tell(clip->m_name, error);
        return nullptr;
    }
    for (const std::string& message : decoder.TakeMessages())
        Tell(clip->m_name, message);
    if (!complete)
        Tell(clip->m_name, "the video has no end mark; the file may be cut off");
    if (duration <= 0.0)
        Tell(clip->m_name, "the video holds no frames");

    clip->m_width = decoder.Width();
    clip->m_height = decoder.Height();
    clip->m_frameDuration = decoder.FrameDuration();
    clip->m_channels = decoder.Channels();
    clip->m_sampleRate = decoder.SampleRate();
    clip->m_duration = duration;
    const int stride = power2Stride ? NextPowerOfTwo(clip->m_width) : clip->m_width;
    for (int i = 0; i < frameCount; ++i)
    {
        clip->m_frames.push_back(std::make_unique<TheoraVideoFrame>(clip->m_width, clip->m_height, stride));
        clip->m_free.push_back(clip->m_frames.back().get());
    }

    const std::string sound = clip->m_channels > 0
                                  ? Format("%d sound channels at %d Hz", clip->m_channels, clip->m_sampleRate)
                                  : std::string("no sound");
    Tell(clip->m_name, Format("%dx%d pixels, %.3f frames a second, %.3f seconds, %s", clip->m_width,
                              clip->m_height, 1.0 / clip->m_frameDuration, duration, sound.c_str()));
    return clip;
}

void TheoraVideoClip::play()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_playing = true;
}

void TheoraVideoClip::restart()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    Hold(lock);
    lock.unlock();
    // The worker keeps away while held, so the decoder is ours without the lock.
    std::string error;
    const bool opened = Reopen(*m_decoder, error);
    m_decoder->TakeMessages(); // the same ones were told when the clip was made
    lock.lock();
    for (const ReadyFrame& ready : m_ready)
        m_free.push_back(ready.frame);
    m_ready.clear();
    m_sound.clear();
    m_time = 0.0;
    m_nextFrame = 0;
    m_ended = !opened;
    Release();
    lock.unlock();
    m_changed.notify_all();

    if (!opened)
        Tell(m_name, error);
    if (m_audio)
        m_audio->stop();
}

TheoraVideoFrame* TheoraVideoClip::getNextFrame()
{
    bool dropped = false;
    TheoraVideoFrame* frame = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        while (m_ready.size() >= 2 && m_ready[1].time <= m_time + TimeSlack)
        {
            m_free.push_back(m_ready.front().frame);
            m_ready.pop_front();
            dropped = true;
        }
        if (!m_ready.empty() && m_ready.front().time <= m_time + TimeSlack)
            frame = m_ready.front().frame;
    }
    if (dropped)
        m_changed.notify_all();
    return frame;
}

void TheoraVideoClip::popFrame()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_ready.empty() || m_ready.front().time > m_time + TimeSlack)
            return;
        m_free.push_back(m_ready.front().frame);
        m_ready.pop_front();
    }
    m_changed.notify_all();
}

float TheoraVideoClip::getTimePosition() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<float>(m_time);
}

float TheoraVideoClip::getDuration() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<float>(m_duration);
}

void TheoraVideoClip::SetAudioInterface(std::unique_ptr<TheoraAudioInterface> audio)
{
    m_audio = std::move(audio);
}

bool TheoraVideoClip::NextFrameLate() const
{
    // Late when the frame after it is due already: it would never be shown.
    return m_playing && static_cast<double>(m_nextFrame + 1) * m_frameDuration <= m_time + TimeSlack;
}

bool TheoraVideoClip::WantsDecoding() const
{
    return !m_busy && m_holds == 0 && !m_ended && (!m_free.empty() || NextFrameLate());
}

void TheoraVideoClip::BeginDecode(DecodeJob& job)
{
    m_busy = true;
    job.frame = nullptr;
    if (!NextFrameLate() && !m_free.empty())
    {
        job.frame = m_free.back();
        m_free.pop_back();
    }
}

void TheoraVideoClip::Decode(DecodeJob& job)
{
    try
    {
        job.produced = m_decoder->DecodeFrame(job.frame, job.sound);
    }
    catch (const std::exception& exception)
    {
        job.produced = false;
        job.messages.push_back(std::string("decoding stopped: ") + exception.what());
    }
    job.framesDecoded = m_decoder->FramesDecoded();
    for (std::string& message : m_decoder->TakeMessages())
        job.messages.push_back(std::move(message));
}

void TheoraVideoClip::EndDecode(DecodeJob& job, std::vector<std::string>& log)
{
    m_busy = false;
    m_nextFrame = job.framesDecoded;
    for (TheoraAudioPacket& packet : job.sound)
        m_sound.push_back(std::move(packet));
    if (job.frame && job.produced)
        m_ready.push_back({job.frame, static_cast<double>(job.framesDecoded - 1) * m_frameDuration});
    else if (job.frame)
        m_free.push_back(job.frame);
    for (const std::string& message : job.messages)
        log.push_back("'" + m_name + "': " + message);
    if (job.produced)
        return;
    m_ended = true;
    const double end = static_cast<double>(job.framesDecoded) * m_frameDuration;
    if (end + TimeSlack < m_duration)
    {
        log.push_back(
            Format("'%s': the video data ends at %.3f seconds, before its stated end at %.3f seconds",
                   m_name.c_str(), end, m_duration));
        m_duration = end;
        m_time = std::min(m_time, m_duration);
    }
}

void TheoraVideoClip::Advance(double seconds)
{
    if (!m_playing)
        return;
    if (seconds > 0.0)
        m_time = std::min(m_time + seconds, m_duration);
    while (!m_sound.empty() && m_sound.front().time <= m_time + SoundLead)
    {
        m_due.push_back(std::move(m_sound.front()));
        m_sound.pop_front();
    }
}

void TheoraVideoClip::HandOverSound()
{
    if (m_audio)
    {
        const float* channels[TheoraDecoder::MaxChannels];
        for (const TheoraAudioPacket& packet : m_due)
        {
            for (int channel = 0; channel < m_channels; ++channel)
                channels[channel] = packet.data.data() + static_cast<size_t>(channel) * packet.samples;
            m_audio->insertData(channels, packet.samples);
        }
    }
    m_due.clear(); // without a sound interface the sound is dropped
}

void TheoraVideoClip::Hold(std::unique_lock<std::mutex>& lock)
{
    ++m_holds;
    m_changed.wait(lock, [this] { return !m_busy; });
}
