#pragma once

#include "TarqApp.h"
#include "support/DemoWorkingFolder.h"
#include "support/LogCapture.h"

#include <memory>
#include <string>

class cl_MainMenu;
class cl_SaveGameManager;

// The application's subsystems in a copy of the demo game with HOME in a temporary folder, as the main
// menu meets them: the demo's chapter record read, the chapter's pools loaded (there is no window to
// load a chapter behind), the scenes ready, a few menu tokens known.
class MenuWorld
{
public:
    MenuWorld();

    // Reads a `mainmenu` element given as text into the menu.
    static void Load(cl_MainMenu& menu, const std::string& xml);
    // count save games "Spiel 0", "Spiel 1", ... (newest first) of section "turm", listed anew.
    void AddSaveGames(int count);
    cl_SaveGameManager& Saves() { return app->GetSaveGameManager(); }

    DemoWorkingFolder game{QUILLMERE_DEMO_DIR};
    std::unique_ptr<TarqApp> app = std::make_unique<TarqApp>();
    LogCapture log;
};
