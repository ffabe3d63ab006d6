#pragma once

#include <OgreMath.h>

#include <vector>

namespace Ogre
{
class Entity;
class SceneManager;
} // namespace Ogre

// The demo's hero without a puppet, for benchmarks: his body and head entities (the head sharing the
// body's skeleton) on a node of their own below the root, which the test animates by hand.
class BareHero
{
public:
    explicit BareHero(Ogre::SceneManager& sceneManager);
    // Destroys both entities and the node.
    ~BareHero();
    BareHero(const BareHero&) = delete;
    BareHero& operator=(const BareHero&) = delete;

    Ogre::Entity& Body() const { return *m_body; }
    Ogre::Entity& Head() const { return *m_head; }

    // The bone matrices of entity's skeleton computed from its animation states, as a rendered frame does.
    static void ComputeSkeleton(Ogre::Entity& entity, std::vector<Ogre::Affine3>& matrices);

private:
    Ogre::SceneManager& m_sceneManager;
    Ogre::Entity* m_body;
    Ogre::Entity* m_head;
};
