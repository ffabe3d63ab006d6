#include "support/HeadlessTextures.h"

#include <OgreTextureManager.h>

namespace
{
// A texture without pixels: loading it keeps the size it was given.
class SizedTexture : public Ogre::Texture
{
public:
    SizedTexture(Ogre::ResourceManager* creator, const Ogre::String& name, Ogre::ResourceHandle handle,
                 const Ogre::String& group)
        : Ogre::Texture(creator, name, handle, group)
    {
    }
    const Ogre::HardwarePixelBufferSharedPtr& getBuffer(size_t, size_t) override
    {
        static const Ogre::HardwarePixelBufferSharedPtr none;
        return none;
    }

protected:
    void prepareImpl() override {}
    void unprepareImpl() override {}
    void loadImpl() override {}
    void createInternalResourcesImpl() override {}
    void freeInternalResourcesImpl() override {}
};

class SizedTextureManager : public Ogre::TextureManager
{
public:
    bool isHardwareFilteringSupported(Ogre::TextureType, Ogre::PixelFormat, int, bool) override
    {
        return false;
    }
    Ogre::PixelFormat getNativeFormat(Ogre::TextureType, Ogre::PixelFormat, int) override
    {
        return Ogre::PF_UNKNOWN;
    }

protected:
    Ogre::Resource* createImpl(const Ogre::String& name, Ogre::ResourceHandle handle,
                               const Ogre::String& group, bool, Ogre::ManualResourceLoader*,
                               const Ogre::NameValuePairList*) override
    {
        return new SizedTexture(this, name, handle, group);
    }
};
} // namespace

HeadlessTextures::HeadlessTextures() : m_textures(std::make_unique<SizedTextureManager>()) {}

HeadlessTextures::~HeadlessTextures()
{
    m_textures->removeAll();
}

void HeadlessTextures::AddTexture(const std::string& name, unsigned width, unsigned height)
{
    const Ogre::TexturePtr texture = m_textures->create(name, "General");
    texture->setWidth(width);
    texture->setHeight(height);
}
