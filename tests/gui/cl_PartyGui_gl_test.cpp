#include "gui/cl_PartyGui.h"

#include "gamecomponents/cl_Party.h"
#include "support/ColourNear.h"
#include "support/ViewWindow.h"

#include <gtest/gtest.h>

namespace
{
// The demo's portrait colours (demo/media/40-gui.sh).
const Ogre::ColourValue HERO_ACTIVE(0x3c / 255.0f, 0x8c / 255.0f, 1.0f);
const Ogre::ColourValue KEEPER(0x60 / 255.0f, 0x30 / 255.0f, 0.0f);
const Ogre::ColourValue KEEPER_SELECTED(1.0f, 0xd0 / 255.0f, 0xa0 / 255.0f);

TEST(PartyColumn, PortraitsStandSquareAtTheTopLeftOfThePictureOnceTheHeroHasCompany)
{
    ViewWindow screen(1280, 720);
    // The column starts 0.02 inside the side bar (0.05 of the width) and 0.02 below the top: at 89, 14.
    // Each portrait is 0.0625 of the width (80 pixels) wide and as many pixels high.
    const int heroX = 89 + 40;
    const int heroY = 14 + 40;
    const int keeperY = heroY + 80;
    EXPECT_TRUE(NearColour(screen.DrawnPixel(heroX, heroY), Ogre::ColourValue::White)) << "the hero alone";

    screen.world.hub.GetParty().AddMember("characters_keeper");
    EXPECT_TRUE(NearColour(screen.DrawnPixel(heroX, heroY), HERO_ACTIVE))
        << ColourText(screen.DrawnPixel(heroX, heroY));
    EXPECT_TRUE(NearColour(screen.DrawnPixel(heroX, keeperY), KEEPER))
        << ColourText(screen.DrawnPixel(heroX, keeperY));
    for (int edge : {89 - 2, 89 + 80 + 2})
        EXPECT_TRUE(NearColour(screen.DrawnPixel(edge, heroY), Ogre::ColourValue::White)) << edge;
    EXPECT_TRUE(NearColour(screen.DrawnPixel(heroX, keeperY + 40 + 2), Ogre::ColourValue::White));

    EXPECT_EQ(screen.menu.GetIdAt(heroX / 1280.0f, keeperY / 720.0f), "characters_keeper");
    EXPECT_TRUE(NearColour(screen.DrawnPixel(heroX, keeperY), KEEPER_SELECTED))
        << ColourText(screen.DrawnPixel(heroX, keeperY));
}
} // namespace
