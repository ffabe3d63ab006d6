#pragma once

#include "sound/cl_SingleFilePlaybackObject.h"

#include <string>

// A spoken line: a single file whose loudness moves the speaker's mouth while it plays.
class cl_SpokentextPlaybackObject : public cl_SingleFilePlaybackObject
{
public:
    // speaker: the id the character manager resolves to the speaking character.
    cl_SpokentextPlaybackObject(cl_SoundLoader& loader, const cl_SoundPool& pool, const std::string& speaker);

    void Play(uint32_t source, cl_SoundChannel* channel, ISoundPlaybackCallback* callback) override;
    // Besides the single file's work: the mouth level of the speaking character follows the loudness of
    // the moment (closed past the end of the levels).
    void Update(float dt) override;

    // The file of the spoken line's leaf id: a definition of that name, else the name + ".wav".
    void SetSpokenFile(const std::string& name);

    const std::string& GetSpeaker() const { return m_speaker; }
    float GetMouthValue() const { return m_mouthValue; }

private:
    std::string m_speaker;
    float m_mouthValue = 0.0f;
    float m_speechTime = 0.0f;
};
