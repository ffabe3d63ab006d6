#include "graphics/cl_ReflectionEffect.h"

#include "common/XmlHelpers.h"
#include "graphics/CameraPlacement.h"
#include "graphics/EffectNumbers.h"
#include "graphics/EffectRenderTarget.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreTextureUnitState.h>
#include <OgreViewport.h>
#include <tinyxml.h>

#include <limits>

namespace
{
// Only objects with this visibility flag are mirrored.
const uint32_t REFLECTED = 2;
// Drawn after the scene's solid objects, which it shows mirrored over its own picture.
const uint8_t MIRROR_QUEUE = 79;
} // namespace

const char* const cl_ReflectionEffect::TYPE = "reflection";

cl_ReflectionEffect::cl_ReflectionEffect(const std::string& id) : SurfaceEffect(TYPE, id) {}

std::string cl_ReflectionEffect::DescribeFiles(const TiXmlElement& element) const
{
    return "the mesh '" + ChildText(element, "mesh") + "' and the picture '" + ChildText(element, "texture") +
           "'";
}

void cl_ReflectionEffect::Build(const TiXmlElement& element, Ogre::SceneNode& parent)
{
    CreateSurface(ChildText(element, "mesh"), parent);

    const std::string picture = ChildText(element, "texture");
    // Wherever the game's data has it.
    const Ogre::TexturePtr image = Ogre::TextureManager::getSingleton().load(
        picture, Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME, Ogre::TEX_TYPE_2D,
        Ogre::MIP_DEFAULT, 1.0f, Ogre::PF_R8G8B8A8);

    m_reflectionCamera = CreateCamera("_RflCam", true);
    // What OGRE cannot take counts as no number.
    const float unbounded = std::numeric_limits<float>::max();
    if (element.Attribute("near"))
        m_reflectionCamera->setNearClipDistance(
            BoundedNumberAttribute(element, "near", 5.0f, 0.0f, unbounded, GetId()));
    if (element.Attribute("far"))
        m_reflectionCamera->setFarClipDistance(
            BoundedNumberAttribute(element, "far", 1000.0f, 0.0f, unbounded, GetId()));
    if (element.Attribute("fov"))
        m_reflectionCamera->setFOVy(
            Ogre::Degree(BoundedNumberAttribute(element, "fov", 60.0f, 0.0f, 180.0f, GetId())));

    m_reflectionTarget = CreateTarget("_RflTex", image->getWidth(), image->getHeight(), Ogre::PF_R8G8B8A8,
                                      *m_reflectionCamera);
    m_reflectionTarget->GetViewport().setBackgroundColour(Ogre::ColourValue(0.0f, 0.0f, 0.0f, 0.0f));
    m_reflectionTarget->GetViewport().setVisibilityMask(REFLECTED);

    Dress(CreateMaterial(picture));
    m_entity->setRenderQueueGroup(MIRROR_QUEUE);
}

Ogre::MaterialPtr cl_ReflectionEffect::CreateMaterial(const std::string& picture) const
{
    const Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().create(
        GetId() + "_RflMat", Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
    pass->setSceneBlending(Ogre::SBT_TRANSPARENT_ALPHA);
    pass->setDepthWriteEnabled(false);
    pass->createTextureUnitState(picture);
    Ogre::TextureUnitState* mirrored = pass->createTextureUnitState();
    mirrored->setTexture(m_reflectionTarget->GetTexture());
    mirrored->setColourOperationEx(Ogre::LBX_MODULATE, Ogre::LBS_TEXTURE, Ogre::LBS_CURRENT);
    mirrored->setAlphaOperation(Ogre::LBX_MODULATE, Ogre::LBS_TEXTURE, Ogre::LBS_CURRENT);
    mirrored->setTextureAddressingMode(Ogre::TextureUnitState::TAM_CLAMP);
    mirrored->setProjectiveTexturing(true, m_reflectionCamera);
    return material;
}

void cl_ReflectionEffect::FollowGameCamera(const Ogre::Camera& game)
{
    PlaceCamera(*m_reflectionCamera, game.getDerivedPosition(), game.getDerivedOrientation());
}
