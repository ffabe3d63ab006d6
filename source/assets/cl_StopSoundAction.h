#pragma once

#include "assets/cl_SeqAction.h"
#include "sound/IMixerCallback.h"

// Stops, with a fade, the playback a PlaySoundAction started under a virtual channel's name, and lasts
// until it has stopped. The action that started it is no longer told of its end.
class cl_StopSoundAction : public cl_SeqAction, public IMixerCallback
{
public:
    // Reads "virtualchannel", "fadetime", "fadetype" ("cross" 2, "outin" 1, else 0) and "preserveCurrent".
    explicit cl_StopSoundAction(const TiXmlElement* element);
    // Leaves the mixer's callback entry when the playback still runs.
    ~cl_StopSoundAction() override;

    std::string GetTypeName() const override { return "StopSoundAction"; }
    void WriteXml(TiXmlElement& element) const override;
    void Skip() override {}
    void PlaybackFinished(int id, int stopped) override;

protected:
    // A name never used, or whose playback has ended, finishes the action at once.
    void Start() override;

private:
    std::string m_virtualChannel;
    float m_fadeTime = 0.0f;
    int m_fadeType = 0;
    bool m_preserveCurrent = false;
    int m_playbackId = -1;
};
