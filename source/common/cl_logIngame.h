#pragma once

#include "ISingleton.h"
#include "common/IGameTimeListener.h"
#include "common/ILogListener.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

namespace Ogre
{
class Overlay;
class PanelOverlayElement;
} // namespace Ogre

class cl_GameTimeRegistration;
class cl_TarqTextAreaOverlayElement;
class OverlayResourceCheck;

// The on-screen log: recent log lines at the top left of the screen, newest at the bottom, each for five
// seconds, never taller than three quarters of the screen (the oldest go first). Off until enabled; the
// application enables it for the setting "ingamelog", a mask of the levels to show.
class cl_logIngame : public ILogListener, public IGameTimeListener, public ISingleton<cl_logIngame>
{
public:
    cl_logIngame();
    ~cl_logIngame() override;

    // Shows the lines whose level shares a bit with filter (0 shows none). Needs OGRE's overlay manager;
    // joins the logger's listeners and the game time "gui". Enabling again only changes the filter.
    void Enable(uint32_t filter);
    // Takes the lines and the overlay down and leaves the listeners; nothing while disabled.
    void Disable();
    bool IsEnabled() const { return m_enabled; }

    // A line of text for a level that passes the filter. Lines logged while a line is being made are not
    // shown, so that a problem with the view's own font cannot feed itself.
    bool OnLog(const std::string& text, int level) override;
    // Lines older than five seconds go.
    void Update(float dt) override;

    size_t GetLineCount() const { return m_lines.size(); }
    // The shown line at index (0 the oldest).
    const cl_TarqTextAreaOverlayElement& GetLine(size_t index) const { return *m_lines[index].element; }

private:
    struct Line
    {
        float age = 0.0f;
        cl_TarqTextAreaOverlayElement* element = nullptr;
    };

    void AddLine(const std::string& text);
    void DestroyOldest();
    // Stacks the lines from the top; drops the oldest while they reach 0.75 of the screen.
    void Layout();

    bool m_enabled = false;
    bool m_makingLine = false;
    uint32_t m_filter = 0xFFFFFFFF;
    int m_counter = 0;
    std::deque<Line> m_lines;
    Ogre::Overlay* m_overlay = nullptr;
    Ogre::PanelOverlayElement* m_container = nullptr;
    std::unique_ptr<OverlayResourceCheck> m_resources;
    std::unique_ptr<cl_GameTimeRegistration> m_gameTime;
};
