#include "common/cl_Config.h"

#include "support/TemporaryFolder.h"

#include <OgreLogManager.h>
#include <OgreRenderSystem.h>
#include <OgreRoot.h>
#include <boost/filesystem/operations.hpp>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
namespace fs = boost::filesystem;

const char* const FILES[] = {"config.xml", "ogre.cfg"};

// Saves the settings with OGRE's GL render system running, changing a setting of each file every time:
// first once per version, keeping a copy of each file as "<file>.<version>", then forever.
[[noreturn]] void SaveSettingsUntilKilled(const std::string& user)
{
    Ogre::LogManager logs;
    logs.createLog("", true, false, true);
    Ogre::Root root("", user + "ogre.cfg", "");
    root.loadPlugin("/usr/lib/x86_64-linux-gnu/OGRE/RenderSystem_GL");
    Ogre::RenderSystem* renderSystem = root.getRenderSystemByName("OpenGL Rendering Subsystem");
    if (!renderSystem)
        _exit(1);
    root.setRenderSystem(renderSystem);
    cl_Config config(user, user, "");
    config.Load("config.xml");
    const auto save = [&](int version)
    {
        config.SetValue("fpscap", version == 0 ? "60" : "30");
        renderSystem->setConfigOption("Full Screen", version == 0 ? "No" : "Yes");
        if (!config.Save())
            _exit(1);
    };
    for (int version : {0, 1})
    {
        save(version);
        for (const char* file : FILES)
            fs::copy_file(user + file, user + file + "." + std::to_string(version));
    }
    WriteTextFile(user + "ready", "");
    for (int version = 0;; version ^= 1)
        save(version);
}

bool WaitForFile(const std::string& path, pid_t child)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(path))
    {
        int status = 0;
        if (std::chrono::steady_clock::now() > end || waitpid(child, &status, WNOHANG) == child)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TEST(ConfigSaving, AKilledSaveLeavesEachFileOldOrNewAndComplete)
{
    std::mt19937 random(17);
    std::uniform_int_distribution<int> delay(0, 30000);
    for (int trial = 0; trial < 20; ++trial)
    {
        SCOPED_TRACE("trial " + std::to_string(trial));
        TemporaryFolder folder;
        const std::string user = folder.PathOf("user/");
        fs::create_directories(user);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            SaveSettingsUntilKilled(user);
        const bool ready = WaitForFile(user + "ready", child);
        if (ready)
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        ASSERT_TRUE(ready) << "the settings were never saved";

        for (const std::string file : FILES)
        {
            const std::string text = ReadTextFile(user + file);
            EXPECT_TRUE(text == ReadTextFile(user + file + ".0") || text == ReadTextFile(user + file + ".1"))
                << file << ":\n"
                << text;
        }
    }
}
} // namespace
