#pragma once

#include "assets/cl_SeqAction.h"
#include "sound/IMixerCallback.h"

// Plays a sound definition on the game-sound channel and lasts until it has played, optionally under a
// name (its virtual channel) by which a StopSoundAction finds it. A definition that loops for ever, or a
// playback a StopSoundAction takes over, does not hold the sequence: the action finishes after starting
// it, respectively when it is taken over. Skipping or ending the sequence does not stop the sound.
class cl_PlaySoundAction : public cl_SeqAction, public IMixerCallback
{
public:
    // Reads "soundid", "virtualchannel" and "volume" (held within 0..1).
    explicit cl_PlaySoundAction(const TiXmlElement* element);
    // Leaves the mixer's callback entry when the playback still runs.
    ~cl_PlaySoundAction() override;

    std::string GetTypeName() const override { return "PlaySoundAction"; }
    void WriteXml(TiXmlElement& element) const override;
    void Skip() override {}
    void PlaybackFinished(int id, int stopped) override;
    // A StopSoundAction takes the playback over: this action is told no more and finishes.
    void TakenOver();

    float GetVolume() const { return m_volume; }

protected:
    // An unknown sound id finishes the action at once.
    void Start() override;

private:
    std::string m_soundId;
    std::string m_virtualChannel;
    float m_volume = 1.0f;
    int m_playbackId = -1;
};
