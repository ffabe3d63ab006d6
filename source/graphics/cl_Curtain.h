#pragma once

#include "common/IGameTimeListener.h"
#include "common/cl_GameTimeRegistration.h"

#include <vector>

namespace Ogre
{
class Overlay;
class TextureUnitState;
} // namespace Ogre

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

// The black curtain drawn over the whole window while a scene changes: an overlay whose opacity fades over
// the game time's "default" group. A timed fade reports its end on the update after the one that reached
// it; a fade of no duration reports before the call returns.
class cl_Curtain final : public IGameTimeListener
{
public:
    // listener: not owned, may be null; the first of the listeners. The curtain is black and has no
    // overlay until Create.
    explicit cl_Curtain(ICurtainListener* listener);
    ~cl_Curtain();
    cl_Curtain(const cl_Curtain&) = delete;
    cl_Curtain& operator=(const cl_Curtain&) = delete;

    // Builds the overlay "Overlay/Fade" (in front of every other overlay) with its panel "FadePanel" over the
    // window and the material "Material/Fade", once, and makes the curtain clear. Without OGRE's overlay
    // system only the fade state is kept.
    void Create();

    // Listeners are told in the order they were added; not owned, each must stay until removed. Removing
    // drops every entry of the listener; a listener may add or remove listeners while it is told.
    void AddListener(ICurtainListener* listener) { m_listeners.push_back(listener); }
    void RemoveListener(const ICurtainListener* listener);

    // duration: seconds; 0 or less changes the curtain at once. A timed fade starts from the other end
    // (a black curtain first turns clear, then fades to black) and replaces a running fade, which then
    // reports nothing.
    void FadeToBlack(float duration);
    void FadeFromBlack(float duration);
    // Whether the curtain is clear: clear and idle, or fading to black (not yet black).
    bool IsClear() const { return m_clear; }
    // Whether it is black and no fade runs.
    bool IsBlack() const { return !m_clear && m_remaining < 0.0f; }
    // Whether a timed fade runs (or has ended and is not yet reported).
    bool IsFading() const { return m_remaining >= 0.0f; }
    // Ends a running fade at once in the state black (or clear), without telling the listeners.
    void EndFade(bool black);

    // Whether the curtain's overlay may be displayed (a video sets it aside); it takes effect at the next
    // Update. The curtain starts shown.
    void SetShown(bool shown) { m_shown = shown; }
    bool IsShown() const { return m_shown; }
    // Advances a running fade (steps of at most 0.1 s; the first of each fade 0.001 s), reports one that
    // has ended, and shows or hides the overlay as the shown flag says.
    void Update(float dt) override;
    bool IsOverlayVisible() const { return m_overlayVisible; }
    // The opacity now, 0 (clear) to 1 (black).
    float GetAlpha() const { return m_alpha; }

private:
    // Starts a timed fade or changes at once; toBlack says where it goes.
    void Fade(bool toBlack, float duration);
    void SetAlpha(float alpha);
    // Tells each listener, of a copy of the list, that the curtain is black or clear.
    void Notify();

    std::vector<ICurtainListener*> m_listeners;
    float m_duration = 0.0f;
    // Time left of the running fade; negative when none runs.
    float m_remaining = -1.0f;
    // During a timed fade, the state it started from.
    bool m_clear = false;
    bool m_shown = true;
    bool m_overlayVisible = true;
    float m_alpha = 1.0f;
    Ogre::Overlay* m_overlay = nullptr;
    Ogre::TextureUnitState* m_textureUnit = nullptr;
    cl_GameTimeRegistration m_frames;
};
