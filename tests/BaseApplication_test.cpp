#include "BaseApplication.h"

#include <OgreException.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
TEST(VideoMode, KeepsTheSavedModeOnlyWhenItWasRestoredAndIsStillOffered)
{
    const std::string desktop = "1280 x 1024 @ 32-bit colour";
    // The GL render system words its modes "W x H"; the saved text may be another render system's.
    const std::vector<std::string> offered = {"640 x 480", "800 x 600", "1024 x 768", "1280 x 1024"};
    const struct
    {
        const char* name;
        const char* saved;
        bool restored;
        std::string desktop;
        std::vector<std::string> offered;
        const char* chosen;
    } cases[] = {
        {"saved and offered", "1024 x 768", true, desktop, offered, "1024 x 768"},
        {"saved in the other wording", "1024 x 768 @ 32-bit colour", true, desktop, offered, "1024 x 768"},
        {"offered in the other wording",
         "640 x 480",
         true,
         desktop,
         {"640 x 480 @ 32-bit colour", "1280 x 1024 @ 32-bit colour"},
         "640 x 480 @ 32-bit colour"},
        {"no configuration restored", "1024 x 768", false, desktop, offered, "1280 x 1024"},
        {"saved mode no longer offered", "1600 x 1200", true, desktop, offered, "1280 x 1024"},
        {"a size that only begins the same", "1024 x 76", true, desktop, offered, "1280 x 1024"},
        {"desktop not offered", "1600 x 1200", true, "2560 x 1440 @ 32-bit colour", offered, "800 x 600"},
        {"nothing fits",
         "",
         false,
         "2560 x 1440 @ 32-bit colour",
         {"1920 x 1080"},
         "800 x 600 @ 32-bit colour"},
        {"no list of modes", "1024 x 768", true, desktop, {}, "800 x 600 @ 32-bit colour"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BaseApplication::ChooseVideoMode(c.saved, c.restored, c.desktop, c.offered), c.chosen)
            << c.name;
}
TEST(FatalError, DescribesAnExceptionWithoutReadingItsFileName)
{
    // The file name of an exception from a plug-in points into the plug-in, which may be unloaded by the
    // time the exception is caught (so does its type name); here it points into freed memory, which the
    // sanitizer build watches.
    auto file = std::make_unique<char[]>(32);
    std::strcpy(file.get(), "OgreGLXGLSupport.cpp");
    const Ogre::RenderingAPIException exception(Ogre::Exception::ERR_RENDERINGAPI_ERROR,
                                                "Couldn't open X display", "GLXGLSupport::getGLDisplay",
                                                file.get(), 42);
    file.reset();
    EXPECT_EQ(BaseApplication::DescribeException(exception),
              "Couldn't open X display in GLXGLSupport::getGLDisplay");
}
} // namespace
