#include "gui/MousePointerChoice.h"

#include <gtest/gtest.h>

namespace
{
TEST(MousePointerChoice, FirstMatchingRuleNamesThePointer)
{
    using Situation = MousePointerChoice::Situation;
    const Situation nothing;
    Situation overDoor;
    overDoor.hovered = true;
    overDoor.hoveredMode = "use";
    Situation holdingKeyOverDoor = overDoor;
    holdingKeyOverDoor.itemHeld = true;
    holdingKeyOverDoor.itemAccepted = true;
    Situation holdingKeyOverLamp = overDoor;
    holdingKeyOverLamp.hoveredMode = "none";
    holdingKeyOverLamp.itemHeld = true;
    Situation dialogLine = overDoor;
    dialogLine.dialogLineHighlighted = true;
    dialogLine.canInteract = false;
    Situation busy = overDoor;
    busy.canInteract = false;

    PointerFlags leaveAndUse;
    leaveAndUse.leave = true;
    leaveAndUse.use = true;
    PointerFlags waitAndTake;
    waitAndTake.wait = true;
    waitAndTake.take = true;
    PointerFlags take;
    take.take = true;
    PointerFlags selected;
    selected.selected = true;
    const PointerFlags none;

    const struct
    {
        const char* name;
        PointerFlags flags;
        Situation situation;
        const char* word;
    } cases[] = {
        {"over nothing", none, nothing, "none"},
        {"over an object, its interaction mode", none, overDoor, "use"},
        {"leave wins over use", leaveAndUse, overDoor, "leave"},
        {"wait wins over take", waitAndTake, nothing, "wait"},
        {"take flag over an object", take, overDoor, "take"},
        {"selected flag", selected, overDoor, "selected"},
        {"a highlighted dialog line, even while busy", none, dialogLine, "selected"},
        {"no interaction possible", none, busy, "skip"},
        {"busy wins over nothing under the mouse", none, Situation{false, false, false, "", false, false},
         "skip"},
        {"a held item the object takes", none, holdingKeyOverDoor, "used_by"},
        {"a held item the object does not take", none, holdingKeyOverLamp, "none"},
        {"flags win over a held item", take, holdingKeyOverDoor, "take"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MousePointerChoice::Word(c.flags, c.situation), c.word);
    }
}
} // namespace
