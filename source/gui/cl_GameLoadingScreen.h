#pragma once

#include "gui/cl_LoadingScreen.h"

namespace Ogre
{
class Overlay;
class OverlayElement;
} // namespace Ogre

// The plain white bar shown once at start-up while the application loads its resource groups: the overlay
// "GameLoadScreen" with a bar 0.8 of the window wide at the full progress.
class cl_GameLoadingScreen : public cl_LoadingScreen
{
public:
    // The bar's width at the full progress.
    static constexpr float FULL_WIDTH = 0.8f;

    // OnEnd, when the user has not called it.
    ~cl_GameLoadingScreen() override;

    // Shows the bar at width 0. When OGRE gives no overlay "GameLoadScreen" (one of that name exists
    // already), that is logged and the screen shows nothing; loading goes on.
    void OnStart() override;
    void OnProgress() override;
    void OnCaptionChanged() override {}
    void OnEnd() override;

    // The bar; null before OnStart, after OnEnd and when the overlay could not be made.
    Ogre::OverlayElement* GetBar() const { return m_bar; }

private:
    Ogre::Overlay* m_overlay = nullptr;
    Ogre::OverlayElement* m_bar = nullptr;
};
