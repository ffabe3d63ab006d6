#pragma once

// A value moving linearly from a start to a target over a time, advanced by frame steps. Weight nodes and
// poses fade their weights with it.
class LinearFade
{
public:
    // Runs from start to target over duration seconds; a duration of 0 or less reaches the target at the
    // next step.
    void Start(float start, float target, float duration);
    // Keeps target as the fade's target without running.
    void Hold(float target);
    // Moves on by dt and returns the value; the step that reaches the duration returns the target and
    // ends the fade.
    float Advance(float dt);

    bool IsRunning() const { return m_running; }
    float GetTarget() const { return m_target; }
    // Seconds left of a running fade; 0 otherwise.
    float GetRemainingTime() const;

private:
    float m_start = 0.0f;
    float m_target = 0.0f;
    float m_elapsed = 0.0f;
    float m_duration = 0.0f;
    bool m_running = false;
};
