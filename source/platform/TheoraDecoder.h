#pragma once

#include <memory>
#include <string>
#include <vector>

class TheoraDataSource;
class TheoraVideoFrame;

// A stretch of decoded sound: samples values per channel, channel after channel.
struct TheoraAudioPacket
{
    double time = 0.0; // of the first sample, from the start of the stream
    int samples = 0;
    std::vector<float> data;
};

// Decodes the first Theora stream of an Ogg source, and its first Vorbis stream when there is one, on
// the calling thread alone (no locks). The video clips run one on the video manager's worker; the
// benchmark and the fuzz target use it directly.
class TheoraDecoder
{
public:
    // Pictures larger than this in either direction are refused: a damaged header must not make us
    // allocate gigabytes.
    static constexpr int MaxPictureSide = 4096;
    // More sound channels than this are not played.
    static constexpr int MaxChannels = 8;

    explicit TheoraDecoder(TheoraDataSource& source);
    ~TheoraDecoder();
    TheoraDecoder(const TheoraDecoder&) = delete;
    TheoraDecoder& operator=(const TheoraDecoder&) = delete;

    // Reads the stream headers from the start of the source. False, with the reason in error, when the
    // source holds no Ogg data, no Theora stream or damaged video headers; a problem with the sound alone
    // leaves the video without sound and is told through TakeMessages.
    bool Open(std::string& error);
    // Finds the end time of the last frame from the last timestamp in the file, so the length is known
    // before decoding. Moves the source: call Open again before decoding. 0 when no timestamp is found.
    // complete tells whether the video ends with its end-of-stream mark (false for a cut-off file).
    double ScanDuration(bool& complete);

    // The picture size (the visible part of the coded frame) and the time one frame is shown.
    int Width() const;
    int Height() const;
    double FrameDuration() const;
    // 0 channels when the video has no (playable) sound.
    int Channels() const;
    int SampleRate() const;

    // Decodes up to the next picture, adding the sound met on the way to sound. The picture goes to frame
    // (sized Width() x Height() or more); with a null frame it is decoded only, which is what a late frame
    // costs at least. False at the end of the video. Damaged video data is skipped (told once).
    bool DecodeFrame(TheoraVideoFrame* frame, std::vector<TheoraAudioPacket>& sound);
    // How many frames the stream has advanced by since Open; frame n is shown from n * FrameDuration().
    long FramesDecoded() const;

    // Messages about problems that did not stop the decoding, oldest first; taking them clears them.
    std::vector<std::string> TakeMessages();

private:
    struct State;
    std::unique_ptr<State> m_state;
};
