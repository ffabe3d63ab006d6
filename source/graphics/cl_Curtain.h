#pragma once

// Told when the curtain has closed over the scene or opened again.
class ICurtainListener
{
public:
    virtual void NotifyFadedToBlack() = 0;
    virtual void NotifyFadedIn() = 0;

protected:
    // Listeners are never deleted through this interface.
    ~ICurtainListener() = default;
};

// The black curtain drawn over the scene while it changes. It has no picture yet, so every fade completes
// at once, whatever its duration, and is reported to the listener before the call returns.
class cl_Curtain
{
public:
    // listener: not owned, may be null; must outlive the curtain.
    explicit cl_Curtain(ICurtainListener* listener) : m_listener(listener) {}

    // duration: seconds; 0 or less changes the curtain at once (for now every fade does).
    void FadeToBlack(float duration);
    void FadeFromBlack(float duration);
    bool IsBlack() const { return m_black; }

    // Whether the curtain's overlay may be displayed (a video sets it aside); it takes effect at the next
    // Update. The curtain starts shown.
    void SetShown(bool shown) { m_shown = shown; }
    bool IsShown() const { return m_shown; }
    // Displays the overlay, or hides it, as the shown flag says; the fade state stays as it is.
    void Update(float dt);
    bool IsOverlayVisible() const { return m_overlayVisible; }

private:
    ICurtainListener* m_listener;
    bool m_black = false;
    bool m_shown = true;
    bool m_overlayVisible = true;
};
