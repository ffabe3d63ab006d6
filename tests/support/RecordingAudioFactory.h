#pragma once

#include "platform/TheoraAudioInterface.h"

#include <memory>
#include <thread>
#include <vector>

// What one clip's sound interface received.
struct RecordedSound
{
    TheoraVideoClip* owner = nullptr;
    int channels = 0;
    int rate = 0;
    std::vector<std::vector<float>> samples; // per channel, everything inserted, in order
    int inserts = 0;
    int stops = 0;
    bool destroyed = false;
    std::vector<std::thread::id> threads; // of every call
};

// Makes sound interfaces that record what they get; the records outlive them.
class RecordingAudioFactory : public TheoraAudioInterfaceFactory
{
public:
    std::unique_ptr<TheoraAudioInterface> createInstance(TheoraVideoClip* owner, int nChannels,
                                                         int freq) override;

    const std::vector<std::unique_ptr<RecordedSound>>& Records() const { return m_records; }

private:
    std::vector<std::unique_ptr<RecordedSound>> m_records;
};
