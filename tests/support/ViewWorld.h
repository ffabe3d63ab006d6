#pragma once

#include "gamecomponents/cl_GameComponents.h"
#include "support/AssetWorld.h"
#include "support/GameComponentsStandIns.h"

#include <string>

namespace Ogre
{
class Overlay;
}

class cl_ItemAsset;

// What the in-game menu's views listen to: the demo chapter as a new game with the game components
// (recording stand-ins for their sequence player and dialog system), the hero the current character. Needs
// OGRE with its overlay system (HeadlessOverlays, or a window), whose resource groups "CHAPTERDATA" and
// "GAMEDATA" it makes when missing.
class ViewWorld
{
public:
    ViewWorld();
    ~ViewWorld();
    ViewWorld(const ViewWorld&) = delete;
    ViewWorld& operator=(const ViewWorld&) = delete;

    // Puts the game state of the XML text in place, as a load does; the test fails when it has no root.
    void Load(const std::string& xml);
    // An overlay of that name, made on first use.
    Ogre::Overlay& Overlay(const std::string& name);
    // The item asset of the chapter; the test fails when there is none.
    cl_ItemAsset& Item(const std::string& id);

    AssetWorld assets;
    Calls calls;
    cl_GameComponents hub;
};
