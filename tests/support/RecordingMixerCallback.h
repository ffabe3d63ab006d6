#pragma once

#include "sound/IMixerCallback.h"

#include <functional>
#include <utility>
#include <vector>

// Keeps every end it is told of (the mixer's id and the stopped value, in order) and runs a one-off action
// on the next, as a sequence action that starts or stops sounds when one ends.
class RecordingMixerCallback final : public IMixerCallback
{
public:
    void PlaybackFinished(int id, int stopped) override
    {
        ends.emplace_back(id, stopped);
        std::function<void()> action = std::move(once);
        once = nullptr;
        if (action)
            action();
    }

    std::vector<std::pair<int, int>> ends;
    std::function<void()> once;
};
