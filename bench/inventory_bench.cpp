// A frame of the open inventory row with 16 and with 20 icons while the mouse sweeps across it: the
// picking (GetIdAt, which raises the icon under the mouse and lowers the one it left) and the animation
// (Update, which grows the hovered icon, shrinks the one left and lays the row out). Beside it the floor:
// as many bare OGRE panels in a panel, each placed and sized once a frame, which is the least a row of
// moving icons asks of OGRE. Both on OGRE without a window, where nothing is drawn. The ratio of the two,
// timed interleaved in one run, is printed last.
#include "assets/cl_GameState.h"
#include "common/cl_LuaScriptSystem.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_Inventory.h"
#include "gui/cl_InventoryGui.h"
#include "support/BenchRatio.h"
#include "support/HeadlessOgre.h"
#include "support/HeadlessTextures.h"

#include <OgreResourceGroupManager.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>
#include <benchmark/benchmark.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr float FRAME = 1.0f / 60.0f;
constexpr float ROW_LEFT = 0.05f;
constexpr float ROW_TOP = 0.8f;
constexpr float ROW_WIDTH = 0.9f;
constexpr float ROW_HEIGHT = 0.125f;
// The mouse crosses the row in two seconds.
constexpr float SWEEP = ROW_WIDTH * FRAME / 2.0f;

// OGRE with its overlay system, and the game components with an inventory whose current character
// carries nothing yet.
struct World
{
    World()
    {
        Ogre::ResourceGroupManager::getSingleton().createResourceGroup("CHAPTERDATA");
        TiXmlDocument state;
        state.Parse("<gamestate><inventory><character characterid='hero'/></inventory></gamestate>");
        gameState.ReplaceTree(*state.RootElement());
        hub.GetInventory().SetCurrentCharacter("hero");
        Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
        foreground = overlays.create("foreground");
        background = overlays.create("background");
    }

    HeadlessOgre ogre;
    HeadlessTextures textures;
    Ogre::OverlaySystem overlaySystem;
    cl_LuaScriptSystem script;
    cl_GameState gameState;
    cl_GameComponents hub{script};
    Ogre::Overlay* foreground = nullptr;
    Ogre::Overlay* background = nullptr;
};

World& TheWorld()
{
    static World world;
    return world;
}

// The row open with that many icons, grown to their size.
class Row
{
public:
    explicit Row(int icons)
    {
        World& world = TheWorld();
        cl_Inventory& inventory = world.hub.GetInventory();
        inventory.ClearInventory("hero");
        for (int icon = 0; icon < icons; ++icon)
            inventory.AddItem("items_" + std::to_string(icon), "hero");
        m_view.SetSize(ROW_WIDTH, ROW_HEIGHT);
        m_view.SetPosition(ROW_LEFT, ROW_TOP);
        m_view.Init(world.foreground, world.background);
        m_view.SetOpen(true);
        for (int frame = 0; frame < 120; ++frame)
            m_view.Update(FRAME);
    }

    // One frame: the mouse a step further along the row.
    void Frame()
    {
        m_x = m_x + SWEEP > ROW_LEFT + ROW_WIDTH ? ROW_LEFT : m_x + SWEEP;
        benchmark::DoNotOptimize(m_view.GetIdAt(m_x, ROW_TOP + ROW_HEIGHT - 0.01f));
        m_view.Update(FRAME);
    }

private:
    cl_InventoryGui m_view;
    float m_x = ROW_LEFT;
};

// As many bare panels in a panel, moved and sized every frame.
class BarePanels
{
public:
    explicit BarePanels(int count) : m_world(TheWorld())
    {
        Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
        m_row = static_cast<Ogre::OverlayContainer*>(overlays.createOverlayElement("Panel", "bare_row"));
        m_row->setMetricsMode(Ogre::GMM_RELATIVE);
        m_row->setPosition(ROW_LEFT, ROW_TOP);
        for (int panel = 0; panel < count; ++panel)
        {
            Ogre::OverlayElement* element =
                overlays.createOverlayElement("Panel", "bare_" + std::to_string(panel));
            element->setMetricsMode(Ogre::GMM_RELATIVE);
            m_row->addChild(element);
            m_panels.push_back(element);
        }
        m_world.background->add2D(m_row);
    }
    ~BarePanels()
    {
        Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
        m_world.background->remove2D(m_row);
        for (Ogre::OverlayElement* element : m_panels)
        {
            m_row->removeChild(element->getName());
            overlays.destroyOverlayElement(element);
        }
        overlays.destroyOverlayElement(m_row);
    }

    void Frame()
    {
        m_grow = m_grow > 1.0f ? 0.0f : m_grow + FRAME;
        const float slot = ROW_WIDTH / static_cast<float>(m_panels.size());
        float left = 0.0f;
        for (Ogre::OverlayElement* element : m_panels)
        {
            element->setPosition(left, ROW_HEIGHT - slot * (1.0f + m_grow));
            element->setDimensions(slot * (1.0f + m_grow), slot * (1.0f + m_grow));
            left += slot;
        }
    }

private:
    World& m_world;
    Ogre::OverlayContainer* m_row = nullptr;
    std::vector<Ogre::OverlayElement*> m_panels;
    float m_grow = 0.0f;
};

void BM_InventoryFrame(benchmark::State& state)
{
    Row row(static_cast<int>(state.range(0)));
    for (auto _ : state)
        row.Frame();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_InventoryFrame)->Arg(16)->Arg(20);

void BM_BarePanelsFrame(benchmark::State& state)
{
    BarePanels panels(static_cast<int>(state.range(0)));
    for (auto _ : state)
        panels.Frame();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BarePanelsFrame)->Arg(16)->Arg(20);

const BenchRatio RATIOS[] = {
    {"inventory row frame / bare panel updates, 16 icons", "BM_InventoryFrame/16", "BM_BarePanelsFrame/16",
     BenchRatio::AT_MOST, 4.0},
    {"inventory row frame / bare panel updates, 20 icons", "BM_InventoryFrame/20", "BM_BarePanelsFrame/20",
     BenchRatio::AT_MOST, 4.0},
};
} // namespace
