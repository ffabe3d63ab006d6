#include "support/TheoraTestClips.h"

#include "platform/TheoraVideoFrame.h"

#include <cstdlib>

namespace TheoraTestClips
{
namespace
{
// Theora at the writer's quality keeps solid colours within a few steps; chroma subsampling adds nothing
// on a solid picture.
constexpr int Tolerance = 8;

TheoraClipSpec ToneSpec()
{
    TheoraClipSpec spec;
    spec.framesPerSecond = FramesPerSecond;
    spec.toneFrequency = ToneFrequency;
    spec.toneAmplitude = ToneAmplitude;
    spec.sampleRate = SampleRate;
    spec.channels = Channels;
    return spec;
}
} // namespace

const std::vector<TheoraClipColour>& FrameColours()
{
    static const std::vector<TheoraClipColour> colours = {{220, 40, 40},   {40, 200, 60}, {40, 60, 220},
                                                          {235, 235, 235}, {20, 20, 20},  {230, 210, 40},
                                                          {40, 200, 210},  {200, 50, 200}};
    return colours;
}

const std::vector<unsigned char>& Colours()
{
    static const std::vector<unsigned char> bytes = []
    {
        TheoraClipSpec spec = ToneSpec();
        spec.width = Width;
        spec.height = Height;
        spec.frames = FrameColours();
        return WriteTheoraClip(spec);
    }();
    return bytes;
}

const std::vector<unsigned char>& MarkedCorner()
{
    static const std::vector<unsigned char> bytes = []
    {
        TheoraClipSpec spec = ToneSpec();
        spec.width = MarkedWidth;
        spec.height = MarkedHeight;
        spec.frames = {FrameColours()[0], FrameColours()[1]};
        spec.markCorner = true;
        spec.cornerColour = CornerColour;
        return WriteTheoraClip(spec);
    }();
    return bytes;
}

const std::vector<unsigned char>& Grainy()
{
    static const std::vector<unsigned char> bytes = []
    {
        TheoraClipSpec spec = ToneSpec();
        spec.width = 160;
        spec.height = 96;
        spec.textured = true;
        for (int frame = 0; frame < 25; ++frame)
            spec.frames.push_back(FrameColours()[static_cast<size_t>(frame) % FrameColours().size()]);
        return WriteTheoraClip(spec);
    }();
    return bytes;
}

testing::AssertionResult HasColour(const TheoraVideoFrame& frame, const TheoraClipColour& colour)
{
    return HasColour(frame, colour, 0, 0, frame.getWidth(), frame.getHeight());
}

testing::AssertionResult HasColour(const TheoraVideoFrame& frame, const TheoraClipColour& colour, int left,
                                   int top, int right, int bottom)
{
    for (int y = top; y < bottom; ++y)
    {
        for (int x = left; x < right; ++x)
        {
            const unsigned char* pixel =
                frame.getBuffer() + (static_cast<size_t>(y) * frame.getStride() + x) * 4;
            const bool close = std::abs(pixel[0] - colour.b) <= Tolerance &&
                               std::abs(pixel[1] - colour.g) <= Tolerance &&
                               std::abs(pixel[2] - colour.r) <= Tolerance;
            if (!close)
                return testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is R,G,B " << int(pixel[2]) << ","
                       << int(pixel[1]) << "," << int(pixel[0]) << " instead of " << int(colour.r) << ","
                       << int(colour.g) << "," << int(colour.b);
        }
    }
    return testing::AssertionSuccess();
}

int ColourIndex(const TheoraVideoFrame& frame)
{
    for (size_t i = 0; i < FrameColours().size(); ++i)
        if (HasColour(frame, FrameColours()[i]))
            return static_cast<int>(i);
    return -1;
}
} // namespace TheoraTestClips
