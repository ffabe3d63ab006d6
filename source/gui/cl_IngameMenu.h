#pragma once

#include "gui/cl_DialogGui.h"

#include <string>

class ICursorOwner;

// The in-game screen layer over the 3D view: the pointer, texts and the inventory, party and dialog views.
class cl_IngameMenu
{
public:
    // Clears the in-game display: the party view is hidden and the pointer is no longer hidden.
    void Reset();
    // Each acts only when the state changes. The menu starts shown.
    void Show();
    void Hide();
    bool IsShown() const { return m_shown; }

    // Hide and show the pointer. With the hardware cursor on they also put the cursor owner's current
    // cursor aside and restore it (when an owner is set).
    void HideMouse();
    void ShowMouse();
    bool IsMouseHidden() const { return m_mouseHidden; }
    // The application, which owns the hardware cursors; not owned, null when none. The owner must reset
    // it (null) before it is destroyed.
    void SetCursorOwner(ICursorOwner* owner) { m_cursorOwner = owner; }

    // The relative character height of the in-game texts.
    void SetFontSize(float size) { m_fontSize = size; }
    float GetFontSize() const { return m_fontSize; }
    // On: the pointer is the operating system's cursor; off: the menu draws the pointer itself.
    void SetHardwareCursor(bool on) { m_hardwareCursor = on; }
    bool HasHardwareCursor() const { return m_hardwareCursor; }
    void SetSubtitles(bool on) { m_subtitles = on; }
    bool HasSubtitles() const { return m_subtitles; }

    // Whether the party view (the party portraits) is shown; hiding it when hidden changes nothing.
    bool IsPartyViewShown() const { return m_partyViewShown; }
    void HidePartyView() { m_partyViewShown = false; }

    // The id of the party portrait, else of the inventory item, at the point (x, y from 0 to 1 across the
    // screen); empty when there is neither. The views have no portraits or items yet: always empty.
    std::string GetIdAt(float x, float y) const;
    // Hides the on-screen text with that id; there are no on-screen texts yet.
    void HideText(const std::string& /*id*/) {}
    // The caption of the mouse-over label (laid out again when it changes, once there is a label).
    void SetLabelText(const std::string& text) { m_labelText = text; }
    const std::string& GetLabelText() const { return m_labelText; }

    cl_DialogGui& GetDialogGui() { return m_dialogGui; }

private:
    cl_DialogGui m_dialogGui;
    std::string m_labelText;
    ICursorOwner* m_cursorOwner = nullptr;
    float m_fontSize = 0.0375f;
    bool m_hardwareCursor = false;
    bool m_subtitles = true;
    bool m_shown = true;
    bool m_mouseHidden = false;
    bool m_partyViewShown = false;
};
