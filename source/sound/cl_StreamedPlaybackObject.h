#pragma once

#include "sound/OggFile.h"
#include "sound/cl_SingleFilePlaybackObject.h"

#include <vector>

// An Ogg Vorbis file of "GAMEDATA" decoded piece by piece into eight rotating buffers (music). While
// looping it starts again at its end without a gap; otherwise it ends once its last piece has played.
// A file that cannot be opened plays nothing and ends at the next update (stopped 0).
class cl_StreamedPlaybackObject : public cl_SingleFilePlaybackObject
{
public:
    static constexpr int BUFFER_COUNT = 8;
    static constexpr int BUFFER_BYTES = 0x20000;

    // file: a file of "GAMEDATA" ('\' between folders allowed). loader and pool must outlive it.
    cl_StreamedPlaybackObject(cl_SoundLoader& loader, const cl_SoundPool& pool, const std::string& file);
    ~cl_StreamedPlaybackObject() override;

    void Play(uint32_t source, cl_SoundChannel* channel, ISoundPlaybackCallback* callback) override;
    // The source never loops itself; the decoder does.
    void SetLooping(bool looping) override;
    // Refills the played buffers; restarts a source that ran dry; ends when the file has played out.
    void Update(float dt) override;
    void Release() override;

    // Fills and queues the buffers and starts the source; false (with a warning) when already started.
    bool InitStream();

    // Whether "GAMEDATA" holds the file.
    static bool FileExists(const std::string& file);

private:
    bool OpenFile();
    // Decodes the next piece into buffer; false when the file gave nothing more.
    bool FillBuffer(uint32_t buffer);
    // Refills every played buffer; false when the last fill found no more data, or too many were played.
    bool Refill();
    void EmptyQueue();

    OggFile m_ogg;
    uint32_t m_buffers[BUFFER_COUNT] = {};
    bool m_buffersMade = false;
    int m_format = 0;
    std::vector<char> m_piece;
    bool m_initialised = false;
};
