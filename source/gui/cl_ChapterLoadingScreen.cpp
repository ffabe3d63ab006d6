#include "gui/cl_ChapterLoadingScreen.h"

#include "common/LogCall.h"
#include "common/OgreResources.h"
#include "common/StringHelpers.h"
#include "common/cl_GameTime.h"
#include "common/cl_Localizer.h"
#include "gui/OverlayMaterial.h"
#include "gui/OverlayViewport.h"
#include "gui/cl_TextureCanvas.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreException.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreTextureUnitState.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayContainer.h>
#include <Overlay/OgreOverlayManager.h>

#include <cmath>

namespace
{
const char* const OVERLAY = "ChapterLoadScreen";
const char* const CAMERA = "loadingscreencam";
const char* const TEXTURE = "_LoadingBarRTTTexture";
const char* const MATERIAL = "_LoadingBarRTT";
const char* const PLANE = "_ChapterLoadingPlaneEntity";
const char* const PLANE_MESH = "ladeplane.mesh";
const char* const GROUP = "INTERFACEDATA";
// One above OGRE's overlay queue, so that the plane lies over the tiles.
const Ogre::uint8 PLANE_QUEUE = 101;
const float TILE_SIZE = 0.64f;

const struct
{
    const char* element;
    const char* material;
    float left;
    int row;
} TILES[] = {
    {"ChapterLoadScreen/Screen1", "ChapterLoadScreen/BG1", 0.0f, 0},
    {"ChapterLoadScreen/Screen2", "ChapterLoadScreen/BG2", TILE_SIZE, 0},
    {"ChapterLoadScreen/Screen3", "ChapterLoadScreen/BG3", 0.0f, 1},
    {"ChapterLoadScreen/Screen4", "ChapterLoadScreen/BG4", TILE_SIZE, 1},
};
} // namespace

cl_ChapterLoadingScreen::cl_ChapterLoadingScreen(const std::string& /*title*/,
                                                 Ogre::SceneManager* sceneManager,
                                                 const std::string& /*subtitle*/,
                                                 const std::string& illustration)
    : m_sceneManager(sceneManager), m_illustration(illustration)
{
}

cl_ChapterLoadingScreen::~cl_ChapterLoadingScreen()
{
    OnEnd();
}

int cl_ChapterLoadingScreen::FlavourNumber(float progress)
{
    if (progress > 0.95f)
        return 4;
    if (progress > 0.6f)
        return 3;
    if (progress > 0.3f)
        return 2;
    return 1;
}

std::string cl_ChapterLoadingScreen::PercentageText(float progress)
{
    return Format("%i%%", static_cast<int>(progress * 100.0f));
}

void cl_ChapterLoadingScreen::OnStart()
{
    CreateTiles();
    SetUpCamera();
    CreatePageMaterial();
    CreatePlane();
    m_canvas = std::make_unique<cl_TextureCanvas>();
    m_canvas->Create(TEXTURE, m_sceneManager);
    SetUpItems();
    DrawPage();
}

void cl_ChapterLoadingScreen::OnProgress()
{
    DrawPage();
    if (cl_GameTime* gameTime = cl_GameTime::GetInstance())
        gameTime->UpdateWhileLoading();
}

void cl_ChapterLoadingScreen::OnEnd()
{
    if (m_plane)
    {
        m_plane->detachFromParent();
        m_sceneManager->destroyEntity(m_plane);
        m_sceneManager->destroySceneNode(m_planeNode);
        m_plane = nullptr;
        m_planeNode = nullptr;
    }
    m_canvas.reset();
    if (m_overlay)
    {
        Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
        for (const auto& tile : TILES)
            overlays.destroyOverlayElement(tile.element);
        overlays.destroy(m_overlay);
        m_overlay = nullptr;
    }
}

void cl_ChapterLoadingScreen::CreateTiles()
{
    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    try
    {
        m_overlay = overlays.create(OVERLAY);
    }
    catch (const Ogre::Exception&)
    {
        LOG_ERROR("Cannot create loading overlay");
        return;
    }
    m_overlay->setZOrder(500);
    // The tiles cover a 4:3 area of the window's full width, centred vertically (from above the window's
    // top on wider windows).
    const OverlayViewport viewport = OverlayViewport::Current();
    const float aspect = viewport.Aspect();
    const float top = viewport.IsKnown() ? (static_cast<float>(viewport.height) - 0.75f * viewport.width) /
                                               (2.0f * static_cast<float>(viewport.height))
                                         : 0.0f;
    for (const auto& tile : TILES)
    {
        auto* element =
            static_cast<Ogre::OverlayContainer*>(overlays.createOverlayElement("Panel", tile.element));
        element->setDimensions(TILE_SIZE, TILE_SIZE * aspect);
        element->setPosition(tile.left, top + static_cast<float>(tile.row) * TILE_SIZE * aspect);
        SetOverlayMaterial(*element, tile.material);
        element->show();
        m_overlay->add2D(element);
    }
    m_overlay->show();
}

void cl_ChapterLoadingScreen::SetUpCamera()
{
    if (!m_sceneManager->hasCamera(CAMERA))
    {
        LOG_ERROR("The scene manager '%s' has no camera '%s'", m_sceneManager->getName().c_str(), CAMERA);
        return;
    }
    Ogre::Camera* camera = m_sceneManager->getCamera(CAMERA);
    camera->setFOVy(Ogre::Radian(0.7592369914054871f));
    camera->setNearClipDistance(1.0f);
    Ogre::SceneNode* node = camera->getParentSceneNode();
    if (!node)
    {
        node = m_sceneManager->getRootSceneNode()->createChildSceneNode();
        node->attachObject(camera);
    }
    // Upright: turned about the world's up axis, not along the shortest arc from where it looked before.
    node->setFixedYawAxis(true);
    node->setPosition(41.6594887f, 112.999336f, 72.6124115f);
    node->lookAt(Ogre::Vector3(3.01138639f, 63.4696922f, -13.605937f), Ogre::Node::TS_WORLD);
    m_sceneManager->setAmbientLight(Ogre::ColourValue::White);
}

void cl_ChapterLoadingScreen::CreatePageMaterial()
{
    if (!Ogre::TextureManager::getSingleton().getByName(TEXTURE, GROUP))
    {
        Ogre::TextureManager::getSingleton().createManual(TEXTURE, GROUP, Ogre::TEX_TYPE_2D, 1024, 1024, 0,
                                                          Ogre::PF_A8R8G8B8, Ogre::TU_RENDERTARGET);
    }
    Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(MATERIAL, GROUP);
    if (!material)
    {
        material = Ogre::MaterialManager::getSingleton().create(MATERIAL, GROUP);
        Ogre::Technique* technique = material->getTechnique(0);
        Ogre::Pass* page = technique->getPass(0);
        page->setDepthCheckEnabled(false);
        page->createTextureUnitState(TEXTURE);
        page->setSceneBlending(Ogre::SBT_TRANSPARENT_ALPHA);
        Ogre::Pass* illustration = technique->createPass();
        illustration->createTextureUnitState();
        illustration->setSceneBlending(Ogre::SBT_TRANSPARENT_ALPHA);
    }
    Ogre::TextureUnitState* illustration = material->getTechnique(0)->getPass(1)->getTextureUnitState(0);
    // A chapter without illustration shows the page alone.
    if (m_illustration.empty())
        illustration->setBlank();
    else
        illustration->setTextureName(m_illustration, Ogre::TEX_TYPE_2D);
}

void cl_ChapterLoadingScreen::CreatePlane()
{
    if (!ResourceFileExists(PLANE_MESH))
    {
        LOG_ERROR("There is no mesh '%s' for the chapter loading screen", PLANE_MESH);
        return;
    }
    m_planeNode = m_sceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3::ZERO,
                                                                           Ogre::Quaternion::IDENTITY);
    m_plane = m_sceneManager->createEntity(PLANE, PLANE_MESH);
    m_plane->setMaterialName(MATERIAL);
    m_plane->setRenderQueueGroup(PLANE_QUEUE);
    m_planeNode->attachObject(m_plane);
    m_planeNode->setPosition(11.1029892f, 75.9472275f, 9.32693768f);
    m_planeNode->setOrientation(-0.983965099f, -0.170229539f, 0.0524613857f, 0.00907597784f);
}

void cl_ChapterLoadingScreen::SetUpItems()
{
    const auto text = [this](const char* name, float x, float y, float charHeight, int alignment)
    {
        cl_CanvasItem& item = m_items[name];
        item.x = x;
        item.y = y;
        item.charHeight = charHeight;
        item.alignment = alignment;
        item.colour = Ogre::ColourValue(0.4f, 0.3f, 0.15f, 1.0f);
    };
    text("info", 0.5f, 0.858f, 0.042f, cl_CanvasItem::ALIGN_CENTRE);
    text("percentage", 0.84375f, 0.89f, 0.055f, cl_CanvasItem::ALIGN_RIGHT);
    cl_CanvasItem& bar = m_items["bar"];
    bar.isImage = true;
    bar.text = "ChapterLoadScreen/ProgressBar";
    bar.x = 0.144531f;
    bar.y = 0.898f;
    bar.height = 0.7f;
    bar.params["uv_coords"] = "0 0 0 1";
}

void cl_ChapterLoadingScreen::DrawPage()
{
    const float progress = GetProgress();
    const std::string flavour = Format("LoadingScreenFlavor%i", FlavourNumber(progress));
    const cl_Localizer* localizer = cl_Localizer::GetInstance();
    m_items["info"].text = localizer ? localizer->FindToken(flavour) : flavour;
    m_items["percentage"].text = PercentageText(progress);
    cl_CanvasItem& bar = m_items["bar"];
    bar.width = progress * BAR_WIDTH;
    // The bar's picture shows from the left as far as the bar has grown.
    bar.params["uv_coords"] = Format("0 0 %f 1", progress);

    m_canvas->Clear();
    for (auto& item : m_items)
    {
        if (item.second.isImage)
            m_canvas->DrawImage(item.second);
        else
            m_canvas->DrawText(item.second);
    }
    m_canvas->EndFrame();
}
