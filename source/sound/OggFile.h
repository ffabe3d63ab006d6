#pragma once

#include <OgreDataStream.h>
#include <vorbis/vorbisfile.h>

#include <string>

// An Ogg Vorbis file decoded straight from an OGRE data stream: libvorbisfile reads, seeks and tells
// through the stream, which this object keeps open while it lives. Used by the sound loader, which decodes
// whole files, and by streamed playback, which decodes piece by piece.
class OggFile
{
public:
    OggFile() = default;
    ~OggFile();
    OggFile(const OggFile&) = delete;
    OggFile& operator=(const OggFile&) = delete;

    // Opens the Vorbis decoder over stream (not null). False when the data is no Vorbis stream: error then
    // holds "Could not open Ogg stream. " followed by the Vorbis error text. An open file is closed first.
    bool Open(const Ogre::DataStreamPtr& stream, std::string& error);
    // Drops the decoder and the stream; nothing happens when nothing is open.
    void Close();
    bool IsOpen() const { return m_open; }

    // The decoder of the open file; only valid while IsOpen.
    OggVorbis_File& Handle() { return m_file; }
    int GetChannels();
    long GetRate();

    // Decodes into target until size bytes are written (16-bit signed little-endian samples, channels
    // interleaved) or the file ends; with loop set, the end seeks back to the start and decoding goes on.
    // A decoding error is logged and passed over. Returns the bytes written; 0 when nothing is open.
    int Read(char* target, int size, bool loop);

    // The text of a libvorbisfile error code.
    static std::string ErrorText(int code);

private:
    Ogre::DataStreamPtr m_stream;
    OggVorbis_File m_file{};
    bool m_open = false;
};
