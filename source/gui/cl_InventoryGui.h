#pragma once

#include <string>

// The inventory view: the current character's items as a row of icons along the bottom of the game
// screen, which the in-game menu opens when the mouse reaches the bottom edge. It shows no icons yet, so
// the row is always empty and never opens.
class cl_InventoryGui
{
public:
    bool IsOpen() const { return m_open; }
    // The menu opens and closes the row.
    void SetOpen(bool open) { m_open = open; }
    bool IsEmpty() const { return true; }

    // Where the in-game menu puts the row, as fractions of the screen.
    void SetPlacement(float left, float top, float width, float height)
    {
        m_left = left;
        m_top = top;
        m_width = width;
        m_height = height;
    }
    float GetLeft() const { return m_left; }
    float GetTop() const { return m_top; }
    float GetWidth() const { return m_width; }
    // The height of the row's background.
    float GetHeight() const { return m_height; }
    // The raised fraction of the row.
    float GetBarScale() const { return 1.0f; }

    // The icons' animation, every frame; nothing moves yet.
    void Update(float /*dt*/) {}

    // The id of the item under the point; none while there are no icons.
    std::string GetIdAt(float /*x*/, float /*y*/) const { return std::string(); }

private:
    bool m_open = false;
    float m_left = 0.0f;
    float m_top = 0.0f;
    float m_width = 1.0f;
    float m_height = 0.125f;
};
