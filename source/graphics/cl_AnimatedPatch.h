#pragma once

#include "graphics/cl_Patch.h"

// A patch that plays frames laid out row by row on its texture, from the top left corner. The time
// position runs from 0 to the duration; the frame shown is its share of the frame count. Each frame is
// shown without a border of two texels, so that neighbouring frames never bleed into it.
class cl_AnimatedPatch : public cl_Patch
{
public:
    enum Mode
    {
        MODE_NONE = 0, // plays once and stops at either end
        MODE_LOOP = 1,
        MODE_BOUNCE = 2,
    };

    // Plays in loop mode from time 0; no frame is shown before the first update or frame refresh.
    cl_AnimatedPatch(cl_Backdrop& backdrop, float width, float height);

    // Advances the time by speed × dt while playing, by the mode's rules, and shows its frame.
    void Update(float dt) override;
    // The corner moves two units in, past the hidden border.
    void SetPosition(float x, float y) override;
    // The rectangle loses the two-texel border on each side.
    void SetTextureRect(float left, float top, float width, float height) override;
    // Shows the current frame.
    virtual void ApplyFrame();

    // Sets the time (not held within the duration) and shows its frame.
    void SetTimePosition(float time);
    // Goes to the start of frame n; a frame past the last shows the last.
    void SetFrame(int frame);
    void SetMode(int mode);
    // The frame grid: count frames, perLine of them in a row. A count or row below 1 counts as 1 (logged).
    void SetFrameLayout(int count, int perLine);
    // Moves the texture of the shown material by (u, v) in texture coordinates, past the border.
    void SetTextureOffset(float u, float v);

    // Seconds for one pass through every frame.
    void SetDuration(float duration) { m_duration = duration; }
    // Factor on the frame time; its sign is the direction of play.
    void SetSpeed(float speed) { m_speed = speed; }
    void SetPlaying(bool playing) { m_playing = playing; }
    // The pause at the end of each pass in loop mode, in seconds.
    void SetLoopDelay(float delay) { m_loopDelay = delay; }
    // What is left of the pause under way; 0 ends it.
    void SetRemainingPause(float pause) { m_remainingPause = pause; }

    float GetTimePosition() const { return m_timePosition; }
    float GetDuration() const { return m_duration; }
    float GetSpeed() const { return m_speed; }
    bool IsPlaying() const { return m_playing; }
    int GetMode() const { return m_mode; }
    // -1 until the first frame is shown.
    int GetCurrentFrame() const { return m_currentFrame; }
    int GetFrameCount() const { return m_frameCount; }

protected:
    // Shows the frame that the time position falls in, when it is not shown already.
    void RefreshFrame();
    // The offset of the frame's cell on the texture.
    void ShowCell(int cell);

    int m_currentFrame = -1;

private:
    void Advance(float dt);

    float m_timePosition = 0.0f;
    float m_duration = 10.0f;
    int m_frameCount = 1;
    int m_framesPerLine = 1;
    float m_frameWidth = 1.0f;
    float m_frameHeight = 1.0f;
    float m_speed = 1.0f;
    bool m_playing = true;
    int m_mode = MODE_LOOP;
    float m_loopDelay = 0.0f;
    float m_remainingPause = 0.0f;
};
