#include "gui/cl_IngameMenu.h"

#include "gui/ICursorOwner.h"

void cl_IngameMenu::Reset()
{
    HidePartyView();
    m_mouseHidden = false;
}

void cl_IngameMenu::Show()
{
    m_shown = true;
}

void cl_IngameMenu::Hide()
{
    m_shown = false;
}

void cl_IngameMenu::HideMouse()
{
    m_mouseHidden = true;
    if (m_hardwareCursor && m_cursorOwner)
        m_cursorOwner->PutCursorAside();
}

void cl_IngameMenu::ShowMouse()
{
    m_mouseHidden = false;
    if (m_hardwareCursor && m_cursorOwner)
        m_cursorOwner->RestoreCursor();
}

std::string cl_IngameMenu::GetIdAt(float, float) const
{
    return std::string();
}
