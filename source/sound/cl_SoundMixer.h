#pragma once

#include <string>

// Plays the music and mixes the sounds of the running game.
class cl_SoundMixer
{
public:
    // Plays the named music, fading over fadeTime seconds; the empty name stops the music. flag: passed
    // on by callers, with no effect yet.
    void PlayMusic(const std::string& name, float fadeTime, bool flag);
    // The music last requested; empty when it was stopped.
    const std::string& GetMusic() const { return m_music; }

private:
    std::string m_music;
};
