#pragma once

#include "platform/TheoraDecoder.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TheoraAudioInterface;
class TheoraDataSource;
class TheoraVideoFrame;

// The pixel layouts a clip can decode to. Only one is needed: 32-bit pixels as OGRE's PF_X8R8G8B8 holds them
// (see TheoraVideoFrame).
enum TheoraOutputMode
{
    TH_XRGB = 5
};

// One video being played: the video manager's worker decodes its frames ahead into a small queue, and
// TheoraVideoManager::update moves its clock on. Made and destroyed by the video manager; all calls come
// from the thread that calls the manager's update.
class TheoraVideoClip
{
public:
    // Use TheoraVideoManager::destroyVideoClip, which also stops the worker's use of the clip.
    ~TheoraVideoClip();
    TheoraVideoClip(const TheoraVideoClip&) = delete;
    TheoraVideoClip& operator=(const TheoraVideoClip&) = delete;

    // Lets the manager's update move the clock on; a new clip stands still at 0.
    void play();
    // Back to time 0 with the decoder at the start of the file; the queued frames and sound are dropped and
    // the sound interface is told to stop. Waits for at most one frame's decoding by the worker.
    void restart();
    // The frame due at the current time position: the latest decoded frame whose time has come (earlier
    // ones that were never taken are dropped). Null when none is due yet or the worker is behind. The
    // frame stays valid until popFrame.
    TheoraVideoFrame* getNextFrame();
    // Gives the frame that getNextFrame returned back to the decoder; nothing when none is due.
    void popFrame();
    // Seconds since the start; it stops at the duration, so the end is reached when the two are equal.
    float getTimePosition() const;
    // Seconds from the start to the end of the last frame, known as soon as the clip exists. Should the
    // video data end earlier (a damaged file), the duration shrinks to where it ended.
    float getDuration() const;
    // The picture size in pixels.
    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }

private:
    friend class TheoraVideoManager;

    // What the worker does with the clip in one step, between BeginDecode and EndDecode.
    struct DecodeJob
    {
        TheoraVideoFrame* frame = nullptr; // null: the frame is late and is only decoded
        bool produced = false;
        long framesDecoded = 0;
        std::vector<TheoraAudioPacket> sound;
        std::vector<std::string> messages;
    };
    struct ReadyFrame
    {
        TheoraVideoFrame* frame;
        double time;
    };

    TheoraVideoClip(std::mutex& mutex, std::condition_variable& changed,
                    std::unique_ptr<TheoraDataSource> source);

    // Reads the source's headers and length; null, with a log line, when it holds no playable video.
    static std::unique_ptr<TheoraVideoClip> Load(std::mutex& mutex, std::condition_variable& changed,
                                                 std::unique_ptr<TheoraDataSource> source, int frameCount,
                                                 bool power2Stride);

    // The calls below are made by the manager; those marked "locked" with the mutex held.
    void SetAudioInterface(std::unique_ptr<TheoraAudioInterface> audio);
    TheoraAudioInterface* AudioInterface() const { return m_audio.get(); }
    int Channels() const { return m_channels; }
    int SampleRate() const { return m_sampleRate; }
    const std::string& Name() const { return m_name; }
    // Locked: whether the worker has something to do with the clip now.
    bool WantsDecoding() const;
    // Locked: claims the clip for the worker and picks the frame to fill.
    void BeginDecode(DecodeJob& job);
    // Not locked: the decoding itself, by the worker that claimed the clip.
    void Decode(DecodeJob& job);
    // Locked: publishes what Decode made and frees the clip. Log lines go to log.
    void EndDecode(DecodeJob& job, std::vector<std::string>& log);
    // Locked: moves the clock on by seconds (while playing) and sets aside the sound now due.
    void Advance(double seconds);
    // Not locked: hands the sound set aside by Advance to the sound interface.
    void HandOverSound();
    // Locked: keeps the worker away from the clip and waits until it is done with it; Release undoes it.
    void Hold(std::unique_lock<std::mutex>& lock);
    void Release() { --m_holds; }

    bool NextFrameLate() const;

    std::mutex& m_mutex;
    std::condition_variable& m_changed;
    const std::string m_name;
    // Declared before the decoder, which reads it, so that it outlives the decoder.
    const std::unique_ptr<TheoraDataSource> m_source;
    std::unique_ptr<TheoraDecoder> m_decoder;
    std::unique_ptr<TheoraAudioInterface> m_audio;
    int m_width = 0;
    int m_height = 0;
    double m_frameDuration = 0.0;
    int m_channels = 0;
    int m_sampleRate = 0;
    std::vector<std::unique_ptr<TheoraVideoFrame>> m_frames;
    std::vector<TheoraAudioPacket> m_due; // only touched by the thread that calls update

    // Guarded by the mutex.
    std::vector<TheoraVideoFrame*> m_free;
    std::deque<ReadyFrame> m_ready;
    std::deque<TheoraAudioPacket> m_sound;
    double m_time = 0.0;
    double m_duration = 0.0;
    long m_nextFrame = 0;
    bool m_playing = false;
    bool m_ended = false;
    bool m_busy = false;
    int m_holds = 0;
};
