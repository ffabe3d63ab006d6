#include "support/ActionWorld.h"

#include "assets/cl_SpokentextAsset.h"
#include "assets/cl_SpokentextPool.h"
#include "assets/cl_TextAsset.h"
#include "assets/cl_TextPool.h"
#include "graphics/cl_Character.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
void AddSpokenText(cl_PoolManager& pools, const std::string& id, const std::string& speaker,
                   const std::string& text)
{
    auto* line = dynamic_cast<cl_SpokentextAsset*>(pools.GetSpokentextPool()->AddNewAsset(id));
    ASSERT_NE(line, nullptr);
    line->SetSpeakerRef(speaker);
    line->SetContent(text);
}
} // namespace

ActionWorld::ActionWorld()
{
    world.textures.AddTexture("hall.png", 800, 600);
    world.AddItem("items_key");
    world.AddItem("items_lamp");
    m_hero = &world.AddCharacter("characters_hero");
    m_keeper = &world.AddCharacter("characters_keeper");
    world.scenes.CreateCurtain(&world.SceneManager(), world.ogreCamera);
    world.LoadScene(R"(<scene assetref="scenes_a">
        <backdrop name="default" width="800" height="600" cam="cam">
            <scenepatch id="items_key" src="hall.png" width="20" height="20"/></backdrop>
        <osmdata><helpers><helper name="positions_start"/>
            <helper name="positions_door"><position x="100" y="0" z="0"/></helper>
            <helper name="op_characters_hero"><position x="30" y="0" z="0"/></helper></helpers></osmdata>
        </scene>)");
    world.hub.SetCurrentCharacter("characters_hero");
    m_hero->SetActive(true);
    m_keeper->SetActive(true);
    world.camera.AddShot("room", Ogre::Vector3::ZERO, 1.0f, 0.0f, "default");
    world.camera.AddShot("door", Ogre::Vector3(100, 0, 0), 3.0f, 90.0f, "default");
    cl_PoolManager& pools = world.assets.poolManager;
    AddSpokenText(pools, "keeper_line", "characters_keeper", "Who's in?");
    AddSpokenText(pools, "hero_long", "characters_hero", std::string(40, 'a'));
    auto* sign = dynamic_cast<cl_TextAsset*>(pools.GetTextPool()->AddNewAsset("sign"));
    if (sign)
        sign->SetContent(std::string(100, 'x'));
}
