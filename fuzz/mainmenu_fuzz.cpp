// Feeds bytes to the data-file loader as a ".tdf" file with the main menu taking its `mainmenu` element,
// then opens every page the data defines and clicks every entry of the open pages once, both buttons, with
// a name typed in between. Whatever the bytes, the book holds two or four pages, and nothing the menu
// reads or runs may crash or read past what it holds.
#include "common/cl_Localizer.h"
#include "common/cl_TarqdataLoader.h"
#include "gui/cl_MorvelMainMenu.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
void Require(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "mainmenu_fuzz: %s\n", what);
        std::abort();
    }
}

void RequireOpenBook(const cl_MainMenu& menu)
{
    const size_t pages = menu.GetPageStack().size();
    Require(pages == 2 || pages == 4, "the book holds neither two nor four pages");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cl_TarqdataLoader loader;
    cl_Localizer localizer;
    cl_MorvelMainMenu menu;
    loader.ParseTdf("INTERFACEDATA", std::string(reinterpret_cast<const char*>(data), size), "fuzz.tdf",
                    false);

    std::vector<std::string> ids;
    for (const auto& page : menu.GetPages())
        ids.push_back(page.first);
    menu.CreateScene("MainPage");
    RequireOpenBook(menu);
    for (const std::string& id : ids)
    {
        menu.GoToPage(id);
        RequireOpenBook(menu);
        const std::vector<std::string> open = menu.GetPageStack();
        for (const std::string& shown : open)
        {
            for (size_t index = 0; menu.FindPage(shown) && index < menu.FindPage(shown)->size(); ++index)
            {
                cl_MainMenu::Page& page = *menu.FindPage(shown);
                page[index].highlighted = true;
                menu.OnMouseReleased(static_cast<int>(index % 2));
                menu.AddText("\xC3\xA4");
                menu.OnKeyPressed(cl_MainMenu::KEY_BACKSPACE);
                if (menu.GetPageStack().empty())
                    menu.GoToPage("MainPage");
                if (cl_MainMenu::Page* still = menu.FindPage(shown))
                {
                    for (MenuEntry& entry : *still)
                        entry.highlighted = false;
                }
            }
        }
    }
    menu.EndTextEntry();
    menu.DestroyScene();
    return 0;
}
