#pragma once

#include <cstdint>
#include <map>
#include <vector>

class ISoundPlaybackCallback;
class cl_PlaybackObject;

// A fixed group of OpenAL sources serving one kind of sound. It lends a free source to a playback object,
// takes one away from its holder when none is free and stealing is asked for, keeps which playback holds
// which source, and mutes, pauses, resumes, stops and updates everything on it under one volume.
class cl_SoundChannel
{
public:
    // Generates count sources in the current OpenAL context (0 or less: none; those the context refuses
    // are left out) and sets them up source-relative at the listener.
    explicit cl_SoundChannel(int count);
    // Frees the lists; the sources go with the device.
    ~cl_SoundChannel();
    cl_SoundChannel(const cl_SoundChannel&) = delete;
    cl_SoundChannel& operator=(const cl_SoundChannel&) = delete;

    // Lends playback (null: nothing happens) a source, stealing one when steal is set, and starts it with
    // callback to tell of its end. When no source can be had nothing plays and nobody is told.
    void Play(cl_PlaybackObject* playback, bool steal, ISoundPlaybackCallback* callback);
    // A free source, else with steal the next one round the channel in source order (its holder is stopped
    // and hears of it), else 0. A channel without sources always gives 0.
    uint32_t GetFreeSubChannel(bool steal);

    // Mute silences every source at once; the playbacks take their gains again on their next update.
    // Muting a muted channel or unmuting an unmuted one changes nothing.
    void Mute();
    void Unmute();
    bool IsMuted() const { return m_muted; }
    void PauseAll();
    // Resumes the paused sources only.
    void ResumeAll();
    // Stops every holder, each hearing of it.
    void StopAll();
    // Updates every holder in source order. A holder may stop, start or delete playbacks meanwhile.
    void Update(float dt);

    // The playbacks on the channel take the new volume on their next update.
    void SetVolume(float volume);
    // 0 while muted.
    float GetVolume() const;

    // Owner bookkeeping of the playback objects: null marks the source free.
    void SetOwner(uint32_t source, cl_PlaybackObject* owner);
    cl_PlaybackObject* GetOwner(uint32_t source) const;
    const std::vector<uint32_t>& GetSources() const { return m_sources; }

private:
    void MarkOwnersDirty();

    std::vector<uint32_t> m_sources;
    // An entry for each source from the start, never erased: walks over it survive holders that change.
    std::map<uint32_t, cl_PlaybackObject*> m_owners;
    float m_volume = 1.0f;
    bool m_muted = false;
    int m_stealIndex = -1;
};
