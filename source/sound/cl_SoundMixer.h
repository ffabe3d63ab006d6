#pragma once

#include <string>

// Plays the music and mixes the sounds of the running game.
class cl_SoundMixer
{
public:
    // Plays the named music, fading over fadeTime seconds; the empty name stops the music. loop and
    // flag: passed on by callers, with no effect yet.
    void PlayMusic(const std::string& name, float fadeTime, bool loop, bool flag = false);
    // The music last requested; empty when it was stopped.
    std::string GetCurrentMusicName() const { return m_music; }

private:
    std::string m_music;
};
