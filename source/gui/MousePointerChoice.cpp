#include "gui/MousePointerChoice.h"

std::string MousePointerChoice::Word(const PointerFlags& flags, const Situation& situation)
{
    const struct
    {
        bool set;
        const char* word;
    } rules[] = {
        {flags.leave, "leave"},
        {flags.wait, "wait"},
        {flags.use, "use"},
        {flags.take, "take"},
        {flags.selected, "selected"},
        {situation.dialogLineHighlighted, "selected"},
        {!situation.canInteract, "skip"},
        {!situation.hovered, "none"},
    };
    for (const auto& rule : rules)
    {
        if (rule.set)
            return rule.word;
    }
    if (situation.itemHeld)
        return situation.itemAccepted ? "used_by" : "none";
    return situation.hoveredMode;
}
