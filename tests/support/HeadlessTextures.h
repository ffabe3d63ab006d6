#pragma once

#include <memory>
#include <string>

namespace Ogre
{
class TextureManager;
}

// Textures for headless OGRE (after its Root, before its end): a texture manager whose textures hold no
// pixels and never read a file. A texture that AddTexture made has its size; any other that a material
// names loads with no size at all.
class HeadlessTextures
{
public:
    HeadlessTextures();
    ~HeadlessTextures();
    HeadlessTextures(const HeadlessTextures&) = delete;
    HeadlessTextures& operator=(const HeadlessTextures&) = delete;

    // A texture of that name and pixel size in the group "General".
    void AddTexture(const std::string& name, unsigned width, unsigned height);

private:
    std::unique_ptr<Ogre::TextureManager> m_textures;
};
