#pragma once

#include "sound/ISoundPlaybackCallback.h"

#include <utility>
#include <vector>

// Keeps every end it is told of: the playback and its stopped value, in order.
class RecordingPlaybackCallback final : public ISoundPlaybackCallback
{
public:
    void PlaybackFinished(cl_PlaybackObject* playback, int stopped) override
    {
        ends.emplace_back(playback, stopped);
    }

    std::vector<std::pair<cl_PlaybackObject*, int>> ends;
};
