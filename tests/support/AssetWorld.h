#pragma once

#include "assets/cl_GameState.h"
#include "assets/cl_PoolManager.h"
#include "common/cl_LuaScriptSystem.h"
#include "sound/cl_Sound.h"
#include "statechart/cl_StateChartSystem.h"
#include "support/LogCapture.h"
#include "support/ManualGameTime.h"

#include <string>

class cl_Asset;
class cl_AssetLogic;

// The game logic's singletons as the application creates them, over real Lua and a game time whose frames
// the test runs: script system, game time, game state, state-chart system and pool manager; and the sound
// system without a device, which the demo's charts ask for music.
class AssetWorld
{
public:
    AssetWorld();

    // Loads the pools through the game state's chapter switch (folders end in "/").
    void LoadChapter(const std::string& chapterFolder, const std::string& commonFolder = std::string(),
                     ILoadingProgress* progress = nullptr);
    // Puts the "gamestate" tree of the XML text in place, as a new game or a load does; false when the
    // text has no such root.
    bool LoadGameState(const std::string& xml);
    // Has the listeners write into the tree, as a save does, and returns the tree printed.
    std::string SaveGameState();
    // How many delayed events a save writes.
    size_t PendingEvents();
    // Runs count frames of dt seconds.
    void Frames(int count, float dt);
    // The asset and its logic; the test fails when either is missing.
    cl_Asset& Asset(const std::string& id);
    cl_AssetLogic& Logic(const std::string& id);

    LogCapture log;
    cl_LuaScriptSystem script;
    ManualGameTime gameTime{script};
    cl_GameState gameState;
    cl_StateChartSystem stateCharts;
    cl_PoolManager poolManager{script};
    cl_Sound sound{script};
};

// The demo's first chapter and its new-game state.
std::string DemoChapterFolder();
std::string DemoNewGameState();
