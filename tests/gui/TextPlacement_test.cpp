#include "gui/TextPlacement.h"

#include <gtest/gtest.h>

namespace
{
TEST(TextPlacement, CentresTextsAboveTheirAnchorInsideThePicture)
{
    const struct
    {
        const char* name;
        float sideBar;
        float topBar;
        float x, y, width, height;
        float left, top;
    } cases[] = {
        // Font size 0.05 and margin 0.02 throughout: a text stands 0.1 above its anchor.
        {"in the open", 0, 0, 0.5f, 0.6f, 0.2f, 0.1f, 0.4f, 0.4f},
        {"near the right edge it keeps the margin", 0, 0, 0.95f, 0.6f, 0.2f, 0.1f, 0.78f, 0.4f},
        {"near the left edge", 0, 0, 0.05f, 0.6f, 0.2f, 0.1f, 0.02f, 0.4f},
        {"near the top", 0, 0, 0.5f, 0.1f, 0.2f, 0.1f, 0.4f, 0.02f},
        {"below the bottom it stays inside", 0, 0, 0.5f, 1.5f, 0.2f, 0.1f, 0.4f, 0.88f},
        {"clear of a side bar", 0.05f, 0, 0.98f, 0.6f, 0.2f, 0.1f, 0.73f, 0.4f},
        {"clear of a top bar", 0, 0.1f, 0.5f, 0.1f, 0.2f, 0.1f, 0.4f, 0.12f},
        {"wider than the picture: the right edge keeps the margin", 0, 0, 0.5f, 0.6f, 1.2f, 0.1f, -0.22f,
         0.4f},
        {"taller than the picture: the bottom keeps the margin", 0, 0, 0.5f, 0.6f, 0.2f, 1.2f, 0.4f, -0.22f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const TextPlacement placement{0.05f, c.sideBar, c.topBar, 0.02f};
        const TextPlacement::Position position = placement.Place(c.x, c.y, c.width, c.height);
        EXPECT_NEAR(position.left, c.left, 1e-6f);
        EXPECT_NEAR(position.top, c.top, 1e-6f);
    }
}
} // namespace
