// Feeds bytes to the settings reader as the player's config.xml, then changes and saves the settings.
// Whatever was read, the file the settings write must read back with the same values.
#include "common/cl_Config.h"

#include <boost/filesystem/operations.hpp>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace
{
namespace fs = boost::filesystem;

const char* const KEYS[] = {"fpscap", "language", "gamedata", "pimbdata", "resolution", "music"};

class CountingListener : public IPreferenceListener
{
public:
    void OnPreferenceChanged(const std::string&, const std::string& value, bool) override
    {
        m_seen += value.size();
    }

private:
    size_t m_seen = 0;
};

struct Settings
{
    Settings()
        : folder(fs::temp_directory_path() / fs::unique_path("quillmere-config-fuzz-%%%%-%%%%")),
          config(std::make_unique<cl_Config>((folder / "user").string(), (folder / "work").string(), ""))
    {
        fs::create_directories(folder / "user");
        fs::create_directories(folder / "work");
        for (const char* key : KEYS)
            config->AddListener(key, &listener);
    }
    ~Settings()
    {
        config.reset();
        boost::system::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    fs::path folder;
    CountingListener listener;
    std::unique_ptr<cl_Config> config;
};

void Require(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "config_fuzz: %s\n", what);
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Settings settings;
    cl_Config& config = *settings.config;
    std::ofstream((settings.folder / "user" / "config.xml").string(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    config.Load("config.xml");
    config.GetGameDataPath();
    config.GetPimbDataPath();
    // The input's last bytes as a key: names that would break the file must be refused.
    const std::string key(reinterpret_cast<const char*>(data) + size - std::min<size_t>(size, 8),
                          std::min<size_t>(size, 8));
    config.SetValue(key, "fuzz");
    config.SetValue("fpscap", "45");

    std::string before[sizeof(KEYS) / sizeof(KEYS[0])];
    for (size_t i = 0; i < sizeof(KEYS) / sizeof(KEYS[0]); ++i)
        before[i] = config.GetValue(KEYS[i]);
    const std::string keyBefore = config.GetValue(key);
    Require(config.Save(), "the settings could not be saved");
    Require(config.Load(""), "the saved settings do not read back");
    for (size_t i = 0; i < sizeof(KEYS) / sizeof(KEYS[0]); ++i)
        Require(config.GetValue(KEYS[i]) == before[i], "a value changed on its way through the file");
    Require(config.GetValue(key) == keyBefore, "the fuzzed key changed on its way through the file");
    return 0;
}
