#pragma once

#include "graphics/cl_PuppetControl.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One pose of an emotion and its weight at strength 1.
struct st_EmotionPose
{
    std::string pose;
    float weight = 0.0f;
};

// A named expression: pose weights, and how much of the blinking and the mouth's movement stays while it
// shows.
struct st_Emotion
{
    std::vector<st_EmotionPose> poses;
    float autoEyes = 1.0f;
    float autoMouth = 1.0f;
};

// The control ("facectrl") that animates a face through the puppet's poses: it blinks the two eye poses
// at random intervals, moves three mouth poses while the character speaks, and fades emotions (sets of
// pose weights) in and out, for good or for a while. Blinks and the mouth write the poses' additive
// weights; emotions fade their weights. It holds no channel: it asks for activation whenever it is
// enabled and inactive (an emotion asks on the emotion channel).
class cl_FaceControl : public cl_PuppetControl
{
public:
    static constexpr int32_t PRIORITY = 50;
    static constexpr uint32_t CHANNELS = 0;
    static constexpr uint32_t EMOTION_CHANNELS = 4;

    // "eyes" ("left", "right", "speed", "frequency"; speed and frequency keep their values when absent or
    // no number), "mouth" ("narrow", "vowel", "wide") and "emotions" > "emotion" ("name", "autoeyes",
    // "automouth") > "pose" ("name", "weight") in place of the emotions; a nameless emotion or pose is
    // logged and left out, and a second emotion of a name replaces the first. Eyes and mouth missing keep
    // their poses. False, with the emotions emptied, for a null element.
    bool FromXml(const TiXmlElement* element) override;
    // Enabling shows an emotion that a saved state left waiting.
    void SetEnabled(bool enabled) override;
    // Not speaking, no emotion, strength 1, after the base reset.
    void Reset() override;
    // "enabled"; while an emotion stays until replaced, also "emotion" and "strength".
    void SaveState(TiXmlElement& element) const override;
    // A saved "emotion" with its "strength" shows at once (faded in over 0.5 s), or once the control is
    // enabled.
    void LoadState(const TiXmlElement& element) override;
    bool OnUpdate(float dt) override;
    void OnActivated(const st_ActivationRequest& request) override;

    // Shows the named emotion at strength, fading the one before out over fadeOut and the new one in over
    // fadeIn; after duration seconds (0 or less: never) it fades out again over fadeOut. False, logged,
    // for a name the face lacks: the emotion before stays.
    bool ActivateEmotionTemporary(const std::string& name, float duration, float strength, float fadeIn,
                                  float fadeOut);
    // The poses of the puppet that blink; either one missing stops blinking (logged, each one by name).
    void SetEyePoses(const std::string& left, const std::string& right);
    // The poses of the mouth; all three are needed for it to move (each missing one logged by name, and
    // once more when none is there).
    void SetMouthPoses(const std::string& narrow, const std::string& vowel, const std::string& wide);

    // The character's: the mouth moves while it speaks, as far as the level (0..1) says.
    void SetSpeaking(bool speaking) { m_speaking = speaking; }
    bool IsSpeaking() const { return m_speaking; }
    void SetSpeechLevel(float level) { m_speechLevel = level; }

    const std::map<std::string, st_Emotion>& GetEmotions() const { return m_emotions; }
    // The emotion shown; empty for none.
    const std::string& GetEmotion() const { return m_currentName; }
    // Seconds the emotion has left; 0 or less: it stays until replaced.
    float GetRemainingDuration() const { return m_remainingDuration; }
    float GetStrength() const { return m_strength; }
    float GetFadeIn() const { return m_fadeIn; }
    float GetFadeOut() const { return m_fadeOut; }
    float GetBlinkPhase() const { return m_blinkPhase; }
    float GetMouthOpenness() const { return m_mouthOpenness; }

private:
    void UpdateBlink(float dt);
    void UpdateMouth(float dt);
    void UpdateEmotion(float dt);
    // The poses of the shown emotion go to 0 over fadeOut; no emotion is shown afterwards.
    void FadeOutEmotion(float fadeOut);
    // The poses of the shown emotion go to their weights at the strength over the fade-in time.
    void FadeInEmotion();
    // Writes a blink's or the mouth's share of the pose, while the control is active.
    void SetAdditiveWeight(PuppetPose* pose, float weight);
    // The puppet's pose of that name; null for none.
    PuppetPose* FindPose(const std::string& name) const;
    // The same for a pose the face's data names: one the puppet lacks is logged by name.
    PuppetPose* FindNamedPose(const std::string& name) const;

    PuppetPose* m_narrowPose = nullptr;
    PuppetPose* m_widePose = nullptr;
    PuppetPose* m_vowelPose = nullptr;
    float m_mouthPhase = 0.0f;
    float m_mouthOpenness = 0.0f;
    float m_speechLevel = 0.0f;
    bool m_speaking = false;
    PuppetPose* m_leftEyePose = nullptr;
    PuppetPose* m_rightEyePose = nullptr;
    float m_blinkPhase = 0.0f;
    float m_frequency = 1.0f;
    float m_speed = 1.0f;
    std::map<std::string, st_Emotion> m_emotions;
    // A copy of the emotion shown, so that reading the emotions anew leaves it intact.
    std::string m_currentName;
    st_Emotion m_current;
    float m_remainingDuration = -1.0f;
    float m_fadeOut = 0.0f;
    float m_fadeIn = 0.0f;
    float m_strength = 1.0f;
    bool m_pending = false;
    std::string m_pendingEmotion;
    float m_pendingStrength = 0.0f;
};
