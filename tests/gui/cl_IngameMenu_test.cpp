#include "gui/cl_IngameMenu.h"

#include "gui/ICursorOwner.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
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
