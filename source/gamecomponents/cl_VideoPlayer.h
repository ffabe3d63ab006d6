#pragma once

#include <string>

// Plays full-screen videos; a video plays exactly while the player holds a clip. So far the clip is only
// the file's name: nothing is decoded or shown.
class cl_VideoPlayer
{
public:
    // Makes a clip of the file (replacing the one held) and plays it from the start.
    void PlayVideo(const std::string& fileName) { m_clip = fileName; }
    // Lets go of the clip; nothing when none is held.
    void StopVideo() { m_clip.clear(); }
    bool IsPlaying() const { return !m_clip.empty(); }
    // The file playing; empty when none.
    const std::string& GetVideo() const { return m_clip; }

private:
    std::string m_clip;
};
