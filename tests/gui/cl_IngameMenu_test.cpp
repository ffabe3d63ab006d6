#include "gui/cl_IngameMenu.h"

#include "common/cl_CommandDistributor.h"
#include "gamecomponents/cl_Inventory.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "gui/HotspotMarkers.h"
#include "gui/ICursorOwner.h"
#include "gui/cl_TarqTextAreaOverlayElementFactory.h"
#include "minigames/cl_MinigameManager.h"
#include "support/HeadlessOgre.h"
#include "support/HeadlessOverlays.h"
#include "support/LogCapture.h"
#include "support/RecordingMinigame.h"
#include "support/ViewWorld.h"

#include <gtest/gtest.h>

#include <OgreMaterialManager.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// A loaded scene whose usable objects stand where the test puts them.
class SceneWithHotSpots final : public cl_Scene
{
public:
    SceneWithHotSpots() : cl_Scene(TiXmlElement("scene")) {}
    bool HasBackdrop() const override { return true; }
    void GetHotSpots(HotSpots& hotSpots) const override { hotSpots = m_hotSpots; }

    HotSpots m_hotSpots;
};

class RecordingCursorOwner final : public ICursorOwner
{
public:
    void LoadCursor(const std::string& name) override { m_calls += "load " + name + " "; }
    void SetSmallCursor(bool small) override { m_calls += small ? "small " : "normal "; }
    void PutCursorAside() override { m_calls += "aside "; }
    void RestoreCursor() override { m_calls += "restore "; }

    std::string m_calls;
};

TEST(IngameMenu, HidingThePointerMovesTheHardwareCursorOnlyWhenItIsOn)
{
    struct Case
    {
        const char* name;
        bool hardwareCursor;
        bool withOwner;
        const char* calls;
    } cases[] = {
        {"hardware cursor", true, true, "aside restore "},
        {"pointer drawn by the menu", false, true, ""},
        {"no owner yet", true, false, ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        RecordingCursorOwner owner;
        cl_IngameMenu menu;
        menu.SetHardwareCursor(c.hardwareCursor);
        if (c.withOwner)
            menu.SetCursorOwner(&owner);
        menu.HideMouse();
        EXPECT_TRUE(menu.IsMouseHidden());
        menu.ShowMouse();
        EXPECT_FALSE(menu.IsMouseHidden());
        EXPECT_EQ(owner.m_calls, c.calls);
    }
}

TEST(IngameMenu, HotspotMarkersDependOnDifficultyAndSetting)
{
    const struct
    {
        int difficulty;
        const char* setting;
        bool allowed;
    } cases[] = {
        {0, "", true},         {0, "default", true}, {0, "off", false}, {0, "on", true}, {1, "", false},
        {1, "default", false}, {1, "off", false},    {1, "on", true},   {2, "", true},   {1, "always", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cl_IngameMenu::HotspotsAllowed(c.difficulty, c.setting), c.allowed)
            << "difficulty " << c.difficulty << ", hotspots '" << c.setting << "'";
}

TEST(IngameMenu, TheHardwareCursorFollowsThePointerWordAndThePress)
{
    RecordingCursorOwner owner;
    cl_IngameMenu menu;
    menu.SetCursorOwner(&owner);
    menu.SetHardwareCursor(true);
    menu.UpdateMousePointer();
    menu.UpdateMousePointer();
    EXPECT_EQ(owner.m_calls, "load mp_none ") << "the cursor is loaded when it changes only";
    menu.m_pointerFlags.wait = true;
    menu.UpdateMousePointer();
    EXPECT_EQ(menu.GetPointerMaterial(), "gui/mp_wait");
    menu.PressMouse();
    menu.ReleaseMouse();
    EXPECT_EQ(owner.m_calls, "load mp_none load mp_wait small normal ");

    owner.m_calls.clear();
    menu.SetPointerMaterial("nofolder");
    EXPECT_EQ(owner.m_calls, "load nofolder ");
}

TEST(IngameMenu, ResetShowsThePointerAgain)
{
    cl_IngameMenu menu;
    menu.HideMouse();
    menu.Reset();
    EXPECT_FALSE(menu.IsMouseHidden());
}
} // namespace

namespace
{
TEST(IngameMenu, HeldSpaceMarksTheHotspotsOfTheSceneAndOfTheRunningMinigame)
{
    LogCapture log;
    HeadlessOgre ogre;
    Ogre::OverlaySystem overlaySystem;
    cl_TarqTextAreaOverlayElementFactory::AddTo(Ogre::OverlayManager::getSingleton());
    for (const char* material : {"gui/hs_take", "gui/hs_use"})
        Ogre::MaterialManager::getSingleton().create(material, "General");
    cl_CommandDistributor distributor;
    cl_SceneManager scenes(distributor);
    auto scene = std::make_unique<SceneWithHotSpots>();
    SceneWithHotSpots& room = *scene;
    room.m_hotSpots = {{0.2f, 0.5f, "take", "items_key"}};
    scenes.SetLoadedScene(std::move(scene));
    cl_MinigameManager minigames;
    std::vector<std::string> seen;
    auto puzzle = std::make_unique<RecordingMinigame>("puzzle", seen);
    puzzle->m_hotSpots = {{0.7f, 0.3f, "use", "mg_button"}};
    minigames.AddMinigame("puzzle", std::move(puzzle));
    minigames.StartMinigame("puzzle", nullptr);

    cl_IngameMenu menu;
    menu.CreateOverlays();
    menu.PressSpace();
    ASSERT_TRUE(menu.AreHotspotsShown());
    const HotspotMarkers& markers = *menu.GetHotspotMarkers();
    EXPECT_EQ(markers.Count(), 2u);
    EXPECT_NE(markers.Find("items_key"), nullptr);
    EXPECT_NE(markers.Find("mg_button"), nullptr);

    // The key is taken while Space is held.
    room.m_hotSpots.clear();
    menu.AddHotspotTime(0.25f);
    menu.UpdateHotspots();
    EXPECT_EQ(markers.Count(), 1u);
    EXPECT_EQ(markers.Find("items_key"), nullptr);
    EXPECT_NEAR(markers.Find("mg_button")->getWidth(), 0.04f * 1.2f, 1e-5f);

    menu.ReleaseSpace(cl_IngameMenu::SPACE_KEY);
    EXPECT_FALSE(menu.AreHotspotsShown());
    EXPECT_EQ(markers.Count(), 0u);
    menu.DestroyOverlays();
    minigames.StopMinigame();
}
} // namespace

namespace
{
TEST(IngameMenu, TheInventoryRowOpensAtTheBottomEdgeWhenItHasIconsAndClosesAboveIt)
{
    HeadlessOverlays ogre;
    ViewWorld world;
    cl_TarqTextAreaOverlayElementFactory::AddTo(Ogre::OverlayManager::getSingleton());
    cl_IngameMenu menu;
    menu.CreateOverlays();
    const cl_InventoryGui& row = menu.GetInventoryGui();
    const struct
    {
        const char* what;
        void (*before)(cl_IngameMenu& menu, ViewWorld& world);
        float y;
        bool open;
    } cases[] = {
        {"in the middle", [](cl_IngameMenu&, ViewWorld&) {}, 0.5f, false},
        {"at the bottom edge", [](cl_IngameMenu&, ViewWorld&) {}, 0.995f, true},
        {"back on the row", [](cl_IngameMenu&, ViewWorld&) {}, 0.9f, true},
        {"above the row", [](cl_IngameMenu&, ViewWorld&) {}, 0.8f, false},
        {"at the edge during a dialog",
         [](cl_IngameMenu& m, ViewWorld&) { m.GetDialogGui().OnDialogStart(); }, 0.995f, false},
        {"after the dialog", [](cl_IngameMenu& m, ViewWorld&) { m.GetDialogGui().Hide(); }, 0.995f, true},
        {"a dialog starts over the open row",
         [](cl_IngameMenu& m, ViewWorld&) { m.GetDialogGui().OnDialogStart(); }, 0.9f, false},
        {"while the inventory is not allowed",
         [](cl_IngameMenu& m, ViewWorld&)
         {
             m.GetDialogGui().Hide();
             m.SetInventoryAllowed(false);
         },
         0.995f, false},
        {"while the hero carries nothing",
         [](cl_IngameMenu& m, ViewWorld& w)
         {
             m.SetInventoryAllowed(true);
             w.hub.GetInventory().RemoveItem("items_cloth", "characters_hero");
         },
         0.995f, false},
    };
    for (const auto& c : cases)
    {
        c.before(menu, world);
        menu.MoveMouse(0.5f, c.y);
        EXPECT_EQ(row.IsOpen(), c.open) << c.what;
    }
    menu.DestroyOverlays();
}
} // namespace
