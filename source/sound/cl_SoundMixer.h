#pragma once

#include "sound/ISoundPlaybackCallback.h"

#include <map>
#include <string>

class IMixerCallback;
class cl_PlaybackObject;
class cl_Sound;
class cl_SpokentextAsset;
class cl_SpokentextPlaybackObject;

// The one front door for starting sounds. It gives every playback an id (1, 2, ...; never reused, 0 for
// nothing started), tells the IMixerCallback registered with it of the end, runs the music with its fades,
// repeats and ducking under speech, plays spoken lines, and feeds the video's sound into a playback.
// Channels: 0 music, 1 speech and video sound, 2 game sounds, 3 interface sounds.
class cl_SoundMixer final : public ISoundPlaybackCallback
{
public:
    // owner gives the channels and the sound definitions; it outlives the mixer.
    explicit cl_SoundMixer(cl_Sound& owner);
    // Destroys every playback it runs; no callback hears of them.
    ~cl_SoundMixer();
    cl_SoundMixer(const cl_SoundMixer&) = delete;
    cl_SoundMixer& operator=(const cl_SoundMixer&) = delete;

    // Plays the definition on the channel (0 to 3, stealing a source when none is free) at volume (0 to
    // 1); callback (may be null, must live until told or cleared) hears of its end. Returns the id, or 0
    // when nothing plays: an unknown id, or a channel without sources.
    int PlaySound(const std::string& id, IMixerCallback* callback, int channel, float volume);
    // The same on channel 2 from the world position (x, y, z).
    int PlaySoundAt(const std::string& id, IMixerCallback* callback, float x, float y, float z, float volume);

    // Switches the music to the definition name ("" for none): at once when fadeOut is 0 or less or name
    // is playing already, else after fading the current music out over fadeOut seconds. duck: the music
    // falls to 0.3 while spoken lines run. fade: the new music loops, fades in over 2 s and starts again
    // at once when it ends; without it an ended music starts again after 120 s.
    void PlayMusic(const std::string& name, float fadeOut, bool duck, bool fade);
    // The music asked for and still waiting, else the music playing ("" for none).
    std::string GetCurrentMusicName() const;
    // The music's step each frame, after the channels: fades, ducking and the restart of ended music.
    void UpdateMusicFades(float dt);

    // Plays the spoken line on channel 1: its leaf id's file (a definition or leaf id + ".wav"), else the
    // definition named by its id. callback (may be null) hears of the end with id -1. False, with an error
    // line, when there is no such sound, and false when channel 1 has no sources.
    bool PlaySpokenText(const cl_SpokentextAsset& text, IMixerCallback* callback);
    // Stops the spoken line of that spoken-text id, when one was played; its callback hears of it.
    void StopSpokenText(const std::string& id);

    // The running playback of the id; null, with an error line, when there is none.
    cl_PlaybackObject* GetPlaybackObject(int id);
    // The callback of a running playback: callback (null: none) replaces the one it had. An id that is
    // not running changes nothing.
    void SetCallback(int id, IMixerCallback* callback);
    // The callback of a running playback; null for none or an id that is not running.
    IMixerCallback* GetCallback(int id) const;
    // Virtual channels: names under which sequences find the playback they started. A later playback
    // under the same name replaces the earlier; entries stay after their playback ended.
    void SetVirtualChannel(const std::string& name, int id);
    // The playback id last set under the name; false when the name was never set.
    bool FindVirtualChannel(const std::string& name, int& id) const;

    // A playback of pushed PCM (channels 1 or 2, rate in Hz) on channel 1; its id, or 0.
    int StartAudioStream(int channels, int rate, float volume);
    // samples: one array of count floats per channel. An id that is no running stream gets a warning.
    void FillAudioStream(int id, const float* const* samples, int count);

    void PlaybackFinished(cl_PlaybackObject* playback, int stopped) override;

    // The "music" setting / 100; the music's channel takes it with ducking and fade.
    void SetMusicVolume(float volume);
    float GetMusicVolume() const { return m_musicVolume; }
    // The "speach" setting is 0: speech does not duck the music.
    void SetSpeechMuted(bool muted) { m_speechMuted = muted; }
    bool IsSpeechMuted() const { return m_speechMuted; }
    float GetDuckLevel() const { return m_duckLevel; }
    float GetFadeFactor() const { return m_fadeFactor; }
    // The music playback; null when none runs.
    cl_PlaybackObject* GetMusicPlayback() const { return m_music; }

private:
    struct Playback
    {
        cl_PlaybackObject* object;
        IMixerCallback* callback;
    };

    // Registers object under a new id and plays it; 0 (and the object destroyed) when the channel has no
    // source for it.
    int Start(cl_PlaybackObject* object, IMixerCallback* callback, int channel, float volume);
    void UpdateMusic();
    void ApplyMusicVolume();
    void DestroyPlayback(cl_PlaybackObject* playback);
    void FinishSpokenLine(const std::string& id, int stopped);

    cl_Sound& m_owner;
    bool m_closing = false;
    float m_musicVolume = 1.0f;
    float m_duckTarget = 1.0f;
    float m_duckLevel = 1.0f;
    float m_restartTimer = 0.0f;
    bool m_speechMuted = false;
    std::string m_currentMusic;
    std::string m_requestedMusic;
    float m_fadeOutTime = 0.0f;
    float m_fadeOutLeft = 0.0f;
    float m_fadeInTime = 0.0f;
    float m_fadeInLeft = 0.0f;
    float m_fadeFactor = 1.0f;
    cl_PlaybackObject* m_music = nullptr;
    bool m_duck = true;
    bool m_fade = false;
    std::map<std::string, cl_SpokentextPlaybackObject*> m_spokenLines;
    std::map<std::string, IMixerCallback*> m_speechCallbacks;
    int m_runningSpeech = 0;
    int m_idCounter = 0;
    std::map<int, Playback> m_playbacks;
    std::map<std::string, int> m_virtualChannels;
};
