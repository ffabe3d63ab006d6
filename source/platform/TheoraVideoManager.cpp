#include "platform/TheoraVideoManager.h"

#include "common/LogCall.h"
#include "platform/TheoraAudioInterface.h"
#include "platform/TheoraDataSource.h"

#include <algorithm>
#include <atomic>
#include <exception>

namespace
{
void LogToEngine(std::string message)
{
    LOG_INFO(message);
}

std::atomic<TheoraVideoManager::LogFunction> g_logFunction{&LogToEngine};
} // namespace

TheoraVideoManager::TheoraVideoManager(int numWorkerThreads)
{
    for (int i = 0; i < std::max(1, numWorkerThreads); ++i)
        m_workers.emplace_back([this] { WorkerLoop(); });
}

TheoraVideoManager::~TheoraVideoManager()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
    m_clips.clear();
}

void TheoraVideoManager::setLogFunction(LogFunction function)
{
    g_logFunction = function ? function : &LogToEngine;
}

void TheoraVideoManager::logMessage(const std::string& message)
{
    g_logFunction.load()(message);
}

TheoraVideoClip* TheoraVideoManager::createVideoClip(std::unique_ptr<TheoraDataSource> source,
                                                     TheoraOutputMode outputMode, int numPrecachedOverride,
                                                     bool usePower2Stride)
{
    if (!source)
    {
        logMessage("no data source for a video clip");
        return nullptr;
    }
    if (outputMode != TH_XRGB)
    {
        logMessage("'" + source->repr() + "': output mode " + std::to_string(outputMode) +
                   " is not supported");
        return nullptr;
    }
    const std::string name = source->repr();
    std::unique_ptr<TheoraVideoClip> clip;
    try
    {
        const int frames = numPrecachedOverride > 0 ? numPrecachedOverride : DefaultPrecachedFrames;
        clip = TheoraVideoClip::Load(m_mutex, m_changed, std::move(source), frames, usePower2Stride);
        if (clip && clip->Channels() > 0 && m_audioFactory)
            clip->SetAudioInterface(
                m_audioFactory->createInstance(clip.get(), clip->Channels(), clip->SampleRate()));
    }
    catch (const std::exception& exception)
    {
        logMessage("'" + name + "': " + exception.what());
        return nullptr;
    }
    if (!clip)
        return nullptr;
    TheoraVideoClip* result = clip.get();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_clips.push_back(std::move(clip));
    }
    m_changed.notify_all();
    return result;
}

void TheoraVideoManager::destroyVideoClip(TheoraVideoClip* clip)
{
    std::unique_ptr<TheoraVideoClip> owned;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        auto found =
            std::find_if(m_clips.begin(), m_clips.end(),
                         [clip](const std::unique_ptr<TheoraVideoClip>& each) { return each.get() == clip; });
        if (!clip || found == m_clips.end())
            return;
        clip->Hold(lock);
        // The wait may have let other clips come and go: look again.
        found =
            std::find_if(m_clips.begin(), m_clips.end(),
                         [clip](const std::unique_ptr<TheoraVideoClip>& each) { return each.get() == clip; });
        owned = std::move(*found);
        m_clips.erase(found);
    }
    owned.reset(); // stops its sound
}

void TheoraVideoManager::update(float timeIncrease)
{
    std::vector<std::string> log;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const std::unique_ptr<TheoraVideoClip>& clip : m_clips)
            clip->Advance(timeIncrease > 0.0f ? timeIncrease : 0.0);
        log.swap(m_workerLog);
    }
    m_changed.notify_all(); // frames may have become late
    for (const std::string& line : log)
        logMessage(line);
    for (const std::unique_ptr<TheoraVideoClip>& clip : m_clips)
        clip->HandOverSound();
}

TheoraVideoClip* TheoraVideoManager::PickClip(size_t& next)
{
    for (size_t i = 0; i < m_clips.size(); ++i)
    {
        const size_t index = (next + i) % m_clips.size();
        if (m_clips[index]->WantsDecoding())
        {
            next = index + 1;
            return m_clips[index].get();
        }
    }
    return nullptr;
}

void TheoraVideoManager::WorkerLoop()
{
    size_t next = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        TheoraVideoClip* clip = nullptr;
        m_changed.wait(lock, [&] { return m_stopping || (clip = PickClip(next)) != nullptr; });
        if (m_stopping)
            return;
        TheoraVideoClip::DecodeJob job;
        clip->BeginDecode(job);
        lock.unlock();
        clip->Decode(job);
        lock.lock();
        clip->EndDecode(job, m_workerLog);
        m_changed.notify_all();
    }
}
