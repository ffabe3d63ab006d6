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

TEST(IngameMenu, ResetShowsThePointerAgain)
{
    cl_IngameMenu menu;
    menu.HideMouse();
    menu.Reset();
    EXPECT_FALSE(menu.IsMouseHidden());
}
} // namespace
