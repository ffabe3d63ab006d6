#pragma once

// The dialog view of the in-game menu: the entries of a dialog as lines in a panel. It keeps which entry
// and whether the panel is under the mouse, for the game components' clicks. Nothing is drawn yet.
class cl_DialogGui
{
public:
    // The index of the entry under the mouse; -1 for none.
    int GetHoveredEntry() const { return m_hoveredEntry; }
    void SetHoveredEntry(int index) { m_hoveredEntry = index; }
    // Whether the mouse is over the dialog panel.
    bool IsMouseOverPanel() const { return m_mouseOverPanel; }
    void SetMouseOverPanel(bool over) { m_mouseOverPanel = over; }
    // The panel's growth, every frame; there is no panel yet.
    void Update(float /*dt*/) {}

private:
    int m_hoveredEntry = -1;
    bool m_mouseOverPanel = false;
};
