#include "support/BareHero.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>

BareHero::BareHero(Ogre::SceneManager& sceneManager)
    : m_sceneManager(sceneManager), m_body(sceneManager.createEntity("hero_body.mesh")),
      m_head(sceneManager.createEntity("hero_head.mesh"))
{
    m_head->shareSkeletonInstanceWith(m_body);
    Ogre::SceneNode* node = sceneManager.getRootSceneNode()->createChildSceneNode();
    node->attachObject(m_body);
    node->attachObject(m_head);
}

BareHero::~BareHero()
{
    Ogre::SceneNode* node = m_body->getParentSceneNode();
    m_sceneManager.destroyEntity(m_head);
    m_sceneManager.destroyEntity(m_body);
    m_sceneManager.destroySceneNode(node);
}

void BareHero::ComputeSkeleton(Ogre::Entity& entity, std::vector<Ogre::Affine3>& matrices)
{
    Ogre::SkeletonInstance& skeleton = *entity.getSkeleton();
    skeleton.setAnimationState(*entity.getAllAnimationStates());
    skeleton._getBoneMatrices(matrices.data());
}
