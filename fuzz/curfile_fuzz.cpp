#include "platform/CursorFile.h"

#include <cstdint>
#include <cstdlib>

// Any bytes as a ".cur" file: a refusal is fine, a crash, an out-of-bounds read or a picture that breaks
// its own promises is not.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    platform::CursorImage image;
    if (!platform::ReadCursorImage(data, size, "fuzz.cur", image))
        return 0;
    const bool consistent =
        image.width >= 1 && image.width <= 256 && image.height >= 1 && image.height <= 256 &&
        image.pixels.size() == static_cast<size_t>(image.width) * image.height && image.hotspotX >= 0 &&
        image.hotspotX < image.width && image.hotspotY >= 0 && image.hotspotY < image.height;
    if (!consistent)
        std::abort();
    for (uint32_t pixel : image.pixels)
    {
        const uint32_t alpha = pixel >> 24;
        if ((pixel >> 16 & 0xFF) > alpha || (pixel >> 8 & 0xFF) > alpha || (pixel & 0xFF) > alpha)
            std::abort(); // not premultiplied
    }
    return 0;
}
