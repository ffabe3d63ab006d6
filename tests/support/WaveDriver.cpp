#include "support/WaveDriver.h"

#include "support/TemporaryFolder.h"

#include <boost/filesystem/operations.hpp>

#include <cstdlib>

const std::string& WaveDriver::Recording()
{
    // Lives as long as the process: the configuration cannot be read again anyway.
    static const std::string path = []
    {
        namespace fs = boost::filesystem;
        const fs::path folder = fs::temp_directory_path() / fs::unique_path("quillmere-wave-%%%%-%%%%");
        fs::create_directories(folder);
        const std::string recording = (folder / "recording.wav").string();
        const std::string config = (folder / "alsoft.conf").string();
        WriteTextFile(config, "[general]\ndrivers = wave\n[wave]\nfile = " + recording + "\n");
        setenv("ALSOFT_CONF", config.c_str(), 1);
        unsetenv("ALSOFT_DRIVERS");
        return recording;
    }();
    return path;
}
