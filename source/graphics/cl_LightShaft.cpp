#include "graphics/cl_LightShaft.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/EffectNumbers.h"
#include "graphics/EffectParent.h"
#include "graphics/EffectRenderTarget.h"
#include "graphics/LightDepthMapRttListener.h"
#include "graphics/PassParameters.h"

#include <OgreBillboard.h>
#include <OgreBillboardSet.h>
#include <OgreCamera.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreTextureUnitState.h>
#include <OgreViewport.h>
#include <tinyxml.h>

namespace
{
const char* const CAMERA = "LightCamera";
const char* const BILLBOARDS = "LightBillboardSet";
const char* const MATERIAL = "LightShafts";
const char* const DEPTH_MAP = "LightDepthMap";
const char* const DEPTH_SCHEME = "LSD";
const char* const DEFAULT_TEXTURE = "lightshaft.png";
const unsigned DEPTH_MAP_SIZE = 256;
const uint8_t SLICES_QUEUE = 99;
// Visibility flag 1 alone: not 2, which the mirrors' viewports show.
const uint32_t MAIN_VIEW_ONLY = 1;
// More slices than this cost much and show no more light.
const int MAX_SLICES = 1000;
// The light camera clips this close, whatever the light's near distance.
const float CAMERA_NEAR_CLIP = 1.0f;

// Clip-space x and y (-1..1, y up) to texture coordinates (0..1, y down).
const Ogre::Matrix4 CLIP_TO_TEXTURE(0.5f, 0.0f, 0.0f, 0.5f, 0.0f, -0.5f, 0.0f, 0.5f, 0.0f, 0.0f, 1.0f, 0.0f,
                                    0.0f, 0.0f, 0.0f, 1.0f);

// A named constant of the first pass of "LightShafts"; one its program lacks is logged and skipped.
template <class Value>
void SetShaftConstant(Ogre::Material& material, Ogre::GpuProgramType type, const char* name,
                      const Value& value)
{
    if (!SetProgramConstant(*material.getTechnique(0)->getPass(0), type, name, value))
        LOG_WARNING("The material '%s' has no constant '%s'; the light shaft goes without it.", MATERIAL,
                    name);
}
} // namespace

const char* const cl_LightShaft::TYPE = "lightshaft";

cl_LightShaft::cl_LightShaft(const std::string& id) : cl_BaseEffect(TYPE, id) {}

cl_LightShaft::~cl_LightShaft()
{
    Unload();
}

void cl_LightShaft::LoadFromXml(const TiXmlElement& element, Ogre::SceneManager* sceneManager)
{
    m_sceneManager = sceneManager;
    Ogre::SceneNode* parent = sceneManager ? FindEffectParent(*sceneManager, element) : nullptr;
    if (!parent)
    {
        LOG_ERROR("The light shaft '%s' has no scene node to hang on; it shows nothing.", GetId().c_str());
        return;
    }
    if (!Ogre::TextureManager::getSingletonPtr())
    {
        LOG_WARNING("The light shaft '%s' needs a render system for its depth texture; it shows nothing.",
                    GetId().c_str());
        return;
    }
    if (sceneManager->hasCamera(CAMERA) ||
        Ogre::TextureManager::getSingleton().resourceExists(
            DEPTH_MAP, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME))
    {
        LOG_ERROR("Only one light shaft can exist at a time: the light shaft '%s' shows nothing.",
                  GetId().c_str());
        return;
    }
    m_material = Ogre::MaterialManager::getSingleton().getByName(MATERIAL);
    if (!m_material || m_material->getNumTechniques() == 0 ||
        m_material->getTechnique(0)->getNumPasses() == 0)
    {
        LOG_ERROR("The light shaft '%s' needs the material '%s'; it shows nothing.", GetId().c_str(),
                  MATERIAL);
        m_material.reset();
        return;
    }
    try
    {
        Build(element, *parent);
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("The light shaft '%s' cannot be made (%s); it shows nothing.", GetId().c_str(),
                  exception.getDescription().c_str());
        Unload();
    }
}

void cl_LightShaft::Build(const TiXmlElement& element, Ogre::SceneNode& parent)
{
    m_camera = m_sceneManager->createCamera(CAMERA);
    float nearDistance = NumberAttribute(element, "near", m_near);
    float farDistance = NumberAttribute(element, "far", m_far);
    // The light reaches from where it is or beyond to farther than its camera's near clip.
    if (!(nearDistance >= 0.0f && farDistance > nearDistance && farDistance > CAMERA_NEAR_CLIP))
    {
        LOG_WARNING("The light shaft '%s': near %g and far %g make no reach of light; %g and %g are taken.",
                    GetId().c_str(), nearDistance, farDistance, m_near, m_far);
        nearDistance = m_near;
        farDistance = m_far;
    }
    SetClipDistances(nearDistance, farDistance);
    m_camera->setAspectRatio(1.0f);
    m_camera->setFOVy(Ogre::Degree(BoundedNumberAttribute(element, "angle", 17.5f, 0.0f, 180.0f, GetId())));

    m_lightNode = parent.createChildSceneNode();
    m_lightNode->pitch(Ogre::Degree(-90.0f));
    m_lightNode->attachObject(m_camera);

    m_billboards = m_sceneManager->createBillboardSet(BILLBOARDS, 1);
    m_billboards->setMaterial(m_material);
    m_billboards->setRenderQueueGroup(SLICES_QUEUE);
    // The slices are light: they cast no shadow, no mirror shows them (visibility flag 2) and no click
    // picks them.
    m_billboards->setCastShadows(false);
    m_billboards->setVisibilityFlags(MAIN_VIEW_ONLY);
    m_billboards->setQueryFlags(0);
    m_lightNode->attachObject(m_billboards);
    int count = 60;
    ReadInteger(TextAttribute(element, "billboardcount", ""), count);
    if (count > MAX_SLICES)
    {
        LOG_WARNING("The light shaft '%s': %i slices are too many; %i are made.", GetId().c_str(), count,
                    MAX_SLICES);
        count = MAX_SLICES;
    }
    CreateBillboards(count);

    m_rttListener = std::make_unique<LightDepthMapRttListener>(*m_sceneManager, *this);
    m_depthMap = std::make_unique<EffectRenderTarget>(DEPTH_MAP, DEPTH_MAP_SIZE, DEPTH_MAP_SIZE,
                                                      Ogre::PF_R8G8B8, *m_camera, *m_rttListener);
    m_depthMap->GetViewport().setBackgroundColour(Ogre::ColourValue::White);
    m_depthMap->GetViewport().setMaterialScheme(DEPTH_SCHEME);

    Ogre::Pass& pass = *m_material->getTechnique(0)->getPass(0);
    const std::string light =
        element.FirstChildElement("texture") ? ChildText(element, "texture") : DEFAULT_TEXTURE;
    if (!SetLayerTexture(pass, 0, m_depthMap->GetTexture()) || !SetLayerTexture(pass, 1, light))
        LOG_ERROR("The material '%s' lacks the texture layers 0 (depth) and 1 (light); the light shaft '%s' "
                  "cannot show as it should.",
                  MATERIAL, GetId().c_str());
    // What every frame sets, set now, so that a constant the material lacks is reported once.
    SetShaftConstant(*m_material, Ogre::GPT_FRAGMENT_PROGRAM, "uLightPosition",
                     m_lightNode->_getDerivedPosition());
    SetShaftConstant(*m_material, Ogre::GPT_VERTEX_PROGRAM, "uTexViewProj", m_texViewProj);
}

void cl_LightShaft::CreateBillboards(int count)
{
    if (count <= 0)
        return;
    const float step = (m_far - m_near) / count;
    const Ogre::Camera::Corners& corners = m_camera->getWorldSpaceCorners();
    // The far plane's corners come after the near plane's four.
    const float farWidth = corners[4].distance(corners[5]);
    const float farHeight = corners[5].distance(corners[6]);
    const float start = farWidth * m_near / m_far;
    const float widthStep = (farWidth - start) / count;
    const float heightStep = (farHeight - start) / count;
    for (int i = 0; i < count; ++i)
    {
        Ogre::Billboard* slice =
            m_billboards->createBillboard(Ogre::Vector3(0.0f, 0.0f, -(m_near + i * step)));
        slice->setDimensions(start + i * widthStep, start + i * heightStep);
    }
}

void cl_LightShaft::SetClipDistances(float nearDistance, float farDistance)
{
    m_near = nearDistance;
    m_far = farDistance;
    m_camera->setNearClipDistance(CAMERA_NEAR_CLIP);
    m_camera->setFarClipDistance(farDistance);
    SetShaftConstant(*m_material, Ogre::GPT_FRAGMENT_PROGRAM, "uLightFarClipDistance", farDistance);
    SetShaftConstant(*m_material, Ogre::GPT_FRAGMENT_PROGRAM, "uLightNearClipDistance", nearDistance);
}

void cl_LightShaft::UpdateLightPosition()
{
    SetProgramConstant(*m_material->getTechnique(0)->getPass(0), Ogre::GPT_FRAGMENT_PROGRAM, "uLightPosition",
                       m_lightNode->_getDerivedPosition());
}

void cl_LightShaft::UpdateTextureMatrix()
{
    m_texViewProj = CLIP_TO_TEXTURE * m_camera->getProjectionMatrix() * m_camera->getViewMatrix();
    SetProgramConstant(*m_material->getTechnique(0)->getPass(0), Ogre::GPT_VERTEX_PROGRAM, "uTexViewProj",
                       m_texViewProj);
}

void cl_LightShaft::SetBillboardsVisible(bool visible)
{
    m_billboards->setVisible(visible);
}

void cl_LightShaft::Unload()
{
    if (m_lightNode)
    {
        m_lightNode->detachAllObjects();
        m_sceneManager->destroySceneNode(m_lightNode);
        m_lightNode = nullptr;
    }
    // The depth texture's viewport shows the camera, and its target calls the listener. The shared
    // material lets go of it, so that it goes from the render system too.
    if (m_depthMap)
    {
        Ogre::Pass& pass = *m_material->getTechnique(0)->getPass(0);
        if (pass.getNumTextureUnitStates() > 0 &&
            pass.getTextureUnitState(0)->_getTexturePtr() == m_depthMap->GetTexture())
            pass.getTextureUnitState(0)->setBlank();
    }
    m_depthMap.reset();
    m_rttListener.reset();
    if (m_camera)
        m_sceneManager->destroyCamera(m_camera);
    m_camera = nullptr;
    if (m_billboards)
        m_sceneManager->destroyBillboardSet(m_billboards);
    m_billboards = nullptr;
    m_material.reset();
}

void cl_LightShaft::SetEnabled(bool enabled)
{
    if (m_depthMap)
        m_depthMap->SetActive(enabled);
    if (m_billboards)
        m_billboards->setVisible(enabled);
}
