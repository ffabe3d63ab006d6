#include "gui/TextPlacement.h"

#include <algorithm>

namespace
{
// lower, unless that passes upper: upper wins when the range is empty.
float Clamped(float value, float lower, float upper)
{
    return std::min(std::max(value, lower), upper);
}
} // namespace

TextPlacement::Position TextPlacement::Place(float x, float y, float width, float height) const
{
    return {Clamped(x - width / 2.0f, sideBar + margin, 1.0f - width - margin - sideBar),
            Clamped(y - 2.0f * fontSize - height, margin + topBar, 1.0f - height - margin - topBar)};
}
