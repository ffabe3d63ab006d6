#include "support/WalkWorld.h"

#include "common/XmlParse.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterLoader.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_Navmesh.h"
#include "support/PuppetXml.h"
#include "support/TestWalker.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>

WalkWorld::WalkWorld()
{
    MakeTestWalker();
    m_ground = MakeTestGround();
    m_gameRoot = m_ogre.SceneManager().getRootSceneNode()->createChildSceneNode("_game");
}

WalkWorld::~WalkWorld() = default;

std::unique_ptr<cl_ControlledPuppet> WalkWorld::MakePuppet()
{
    auto puppet = std::make_unique<cl_ControlledPuppet>(m_ogre.SceneManager());
    puppet->SetName("walker");
    EXPECT_TRUE(ReadPuppetXml(*puppet, WalkerPuppetXml()));
    m_gameRoot->addChild(puppet->GetSceneNode());
    puppet->SetActive(true);
    return puppet;
}

std::unique_ptr<cl_Character> WalkWorld::MakeCharacter(const std::string& children)
{
    auto character = std::make_unique<cl_Character>(m_ogre.SceneManager(), "hero");
    EXPECT_TRUE(ReadPuppetXml(*character->GetPuppet(), WalkerPuppetXml()));
    TiXmlDocument document;
    ParseXml(document, "<character assetref=\"hero\">" + children + "</character>", "the walker's character");
    EXPECT_FALSE(document.Error()) << document.ErrorDesc();
    EXPECT_TRUE(cl_CharacterLoader::Load(document.RootElement(), character.get()));
    character->SetLocation(st_ObjectPlacement{m_gameRoot});
    character->SetNavmesh(m_ground.get());
    character->SetActive(true);
    return character;
}

int WalkWorld::Frames(int count, float dt, const std::function<bool()>& until)
{
    for (int frame = 0; frame < count; ++frame)
    {
        if (until && until())
            return frame;
        m_milliseconds += static_cast<uint32_t>(std::lround(dt * 1000.0f));
        m_time.SetMilliseconds(m_milliseconds);
        m_time.Update(dt);
    }
    return count;
}
