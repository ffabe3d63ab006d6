#include "assets/cl_SpeachSeqAction.h"

#include "assets/cl_PoolManager.h"
#include "assets/cl_SpokentextAsset.h"
#include "assets/cl_SpokentextPool.h"
#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "gui/cl_GUISystem.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundMixer.h"

#include <tinyxml.h>

#include <algorithm>

namespace
{
const float SKIP_LOCK = 0.3f;

cl_IngameMenu* Menu()
{
    cl_GUISystem* gui = cl_GUISystem::GetInstance();
    return gui ? &gui->GetIngameMenu() : nullptr;
}

cl_SoundMixer* Mixer()
{
    cl_Sound* sound = cl_Sound::GetInstance();
    return sound ? &sound->GetMixer() : nullptr;
}

const cl_SpokentextAsset* FindSpokenText(const std::string& id)
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    const cl_SpokentextPool* pool = pools ? pools->GetSpokentextPool() : nullptr;
    return pool ? dynamic_cast<const cl_SpokentextAsset*>(pool->FindAsset(id)) : nullptr;
}
} // namespace

cl_SpeachSeqAction::cl_SpeachSeqAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (!element)
        return;
    m_textId = AttributeOrEmpty(*element, "textref");
    m_delay = NumberAttribute(*element, "delay", m_delay);
    m_skippable = AttributeOrEmpty(*element, "skip") != "false";
}

cl_SpeachSeqAction::~cl_SpeachSeqAction()
{
    StopVoice();
}

void cl_SpeachSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("textref", m_textId);
    element.SetAttribute("delay", Format("%f", m_delay));
    element.SetAttribute("skip", m_skippable ? "true" : "false");
}

float cl_SpeachSeqAction::ReadingTime(const std::string& text)
{
    return std::max(0.075f * static_cast<float>(text.size()), 2.0f);
}

void cl_SpeachSeqAction::Start()
{
    TryStart();
    if (!m_started && !IsDone())
    {
        const std::string id = GetId();
        LOG_WARNING("The SpeachAction with the Id '%s' found '%s' allready talking. Waiting...", id.c_str(),
                    m_speakerId.c_str());
    }
}

void cl_SpeachSeqAction::TryStart()
{
    const cl_SpokentextAsset* text = FindSpokenText(m_textId);
    if (!text)
    {
        LOG_WARNING("SpeachAction does nothing because the SpokenText couldn't be resolved!");
        Finish(true);
        return;
    }
    const cl_SpokentextPool* pool = cl_PoolManager::GetInstance()->GetSpokentextPool();
    m_subtitle = pool->GetText(m_textId);
    m_speakerId = text->GetSpeakerRef();
    cl_Character* speaker = Speaker();
    if (!speaker)
    {
        LOG_WARNING("SpeachAction does nothing because the Speaker couldn't be resolved!");
        Finish(true);
        return;
    }
    if (speaker->IsSpeaking())
        return;
    m_started = true;
    NotifyStarted();
    speaker->StartSpeaking();
    if (cl_IngameMenu* menu = Menu())
        menu->ShowSpeechText(m_speakerId, m_subtitle, m_speakerId);
    m_remaining = m_delay;
    m_skipLock = SKIP_LOCK;
    cl_SoundMixer* mixer = Mixer();
    if (mixer && mixer->PlaySpokenText(*text, this))
        m_voice = true;
    else
    {
        m_remaining = ReadingTime(m_subtitle);
        speaker->SetSpeechLevel(1.0f);
    }
}

void cl_SpeachSeqAction::Update(float dt)
{
    if (IsDone())
        return;
    if (!m_started)
    {
        TryStart();
        return;
    }
    if (m_skipLock > 0.0f)
        m_skipLock -= dt;
    if (m_voice)
        return;
    m_remaining -= dt;
    if (m_remaining > 0.0f)
        return;
    EndLine();
    Finish(true);
}

void cl_SpeachSeqAction::PlaybackFinished(int, int)
{
    if (IsDone() || !m_voice)
        return;
    m_voice = false;
    EndLine();
}

void cl_SpeachSeqAction::Skip()
{
    if (!m_started || !m_skippable || m_skipLock > 0.0f)
        return;
    EndLine();
    FinishAborted();
}

void cl_SpeachSeqAction::Stop(bool)
{
    if (IsDone() || !m_started)
        return;
    EndLine();
}

void cl_SpeachSeqAction::Reset()
{
    cl_SeqAction::Reset();
    m_voice = false;
    m_started = false;
}

void cl_SpeachSeqAction::StopVoice()
{
    if (!m_voice)
        return;
    // Cleared first, so that the end the mixer tells is not heard.
    m_voice = false;
    if (cl_SoundMixer* mixer = Mixer())
        mixer->StopSpokenText(m_textId);
}

void cl_SpeachSeqAction::EndLine()
{
    StopVoice();
    if (cl_IngameMenu* menu = Menu())
        menu->HideText(m_speakerId);
    if (cl_Character* speaker = Speaker())
        speaker->StopSpeaking();
}

cl_Character* cl_SpeachSeqAction::Speaker() const
{
    const cl_CharacterManager* characters = cl_CharacterManager::GetInstance();
    return characters ? characters->GetCharacterForSpeaker(m_speakerId) : nullptr;
}
