#include "common/SafeFileWrite.h"

#include "common/LogCall.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

bool WriteFileSafely(const std::string& path, const std::string& contents)
{
    const std::string temporary = path + TEMPORARY_SUFFIX;
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
    {
        LOG_ERROR("Couldn't write %s: %s", temporary.c_str(), std::strerror(errno));
        return false;
    }
    // The data must be on disk before the rename makes it the file, or a crash could leave it empty.
    int error = 0;
    if (std::fwrite(contents.data(), 1, contents.size(), file) != contents.size() || std::fflush(file) != 0 ||
        fsync(fileno(file)) != 0)
        error = errno ? errno : EIO;
    if (std::fclose(file) != 0 && error == 0)
        error = errno;
    if (error != 0)
    {
        LOG_ERROR("Couldn't write %s: %s", temporary.c_str(), std::strerror(error));
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
    {
        LOG_ERROR("Couldn't replace %s: %s", path.c_str(), std::strerror(errno));
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
