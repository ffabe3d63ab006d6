#include "gui/cl_TextureCanvas.h"

#include "common/LogCall.h"
#include "common/MathHelpers.h"
#include "gui/CaptionText.h"
#include "gui/OverlayMaterial.h"
#include "gui/cl_CanvasItem.h"
#include "gui/cl_TarqTextAreaOverlayElement.h"
#include "gui/cl_TarqTextAreaOverlayElementFactory.h"

#include <OgreCamera.h>
#include <OgreException.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgrePass.h>
#include <OgreRenderSystem.h>
#include <OgreRenderTexture.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>

namespace
{
const char* const CAMERA = "RTTCamera";
const char* const BACK_PANEL = "_Back";
const char* const TEXT_AREA = "_pups";

// The projection for the render system: GL keeps render textures bottom-up, so a target that says so
// gets the picture upside down, which reads upright in the texture.
Ogre::Matrix4 TargetProjection(const Ogre::Camera& camera, const Ogre::RenderTarget& target)
{
    Ogre::Matrix4 projection = camera.getProjectionMatrixRS();
    if (target.requiresTextureFlipping())
    {
        for (int column = 0; column < 4; ++column)
            projection[1][column] = -projection[1][column];
    }
    return projection;
}
} // namespace

cl_TextureCanvas::~cl_TextureCanvas()
{
    Destroy();
}

cl_TextureCanvas* cl_TextureCanvas::Create(const std::string& textureName, Ogre::SceneManager* sceneManager)
{
    m_sceneManager = sceneManager;
    m_camera = sceneManager->createCamera(CAMERA);
    m_camera->setAutoAspectRatio(false);
    m_camera->setAspectRatio(1.0f);
    m_camera->setFOVy(Ogre::Degree(90.0f));
    m_camera->setNearClipDistance(0.01f);
    m_camera->setFarClipDistance(50.0f);
    m_camera->setProjectionType(Ogre::PT_ORTHOGRAPHIC);
    m_camera->setCustomProjectionMatrix(true, MakeOrthoMatrix(-1.0f, 1.0f, -1.0f, 1.0f, 0.01f, 1000.0f));
    m_camera->setAspectRatio(1.0f);
    Ogre::SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(0, 0, 51));
    node->attachObject(m_camera);
    node->lookAt(Ogre::Vector3::ZERO, Ogre::Node::TS_WORLD);

    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    m_backPanel = overlays.createOverlayElement("Panel", BACK_PANEL);
    m_backPanel->setMetricsMode(Ogre::GMM_RELATIVE);
    m_backPanel->show();
    m_backPanel->initialise();
    CreateTextArea(overlays);

    m_texture = Ogre::TextureManager::getSingleton()
                    .getByName(textureName, Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME)
                    .get();
    if (!m_texture)
    {
        LOG_ERROR("There is no texture '%s' to draw into", textureName.c_str());
        return this;
    }
    Ogre::RenderTexture* target = m_texture->getBuffer()->getRenderTarget();
    // Only the canvas draws into the texture: OGRE's frames would render the camera's view over the page.
    target->setAutoUpdated(false);
    m_viewport = target->addViewport(m_camera, 0, 0.0f, 0.0f, 1.0f, 1.0f);
    return this;
}

void cl_TextureCanvas::CreateTextArea(Ogre::OverlayManager& overlays)
{
    // Without the text type or the font (OGRE throws for both) the canvas draws pictures only.
    try
    {
        m_textArea = static_cast<cl_TarqTextAreaOverlayElement*>(
            overlays.createOverlayElement(cl_TarqTextAreaOverlayElementFactory::TYPE_NAME, TEXT_AREA));
        m_textArea->setMetricsMode(Ogre::GMM_RELATIVE);
        m_textArea->setParameter("font_name", "Dauphin");
        m_textArea->setParameter("spacing_offset", Ogre::StringConverter::toString(0.0f));
        m_textArea->setParameter("line_spacing", Ogre::StringConverter::toString(0.8f));
        m_textArea->setParameter("char_height", Ogre::StringConverter::toString(0.1f));
        m_textArea->show();
        m_textArea->initialise();
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("The canvas cannot draw texts: %s", exception.getDescription().c_str());
        if (m_textArea)
            overlays.destroyOverlayElement(m_textArea);
        m_textArea = nullptr;
    }
}

void cl_TextureCanvas::Destroy()
{
    if (m_texture)
        m_texture->getBuffer()->getRenderTarget()->removeAllViewports();
    m_viewport = nullptr;
    m_texture = nullptr;
    if (m_camera)
    {
        Ogre::SceneNode* node = m_camera->getParentSceneNode();
        m_sceneManager->destroyCamera(m_camera);
        m_sceneManager->destroySceneNode(node);
    }
    m_camera = nullptr;
    m_sceneManager = nullptr;
    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    if (overlays && m_textArea)
        overlays->destroyOverlayElement(m_textArea);
    if (overlays && m_backPanel)
        overlays->destroyOverlayElement(m_backPanel);
    m_textArea = nullptr;
    m_backPanel = nullptr;
}

void cl_TextureCanvas::Clear()
{
    if (!m_viewport)
        return;
    m_renderSystem = Ogre::Root::getSingleton().getRenderSystem();
    m_renderSystem->_setViewport(m_viewport);
    m_renderSystem->clearFrameBuffer(Ogre::FBT_COLOUR | Ogre::FBT_DEPTH | Ogre::FBT_STENCIL,
                                     Ogre::ColourValue(0.0f, 0.0f, 0.0f, 0.0f), 1.0f, 0);
    m_renderSystem->_beginFrame();
    const Ogre::GpuProgramParametersPtr& matrices =
        m_renderSystem->getFixedFunctionParams(Ogre::TVC_NONE, Ogre::FOG_NONE);
    matrices->setConstant(0, Ogre::Matrix4::IDENTITY);
    matrices->setConstant(4, Ogre::Matrix4(m_camera->getViewMatrix()));
    matrices->setConstant(8, TargetProjection(*m_camera, *m_viewport->getTarget()));
    m_renderSystem->applyFixedFunctionParams(matrices, Ogre::GPV_GLOBAL | Ogre::GPV_PER_OBJECT);
}

void cl_TextureCanvas::DrawText(cl_CanvasItem& item)
{
    if (!IsDrawing() || !m_textArea)
        return;
    // The font's material loads when it is first drawn.
    const Ogre::MaterialPtr& material = m_textArea->getMaterial();
    material->load();
    const Ogre::Technique* technique = material->getBestTechnique();
    if (!technique)
        return;
    m_sceneManager->_setPass(technique->getPass(0), true, false);
    for (const auto& param : item.params)
        m_textArea->setParameter(param.first, param.second);
    m_textArea->setParameter("char_height", Ogre::StringConverter::toString(item.charHeight));
    m_textArea->setCaption(CaptionFromUtf8(item.text));
    item.width = m_textArea->GetTextWidth();
    item.height = item.charHeight;
    m_textArea->setDimensions(item.width, item.charHeight);
    m_textArea->setPosition(item.Left(item.width), item.y);
    m_textArea->setColour(item.colour);
    Render(*m_textArea);
}

void cl_TextureCanvas::DrawImage(const cl_CanvasItem& item)
{
    if (!IsDrawing() || item.text.empty() || !SetOverlayMaterial(*m_backPanel, item.text))
        return;
    m_backPanel->setParameter("uv_coords", "0 0 1 1");
    for (const auto& param : item.params)
        m_backPanel->setParameter(param.first, param.second);
    m_backPanel->setDimensions(item.width, item.height);
    m_backPanel->setPosition(item.Left(item.width), item.y);

    const Ogre::Technique* technique = m_backPanel->getMaterial()->getBestTechnique();
    if (!technique)
        return;
    for (const Ogre::Pass* pass : technique->getPasses())
    {
        m_sceneManager->_setPass(pass, true, false);
        Render(*m_backPanel);
    }
}

void cl_TextureCanvas::EndFrame()
{
    if (!m_renderSystem)
        return;
    m_renderSystem->_endFrame();
    m_renderSystem = nullptr;
}

void cl_TextureCanvas::Render(Ogre::OverlayElement& element)
{
    element._update();
    Ogre::RenderOperation operation;
    element.getRenderOperation(operation);
    m_renderSystem->_render(operation);
}
