#include "sound/cl_SoundMixer.h"

#include "assets/cl_SpokentextAsset.h"
#include "common/LogCall.h"
#include "sound/IMixerCallback.h"
#include "sound/cl_ManualPlaybackObject.h"
#include "sound/cl_PlaybackObject.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundChannel.h"
#include "sound/cl_SoundPool.h"
#include "sound/cl_SpokentextPlaybackObject.h"

#include <algorithm>

namespace
{
const int MUSIC_CHANNEL = 0;
const int SPEECH_CHANNEL = 1;
const int EFFECTS_CHANNEL = 2;
const float FADE_IN_TIME = 2.0f;
const float DUCKED_LEVEL = 0.3f;
const float DUCK_RATE = 0.3f; // per second back up; falling goes twice as fast
const float MUSIC_RESTART_TIME = 120.0f;
} // namespace

cl_SoundMixer::cl_SoundMixer(cl_Sound& owner) : m_owner(owner) {}

cl_SoundMixer::~cl_SoundMixer()
{
    m_closing = true;
    cl_SoundPool& pool = m_owner.GetSoundPool();
    for (const auto& line : m_spokenLines)
        pool.DestroyPlaybackObject(line.second);
    for (const auto& playback : m_playbacks)
        pool.DestroyPlaybackObject(playback.second.object);
    pool.DestroyPlaybackObject(m_music);
}

int cl_SoundMixer::PlaySound(const std::string& id, IMixerCallback* callback, int channel, float volume)
{
    cl_PlaybackObject* object = m_owner.GetSoundPool().CreatePlaybackObject(id);
    return object ? Start(object, callback, channel, volume) : 0;
}

int cl_SoundMixer::PlaySoundAt(const std::string& id, IMixerCallback* callback, float x, float y, float z,
                               float volume)
{
    const int playback = PlaySound(id, callback, EFFECTS_CHANNEL, volume);
    if (playback)
        m_playbacks[playback].object->SetPosition(x, y, z);
    return playback;
}

int cl_SoundMixer::Start(cl_PlaybackObject* object, IMixerCallback* callback, int channel, float volume)
{
    const int id = ++m_idCounter;
    m_playbacks[id] = Playback{object, callback};
    object->SetVolume(volume);
    m_owner.GetChannel(channel).Play(object, true, this);
    // Only a channel without sources (no device) leaves it without one; it would never end.
    if (!object->HasSource())
    {
        m_playbacks.erase(id);
        DestroyPlayback(object);
        return 0;
    }
    return id;
}

void cl_SoundMixer::DestroyPlayback(cl_PlaybackObject* playback)
{
    if (!m_owner.GetSoundPool().DestroyPlaybackObject(playback))
        LOG_ERROR("could not destroy playbackobject");
}

void cl_SoundMixer::PlayMusic(const std::string& name, float fadeOut, bool duck, bool fade)
{
    m_fade = fade;
    m_requestedMusic = name;
    if (m_requestedMusic == m_currentMusic)
        fadeOut = 0.0f;
    if (fadeOut <= 0.0f)
        UpdateMusic();
    m_fadeOutTime = fadeOut;
    m_fadeOutLeft = fadeOut;
    m_duck = duck;
}

std::string cl_SoundMixer::GetCurrentMusicName() const
{
    return m_requestedMusic.empty() ? m_currentMusic : m_requestedMusic;
}

void cl_SoundMixer::UpdateMusic()
{
    if (m_music && (m_requestedMusic.empty() || m_requestedMusic != m_currentMusic))
    {
        // Forgotten first: its end must reach nobody.
        cl_PlaybackObject* old = m_music;
        m_music = nullptr;
        DestroyPlayback(old);
    }
    if (!m_requestedMusic.empty() && !m_music)
    {
        const bool other = m_requestedMusic != m_currentMusic;
        m_music = m_owner.GetSoundPool().CreatePlaybackObject(m_requestedMusic);
        if (m_music)
        {
            m_owner.GetChannel(MUSIC_CHANNEL).Play(m_music, other, this);
            m_music->SetLooping(m_fade);
        }
        m_fadeInLeft = 0.0f;
        if (m_fade)
        {
            m_fadeInTime = FADE_IN_TIME;
            m_fadeInLeft = FADE_IN_TIME;
            // From silence, not from the volume of the music before.
            m_fadeFactor = 0.0f;
            ApplyMusicVolume();
        }
    }
    m_currentMusic = m_requestedMusic;
    m_requestedMusic.clear();
}

void cl_SoundMixer::UpdateMusicFades(float dt)
{
    m_fadeFactor = 1.0f;
    bool faded = false;
    if (m_fadeOutLeft > 0.0f)
    {
        faded = true;
        m_fadeOutLeft -= dt;
        if (m_fadeOutLeft <= 0.0f)
            UpdateMusic();
        else
            m_fadeFactor = m_fadeOutLeft / m_fadeOutTime;
    }
    else if (m_fadeInLeft > 0.0f)
    {
        faded = true;
        m_fadeInLeft = std::max(0.0f, m_fadeInLeft - dt);
        m_fadeFactor = 1.0f - m_fadeInLeft / m_fadeInTime;
    }

    const bool ducking = m_duckLevel != m_duckTarget;
    if (ducking)
    {
        const float step = dt * DUCK_RATE;
        if (m_duckLevel < m_duckTarget)
            m_duckLevel = std::min(m_duckTarget, m_duckLevel + step);
        else
            m_duckLevel = std::max(m_duckTarget, m_duckLevel - 2.0f * step);
    }
    if (faded || ducking)
        ApplyMusicVolume();

    if (!m_music && !m_currentMusic.empty())
    {
        m_restartTimer += dt;
        if (m_restartTimer > MUSIC_RESTART_TIME)
        {
            m_restartTimer = 0.0f;
            PlayMusic(m_currentMusic, 0.0f, true, false);
        }
    }
}

void cl_SoundMixer::SetMusicVolume(float volume)
{
    m_musicVolume = volume;
    ApplyMusicVolume();
}

void cl_SoundMixer::ApplyMusicVolume()
{
    m_owner.GetChannel(MUSIC_CHANNEL).SetVolume(m_musicVolume * m_duckLevel * m_fadeFactor);
}

void cl_SoundMixer::PlaybackFinished(cl_PlaybackObject* playback, int stopped)
{
    if (m_closing)
        return;
    for (auto entry = m_playbacks.begin(); entry != m_playbacks.end(); ++entry)
    {
        if (entry->second.object != playback)
            continue;
        // Erased before the callback runs, which may start and stop sounds.
        const int id = entry->first;
        IMixerCallback* callback = entry->second.callback;
        m_playbacks.erase(entry);
        if (callback)
            callback->PlaybackFinished(id, stopped);
        DestroyPlayback(playback);
        return;
    }
    for (const auto& line : m_spokenLines)
    {
        if (line.second == playback)
        {
            FinishSpokenLine(line.first, stopped);
            return;
        }
    }
    if (playback == m_music)
    {
        const bool played = playback->HasStarted();
        m_duck = true;
        m_music = nullptr;
        DestroyPlayback(playback);
        m_restartTimer = 0.0f;
        // Music that could not start waits for the restart timer instead of failing again every frame.
        if (m_requestedMusic.empty() && m_fade && played)
            PlayMusic(m_currentMusic, 0.0f, true, true);
    }
}

void cl_SoundMixer::FinishSpokenLine(const std::string& id, int stopped)
{
    m_runningSpeech = std::max(0, m_runningSpeech - 1);
    // Before the callback, which may start the next line.
    if (m_runningSpeech == 0)
        m_duckTarget = 1.0f;
    IMixerCallback* callback = nullptr;
    const auto found = m_speechCallbacks.find(id);
    if (found != m_speechCallbacks.end())
    {
        callback = found->second;
        m_speechCallbacks.erase(found);
    }
    if (callback)
        callback->PlaybackFinished(-1, stopped);
}

bool cl_SoundMixer::PlaySpokenText(const cl_SpokentextAsset& text, IMixerCallback* callback)
{
    const std::string& id = text.GetId();
    const std::string& leaf = text.GetLeafId();
    cl_SoundPool& pool = m_owner.GetSoundPool();
    if (leaf.empty() ? !pool.HasSoundDefinition(id) : !pool.SoundExists(leaf))
    {
        LOG_ERROR("No Speach file '%s' found", (leaf.empty() ? id : leaf).c_str());
        return false;
    }
    cl_SpokentextPlaybackObject*& line = m_spokenLines[id];
    if (!line)
        line = pool.CreateSpokentextPlaybackObject(text.GetSpeakerRef());
    // The line's earlier end is told now; its callback may not touch this line again.
    line->Stop();
    if (m_duck && !m_speechMuted)
        m_duckTarget = DUCKED_LEVEL;
    if (leaf.empty())
        line->SetSound(id);
    else
        line->SetSpokenFile(leaf);
    m_speechCallbacks[id] = callback;
    m_owner.GetChannel(SPEECH_CHANNEL).Play(line, true, this);
    if (!line->HasSource())
    {
        m_speechCallbacks.erase(id);
        if (m_runningSpeech == 0)
            m_duckTarget = 1.0f;
        return false;
    }
    ++m_runningSpeech;
    return true;
}

void cl_SoundMixer::StopSpokenText(const std::string& id)
{
    const auto found = m_spokenLines.find(id);
    if (found != m_spokenLines.end())
        found->second->Stop();
}

cl_PlaybackObject* cl_SoundMixer::GetPlaybackObject(int id)
{
    const auto found = m_playbacks.find(id);
    if (found == m_playbacks.end())
    {
        LOG_ERROR("There is no playback with id '%i'", id);
        return nullptr;
    }
    return found->second.object;
}

void cl_SoundMixer::SetCallback(int id, IMixerCallback* callback)
{
    const auto found = m_playbacks.find(id);
    if (found != m_playbacks.end())
        found->second.callback = callback;
}

IMixerCallback* cl_SoundMixer::GetCallback(int id) const
{
    const auto found = m_playbacks.find(id);
    return found != m_playbacks.end() ? found->second.callback : nullptr;
}

void cl_SoundMixer::SetVirtualChannel(const std::string& name, int id)
{
    m_virtualChannels[name] = id;
}

bool cl_SoundMixer::FindVirtualChannel(const std::string& name, int& id) const
{
    const auto found = m_virtualChannels.find(name);
    if (found == m_virtualChannels.end())
        return false;
    id = found->second;
    return true;
}

int cl_SoundMixer::StartAudioStream(int channels, int rate, float volume)
{
    cl_ManualPlaybackObject* stream = m_owner.GetSoundPool().CreateManualPlaybackObject(channels, rate);
    return stream ? Start(stream, nullptr, SPEECH_CHANNEL, volume) : 0;
}

void cl_SoundMixer::FillAudioStream(int id, const float* const* samples, int count)
{
    const auto found = m_playbacks.find(id);
    auto* stream =
        found == m_playbacks.end() ? nullptr : dynamic_cast<cl_ManualPlaybackObject*>(found->second.object);
    if (!stream)
    {
        LOG_WARNING("Stream %i has stopped unintentionally!", id);
        return;
    }
    stream->QueueData(samples, count);
}
