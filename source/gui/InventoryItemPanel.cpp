#include "gui/InventoryItemPanel.h"

#include "common/Easing.h"

#include <algorithm>
#include <cmath>

namespace
{
// While the pop-up fades in it rises to this much higher than its slot and to this much further left.
constexpr float POP_UP_RISE = 0.1f;
constexpr float POP_UP_SHIFT = 0.05f;
// Scale steps per second: growing while hovered and shrinking back, and twice that for a row that opens
// or closes.
constexpr float SCALE_SPEED = 10.0f;
constexpr float HOVERED_SCALE = 2.0f;

// The alpha of a pop-up at its eased progress e: fading in until e falls to 0.9, opaque until its middle,
// fading out from there. An open row keeps the icon opaque in the second half.
float PopUpAlpha(float e, float timer, bool rowOpen)
{
    if (rowOpen && timer / InventoryItemPanel::POP_UP_TIME < 0.5f)
        return 1.0f;
    float a = e;
    if (e > 0.5f)
        a = e <= 0.9f ? 0.5f : (1.0f - e) * 5.0f;
    return 2.0f * a;
}

// Moves value toward target by at most step; whether it moved.
bool Approach(float& value, float target, float step)
{
    if (value == target)
        return false;
    value = value < target ? std::min(target, value + step) : std::max(target, value - step);
    return true;
}
} // namespace

void InventoryItemPanel::PopUp()
{
    timer = POP_UP_TIME;
    scale = 1.0f;
}

float InventoryItemPanel::Ease() const
{
    static const EasingFunction easeInOutQuad = GetEasingFunction("easeInOutQuad");
    return easeInOutQuad(timer, 0.0f, 1.0f, POP_UP_TIME);
}

InventoryItemPanel::Step InventoryItemPanel::Animate(float dt, bool rowOpen)
{
    Step step;
    const float k = SCALE_SPEED * dt;
    if (timer > 0.0f)
    {
        timer -= dt;
        step.alpha = PopUpAlpha(Ease(), timer, rowOpen);
        if (timer <= 0.0f)
        {
            timer = 0.0f;
            step.alpha = 1.0f;
            if (!rowOpen)
                scale = 0.0f;
        }
        step.alphaChanged = true;
        step.changed = true;
    }
    if (!rowOpen)
    {
        if (scale > 0.0f)
        {
            // A pop-up shows on the closed row at full size.
            scale = timer > 0.0f ? 1.0f : std::max(0.0f, scale - 2.0f * k);
            step.changed = true;
        }
    }
    else if (!hovered)
        step.changed |= Approach(scale, 1.0f, scale > 1.0f ? k : 2.0f * k);
    else if (scale < HOVERED_SCALE)
        step.changed |= Approach(scale, HOVERED_SCALE, k);
    return step;
}

InventoryItemPanel::Rect InventoryItemPanel::Place(float slotLeft, float slotWidth, float slotHeight,
                                                   float rowHeight) const
{
    const float e = Ease();
    const float halfPi = 1.57079633f;
    Rect rect;
    rect.width = slotWidth * scale;
    rect.height = slotHeight * scale;
    // A scaled icon stays centred in its slot and grows upward from the row's bottom.
    rect.left = slotLeft - POP_UP_SHIFT * e + 0.5f * (1.0f - scale) * slotWidth;
    rect.top = rowHeight - POP_UP_RISE * std::cos((1.0f - e) * halfPi) - rect.height;
    return rect;
}
