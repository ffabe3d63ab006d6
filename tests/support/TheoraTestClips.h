#pragma once

#include "platform/TheoraClipWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class TheoraVideoFrame;

// Generated clips for the video library's tests, each made once per run.
namespace TheoraTestClips
{
constexpr int FramesPerSecond = 25;
constexpr double FrameTime = 1.0 / FramesPerSecond;
constexpr int Width = 72; // not whole 16-pixel blocks, so the picture is cut out of a larger coded frame
constexpr int Height = 40;
constexpr double ToneFrequency = 440.0;
constexpr float ToneAmplitude = 0.5f;
constexpr int SampleRate = 44100;
constexpr int Channels = 2;

// The colour of each frame of Colours(), far apart, so that none is mistaken for another.
const std::vector<TheoraClipColour>& FrameColours();
// Width x Height, one frame of each of FrameColours() at FramesPerSecond, with a tone of ToneFrequency
// on Channels channels.
const std::vector<unsigned char>& Colours();
// MarkedWidth x MarkedHeight (cut out of a larger coded frame), the first two of FrameColours() with the
// part right of CornerLeft and below CornerTop in CornerColour: whole blocks of the codec, so that the
// colours do not run into each other.
const std::vector<unsigned char>& MarkedCorner();
constexpr int MarkedWidth = 120;
constexpr int MarkedHeight = 56;
constexpr int CornerLeft = 48;
constexpr int CornerTop = 16;
constexpr TheoraClipColour CornerColour{235, 235, 235};
// 160 x 96 grainy frames, 25 of them, with the tone: several pages of video, so it can be cut in the middle.
const std::vector<unsigned char>& Grainy();

// Whether every picture pixel of the frame is the colour, each channel within the codec's tolerance, read
// as OGRE reads PF_X8R8G8B8 bytes (B, G, R, X); the failure names the first pixel that is not.
testing::AssertionResult HasColour(const TheoraVideoFrame& frame, const TheoraClipColour& colour);
// The same for the pixels from (left, top) to before (right, bottom).
testing::AssertionResult HasColour(const TheoraVideoFrame& frame, const TheoraClipColour& colour, int left,
                                   int top, int right, int bottom);
// Which of FrameColours() the frame shows, or -1.
int ColourIndex(const TheoraVideoFrame& frame);
} // namespace TheoraTestClips
