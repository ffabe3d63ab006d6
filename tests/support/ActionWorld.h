#pragma once

#include "gui/cl_GUISystem.h"
#include "support/SceneWorld.h"

#include <string>

class cl_Character;

// Location A of the scene world loaded for sequence actions: the hero (the current character) and the
// keeper, the items key and lamp, the helpers "positions_start", "positions_door" (at x 100) and
// "op_characters_hero", the backdrop patch "items_key", the shots "room" and "door" (looking at x 0 and
// x 100, zoom 1 and 3, rotation 0 and 90), the curtain, a GUI without overlays, the spoken texts
// "keeper_line" (the keeper's, 10 bytes) and "hero_long" (the hero's, 40 bytes) and the text "sign" (100
// bytes).
class ActionWorld
{
public:
    ActionWorld();

    cl_Character& Hero() const { return *m_hero; }
    cl_Character& Keeper() const { return *m_keeper; }

    SceneWorld world;
    cl_GUISystem gui{world.assets.script};

private:
    cl_Character* m_hero = nullptr;
    cl_Character* m_keeper = nullptr;
};
