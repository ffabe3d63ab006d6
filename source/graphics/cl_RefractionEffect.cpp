#include "graphics/cl_RefractionEffect.h"

#include "common/LogCall.h"
#include "common/MathHelpers.h"
#include "common/XmlHelpers.h"
#include "graphics/CameraPlacement.h"
#include "graphics/EffectRenderTarget.h"
#include "graphics/PassParameters.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreRenderQueue.h>
#include <OgreStringConverter.h>
#include <OgreTechnique.h>
#include <OgreViewport.h>
#include <tinyxml.h>

#include <algorithm>

namespace
{
const char* const REFRACTION_MATERIAL = "Tarq/SimpleRefraction";
const char* const MIRRORING_MATERIAL = "Tarq/FresnelReflectionRefraction";
// Only objects with this visibility flag are mirrored.
const uint32_t REFLECTED = 2;
const unsigned TEXTURE_SIZE = 512;
const float NEAR_CLIP = 5.0f;
const int DEFAULT_QUEUE = Ogre::RENDER_QUEUE_MAIN;

// A program constant the material may lack: logged and skipped.
template <class Value>
void SetConstant(Ogre::Pass& pass, Ogre::GpuProgramType type, const std::string& name, const Value& value,
                 const std::string& effect)
{
    if (!SetProgramConstant(pass, type, name, value))
        LOG_WARNING(
            "The refraction effect '%s': its material's %s program has no constant '%s'; it is skipped.",
            effect.c_str(), type == Ogre::GPT_VERTEX_PROGRAM ? "vertex" : "fragment", name.c_str());
}

// (x, y, z, 1) of the element's three numbers ((0, 0, 0) when they do not read); fallback without it.
Ogre::Vector4 Colour(const TiXmlElement& element, const char* name, const Ogre::Vector4& fallback)
{
    if (!element.FirstChildElement(name))
        return fallback;
    return Ogre::Vector4(Ogre::StringConverter::parseVector3(ChildText(element, name)), 1.0f);
}

const char* BaseMaterial(const TiXmlElement& element)
{
    return element.FirstChildElement("reflection") ? MIRRORING_MATERIAL : REFRACTION_MATERIAL;
}

// The text's render queue group, kept within OGRE's groups (logged when it was not).
uint8_t RenderQueue(const TiXmlElement& element, const std::string& effect)
{
    if (!element.FirstChildElement("renderqueue"))
        return DEFAULT_QUEUE;
    const int group = Ogre::StringConverter::parseInt(ChildText(element, "renderqueue"), DEFAULT_QUEUE);
    const int kept = std::clamp(group, 0, static_cast<int>(Ogre::RENDER_QUEUE_MAX));
    if (kept != group)
        LOG_WARNING("The refraction effect '%s': render queue %i does not exist; the surface is drawn in %i.",
                    effect.c_str(), group, kept);
    return static_cast<uint8_t>(kept);
}
} // namespace

const char* const cl_RefractionEffect::TYPE = "refraction";

cl_RefractionEffect::cl_RefractionEffect(const std::string& id) : SurfaceEffect(TYPE, id) {}

std::string cl_RefractionEffect::DescribeFiles(const TiXmlElement& element) const
{
    return "the mesh '" + ChildText(element, "mesh") + "' and the material '" + BaseMaterial(element) + "'";
}

void cl_RefractionEffect::Build(const TiXmlElement& element, Ogre::SceneNode& parent)
{
    const Ogre::MaterialPtr base = Ogre::MaterialManager::getSingleton().getByName(BaseMaterial(element));
    if (!base)
        OGRE_EXCEPT(Ogre::Exception::ERR_ITEM_NOT_FOUND, "no such material", "cl_RefractionEffect::Build");
    CreateSurface(ChildText(element, "mesh"), parent);
    m_refractionCamera = CreateCamera("_RfrCam", false);
    m_refractionCamera->setNearClipDistance(NEAR_CLIP);
    if (element.FirstChildElement("reflection"))
    {
        // What lies under the water is clipped from its mirror image too.
        m_reflectionCamera = CreateCamera("_RflCam", true);
        m_reflectionCamera->setNearClipDistance(NEAR_CLIP);
        m_reflectionTarget =
            CreateTarget("_Reflection", TEXTURE_SIZE, TEXTURE_SIZE, Ogre::PF_R8G8B8, *m_reflectionCamera);
        m_reflectionTarget->GetViewport().setVisibilityMask(REFLECTED);
    }
    m_refractionTarget =
        CreateTarget("_Refraction", TEXTURE_SIZE, TEXTURE_SIZE, Ogre::PF_R8G8B8, *m_refractionCamera);

    // In the base's group, where its pictures are found.
    const Ogre::MaterialPtr material = base->clone(GetId() + "_mtrl");
    Dress(material);
    Ogre::Pass& pass = *material->getTechnique(0)->getPass(0);
    SetLayers(pass);
    SetConstants(pass, element);
    m_entity->setRenderQueueGroup(RenderQueue(element, GetId()));
    m_entity->setCastShadows(false);
}

void cl_RefractionEffect::SetLayers(Ogre::Pass& pass) const
{
    unsigned short layer = 1;
    for (const EffectRenderTarget* target : {m_reflectionTarget.get(), m_refractionTarget.get()})
    {
        if (!target)
            continue;
        if (!SetLayerTexture(pass, layer, target->GetTexture()))
            LOG_ERROR("The refraction effect '%s': its material has no texture layer %i for '%s'.",
                      GetId().c_str(), layer, target->GetTextureName().c_str());
        ++layer;
    }
}

void cl_RefractionEffect::SetConstants(Ogre::Pass& pass, const TiXmlElement& element) const
{
    for (const TiXmlElement* child = element.FirstChildElement(); child; child = child->NextSiblingElement())
    {
        const bool vertex = child->ValueStr() == "vsparam";
        if (!vertex && child->ValueStr() != "psparam")
            continue;
        const char* text = child->GetText();
        SetConstant(pass, vertex ? Ogre::GPT_VERTEX_PROGRAM : Ogre::GPT_FRAGMENT_PROGRAM,
                    AttributeOrEmpty(*child, "name"), Ogre::StringConverter::parseReal(text ? text : ""),
                    GetId());
    }
    SetConstant(pass, Ogre::GPT_FRAGMENT_PROGRAM, "tintColour", Colour(element, "tint", Ogre::Vector4::ZERO),
                GetId());
    SetConstant(pass, Ogre::GPT_FRAGMENT_PROGRAM, "specColour", Colour(element, "spec", Ogre::Vector4(1.0f)),
                GetId());
}

void cl_RefractionEffect::CopyView(Ogre::Camera& camera, const Ogre::Camera& game,
                                   const Ogre::Plane& clipPlane)
{
    PlaceCamera(camera, game.getDerivedPosition(), game.getDerivedOrientation());
    // The water reads the textures at the game's screen positions: they must show the game's view, of its
    // shape too (the textures are square, the window seldom is).
    camera.setFOVy(game.getFOVy());
    camera.setAspectRatio(game.getAspectRatio());
    // A backdrop shifts and zooms the game's view through a projection of its own, which OGRE does not
    // clip at a custom near plane: the copy is clipped here.
    if (game.isCustomProjectionMatrixEnabled())
        camera.setCustomProjectionMatrix(
            true, ClipNearByPlane(game.getProjectionMatrix(), camera.getViewMatrix() * clipPlane));
    else
        camera.setCustomProjectionMatrix(false);
}

void cl_RefractionEffect::FollowGameCamera(const Ogre::Camera& game)
{
    CopyView(*m_refractionCamera, game, -m_plane);
    if (m_reflectionCamera)
        CopyView(*m_reflectionCamera, game, m_plane);
}
