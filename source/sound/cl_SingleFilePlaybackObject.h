#pragma once

#include "sound/cl_PlaybackObject.h"

#include <string>

class cl_SoundLoader;
class cl_SoundPool;

// One cached sound file played once, or for ever while looping. A file that cannot be loaded plays
// nothing and ends at the next update (stopped 0).
class cl_SingleFilePlaybackObject : public cl_PlaybackObject
{
public:
    // loader and pool must outlive the object.
    cl_SingleFilePlaybackObject(cl_SoundLoader& loader, const cl_SoundPool& pool);

    void Play(uint32_t source, cl_SoundChannel* channel, ISoundPlaybackCallback* callback) override;
    // Takes effect at once on a playing source.
    void SetLooping(bool looping) override;
    // Ends the playback (stopped 0) once its source has stopped.
    void Update(float dt) override;

    // The file becomes one of the definition's files at random; "" for an unknown id.
    void SetSound(const std::string& id);
    void SetFile(const std::string& name) { m_file = name; }
    const std::string& GetFile() const { return m_file; }

protected:
    // Loads the file with its loudness levels too.
    void KeepLevels() { m_withLevels = true; }
    cl_SoundLoader& GetLoader() const { return m_loader; }
    const cl_SoundPool& GetPool() const { return m_pool; }

private:
    cl_SoundLoader& m_loader;
    const cl_SoundPool& m_pool;
    std::string m_file;
    bool m_withLevels = false;
};
