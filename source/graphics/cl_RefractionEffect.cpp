#include "graphics/cl_RefractionEffect.h"

#include "common/LogCall.h"
#include "common/MathHelpers.h"
#include "common/XmlHelpers.h"
#include "graphics/CameraPlacement.h"
#include "graphics/EffectParent.h"
#include "graphics/EffectRenderTarget.h"
#include "graphics/PassParameters.h"
#include "graphics/cl_Camera.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreRenderQueue.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
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

cl_RefractionEffect::cl_RefractionEffect(const std::string& id) : cl_BaseEffect(TYPE, id) {}

cl_RefractionEffect::~cl_RefractionEffect()
{
    Unload();
}

void cl_RefractionEffect::LoadFromXml(const TiXmlElement& element, Ogre::SceneManager* sceneManager)
{
    m_sceneManager = sceneManager;
    Ogre::SceneNode* parent = sceneManager ? FindEffectParent(*sceneManager, element) : nullptr;
    if (!parent)
    {
        LOG_ERROR("The refraction effect '%s' has no scene node to hang on; it shows nothing.",
                  GetId().c_str());
        return;
    }
    const char* baseName = element.FirstChildElement("reflection") ? MIRRORING_MATERIAL : REFRACTION_MATERIAL;
    const Ogre::MaterialPtr base = Ogre::MaterialManager::getSingleton().getByName(baseName);
    if (!base)
    {
        LOG_ERROR("The refraction effect '%s' needs the material '%s'; it shows nothing.", GetId().c_str(),
                  baseName);
        return;
    }
    try
    {
        Build(element, *parent, *base);
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("The refraction effect '%s' cannot be made of the mesh '%s' and the material '%s' (%s); it "
                  "shows nothing.",
                  GetId().c_str(), ChildText(element, "mesh").c_str(), baseName,
                  exception.getDescription().c_str());
        Unload();
    }
}

void cl_RefractionEffect::Build(const TiXmlElement& element, Ogre::SceneNode& parent,
                                const Ogre::Material& base)
{
    m_entity = m_sceneManager->createEntity(GetId() + "_Ent", ChildText(element, "mesh"));
    parent.attachObject(m_entity);
    m_plane = SurfacePlane(parent);

    m_refractionCamera = m_sceneManager->createCamera(GetId() + "_RfrCam");
    m_refractionCamera->setNearClipDistance(NEAR_CLIP);
    m_refractionCamera->enableCustomNearClipPlane(-m_plane);
    if (element.FirstChildElement("reflection"))
    {
        m_reflectionCamera = m_sceneManager->createCamera(GetId() + "_RflCam");
        m_reflectionCamera->setNearClipDistance(NEAR_CLIP);
        m_reflectionCamera->enableReflection(m_plane);
        // What lies under the water must not show in its mirror image.
        m_reflectionCamera->enableCustomNearClipPlane(m_plane);
    }

    const Ogre::MaterialPtr material =
        base.clone(GetId() + "_mtrl", true, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    m_materialName = material->getName();

    if (m_reflectionCamera)
    {
        m_reflectionTarget = std::make_unique<EffectRenderTarget>(
            GetId() + "_Reflection", TEXTURE_SIZE, TEXTURE_SIZE, Ogre::PF_R8G8B8, *m_reflectionCamera, *this);
        m_reflectionTarget->GetViewport().setVisibilityMask(REFLECTED);
    }
    m_refractionTarget = std::make_unique<EffectRenderTarget>(
        GetId() + "_Refraction", TEXTURE_SIZE, TEXTURE_SIZE, Ogre::PF_R8G8B8, *m_refractionCamera, *this);

    Ogre::Pass& pass = *material->getTechnique(0)->getPass(0);
    SetLayers(pass);
    SetConstants(pass, element);

    m_entity->setMaterialName(m_materialName);
    m_entity->setQueryFlags(0);
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

void cl_RefractionEffect::Unload()
{
    if (!m_materialName.empty())
    {
        Ogre::MaterialManager::getSingleton().remove(m_materialName,
                                                     Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
        m_materialName.clear();
    }
    // Before the cameras their viewports show.
    m_reflectionTarget.reset();
    m_refractionTarget.reset();
    for (Ogre::Camera** camera : {&m_reflectionCamera, &m_refractionCamera})
    {
        if (*camera)
            m_sceneManager->destroyCamera(*camera);
        *camera = nullptr;
    }
    if (m_entity)
        m_sceneManager->destroyEntity(m_entity);
    m_entity = nullptr;
}

void cl_RefractionEffect::SetEnabled(bool enabled)
{
    for (EffectRenderTarget* target : {m_reflectionTarget.get(), m_refractionTarget.get()})
    {
        if (target)
            target->SetActive(enabled);
    }
    if (m_entity)
        m_entity->setVisible(enabled);
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

void cl_RefractionEffect::preRenderTargetUpdate(const Ogre::RenderTargetEvent&)
{
    const cl_Camera* camera = cl_Camera::GetInstance();
    const Ogre::Camera* game = camera ? camera->GetOgreCamera() : nullptr;
    if (game)
        CopyView(*m_refractionCamera, *game, -m_plane);
    m_entity->setVisible(false);
    if (game && m_reflectionCamera)
        CopyView(*m_reflectionCamera, *game, m_plane);
}

void cl_RefractionEffect::postRenderTargetUpdate(const Ogre::RenderTargetEvent&)
{
    m_entity->setVisible(true);
}
