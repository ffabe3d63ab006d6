// Saving and loading a game of 1,000 assets, each with a state chart whose state, history and interaction
// items the save holds, beside 1,000 script globals and 100 waiting events. Saving: every listener writes
// into the tree, the file is printed and written beside the old one and renamed over it. Loading: the
// file is read, checked and converted, the tree replaced, every logic restored and started. The chapter
// is switched to as the game does, so that the charts load, and the benchmark fails unless the save holds
// the state of every chart. Beside them, the floor: a bare TinyXML parse plus print of the same save. The
// counter file_kb is the size of the save file.
#include "assets/cl_GameState.h"
#include "assets/cl_PoolManager.h"
#include "common/cl_Argument.h"
#include "common/cl_Config.h"
#include "common/cl_LuaScriptSystem.h"
#include "common/cl_OgreGameTime.h"
#include "common/cl_TarqdataLoader.h"
#include "gamecomponents/cl_SaveGameManager.h"
#include "statechart/cl_StateChartSystem.h"
#include "support/BenchRatio.h"

#include <benchmark/benchmark.h>
#include <boost/filesystem/operations.hpp>
#include <tinyxml.h>

#include <fstream>
#include <string>

namespace
{
namespace fs = boost::filesystem;

constexpr int ASSETS = 1000;
constexpr int EVENTS = 100;
const char* const POOLS[] = {"items",     "texts",     "scenes",    "topics",      "characters",
                             "cutscenes", "minigames", "sequences", "spokentexts", "tasks"};

const char* const CHART = R"(<scxml initialstate="calm">
  <state id="calm"><transition event="game.Started" target="moving"/></state>
  <state id="moving">
    <initial id="moving_start"><transition target="left"/></initial>
    <history id="moving_history" type="deep"><transition target="left"/></history>
    <state id="left"><transition event="turn" target="right"/></state>
    <state id="right"><transition event="turn" target="left"/></state>
    <transition event="rest" target="calm"/>
  </state>
</scxml>
)";

// A chapter folder whose ten pools hold 100 assets each, all in their index files; removed at the end.
class Chapter
{
public:
    Chapter() : m_folder(fs::temp_directory_path() / fs::unique_path("savegame-bench-%%%%-%%%%"))
    {
        fs::create_directories(m_folder / "charts");
        std::ofstream((m_folder / "charts" / "moving.scxml").string()) << CHART;
        for (const char* pool : POOLS)
        {
            std::ofstream index((m_folder / (std::string(pool) + ".xml")).string());
            index << "<assetpool>\n";
            for (int n = 0; n < ASSETS / 10; ++n)
                index << "<asset id=\"" << pool << n
                      << "\" name=\"x\"><logic statechart=\"charts/moving.scxml\"/>"
                      << "</asset>\n";
            index << "</assetpool>\n";
        }
    }
    ~Chapter()
    {
        boost::system::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    Chapter(const Chapter&) = delete;
    Chapter& operator=(const Chapter&) = delete;

    std::string Folder() const { return m_folder.string() + "/"; }

private:
    fs::path m_folder;
};

// The singletons a save and a load reach, with the game of the chapter started and played a little.
struct Game
{
    explicit Game(const Chapter& chapter)
    {
        TiXmlBase::SetCondenseWhiteSpace(false);
        scripts.ExecuteString("this = '' eventdata = ''");
        loader.ParseTdf("GAMEDATA", "<tarqdata><chapterdata id='bench'/></tarqdata>", "bench.tdf", false);
        loader.SetCurrentChapterId("bench");
        gameState.SwitchChapter(chapter.Folder(), "", nullptr);
        gameState.ReplaceTree(TiXmlElement("gamestate"));
        const cl_Argument none;
        for (const char* pool : POOLS)
        {
            for (int n = 0; n < ASSETS / 10; n += 2)
                pools.SendToAsset(pools.FindAsset(pool + std::to_string(n)), "turn", none, 0.0f);
        }
        for (int n = 0; n < EVENTS; ++n)
            pools.SendToAssetDelayed("items" + std::to_string(n), "rest", none,
                                     10.0f + static_cast<float>(n));
        scripts.ExecuteString("for n = 1, 1000 do _globals['value' .. n] = n * 0.5 end");
        saves.ScanSaveGames();
    }

    cl_TarqdataLoader loader;
    fs::path home = fs::temp_directory_path() / fs::unique_path("savegame-bench-home-%%%%-%%%%");
    cl_Config config{home.string(), home.string(), ""};
    cl_LuaScriptSystem scripts;
    cl_OgreGameTime gameTime{scripts};
    cl_GameState gameState;
    cl_StateChartSystem stateCharts;
    cl_PoolManager pools{scripts};
    cl_SaveGameManager saves;
};

// The number of logic elements of the game state that hold a chart state.
int SavedChartStates()
{
    const TiXmlElement* root = cl_GameState::GetInstance()->GetRoot();
    const TiXmlElement* logics = root ? root->FirstChildElement("logics") : nullptr;
    int states = 0;
    for (const TiXmlElement* logic = logics ? logics->FirstChildElement("logic") : nullptr; logic;
         logic = logic->NextSiblingElement("logic"))
        states += logic->FirstChildElement("state") ? 1 : 0;
    return states;
}

// Skips the benchmark unless the last save held the state of every chart.
bool EveryChartSaved(benchmark::State& state)
{
    const int states = SavedChartStates();
    if (states == ASSETS)
        return true;
    state.SkipWithError(("the save holds " + std::to_string(states) + " chart states").c_str());
    return false;
}

void BM_SaveGame(benchmark::State& state)
{
    const Chapter chapter;
    Game game(chapter);
    for (auto _ : state)
        game.saves.Quicksave();
    if (!EveryChartSaved(state))
        return;
    state.SetItemsProcessed(state.iterations() * ASSETS);
    state.counters["file_kb"] =
        static_cast<double>(fs::file_size(game.saves.GetQuicksaveEntry().file)) / 1024.0;
    fs::remove_all(game.home);
}
BENCHMARK(BM_SaveGame)->Unit(benchmark::kMillisecond);

void BM_LoadGame(benchmark::State& state)
{
    const Chapter chapter;
    Game game(chapter);
    game.saves.Quicksave();
    if (!EveryChartSaved(state))
        return;
    const SaveEntry entry = game.saves.GetQuicksaveEntry();
    for (auto _ : state)
    {
        if (!game.saves.LoadEntry(entry))
            state.SkipWithError("the save did not load");
    }
    state.SetItemsProcessed(state.iterations() * ASSETS);
    state.counters["file_kb"] = static_cast<double>(fs::file_size(entry.file)) / 1024.0;
    fs::remove_all(game.home);
}
BENCHMARK(BM_LoadGame)->Unit(benchmark::kMillisecond);

void BM_SaveAndLoadGame(benchmark::State& state)
{
    const Chapter chapter;
    Game game(chapter);
    for (auto _ : state)
    {
        if (!game.saves.Quicksave() || !game.saves.LoadEntry(game.saves.GetQuicksaveEntry()))
            state.SkipWithError("the game was not saved and loaded");
    }
    if (!EveryChartSaved(state))
        return;
    state.SetItemsProcessed(state.iterations() * ASSETS);
    fs::remove_all(game.home);
}
BENCHMARK(BM_SaveAndLoadGame)->Unit(benchmark::kMillisecond);

void BM_BareParseAndPrintOfTheSave(benchmark::State& state)
{
    const Chapter chapter;
    Game game(chapter);
    game.saves.Quicksave();
    if (!EveryChartSaved(state))
        return;
    const std::string file = game.saves.GetQuicksaveEntry().file;
    for (auto _ : state)
    {
        TiXmlDocument document;
        if (!document.LoadFile(file))
            state.SkipWithError("TinyXML cannot read the save");
        TiXmlPrinter printer;
        document.Accept(&printer);
        benchmark::DoNotOptimize(printer.Size());
    }
    state.SetItemsProcessed(state.iterations() * ASSETS);
    fs::remove_all(game.home);
}
BENCHMARK(BM_BareParseAndPrintOfTheSave)->Unit(benchmark::kMillisecond);

// The wall clock holds the save's wait for the disk (the write is flushed before it replaces the old
// file), which the floor does not write; the CPU time leaves it out.
const BenchRatio SAVE_AND_LOAD_RATIOS[] = {
    {"save plus load / bare TinyXML parse plus print of the save", "BM_SaveAndLoadGame",
     "BM_BareParseAndPrintOfTheSave", BenchRatio::AT_MOST, 2.0},
    {"save plus load / bare TinyXML parse plus print of the save", "BM_SaveAndLoadGame",
     "BM_BareParseAndPrintOfTheSave", BenchRatio::AT_MOST, 2.0, BenchRatio::CPU_TIME},
};
} // namespace
