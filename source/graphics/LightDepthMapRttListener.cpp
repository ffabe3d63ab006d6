#include "graphics/LightDepthMapRttListener.h"

#include "common/LogCall.h"
#include "graphics/PassParameters.h"
#include "graphics/cl_LightShaft.h"

#include <OgreEntity.h>
#include <OgreMaterial.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>

namespace
{
const std::string DEPTH_SCHEME = "LSD";
} // namespace

LightDepthMapRttListener::LightDepthMapRttListener(Ogre::SceneManager& sceneManager,
                                                   cl_LightShaft& lightShaft)
    : m_sceneManager(sceneManager), m_lightShaft(lightShaft)
{
}

void LightDepthMapRttListener::preRenderTargetUpdate(const Ogre::RenderTargetEvent&)
{
    m_lightShaft.UpdateLightPosition();
    m_lightShaft.UpdateTextureMatrix();
    m_lightShaft.SetBillboardsVisible(false);
    for (const auto& object : m_sceneManager.getMovableObjects(Ogre::EntityFactory::FACTORY_TYPE_NAME))
    {
        const auto* entity = static_cast<const Ogre::Entity*>(object.second);
        for (size_t i = 0; i < entity->getNumSubEntities(); ++i)
        {
            if (const Ogre::MaterialPtr& material = entity->getSubEntity(i)->getMaterial())
                PrepareMaterial(*material);
        }
    }
}

void LightDepthMapRttListener::postRenderTargetUpdate(const Ogre::RenderTargetEvent&)
{
    m_lightShaft.SetBillboardsVisible(true);
}

void LightDepthMapRttListener::PrepareMaterial(Ogre::Material& material)
{
    for (Ogre::Technique* technique : material.getTechniques())
    {
        if (technique->getSchemeName() != DEPTH_SCHEME)
            continue;
        if (technique->getNumPasses() != 1)
            return;
        Ogre::Pass& pass = *technique->getPass(0);
        const Ogre::Vector3 light = m_lightShaft.GetLightNode()->_getDerivedPosition();
        int set = SetProgramConstant(pass, Ogre::GPT_FRAGMENT_PROGRAM, "uLightPosition", light);
        set += SetProgramConstant(pass, Ogre::GPT_FRAGMENT_PROGRAM, "uLightFarClipDistance",
                                  m_lightShaft.GetFar());
        set += SetProgramConstant(pass, Ogre::GPT_FRAGMENT_PROGRAM, "uLightNearClipDistance",
                                  m_lightShaft.GetNear());
        if (set < 3 && m_reported.insert(material.getName()).second)
            LOG_WARNING("The \"LSD\" technique of the material '%s' lacks a light-shaft parameter; it goes "
                        "without it.",
                        material.getName().c_str());
        return;
    }
    // Without a technique of its own the material would draw its usual one into the depth texture.
    material.createTechnique()->setSchemeName(DEPTH_SCHEME);
    material.compile();
}
