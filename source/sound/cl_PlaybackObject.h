#pragma once

#include <cstdint>

class ISoundPlaybackCallback;
class cl_SoundChannel;

// One sound being played: it borrows a source from a channel, applies its volume, may sit at a 3D position,
// notices its end and tells its callback of it once. This base plays nothing and never ends by itself;
// the kinds derived from it load and feed their sound. The sound definitions create them for the mixer.
class cl_PlaybackObject
{
public:
    cl_PlaybackObject() = default;
    // Holding a source: lets go of it and tells the callback (stopped 1).
    virtual ~cl_PlaybackObject();
    cl_PlaybackObject(const cl_PlaybackObject&) = delete;
    cl_PlaybackObject& operator=(const cl_PlaybackObject&) = delete;

    // Starts on source, lent by channel (which records this object as its holder); callback (may be null)
    // hears of the end. A source held before is let go first, its end told.
    virtual void Play(uint32_t source, cl_SoundChannel* channel, ISoundPlaybackCallback* callback);
    // Lets go of the source and tells the callback (stopped 1); nothing without a source. The callback may
    // delete this object.
    virtual void Stop();
    // Ends the playback, over fadeTime seconds where the kind can fade; this kind stops at once.
    virtual void StopFaded(float fadeTime, int mode, bool immediate);
    virtual void SetLooping(bool looping);
    // Per frame while it holds a source: takes a changed volume and counts the playing time. The end may
    // be told from here, after which this object is touched no more.
    virtual void Update(float dt);
    // Places the sound at the world position; nothing without a source.
    virtual void SetPosition(float x, float y, float z);
    // Stops the source, detaches its sound and gives it back to the channel; nothing is told.
    virtual void Release();

    // The caller's volume (0 to 1), taken at the next update.
    void SetVolume(float volume);
    float GetVolume() const { return m_volume; }
    // The gain is taken again at the next update (the channel's volume changed).
    void MarkVolumeDirty() { m_volumeDirty = true; }
    bool IsLooping() const { return m_looping; }
    bool HasSource() const { return m_source != 0; }
    // The source it plays on; 0 while it holds none.
    uint32_t GetSource() const { return m_source; }
    // Whether sound really started on the held source; false when the file could not be loaded.
    bool HasStarted() const { return m_started; }
    // Seconds played (counted while the duration is above 0); the duration is -1 when unknown.
    float GetElapsed() const { return m_elapsed; }
    float GetDuration() const { return m_duration; }

protected:
    // The common start: stops what was held, takes the source, resets the clocks, sets the gain and the 3D
    // state.
    void StartPlayback(uint32_t source, cl_SoundChannel* channel, ISoundPlaybackCallback* callback);
    // Sets the source's gain from channel volume, gain factor and volume.
    void RefreshVolume();
    // Takes the callback and tells it of the end. The callback may delete this object: call it last.
    void ReportEnd(int stopped);
    // For destructors: a held source is let go (through the kind's own Release) and the end told.
    void EndOnDestruction();
    // An integer value of a source (AL_SOURCE_STATE, AL_BUFFERS_QUEUED, ...).
    static int SourceValue(uint32_t source, int what);
    // Whether the source has stopped or never started.
    static bool IsIdle(uint32_t source);

    cl_SoundChannel* GetChannel() const { return m_channel; }
    void SetDuration(float seconds) { m_duration = seconds; }
    void SetStarted() { m_started = true; }
    // A second factor of the gain, for fades; taken at the next update.
    void SetGainFactor(float factor);
    float GetGainFactor() const { return m_gainFactor; }

private:
    void ResetPosition();

    float m_volume = 1.0f;
    float m_gainFactor = 1.0f;
    bool m_looping = false;
    uint32_t m_source = 0;
    cl_SoundChannel* m_channel = nullptr;
    ISoundPlaybackCallback* m_callback = nullptr;
    bool m_volumeDirty = false;
    bool m_positioned = false;
    bool m_started = false;
    float m_elapsed = 0.0f;
    float m_duration = 0.0f;
};
