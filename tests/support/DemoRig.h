#pragma once

#include "graphics/cl_VisualStateHolder.h"
#include "support/HeadlessTextures.h"
#include "support/WalkWorld.h"

#include <tinyxml.h>

#include <functional>
#include <memory>
#include <string>

class IPuppetControlListener;
class cl_Character;
class cl_ControlledPuppet;
class cl_PuppetControl;

// The demo's figures on headless OGRE, for control tests: the chapter's meshes and skeleton as the build
// lays them out, its characters' "puppet" elements, the walk world's "_game", ground and game time, and a
// visual-state holder that owns the controls the rig adds (its state is theirs).
class DemoRig
{
public:
    DemoRig();
    ~DemoRig();
    DemoRig(const DemoRig&) = delete;
    DemoRig& operator=(const DemoRig&) = delete;

    // The puppet of the chapter's character of that "assetref" ("characters_hero", "characters_keeper"),
    // named after it, under "_game" at the origin facing +z, active. Fails the test for an unknown one.
    std::unique_ptr<cl_ControlledPuppet> MakePuppet(const std::string& character);
    // A puppet of the "puppet" element in xml (the chapter's meshes at hand), named name, placed likewise.
    std::unique_ptr<cl_ControlledPuppet> MakePuppetOf(const std::string& name, const std::string& xml);
    // The character of that "assetref" with its puppet from the chapter, then the character loader reading
    // an element with the given children (controls, step sounds, blob shadow...) into it; not placed, not
    // active, without navigation mesh.
    std::unique_ptr<cl_Character> MakeCharacter(const std::string& character, const std::string& children);
    // Registers control with puppet under name, owned by the holder and heard by listener (may be null),
    // then hands it the element xml (no element for an empty text). Returns the control.
    template <class Control>
    Control& Add(cl_ControlledPuppet& puppet, const std::string& name, const std::string& xml,
                 IPuppetControlListener* listener = nullptr)
    {
        auto made = std::make_unique<Control>();
        Control& control = *made;
        Register(puppet, name, std::move(made), xml, listener);
        return control;
    }
    // The "character" element of that "assetref"; null for none.
    const TiXmlElement* Character(const std::string& character) const;
    // The control element of that name in the character's "controls", printed; empty for none.
    std::string ControlXml(const std::string& character, const std::string& name) const;
    // Frames of dt seconds of the game time (see WalkWorld::Frames).
    int Frames(int count, float dt, const std::function<bool()>& until = {});

    cl_VisualStateHolder& Owner() { return m_owner; }
    WalkWorld& World() { return m_world; }

private:
    // Puts puppet under "_game" at the origin, facing +z, and activates it.
    void Place(cl_ControlledPuppet& puppet);
    void Register(cl_ControlledPuppet& puppet, const std::string& name,
                  std::unique_ptr<cl_PuppetControl> control, const std::string& xml,
                  IPuppetControlListener* listener);

    WalkWorld m_world;
    HeadlessTextures m_textures;
    TiXmlDocument m_characters;
    cl_VisualStateHolder m_owner;
};
