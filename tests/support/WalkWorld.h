#pragma once

#include "common/cl_LuaScriptSystem.h"
#include "support/HeadlessOgre.h"
#include "support/ManualGameTime.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class cl_Character;
class cl_ControlledPuppet;
class cl_Navmesh;

namespace Ogre
{
class SceneNode;
}

// OGRE without a window with the test walker (TestWalker.h), its ground and the scene root "_game", and a
// game time whose clock the test moves: each frame advances the clock by the frame's length, so that what
// runs by real time sees that time pass.
class WalkWorld
{
public:
    WalkWorld();
    ~WalkWorld();
    WalkWorld(const WalkWorld&) = delete;
    WalkWorld& operator=(const WalkWorld&) = delete;

    // A walker named "walker" under "_game" at the origin facing +z, active.
    std::unique_ptr<cl_ControlledPuppet> MakePuppet();
    // The character "hero" on a walker, built from a "character" element with these children (controls,
    // walking distances) by the character loader, under "_game" at the origin facing +z, active and on
    // the ground.
    std::unique_ptr<cl_Character> MakeCharacter(const std::string& children);
    // Runs frames of dt seconds until until() holds (checked before each frame) or count frames ran;
    // returns the number run.
    int Frames(int count, float dt, const std::function<bool()>& until = {});

    Ogre::SceneManager& SceneManager() const { return m_ogre.SceneManager(); }
    Ogre::SceneNode* GameRoot() const { return m_gameRoot; }
    cl_Navmesh& Ground() const { return *m_ground; }
    ManualGameTime& Time() { return m_time; }
    // The script system, where receivers of a test's own (a scene manager) register.
    cl_LuaScriptSystem& Scripts() { return m_scripts; }

private:
    HeadlessOgre m_ogre;
    cl_LuaScriptSystem m_scripts;
    ManualGameTime m_time{m_scripts};
    std::unique_ptr<cl_Navmesh> m_ground;
    Ogre::SceneNode* m_gameRoot = nullptr;
    uint32_t m_milliseconds = 0;
};
