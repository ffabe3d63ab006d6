#include "sound/cl_SpokentextPlaybackObject.h"

#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "sound/cl_SoundLoader.h"
#include "sound/cl_SoundPool.h"

#include <algorithm>

cl_SpokentextPlaybackObject::cl_SpokentextPlaybackObject(cl_SoundLoader& loader, const cl_SoundPool& pool,
                                                         const std::string& speaker)
    : cl_SingleFilePlaybackObject(loader, pool), m_speaker(speaker)
{
    KeepLevels();
}

void cl_SpokentextPlaybackObject::Play(uint32_t source, cl_SoundChannel* channel,
                                       ISoundPlaybackCallback* callback)
{
    cl_SingleFilePlaybackObject::Play(source, channel, callback);
    m_speechTime = 0.0f;
    m_mouthValue = 0.0f;
}

void cl_SpokentextPlaybackObject::Update(float dt)
{
    // The end may be told from here; the spoken line itself lives on for its next use.
    cl_SingleFilePlaybackObject::Update(dt);
    m_speechTime += dt;
    const std::vector<float>& levels = GetLoader().GetLevels(GetFile());
    const size_t index = static_cast<size_t>(std::max(0.0f, m_speechTime * 100.0f));
    m_mouthValue = index < levels.size() ? levels[index] * 20.0f : 0.0f;
    const cl_CharacterManager* characters = cl_CharacterManager::GetInstance();
    if (cl_Character* character = characters ? characters->GetCharacterForSpeaker(m_speaker) : nullptr)
        character->SetSpeechLevel(m_mouthValue);
}

void cl_SpokentextPlaybackObject::SetSpokenFile(const std::string& name)
{
    GetPool().ResolveSoundFile(name, *this);
}
