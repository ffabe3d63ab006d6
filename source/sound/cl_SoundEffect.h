#pragma once

#include "graphics/cl_BaseEffect.h"
#include "sound/IMixerCallback.h"

#include <string>

// The scene effect "sound": an ambient sound of a location (birds, water, wind) that plays a sound
// definition in runs of one or more plays with random breaks between the runs, fading in at the start of
// a run and out at the end of its last play, optionally at a random volume and from a random direction,
// quieter while a line is spoken, softer the further its scene node lies from the centre of the view, and
// fading away when the scene is left. It plays through the mixer on channel 2 and is told by the mixer
// when each play ends. Random choices come from OGRE's UnitRandom and RangeRandom.
class cl_SoundEffect : public cl_BaseEffect, public IMixerCallback
{
public:
    static const char* const TYPE;

    // Active and waiting 5 seconds for its first run until its element says otherwise.
    explicit cl_SoundEffect(const std::string& id);
    // Unloads.
    ~cl_SoundEffect() override;

    // While active: counts the break down and starts a play at its end, or the next play of a run; runs
    // the fades, follows the scene node's distance and applies the volume. Nothing while inactive or
    // without a sound id.
    void Update(float dt) override;
    // When the element allows it ("sceneleavefade"), the sound fades to silence over fadeTime.
    void OnSceneLeave(float fadeTime) override;
    // Reads the attributes `soundid` (without it the effect never plays: logged), `volume`,
    // `damponspeach`, `sceneleavefade` and the first children `break`, `repeat`, `position`, `fading`,
    // `randomvolume`, `randomposition`, holding the values within their ranges (a number that does not
    // read keeps its default), and draws the first break and repeat count. sceneManager (the scene's, may
    // be null) is where the position node is looked for.
    void LoadFromXml(const TiXmlElement& element, Ogre::SceneManager* sceneManager) override;
    // Stops the sound at once and forgets the scene manager.
    void Unload() override;
    // Stops the sound at once; on: a new run begins after a break.
    void SetEnabled(bool enabled) override;
    // time above 0: fades to silence over time, where it stays while the effect lives. Else the effect is
    // made inactive at once.
    virtual void StartLeaveFade(float time);
    // Plays in a run: from repeat min to repeat max, each about equally often.
    virtual int RandomRepeatCount() const;
    // Seconds of a break: from break min to break max.
    virtual float RandomBreak() const;

    // A play of this effect ended (stopped 0: it ran out).
    void PlaybackFinished(int id, int stopped) override;

    // The mixer's id of the play now running; -1 for none.
    int GetPlaybackId() const { return m_playbackId; }

private:
    // Starts one play; when the mixer plays nothing the effect waits a break and tries again.
    void StartPlaying();
    // Waiting for a new run: a break, a repeat count and, with a fade-in, from silence.
    void BeginRun();
    // Stops the play running, without being told of its end.
    void StopPlayback();
    void UpdateFades(float dt);
    void UpdatePositionFactor();
    void ApplyVolume();
    float Volume() const;

    std::string m_soundId;
    float m_timeToNextStart = 5.0f;
    int m_playsLeft = 1;
    int m_playbackId = -1;
    int m_repeatMin = 1;
    int m_repeatMax = 1;
    float m_breakMin = 0.0f;
    float m_breakMax = 0.0f;
    bool m_waiting = true;
    bool m_dampOnSpeech = false;
    std::string m_positionNode;
    Ogre::SceneManager* m_sceneManager = nullptr;
    float m_positionMin = 0.0f;
    float m_positionMax = 0.0f;
    float m_positionFactor = 1.0f;
    float m_volume = 1.0f;
    float m_randomVolumeMin = 0.0f;
    float m_randomVolumeMax = 1.0f;
    bool m_randomVolume = false;
    int m_randomDirectionMin = 0;
    int m_randomDirectionMax = 360;
    bool m_randomDirection = false;
    bool m_fadingIn = false;
    bool m_fadingOut = false;
    float m_fadeOutTime = 0.0f;
    float m_fadeInTime = 0.0f;
    float m_fadeClock = 0.0f;
    float m_fadeFactor = 1.0f;
    bool m_leaving = false;
    float m_leaveFadeTime = 1.0f;
    bool m_fadeOnSceneLeave = true;
    // Each told once per effect, not every frame.
    bool m_playFailureLogged = false;
    bool m_missingNodeLogged = false;
};
