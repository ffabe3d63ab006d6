#pragma once

#include <vector>

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
    // listener: not owned, may be null; the first of the listeners.
    explicit cl_Curtain(ICurtainListener* listener);

    // Listeners are told in the order they were added; not owned, each must stay until removed. Removing
    // drops every entry of the listener; a listener may add or remove listeners while it is told.
    void AddListener(ICurtainListener* listener) { m_listeners.push_back(listener); }
    void RemoveListener(const ICurtainListener* listener);

    // duration: seconds; 0 or less changes the curtain at once (for now every fade does).
    void FadeToBlack(float duration);
    void FadeFromBlack(float duration);
    bool IsBlack() const { return m_black; }
    // Ends a running fade at once in the state black (or clear), without telling the listeners.
    void EndFade(bool black) { m_black = black; }

    // Whether the curtain's overlay may be displayed (a video sets it aside); it takes effect at the next
    // Update. The curtain starts shown.
    void SetShown(bool shown) { m_shown = shown; }
    bool IsShown() const { return m_shown; }
    // Displays the overlay, or hides it, as the shown flag says; the fade state stays as it is.
    void Update(float dt);
    bool IsOverlayVisible() const { return m_overlayVisible; }

private:
    // Tells each listener, of a copy of the list, that the curtain is black or clear.
    void Notify();

    std::vector<ICurtainListener*> m_listeners;
    bool m_black = false;
    bool m_shown = true;
    bool m_overlayVisible = true;
};
