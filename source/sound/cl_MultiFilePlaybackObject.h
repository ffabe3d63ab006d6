#pragma once

#include "sound/cl_PlaybackObject.h"
#include "sound/cl_SoundDefinition.h"

class cl_SoundLoader;

// A sequence of cached files from one definition on one source: its files picked at random or in order,
// an opening and a closing file when its params "start" and "end" are "true", a number of repetitions
// (its loop count; -1 for ever), and fades when it is stopped. Two files are kept queued ahead.
class cl_MultiFilePlaybackObject : public cl_PlaybackObject
{
public:
    enum FadeMode
    {
        FADE_NONE = 0,  // to the closing part at once
        FADE_OUTIN = 1, // fades out over half the time, then the closing part fades in
        FADE_CROSS = 2, // fades out while the closing file fades in on a second source
    };

    // loader must outlive the object.
    cl_MultiFilePlaybackObject(cl_SoundLoader& loader, const cl_SoundDefinition& definition);
    ~cl_MultiFilePlaybackObject() override;

    void Play(uint32_t source, cl_SoundChannel* channel, ISoundPlaybackCallback* callback) override;
    // Ends the sequence: immediate lets what is queued play out before the closing part; otherwise mode
    // FADE_OUTIN or FADE_CROSS fade over fadeTime seconds (above 0), and any other mode goes to the closing
    // part at once.
    void StopFaded(float fadeTime, int mode, bool immediate) override;
    // Refills the queue, fades, and ends (stopped 0) when the source and a cross-faded closing file have
    // stopped.
    void Update(float dt) override;
    void Release() override;

    // The index of the file to queue next (see the class comment); advances the random generator when
    // the files are picked at random.
    int NextFileIndex() const;
    int GetRemaining() const { return m_remaining; }
    int GetCurrentIndex() const { return m_currentIndex; }

private:
    void QueueFile(int index);
    void QueueNext();
    void RefillQueue();
    void RestartTowardsEnd();
    void ClearQueue();
    void FadeStep(float dt);
    void StartCrossFade();
    void ReleaseSecondSource();

    cl_SoundLoader& m_loader;
    bool m_random;
    cl_SoundDefinition m_definition;
    int m_currentIndex = -1;
    int m_remaining = 0;
    bool m_startFile;
    bool m_endFile;
    float m_fadeTime = 0.0f;
    float m_fadeClock = 0.0f;
    uint32_t m_secondSource = 0;
    int m_fadeMode = FADE_NONE;
};
