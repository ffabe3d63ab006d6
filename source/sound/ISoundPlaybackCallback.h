#pragma once

class cl_PlaybackObject;

// Told once when a playback has ended (the mixer is the one implementation).
class ISoundPlaybackCallback
{
public:
    // stopped: 1 when it was stopped from outside (stop, steal, destruction), 0 when it ran out. The
    // playback has let go of its source already and may be deleted here; its caller touches it no more.
    virtual void PlaybackFinished(cl_PlaybackObject* playback, int stopped) = 0;

protected:
    ~ISoundPlaybackCallback() = default;
};
