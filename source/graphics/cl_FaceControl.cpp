#include "graphics/cl_FaceControl.h"

#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/PuppetPose.h"
#include "graphics/cl_ControlledPuppet.h"
#include "platform/GameRand.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>

namespace
{
// Past this phase both eyes are open again and the pause before the next blink begins.
const float BLINK_END = 1.1f;
// An eyelid held by an emotion or animation above this is not blinked.
const float HELD_EYELID = 0.1f;
// How a saved emotion comes back.
const float RESTORED_FADE_IN = 0.5f;

float Clamp01(float x)
{
    return std::min(1.0f, std::max(0.0f, x));
}

// A nameless element is logged and left out.
std::string RequiredName(const TiXmlElement& element, const char* what)
{
    const std::string name = AttributeOrEmpty(element, "name");
    if (name.empty())
        LOG_WARNING("Skipped %s without 'name' in a face control.", what);
    return name;
}
} // namespace

bool cl_FaceControl::FromXml(const TiXmlElement* element)
{
    m_emotions.clear();
    if (!element)
        return false;
    if (const TiXmlElement* eyes = element->FirstChildElement("eyes"))
    {
        SetEyePoses(AttributeOrEmpty(*eyes, "left"), AttributeOrEmpty(*eyes, "right"));
        m_speed = NumberAttribute(*eyes, "speed", m_speed);
        m_frequency = NumberAttribute(*eyes, "frequency", m_frequency);
    }
    if (const TiXmlElement* mouth = element->FirstChildElement("mouth"))
        SetMouthPoses(AttributeOrEmpty(*mouth, "narrow"), AttributeOrEmpty(*mouth, "vowel"),
                      AttributeOrEmpty(*mouth, "wide"));
    const TiXmlElement* emotions = element->FirstChildElement("emotions");
    if (!emotions)
        return true;
    for (const TiXmlElement* emotion = emotions->FirstChildElement("emotion"); emotion;
         emotion = emotion->NextSiblingElement("emotion"))
    {
        const std::string name = RequiredName(*emotion, "an emotion");
        if (name.empty())
            continue;
        st_Emotion& entry = m_emotions[name] = st_Emotion();
        entry.autoEyes = NumberAttribute(*emotion, "autoeyes", entry.autoEyes);
        entry.autoMouth = NumberAttribute(*emotion, "automouth", entry.autoMouth);
        for (const TiXmlElement* pose = emotion->FirstChildElement("pose"); pose;
             pose = pose->NextSiblingElement("pose"))
        {
            const std::string poseName = RequiredName(*pose, "a pose of an emotion");
            if (!poseName.empty())
                entry.poses.push_back({poseName, NumberAttribute(*pose, "weight", 0.0f)});
        }
    }
    return true;
}

void cl_FaceControl::SetEyePoses(const std::string& left, const std::string& right)
{
    m_leftEyePose = FindNamedPose(left);
    m_rightEyePose = FindNamedPose(right);
    if (!m_leftEyePose || !m_rightEyePose)
        LOG_ERROR("The specified eye poses are unavailable!");
}

void cl_FaceControl::SetMouthPoses(const std::string& narrow, const std::string& vowel,
                                   const std::string& wide)
{
    m_narrowPose = FindNamedPose(narrow);
    m_widePose = FindNamedPose(wide);
    m_vowelPose = FindNamedPose(vowel);
    if (!m_narrowPose && !m_widePose && !m_vowelPose)
        LOG_ERROR("The required mouth poses are unavailable!");
}

PuppetPose* cl_FaceControl::FindPose(const std::string& name) const
{
    return GetPuppet() ? GetPuppet()->GetPose(name) : nullptr;
}

PuppetPose* cl_FaceControl::FindNamedPose(const std::string& name) const
{
    PuppetPose* pose = FindPose(name);
    if (!pose && !name.empty() && GetPuppet())
        LOG_WARNING("The face control '%s' of '%s' finds no pose '%s'.", GetName().c_str(),
                    GetPuppet()->GetName().c_str(), name.c_str());
    return pose;
}

void cl_FaceControl::SetEnabled(bool enabled)
{
    cl_PuppetControl::SetEnabled(enabled);
    if (!enabled || !m_pending)
        return;
    ActivateEmotionTemporary(m_pendingEmotion, -1.0f, m_pendingStrength, RESTORED_FADE_IN, 0.0f);
    m_pending = false;
}

void cl_FaceControl::Reset()
{
    cl_PuppetControl::Reset();
    m_speaking = false;
    m_currentName.clear();
    m_remainingDuration = -1.0f;
    m_fadeOut = 0.0f;
    m_strength = 1.0f;
}

void cl_FaceControl::SaveState(TiXmlElement& element) const
{
    cl_PuppetControl::SaveState(element);
    // An emotion without time left stays until replaced, whatever duration it was given, so it is kept.
    if (m_currentName.empty() || m_remainingDuration > 0.0f)
        return;
    element.SetAttribute("emotion", m_currentName);
    element.SetAttribute("strength", Format("%f", m_strength));
}

void cl_FaceControl::LoadState(const TiXmlElement& element)
{
    cl_PuppetControl::LoadState(element);
    const std::string emotion = AttributeOrEmpty(element, "emotion");
    const std::string strengthText = AttributeOrEmpty(element, "strength");
    if (emotion.empty() || strengthText.empty())
        return;
    float strength = 0.0f;
    ReadNumber(strengthText, strength);
    if (IsEnabled())
    {
        ActivateEmotionTemporary(emotion, -1.0f, strength, RESTORED_FADE_IN, 0.0f);
        return;
    }
    m_pending = true;
    m_pendingEmotion = emotion;
    m_pendingStrength = strength;
}

bool cl_FaceControl::OnUpdate(float dt)
{
    if (!IsActive())
    {
        if (IsEnabled())
            RequestActivation(PRIORITY, CHANNELS);
        return true;
    }
    if (dt > 0.0f)
    {
        UpdateMouth(dt);
        UpdateBlink(dt);
        UpdateEmotion(dt);
    }
    if (!IsDeactivationRequested())
        return true;
    m_mouthPhase = 0.0f;
    m_blinkPhase = 0.0f;
    ReportStopped();
    return false;
}

void cl_FaceControl::OnActivated(const st_ActivationRequest&)
{
    FadeInEmotion();
}

void cl_FaceControl::UpdateBlink(float dt)
{
    if (!m_leftEyePose || !m_rightEyePose)
        return;
    const float t = m_blinkPhase += dt * m_speed;
    if (m_leftEyePose->GetWeight() > HELD_EYELID || m_rightEyePose->GetWeight() > HELD_EYELID)
    {
        SetAdditiveWeight(m_leftEyePose, 0.0f);
        SetAdditiveWeight(m_rightEyePose, 0.0f);
    }
    else
    {
        const float eyes = m_currentName.empty() ? 1.0f : m_current.autoEyes;
        SetAdditiveWeight(m_leftEyePose,
                          Clamp01(5.0f * (t + 0.05f)) * Clamp01(1.0f - 5.0f * (t - 0.25f)) * eyes);
        SetAdditiveWeight(m_rightEyePose, Clamp01(6.7f * t) * Clamp01(1.0f - 6.7f * (t - 0.3f)) * eyes);
    }
    if (t <= BLINK_END)
        return;
    // The pause before the next blink: 0 to 3 blinks' time, divided by the frequency; a frequency of 0
    // or less blinks without a pause rather than dividing by it.
    m_blinkPhase =
        m_frequency > 0.0f ? -static_cast<float>(platform::GameRand() % 4) * m_speed / m_frequency : 0.0f;
}

void cl_FaceControl::UpdateMouth(float dt)
{
    if (!m_narrowPose || !m_widePose || !m_vowelPose)
        return;
    if (m_mouthOpenness == 0.0f && !m_speaking)
        return;
    if (m_speaking)
    {
        m_mouthPhase += dt;
        m_mouthOpenness = std::min(1.0f, m_mouthOpenness + dt);
    }
    else
        m_mouthOpenness = std::max(0.0f, m_mouthOpenness - dt);
    const float narrow = (std::sin(12.0f * m_mouthPhase) + 1.0f) / 4.0f;
    const float wide = (std::sin(21.0f * m_mouthPhase) + 1.0f) / 4.0f;
    const float vowel = 1.0f - narrow - wide;
    const float level =
        m_speechLevel * m_mouthOpenness * (m_currentName.empty() ? 1.0f : m_current.autoMouth);
    SetAdditiveWeight(m_narrowPose, level * narrow);
    SetAdditiveWeight(m_widePose, level * wide);
    SetAdditiveWeight(m_vowelPose, level * vowel);
}

void cl_FaceControl::UpdateEmotion(float dt)
{
    if (m_remainingDuration <= 0.0f)
        return;
    m_remainingDuration -= dt;
    if (m_remainingDuration <= 0.0f)
        FadeOutEmotion(m_fadeOut);
}

bool cl_FaceControl::ActivateEmotionTemporary(const std::string& name, float duration, float strength,
                                              float fadeIn, float fadeOut)
{
    const auto found = m_emotions.find(name);
    if (found == m_emotions.end())
    {
        LOG_ERROR("Emotion with the name '%s' does not exist!", name.c_str());
        return false;
    }
    m_pending = false;
    FadeOutEmotion(fadeOut);
    m_strength = strength;
    m_fadeIn = fadeIn;
    m_currentName = name;
    m_current = found->second;
    if (IsActive())
        FadeInEmotion();
    else if (IsEnabled())
        RequestActivation(PRIORITY, EMOTION_CHANNELS);
    m_remainingDuration = duration;
    m_fadeOut = fadeOut;
    return true;
}

void cl_FaceControl::FadeOutEmotion(float fadeOut)
{
    if (m_currentName.empty())
        return;
    for (const st_EmotionPose& pose : m_current.poses)
        SetPoseWeight(FindPose(pose.pose), 0.0f, fadeOut);
    m_currentName.clear();
}

void cl_FaceControl::FadeInEmotion()
{
    if (m_currentName.empty())
        return;
    for (const st_EmotionPose& pose : m_current.poses)
        SetPoseWeight(FindPose(pose.pose), pose.weight * m_strength, m_fadeIn);
}

void cl_FaceControl::SetAdditiveWeight(PuppetPose* pose, float weight)
{
    if (CheckActive())
        pose->SetBaseInfluence(weight);
}
