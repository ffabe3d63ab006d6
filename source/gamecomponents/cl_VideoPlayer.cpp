#include "gamecomponents/cl_VideoPlayer.h"

#include "TarqApp.h"
#include "common/LogCall.h"
#include "common/cl_GameTime.h"
#include "gamecomponents/OgreTheoraDataStream.h"
#include "gamecomponents/SoundPlaybackInterfaceFactory.h"
#include "gamecomponents/cl_DialogSystem.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Curtain.h"
#include "graphics/cl_SceneManager.h"
#include "gui/cl_GUISystem.h"
#include "gui/cl_IngameMenu.h"
#include "platform/TheoraVideoClip.h"
#include "platform/TheoraVideoFrame.h"
#include "platform/TheoraVideoManager.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundChannel.h"

#include <OgreCamera.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <algorithm>
#include <cstring>

namespace
{
const char* const MATERIAL = "video_material";
// The sounds a video pauses: game sounds and music.
const int PAUSED_CHANNELS[] = {2, 0};

// The video library's messages.
void ogrevideo_log(std::string message)
{
    LOG_INFO("OgreVideo '%s'", message.c_str());
}

TarqApp* Application()
{
    return dynamic_cast<TarqApp*>(BaseApplication::GetInstance());
}

cl_IngameMenu* IngameMenu()
{
    cl_GUISystem* gui = cl_GUISystem::GetInstance();
    return gui ? &gui->GetIngameMenu() : nullptr;
}

// Shows or hides the curtain's overlay at once.
void ShowCurtain(bool shown)
{
    cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    if (cl_Curtain* curtain = scenes ? scenes->GetCurtain() : nullptr)
    {
        curtain->SetShown(shown);
        curtain->Update(0.0f);
    }
}

void PauseSounds(bool paused)
{
    cl_Sound* sound = cl_Sound::GetInstance();
    if (!sound)
        return;
    for (int channel : PAUSED_CHANNELS)
    {
        if (paused)
            sound->GetChannel(channel).PauseAll();
        else
            sound->GetChannel(channel).ResumeAll();
    }
}

// 2 to the power of (the index of the highest bit set + 1): 640 gives 1024, 512 gives 1024.
int TextureSide(int clipSide)
{
    int side = 1;
    while (clipSide > 0)
    {
        side *= 2;
        clipSide /= 2;
    }
    return side;
}

// The width / height of the screen the overlays are drawn on; OGRE knows it once a frame was drawn.
float ScreenAspect()
{
    const Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    const int width = overlays.getViewportWidth();
    const int height = overlays.getViewportHeight();
    return width > 0 && height > 0 ? static_cast<float>(width) / static_cast<float>(height) : 0.0f;
}
} // namespace

cl_VideoPlayer::cl_VideoPlayer() : m_frames(cl_GameTime::GetInstance(), this, "default", 999) {}

// The manager stops its worker, then destroys the clip, whose sound stops with it; the sound factory goes
// after the manager.
cl_VideoPlayer::~cl_VideoPlayer() = default;

void cl_VideoPlayer::Update(float dt)
{
    if (m_clip && m_clip->getDuration() <= m_clip->getTimePosition())
        Stop();
    if (!m_clip)
        return;
    m_videoManager->update(dt);
    CopyFrameToTexture();
}

void cl_VideoPlayer::CopyFrameToTexture()
{
    TheoraVideoFrame* frame = m_clip->getNextFrame();
    if (!frame)
        return;
    Ogre::HardwarePixelBuffer& buffer = *m_texture->getBuffer();
    const Ogre::PixelBox& target = buffer.lock(Ogre::Box(0, 0, buffer.getWidth(), buffer.getHeight()),
                                               Ogre::HardwareBuffer::HBL_DISCARD);
    // Row by row: a frame's row (a power of two at least as wide as the picture) may be narrower than the
    // texture's, as for a 512 pixel wide video in a 1024 wide texture.
    const size_t rowBytes =
        static_cast<size_t>(std::min<uint32_t>(static_cast<uint32_t>(frame->getStride()), target.rowPitch)) *
        4;
    const int rows = std::min(frame->getHeight(), static_cast<int>(buffer.getHeight()));
    const unsigned char* source = frame->getBuffer();
    auto* destination = static_cast<unsigned char*>(target.data);
    for (int row = 0; row < rows; ++row)
    {
        std::memcpy(destination, source, rowBytes);
        source += static_cast<size_t>(frame->getStride()) * 4;
        destination += static_cast<size_t>(target.rowPitch) * 4;
    }
    buffer.unlock();
    m_clip->popFrame();
}

void cl_VideoPlayer::Play(const std::string& fileName)
{
    if (m_clip)
        Stop();
    Begin();
    TheoraVideoManager::setLogFunction(&ogrevideo_log);
    // A missing file is the data's mistake, not the game's end.
    std::unique_ptr<OgreTheoraDataStream> stream =
        OgreTheoraDataStream::Open(fileName, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    const bool found = stream != nullptr;
    if (found)
        m_clip = m_videoManager->createVideoClip(std::move(stream), TH_XRGB, 0, true);
    if (!m_clip)
    {
        LOG_ERROR("The video '%s' cannot be played: %s", fileName.c_str(),
                  found ? "it holds no Theora video" : "there is no such file");
        End();
        return;
    }
    PrepareTexture(m_clip->getWidth(), m_clip->getHeight());
    FitQuad(m_clip->getWidth(), m_clip->getHeight());
    ClearTexture();
    m_clip->restart();
    m_clip->play();
}

void cl_VideoPlayer::PrepareTexture(int clipWidth, int clipHeight)
{
    const int width = TextureSide(clipWidth);
    const int height = TextureSide(clipHeight);
    const std::string name = "video_tex_" + std::to_string(width) + "_" + std::to_string(height);
    Ogre::TextureManager& textures = Ogre::TextureManager::getSingleton();
    m_texture = textures.getByName(name);
    if (!m_texture)
        m_texture = textures.createManual(name, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME,
                                          Ogre::TEX_TYPE_2D, static_cast<Ogre::uint>(width),
                                          static_cast<Ogre::uint>(height), 1, 0, Ogre::PF_X8R8G8B8,
                                          Ogre::TU_DYNAMIC_WRITE_ONLY);

    const Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(MATERIAL);
    Ogre::Technique* technique = material ? material->getTechnique(0) : nullptr;
    Ogre::Pass* pass = technique && technique->getNumPasses() > 0 ? technique->getPass(0) : nullptr;
    if (!pass)
    {
        LOG_ERROR("The material '%s' is missing or has no pass: videos show no picture.", MATERIAL);
        return;
    }
    Ogre::TextureUnitState* unit =
        pass->getNumTextureUnitStates() > 0 ? pass->getTextureUnitState(0) : pass->createTextureUnitState();
    unit->setTexture(m_texture);
    unit->setTextureFiltering(Ogre::FO_LINEAR, Ogre::FO_LINEAR, Ogre::FO_NONE);
    unit->setTextureAddressingMode(Ogre::TextureUnitState::TAM_CLAMP);
    // Only the clip's part of the texture is picture; scaled from the corner, not the centre.
    Ogre::Matrix4 scale = Ogre::Matrix4::IDENTITY;
    scale[0][0] = static_cast<float>(clipWidth) / static_cast<float>(width);
    scale[1][1] = static_cast<float>(clipHeight) / static_cast<float>(height);
    unit->setTextureTransform(scale);
}

void cl_VideoPlayer::FitQuad(int clipWidth, int clipHeight)
{
    // Before the first frame OGRE knows no screen size: the picture then fills the screen.
    const float screen = ScreenAspect();
    const float r =
        screen > 0.0f ? static_cast<float>(clipWidth) / static_cast<float>(clipHeight) / screen : 1.0f;
    const float x = std::min(r, 1.0f);
    const float y = r > 1.0f ? 1.0f / r : 1.0f;
    const struct
    {
        float x, y, u, v;
    } corners[] = {{x, -y, 1, 1}, {x, y, 1, 0}, {-x, y, 0, 0}, {-x, y, 0, 0}, {x, -y, 1, 1}, {-x, -y, 0, 1}};
    // The material comes with the game data, in a group of its own.
    const Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(MATERIAL);
    m_quad->clear();
    m_quad->begin(MATERIAL, Ogre::RenderOperation::OT_TRIANGLE_LIST,
                  material ? material->getGroup() : Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    for (const auto& corner : corners)
    {
        m_quad->position(corner.x, corner.y, 0.0f);
        m_quad->textureCoord(corner.u, corner.v);
    }
    m_quad->end();
}

void cl_VideoPlayer::ClearTexture()
{
    Ogre::HardwarePixelBuffer& buffer = *m_texture->getBuffer();
    void* pixels = buffer.lock(Ogre::HardwareBuffer::HBL_DISCARD);
    std::memset(pixels, 0, buffer.getSizeInBytes());
    buffer.unlock();
}

void cl_VideoPlayer::Stop()
{
    if (!m_clip)
        return;
    m_videoManager->destroyVideoClip(m_clip);
    m_clip = nullptr;
    End();
}

void cl_VideoPlayer::CreateScene()
{
    Ogre::Root& root = Ogre::Root::getSingleton();
    m_sceneManager = root.createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME, "video_");
    if (const BaseApplication* application = BaseApplication::GetInstance())
        m_sceneManager->addRenderQueueListener(application->GetOverlaySystem());
    m_camera = m_sceneManager->createCamera("video_cam");
    m_camera->setFOVy(Ogre::Degree(45.0f));
    m_camera->setNearClipDistance(5.0f);
    Ogre::SceneNode* eye =
        m_sceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(0, 0, -100));
    eye->attachObject(m_camera);
    eye->lookAt(Ogre::Vector3::ZERO, Ogre::Node::TS_WORLD);

    // Drawn in screen coordinates from -1 to 1, wherever the camera looks.
    m_quad = m_sceneManager->createManualObject("video_quad");
    m_quad->setUseIdentityProjection(true);
    m_quad->setUseIdentityView(true);
    Ogre::AxisAlignedBox everywhere;
    everywhere.setInfinite();
    m_quad->setBoundingBox(everywhere);
    m_sceneManager->getRootSceneNode()->createChildSceneNode("video_root")->attachObject(m_quad);

    m_videoManager = std::make_unique<TheoraVideoManager>(1);
    m_soundFactory = std::make_unique<SoundPlaybackInterfaceFactory>();
    m_videoManager->setAudioInterfaceFactory(m_soundFactory.get());
}

void cl_VideoPlayer::Begin()
{
    if (!m_sceneManager)
        CreateScene();
    cl_IngameMenu* menu = IngameMenu();
    m_menuWasShown = menu && menu->IsShown();
    if (TarqApp* application = Application())
        application->SetCamera(m_camera);
    ShowCurtain(false);
    if (const cl_GameComponents* hub = cl_GameComponents::GetInstance())
        hub->GetDialogSystem().ExitDialog();
    if (menu)
    {
        if (m_menuWasShown)
            menu->Hide();
        // A wait pointer left from before would stay on through the video.
        menu->m_pointerFlags.wait = false;
        menu->UpdateMousePointer();
    }
    PauseSounds(true);
}

void cl_VideoPlayer::End()
{
    PauseSounds(false);
    ShowCurtain(true);
    cl_IngameMenu* menu = IngameMenu();
    if (m_menuWasShown && menu)
        menu->Show();
    if (TarqApp* application = Application())
        application->RestorePreviousCamera();
}
