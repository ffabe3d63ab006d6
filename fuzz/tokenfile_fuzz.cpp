// Token files are written by translators in spreadsheet tools: any bytes must read without harm, and the
// texts they define must expand without harm.
#include "common/cl_Localizer.h"

#include <OgreDataStream.h>

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    cl_Localizer localizer;
    Ogre::MemoryDataStream stream("fuzz.csv", bytes.data(), bytes.size());
    localizer.LoadTokens(stream);
    localizer.GetText(bytes);
    return 0;
}
