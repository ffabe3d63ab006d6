// Random steps of a player and of the demo's scripts over the keeper's topics and the door's question:
// dialogs started, entries and exit topics chosen by any index, answers added, questions asked and
// dropped, time passing. Afterwards ExitDialog and the end of every topic's sequence must leave the dialog
// system idle and the busy counts of hero and keeper where they started; anything else aborts.
#include "assets/cl_Asset.h"
#include "assets/cl_AssetLogic.h"
#include "assets/cl_GameState.h"
#include "assets/cl_PoolManager.h"
#include "common/cl_LuaScriptSystem.h"
#include "common/cl_SyncManager.h"
#include "gamecomponents/cl_DialogSystem.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_SceneManager.h"
#include "sound/cl_Sound.h"
#include "statechart/cl_StateChartSystem.h"
#include "support/HeadlessOgre.h"
#include "support/ManualGameTime.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace
{
const char* const CHAPTER = QUILLMERE_DEMO_DIR "pimb/chapter1/";
const size_t MAX_STEPS = 64;
// Enough game time for every topic's sequence that a run can queue.
const int MAX_FRAMES = 4 * static_cast<int>(MAX_STEPS) + 8;

// The demo's chapter with the game components, the hero (the current character) and the keeper.
struct World
{
    World()
    {
        script.ExecuteString("this = '' eventdata = '' _globals = {}");
        gameState.SwitchChapter(CHAPTER, "", nullptr);
        std::ifstream file(std::string(CHAPTER) + "gamestate.xml");
        std::stringstream text;
        text << file.rdbuf();
        newGame.Parse(text.str().c_str());
        scenes.CreateCurtain(nullptr, nullptr);
        characters.AddCharacter(
            std::make_unique<cl_Character>(ogre.SceneManager(), nullptr, "characters_hero"));
        characters.AddCharacter(
            std::make_unique<cl_Character>(ogre.SceneManager(), nullptr, "characters_keeper"));
    }

    void Restart()
    {
        gameState.ReplaceTree(*newGame.RootElement());
        hub.SetCurrentCharacter("characters_hero");
    }
    int Count(const char* id) const { return characters.GetCharacter(id)->GetBusyCount(); }
    void Command(const std::string& arguments) { script.ExecuteString("sendcmd('game', " + arguments + ")"); }

    HeadlessOgre ogre;
    cl_LuaScriptSystem script;
    ManualGameTime gameTime{script};
    cl_GameState gameState;
    cl_StateChartSystem stateCharts;
    cl_PoolManager poolManager{script};
    cl_Sound sound{script};
    cl_SyncManager sync;
    cl_SceneManager scenes{script};
    cl_CharacterManager characters{script};
    cl_GameComponents hub{script};
    TiXmlDocument newGame;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World world;
    world.Restart();
    cl_DialogSystem& dialogs = world.hub.GetDialogSystem();
    for (size_t i = 0; i < size && i < MAX_STEPS; ++i)
    {
        const int argument = data[i] >> 3;
        switch (data[i] & 7)
        {
        case 0:
            world.Command("'StartDialog', 'characters_keeper'");
            break;
        case 1:
            dialogs.ChooseByIndex(argument % 5 - 1);
            break;
        case 2:
            dialogs.ChooseExitTopic();
            break;
        case 3:
            world.Command(argument % 2 ? "'ExitDialog'" : "'ClearChoices'");
            break;
        case 4:
            world.poolManager.FindAsset("items_door")->GetLogic()->SendEvent("character.Examine", nullptr);
            break;
        case 5:
            world.Command(argument % 2 ? "'AddChoice', 'items_door', 'door.Knock', 'knock'"
                                       : "'QueryChoice', 'items_door'");
            break;
        case 6:
            world.gameTime.Update(0.1f * static_cast<float>(argument));
            break;
        default:
            world.Command("'StartSubDialog', 'characters_keeper', 'none'");
            break;
        }
    }
    dialogs.ExitDialog();
    for (int frame = 0; frame < MAX_FRAMES && world.hub.GetSequencePlayer().IsForegroundPlaying(); ++frame)
        world.gameTime.Update(0.5f);
    if (dialogs.IsDialogActive() || world.Count("characters_hero") != 0 ||
        world.Count("characters_keeper") != 0)
        std::abort();
    return 0;
}
