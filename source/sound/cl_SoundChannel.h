#pragma once

// One of the sound system's channels; muting silences every sound playing on it.
class cl_SoundChannel
{
public:
    // Muting a muted channel or unmuting an unmuted one changes nothing.
    void Mute() { m_muted = true; }
    void Unmute() { m_muted = false; }
    bool IsMuted() const { return m_muted; }

private:
    bool m_muted = false;
};
