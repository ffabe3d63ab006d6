#include "gui/cl_MainMenu.h"

cl_MainMenu::cl_MainMenu() : m_mainMenuParser("mainmenu", this) {}

void cl_MainMenu::ParseElement(const TiXmlElement*, const std::string&, bool) {}

void cl_MainMenu::UnloadGroup(const std::string&) {}

void cl_MainMenu::CreateScene(const std::string&)
{
    m_shown = true;
}

void cl_MainMenu::DestroyScene()
{
    m_shown = false;
}
