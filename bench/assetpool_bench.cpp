// Loading a chapter of 1,000 assets, every one with a state chart: the chapter switch (all ten pools read
// from their asset and index files, the chart file each asset names loaded), beside a bare TinyXML parse
// of the same files, each once; and the new-game start that binds, starts and sends "game.Started" to
// every logic. The chapter is switched to as the game does, so that chart paths resolve against its
// folder, and the benchmark fails unless every asset runs its chart. The counter maxrss_mb is the
// process's peak resident memory after the runs (getrusage), which includes the benchmark library and the
// Lua state.
#include "assets/cl_Asset.h"
#include "assets/cl_AssetLogic.h"
#include "assets/cl_GameState.h"
#include "assets/cl_PoolManager.h"
#include "common/cl_LuaScriptSystem.h"
#include "statechart/cl_StateChartSystem.h"
#include "support/BenchRatio.h"

#include <benchmark/benchmark.h>
#include <boost/filesystem/operations.hpp>
#include <tinyxml.h>

#include <sys/resource.h>

#include <fstream>
#include <string>
#include <vector>

namespace
{
namespace fs = boost::filesystem;

constexpr int ASSETS = 1000;
constexpr int ASSETS_PER_FILE = 10;
const char* const POOLS[] = {"items",     "texts",     "scenes",    "topics",      "characters",
                             "cutscenes", "minigames", "sequences", "spokentexts", "tasks"};

const char* const CHART = R"(<?xml version="1.0" encoding="UTF-8"?>
<scxml initialstate="idle">
  <state id="idle">
    <onentry><script>_globals.entered = (_globals.entered or 0) + 1</script></onentry>
    <transition event="game.Started" target="ready"/>
  </state>
  <state id="ready">
    <initial id="ready_start"><transition target="waiting"/></initial>
    <history id="ready_history" type="deep"><transition target="waiting"/></history>
    <state id="waiting"><transition event="character.Interact" target="busy"/></state>
    <state id="busy"><transition event="sequence.Done" target="waiting"/></state>
  </state>
</scxml>
)";

std::string AssetXml(const std::string& id)
{
    return "<asset id=\"" + id + "\" name=\"" + id +
           "\"><tags>bench tower</tags>"
           "<logic statechart=\"charts/bench.scxml\"><parameter name=\"self\" assetid=\"" +
           id +
           "\"/>"
           "<trigger name=\"t\" condition=\"false\">x = 1</trigger></logic></asset>\n";
}

// The chapter: per pool 100 assets, nine tenths in asset files of ten, the rest in the index file. It is
// written once and removed when the program ends.
class BenchChapter
{
public:
    BenchChapter() : m_root(fs::temp_directory_path() / fs::unique_path("assetpool-bench-%%%%-%%%%"))
    {
        const fs::path& root = m_root;
        Write(root / "charts" / "bench.scxml", CHART);
        const int perPool = ASSETS / 10;
        for (const char* pool : POOLS)
        {
            std::string file;
            std::string index;
            for (int n = 0; n < perPool; ++n)
            {
                const std::string asset = AssetXml(std::string(pool) + "_" + std::to_string(n));
                if (n >= perPool - perPool / 10)
                    index += asset;
                else
                    file += asset;
                if (!file.empty() && (n + 1) % ASSETS_PER_FILE == 0)
                {
                    Write(root / pool / ("part" + std::to_string(n / ASSETS_PER_FILE) + ".xml"), file);
                    file.clear();
                }
            }
            Write(root / (std::string(pool) + ".xml"), "<assetpool>\n" + index + "</assetpool>\n");
        }
    }
    ~BenchChapter()
    {
        boost::system::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    BenchChapter(const BenchChapter&) = delete;
    BenchChapter& operator=(const BenchChapter&) = delete;

    const std::string& Folder() const { return m_folder; }
    // Every file of the chapter: the asset files, the index files and the chart.
    const std::vector<std::string>& Files() const { return m_files; }

private:
    void Write(const fs::path& path, const std::string& text)
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path.string()) << text;
        m_files.push_back(path.string());
    }

    fs::path m_root;
    std::string m_folder = m_root.string() + "/";
    std::vector<std::string> m_files;
};

const BenchChapter& Chapter()
{
    static const BenchChapter chapter;
    return chapter;
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// The game logic's singletons, as the application has them, with the chapter switched to.
struct World
{
    World()
    {
        TiXmlBase::SetCondenseWhiteSpace(false);
        scripts.ExecuteString("this = '' eventdata = ''");
        gameState.SwitchChapter(Chapter().Folder(), Chapter().Folder() + "common/", nullptr);
    }

    // Skips the benchmark unless every asset was loaded with its chart.
    bool AllChartsLoaded(benchmark::State& state) const
    {
        int charts = 0;
        for (const char* pool : POOLS)
        {
            for (int n = 0; n < ASSETS / 10; ++n)
            {
                const cl_Asset* asset = pools.FindAsset(std::string(pool) + "_" + std::to_string(n));
                charts += asset && asset->GetLogic() && asset->GetLogic()->HasStateChart() ? 1 : 0;
            }
        }
        if (charts == ASSETS)
            return true;
        state.SkipWithError(("only " + std::to_string(charts) + " assets run their chart").c_str());
        return false;
    }

    cl_LuaScriptSystem scripts;
    cl_GameState gameState;
    cl_StateChartSystem stateCharts;
    cl_PoolManager pools{scripts};
};

void BM_ChapterLoad(benchmark::State& state)
{
    World world;
    if (!world.AllChartsLoaded(state))
        return;
    const std::string& folder = Chapter().Folder();
    for (auto _ : state)
        world.pools.ReloadPools(folder, folder + "common/", nullptr);
    if (!world.AllChartsLoaded(state))
        return;
    state.SetItemsProcessed(state.iterations() * ASSETS);
    state.counters["maxrss_mb"] = PeakMegabytes();
}
BENCHMARK(BM_ChapterLoad)->Unit(benchmark::kMillisecond);

void BM_BareParseOfTheChapter(benchmark::State& state)
{
    TiXmlBase::SetCondenseWhiteSpace(false);
    const std::vector<std::string>& files = Chapter().Files();
    for (auto _ : state)
    {
        for (const std::string& file : files)
        {
            TiXmlDocument document;
            if (!document.LoadFile(file))
                state.SkipWithError(("TinyXML cannot read " + file).c_str());
            benchmark::DoNotOptimize(document.RootElement());
        }
    }
    state.SetItemsProcessed(state.iterations() * ASSETS);
}
BENCHMARK(BM_BareParseOfTheChapter)->Unit(benchmark::kMillisecond);

void BM_StartNewGame(benchmark::State& state)
{
    World world;
    if (!world.AllChartsLoaded(state))
        return;
    const TiXmlElement newGame("gamestate");
    for (auto _ : state)
        world.gameState.ReplaceTree(newGame);
    state.SetItemsProcessed(state.iterations() * ASSETS);
    state.counters["maxrss_mb"] = PeakMegabytes();
}
BENCHMARK(BM_StartNewGame)->Unit(benchmark::kMillisecond);

const BenchRatio LOAD_RATIO("chapter load / bare TinyXML parse of its files", "BM_ChapterLoad",
                            "BM_BareParseOfTheChapter", BenchRatio::AT_MOST, 2.0);
} // namespace
