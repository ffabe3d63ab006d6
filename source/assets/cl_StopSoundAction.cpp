#include "assets/cl_StopSoundAction.h"

#include "assets/cl_PlaySoundAction.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "sound/cl_PlaybackObject.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundMixer.h"

#include <tinyxml.h>

namespace
{
const char* const FADE_TYPES[] = {"none", "outin", "cross"};
} // namespace

cl_StopSoundAction::cl_StopSoundAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (!element)
        return;
    m_virtualChannel = AttributeOrEmpty(*element, "virtualchannel");
    m_fadeTime = NumberAttribute(*element, "fadetime", m_fadeTime);
    const std::string fadeType = AttributeOrEmpty(*element, "fadetype");
    m_fadeType = fadeType == "cross" ? 2 : (fadeType == "outin" ? 1 : 0);
    m_preserveCurrent = IsTrueAttribute(*element, "preserveCurrent");
}

cl_StopSoundAction::~cl_StopSoundAction()
{
    cl_Sound* sound = cl_Sound::GetInstance();
    if (sound && m_playbackId > 0 && sound->GetMixer().GetCallback(m_playbackId) == this)
        sound->GetMixer().SetCallback(m_playbackId, nullptr);
}

void cl_StopSoundAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    if (!m_virtualChannel.empty())
        element.SetAttribute("virtualchannel", m_virtualChannel);
    element.SetAttribute("fadetime", static_cast<int>(m_fadeTime));
    element.SetAttribute("fadetype", FADE_TYPES[m_fadeType]);
    element.SetAttribute("preserveCurrent", m_preserveCurrent ? "true" : "false");
}

void cl_StopSoundAction::Start()
{
    NotifyStarted();
    cl_Sound* sound = cl_Sound::GetInstance();
    int id = 0;
    if (!sound || !sound->GetMixer().FindVirtualChannel(m_virtualChannel, id))
    {
        Finish(true);
        return;
    }
    cl_SoundMixer& mixer = sound->GetMixer();
    IMixerCallback* previous = mixer.GetCallback(id);
    mixer.SetCallback(id, this);
    if (auto* player = dynamic_cast<cl_PlaySoundAction*>(previous))
        player->TakenOver();
    cl_PlaybackObject* playback = mixer.GetPlaybackObject(id);
    if (!playback)
    {
        Finish(true);
        return;
    }
    m_playbackId = id;
    playback->StopFaded(m_fadeTime, m_fadeType, m_preserveCurrent);
}

void cl_StopSoundAction::PlaybackFinished(int, int)
{
    m_playbackId = -1;
    if (!IsDone())
        Finish(true);
}
