#include "support/ViewWorld.h"

#include "assets/cl_ItemAsset.h"
#include "gamecomponents/cl_Inventory.h"

#include <gtest/gtest.h>

#include <OgreResourceGroupManager.h>
#include <Overlay/OgreOverlayManager.h>

#include <stdexcept>

ViewWorld::ViewWorld() : hub(assets.script, RecordingComponents(calls))
{
    // Where the views' materials are made.
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    for (const char* group : {"CHAPTERDATA", "GAMEDATA"})
    {
        if (!groups.resourceGroupExists(group))
            groups.createResourceGroup(group);
    }
    assets.LoadChapter(DemoChapterFolder());
    Load(DemoNewGameState());
    // As the hub does when the hero becomes the current character, which needs him in a scene.
    hub.GetInventory().SetCurrentCharacter("characters_hero");
    hub.GetInventory().TellInventoryChanged();
}

ViewWorld::~ViewWorld()
{
    Ogre::OverlayManager::getSingleton().destroyAll();
}

void ViewWorld::Load(const std::string& xml)
{
    EXPECT_TRUE(assets.LoadGameState(xml));
}

Ogre::Overlay& ViewWorld::Overlay(const std::string& name)
{
    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    Ogre::Overlay* overlay = overlays.getByName(name);
    return overlay ? *overlay : *overlays.create(name);
}

cl_ItemAsset& ViewWorld::Item(const std::string& id)
{
    auto* item = dynamic_cast<cl_ItemAsset*>(&assets.Asset(id));
    if (!item)
        throw std::runtime_error("no item asset " + id);
    return *item;
}
