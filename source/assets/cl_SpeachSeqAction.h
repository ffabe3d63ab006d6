#pragma once

#include "assets/cl_SeqAction.h"
#include "sound/IMixerCallback.h"

class cl_Character;

// One spoken line: its speaker waits until it has finished any other line, then says it with its voice
// on the speech channel (the mouth following the voice) and the subtitle "st_" + speaker; the action ends
// "delay" seconds after the voice. A line without voice file stays up for its reading time: 0.075 s per
// byte of the text, at least 2 s. A skip counts only 0.3 s after the line began.
class cl_SpeachSeqAction : public cl_SeqAction, public IMixerCallback
{
public:
    // Reads "textref", "delay" and "skip" (skippable unless exactly "false").
    explicit cl_SpeachSeqAction(const TiXmlElement* element);
    // A voice still running is stopped, so that the mixer does not tell a deleted action of its end.
    ~cl_SpeachSeqAction() override;

    std::string GetTypeName() const override { return "SpeachAction"; }
    void WriteXml(TiXmlElement& element) const override;
    void Update(float dt) override;
    // Ends a begun, skippable line once the skip lock has run out: voice, subtitle and speaking stop.
    void Skip() override;
    // A begun line still running stops its voice, subtitle and speaking; a line still waiting for its
    // speaker leaves the speaker alone.
    void Stop(bool aborted) override;
    void Reset() override;
    // The voice has ended: the subtitle goes and the delay begins.
    void PlaybackFinished(int id, int stopped) override;

    // How long a text without voice stays up: 0.075 s per byte, at least 2 s.
    static float ReadingTime(const std::string& text);

protected:
    // A missing spoken text or speaker is logged and the action finishes; a busy speaker is waited for.
    void Start() override;

private:
    // Begins the line when its speaker is free.
    void TryStart();
    // A running voice stops, the subtitle goes and the speaker stops speaking.
    void EndLine();
    // Stops a running voice, unheard: its end is not taken for the end of the line.
    void StopVoice();
    cl_Character* Speaker() const;

    std::string m_textId;
    std::string m_speakerId;
    std::string m_subtitle;
    float m_remaining = 0.0f;
    float m_skipLock = 0.0f;
    float m_delay = 0.5f;
    bool m_voice = false;
    bool m_skippable = true;
    bool m_started = false;
};
