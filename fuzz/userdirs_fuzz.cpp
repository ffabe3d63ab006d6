// Any bytes as the player's user-dirs.dirs: the documents folder read from it is either none or an
// absolute folder other than the home folder, never a relative one that would land in the working folder.
#include "platform/UserFolders.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string home = "/home/player";
    std::istringstream file(std::string(reinterpret_cast<const char*>(data), size));
    const std::string folder = platform::DocumentsFolderIn(file, home);
    if (!folder.empty() && (folder[0] != '/' || folder == home || folder == home + "/"))
        __builtin_trap();
    return 0;
}
