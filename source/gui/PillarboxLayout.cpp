#include "gui/PillarboxLayout.h"

#include "gui/OverlayViewport.h"

PillarboxLayout PillarboxLayout::Compute(int width, int height, float minAspect, float maxAspect)
{
    OverlayViewport viewport;
    viewport.width = width;
    viewport.height = height;
    const float aspect = viewport.Aspect();
    PillarboxLayout layout;
    if (aspect > maxAspect)
        layout.side = (1.0f - maxAspect / aspect) * 0.5f;
    else if (aspect < minAspect)
        layout.top = (1.0f - aspect / minAspect) * 0.5f;

    const float h = viewport.IsKnown() ? 1.0f / static_cast<float>(height) : 0.0f;
    const float w = viewport.IsKnown() ? 1.0f / static_cast<float>(width) : 0.0f;
    layout.left = {-h, -w, layout.side + 2.0f * h, 1.0f + 2.0f * w};
    layout.right = {1.0f - layout.side - h, -w, layout.side + 2.0f * h, 1.0f + 2.0f * w};
    layout.upper = {-h, -w, 1.0f + 2.0f * h, layout.top + 2.0f * w};
    layout.lower = {-h, 1.0f - layout.top - w, 1.0f + 2.0f * h, layout.top + 2.0f * w};
    return layout;
}
