// Feeds bytes to the video decoder as a clip would: headers, the search for the length, the headers again,
// then every frame and its sound, half of them to pictures and half decoded only (as late frames are).
#include "platform/TheoraDecoder.h"
#include "platform/TheoraMemoryDataSource.h"
#include "platform/TheoraVideoFrame.h"

#include <cstdint>
#include <string>
#include <vector>

namespace
{
// Enough to reach every kind of packet in the seed while keeping runs fast.
constexpr int MaxFrames = 64;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TheoraMemoryDataSource source("fuzz.ogv", std::vector<unsigned char>(data, data + size));
    TheoraDecoder decoder(source);
    std::string error;
    if (!decoder.Open(error))
        return 0;
    bool complete = false;
    decoder.ScanDuration(complete);
    if (!decoder.Open(error))
        return 0;
    TheoraVideoFrame frame(decoder.Width(), decoder.Height(), decoder.Width());
    std::vector<TheoraAudioPacket> sound;
    for (int i = 0; i < MaxFrames && decoder.DecodeFrame(i % 2 == 0 ? &frame : nullptr, sound); ++i)
        sound.clear();
    decoder.TakeMessages();
    return 0;
}
