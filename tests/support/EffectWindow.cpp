#include "support/EffectWindow.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreRenderTexture.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreTextureUnitState.h>
#include <gtest/gtest.h>

EffectWindow::EffectWindow(int width, int height) : window(width, height)
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(QUILLMERE_BUILT_DEMO_DIR "data/common", "FileSystem", "GAMEDATA");
    groups.addResourceLocation(QUILLMERE_BUILT_DEMO_DIR "data/chapter1", "FileSystem", "GAMEDATA");
    groups.initialiseResourceGroup("GAMEDATA");
    window.SceneManager().getRootSceneNode()->createChildSceneNode("_game");
    camera.InitScene(&window.Camera());
}

void EffectWindow::Load(const std::string& text)
{
    m_document.Clear();
    m_document.Parse(text.c_str());
    effects.LoadEffects(
        m_document.RootElement(), [](const std::string&) { return true; }, &window.SceneManager());
}

void EffectWindow::Unload()
{
    effects.UnloadEffects(m_document.RootElement());
}

cl_BaseEffect& EffectWindow::Effect(const std::string& id) const
{
    cl_BaseEffect* effect = effects.FindEffect(id);
    if (!effect)
        ADD_FAILURE() << "no effect " << id;
    return *effect;
}

void EffectWindow::LookAt(const Ogre::Vector3& eye, const Ogre::Vector3& target)
{
    Ogre::SceneNode* node = window.Camera().getParentSceneNode();
    node->setPosition(eye);
    node->lookAt(target, Ogre::Node::TS_WORLD);
}

Ogre::Entity* EffectWindow::AddBox(const std::string& name, const Ogre::Vector3& position, float edge,
                                   const std::string& material, uint32_t visibility)
{
    Ogre::SceneManager& scene = window.SceneManager();
    Ogre::Entity* box = scene.createEntity(name, Ogre::SceneManager::PT_CUBE);
    box->setMaterialName(material);
    box->setVisibilityFlags(visibility);
    Ogre::SceneNode* node = scene.getSceneNode("_game")->createChildSceneNode(position);
    // The cube's edge is 100.
    node->setScale(Ogre::Vector3(edge / 100.0f));
    node->attachObject(box);
    return box;
}

std::string EffectWindow::ColourMaterial(const std::string& name, const Ogre::ColourValue& colour)
{
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    if (materials.resourceExists(name, "General"))
        return name;
    Ogre::Pass* pass = materials.create(name, "General")->getTechnique(0)->getPass(0);
    pass->setLightingEnabled(false);
    pass->createTextureUnitState()->setColourOperationEx(Ogre::LBX_SOURCE1, Ogre::LBS_MANUAL,
                                                         Ogre::LBS_CURRENT, colour);
    return name;
}

std::string EffectWindow::Held(std::initializer_list<const char*> names) const
{
    const Ogre::SceneManager& scene = window.SceneManager();
    std::string held;
    for (const char* name : names)
    {
        if (scene.hasCamera(name) || scene.hasEntity(name) || Target(name) ||
            Ogre::MaterialManager::getSingleton().getByName(name))
            held += name + std::string(" ");
    }
    return held;
}

Ogre::RenderTarget* EffectWindow::Target(const std::string& texture)
{
    const Ogre::TexturePtr found = Ogre::TextureManager::getSingleton().getByName(texture, "General");
    return found ? found->getBuffer()->getRenderTarget() : nullptr;
}

bool EffectWindow::IsRed(const TestWindow::Colour& colour)
{
    return colour.r > 120 && colour.g < 60 && colour.b < 60;
}

bool EffectWindow::IsGreen(const TestWindow::Colour& colour)
{
    return colour.g > 120 && colour.r < 60 && colour.b < 60;
}

TestWindow::Colour EffectWindow::Pixels::At(int x, int y) const
{
    const uint8_t* pixel = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return TestWindow::Colour{pixel[0], pixel[1], pixel[2]};
}

EffectWindow::Pixels EffectWindow::ReadTexture(const std::string& name)
{
    const Ogre::TexturePtr texture = Ogre::TextureManager::getSingleton().getByName(name, "General");
    Pixels pixels{static_cast<int>(texture->getWidth()), static_cast<int>(texture->getHeight()), {}};
    pixels.rgb.assign(static_cast<size_t>(pixels.width) * pixels.height * 3, 0);
    const Ogre::PixelBox box(pixels.width, pixels.height, 1, Ogre::PF_BYTE_RGB, pixels.rgb.data());
    texture->getBuffer()->getRenderTarget()->copyContentsToMemory(box, box);
    return pixels;
}
