#include "assets/cl_PlaySoundAction.h"

#include "common/StringHelpers.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundDefinition.h"
#include "sound/cl_SoundMixer.h"
#include "sound/cl_SoundPool.h"

#include <tinyxml.h>

#include <algorithm>

namespace
{
const int GAME_SOUND_CHANNEL = 2;
} // namespace

cl_PlaySoundAction::cl_PlaySoundAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (!element)
        return;
    m_soundId = AttributeOrEmpty(*element, "soundid");
    m_virtualChannel = AttributeOrEmpty(*element, "virtualchannel");
    m_volume = std::clamp(NumberAttribute(*element, "volume", m_volume), 0.0f, 1.0f);
}

cl_PlaySoundAction::~cl_PlaySoundAction()
{
    cl_Sound* sound = cl_Sound::GetInstance();
    if (sound && m_playbackId > 0)
        sound->GetMixer().SetCallback(m_playbackId, nullptr);
}

void cl_PlaySoundAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("soundid", m_soundId);
    element.SetAttribute("volume", Format("%f", m_volume));
    if (!m_virtualChannel.empty())
        element.SetAttribute("virtualchannel", m_virtualChannel);
}

void cl_PlaySoundAction::Start()
{
    NotifyStarted();
    cl_Sound* sound = cl_Sound::GetInstance();
    if (!sound)
    {
        Finish(true);
        return;
    }
    cl_SoundMixer& mixer = sound->GetMixer();
    m_playbackId = mixer.PlaySound(m_soundId, this, GAME_SOUND_CHANNEL, m_volume);
    if (m_playbackId == 0)
    {
        m_playbackId = -1;
        Finish(true);
        return;
    }
    if (!m_virtualChannel.empty())
        mixer.SetVirtualChannel(m_virtualChannel, m_playbackId);
    cl_SoundDefinition definition;
    if (sound->GetSoundPool().HasSoundDefinition(m_soundId) &&
        sound->GetSoundPool().GetSoundDefinition(m_soundId, definition) && definition.m_loopCount == -1)
    {
        // An endless sound never ends by itself: the sequence goes on while it plays.
        mixer.SetCallback(m_playbackId, nullptr);
        m_playbackId = -1;
        Finish(true);
    }
}

void cl_PlaySoundAction::PlaybackFinished(int, int)
{
    m_playbackId = -1;
    if (!IsDone())
        Finish(true);
}

void cl_PlaySoundAction::TakenOver()
{
    PlaybackFinished(m_playbackId, 1);
}
