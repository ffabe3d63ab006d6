#pragma once

#include "platform/TheoraVideoClip.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TheoraAudioInterfaceFactory;
class TheoraDataSource;

// Plays Theora videos (".ogv": Ogg with a Theora stream and optionally a Vorbis one). Worker threads decode
// each clip's frames ahead; everything else - the clock, frames taken, sound handed to the sound interface,
// log lines - happens on the thread that calls update, which must be the one that makes all other calls.
class TheoraVideoManager
{
public:
    using LogFunction = void (*)(std::string);

    // Frames a clip keeps decoded ahead unless told otherwise.
    static constexpr int DefaultPrecachedFrames = 8;

    // Starts the worker threads (at least one).
    explicit TheoraVideoManager(int numWorkerThreads = 1);
    // Stops the workers (each finishes the frame it is decoding) and destroys the clips left.
    ~TheoraVideoManager();
    TheoraVideoManager(const TheoraVideoManager&) = delete;
    TheoraVideoManager& operator=(const TheoraVideoManager&) = delete;

    // Where the library's messages go (one line each, the clip's name first); null restores the default,
    // the engine's log at information level. It is called on the thread that calls update or creates clips.
    static void setLogFunction(LogFunction function);
    static void logMessage(const std::string& message);

    // Used for clips created afterwards; the manager does not own it.
    void setAudioInterfaceFactory(TheoraAudioInterfaceFactory* factory) { m_audioFactory = factory; }
    TheoraAudioInterfaceFactory* getAudioInterfaceFactory() const { return m_audioFactory; }

    // A clip over the source, which it takes over. It stands still at time 0 until play. numPrecachedOverride
    // > 0 sets how many frames are decoded ahead; usePower2Stride makes each frame row the next power of
    // two in pixels. Null, with a log line, when the source holds no playable Theora video or the output
    // mode is not one we decode to. The manager owns the clip until destroyVideoClip.
    TheoraVideoClip* createVideoClip(std::unique_ptr<TheoraDataSource> source,
                                     TheoraOutputMode outputMode = TH_XRGB, int numPrecachedOverride = 0,
                                     bool usePower2Stride = false);
    // Destroys the clip once the worker is done with it (at most one frame's wait); its sound interface is
    // told to stop, then deleted. Null or an unknown clip does nothing.
    void destroyVideoClip(TheoraVideoClip* clip);

    // Moves the clock of every playing clip on by timeIncrease seconds (nothing for 0 or less), then hands
    // over the sound due and the log lines of the workers.
    void update(float timeIncrease);

private:
    void WorkerLoop();
    // Locked: the next clip with work in round-robin order, or null.
    TheoraVideoClip* PickClip(size_t& next);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::unique_ptr<TheoraVideoClip>> m_clips; // guarded
    std::vector<std::string> m_workerLog;                  // guarded
    bool m_stopping = false;                               // guarded
    TheoraAudioInterfaceFactory* m_audioFactory = nullptr;
    std::vector<std::thread> m_workers;
};
