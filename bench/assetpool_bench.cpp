// Loading a chapter of 1,000 assets, every one with a state chart: the chapter switch (all ten pools read
// from their asset and index files, one chart file loaded per asset) and the new-game start that binds,
// starts and sends "game.Started" to every logic. The counter maxrss_mb is the process's peak resident
// memory after the runs (getrusage), which includes the benchmark library and the Lua state.
#include "assets/cl_GameState.h"
#include "assets/cl_PoolManager.h"
#include "common/cl_LuaScriptSystem.h"
#include "statechart/cl_StateChartSystem.h"

#include <benchmark/benchmark.h>
#include <boost/filesystem/operations.hpp>
#include <tinyxml.h>

#include <sys/resource.h>

#include <fstream>
#include <string>

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

void Write(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path.string()) << text;
}

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

    std::string Folder() const { return m_root.string() + "/"; }

private:
    fs::path m_root;
};

const std::string& Chapter()
{
    static const BenchChapter chapter;
    static const std::string folder = chapter.Folder();
    return folder;
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// The game logic's singletons, as the application has them.
struct World
{
    World() { scripts.ExecuteString("this = '' eventdata = ''"); }
    cl_LuaScriptSystem scripts;
    cl_GameState gameState;
    cl_StateChartSystem stateCharts;
    cl_PoolManager pools{scripts};
};

void ReloadChapter(benchmark::State& state)
{
    TiXmlBase::SetCondenseWhiteSpace(false);
    const std::string& chapter = Chapter();
    World world;
    for (auto _ : state)
        world.pools.ReloadPools(chapter, chapter + "common/", nullptr);
    state.SetItemsProcessed(state.iterations() * ASSETS);
    state.counters["maxrss_mb"] = PeakMegabytes();
}
BENCHMARK(ReloadChapter)->Unit(benchmark::kMillisecond);

void StartNewGame(benchmark::State& state)
{
    TiXmlBase::SetCondenseWhiteSpace(false);
    const std::string& chapter = Chapter();
    World world;
    world.pools.ReloadPools(chapter, chapter + "common/", nullptr);
    const TiXmlElement newGame("gamestate");
    for (auto _ : state)
        world.gameState.ReplaceTree(newGame);
    state.SetItemsProcessed(state.iterations() * ASSETS);
    state.counters["maxrss_mb"] = PeakMegabytes();
}
BENCHMARK(StartNewGame)->Unit(benchmark::kMillisecond);
} // namespace
