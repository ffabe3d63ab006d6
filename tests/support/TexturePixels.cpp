#include "support/TexturePixels.h"

#include <OgreHardwarePixelBuffer.h>
#include <OgreTexture.h>

std::vector<uint8_t> TexturePixels(Ogre::Texture& texture)
{
    const size_t width = texture.getWidth();
    const size_t height = texture.getHeight();
    std::vector<uint8_t> pixels(width * height * 4);
    const Ogre::PixelBox box(width, height, 1, Ogre::PF_BYTE_RGBA, pixels.data());
    texture.getBuffer()->blitToMemory(box);
    return pixels;
}
