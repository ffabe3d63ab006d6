#pragma once

// Told once when a playback started through the mixer has ended.
class IMixerCallback
{
public:
    // id: the mixer's playback id, -1 for a spoken line. stopped: 1 when it was stopped, stolen or
    // destroyed, 0 when it ran out. The callback may start and stop sounds.
    virtual void PlaybackFinished(int id, int stopped) = 0;

protected:
    ~IMixerCallback() = default;
};
