#include "platform/CursorFile.h"
#include "platform/Desktop.h"
#include "platform/HardwareCursor.h"

#include "support/CursorFileBuilder.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <dlfcn.h>
#include <unistd.h>

namespace
{
namespace fs = boost::filesystem;

using platform::CursorImage;

bool IsInvisible(const CursorImage& image)
{
    for (uint32_t pixel : image.pixels)
    {
        if (pixel >> 24 != 0)
            return false;
    }
    return true;
}

// A plain X window under the pointer, on a connection of the test's own.
class CursorOnAWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        m_display = XOpenDisplay(nullptr);
        ASSERT_NE(m_display, nullptr) << "needs an X display";
        // The test reads the cursor back through XFixes, which libXcursor brings into the process.
        m_getCursorImage =
            reinterpret_cast<decltype(&XFixesGetCursorImage)>(dlsym(RTLD_DEFAULT, "XFixesGetCursorImage"));
        ASSERT_NE(m_getCursorImage, nullptr);
        m_window = MakeWindow();
        XMapRaised(m_display, m_window);
        XSync(m_display, False);
        m_folder = fs::temp_directory_path() / fs::unique_path("quillmere-cursor-%%%%%%");
        fs::create_directories(m_folder);
    }
    void TearDown() override
    {
        platform::SetCursorWindow(0);
        if (m_display)
        {
            XDestroyWindow(m_display, m_window);
            XCloseDisplay(m_display);
        }
        fs::remove_all(m_folder);
    }

    // In the screen's lower right corner, away from the render windows of other tests on the same display.
    Window MakeWindow()
    {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        const int screen = DefaultScreen(m_display);
        return XCreateWindow(m_display, DefaultRootWindow(m_display), DisplayWidth(m_display, screen) - 80,
                             DisplayHeight(m_display, screen) - 80, 64, 64, 0, CopyFromParent, InputOutput,
                             CopyFromParent, CWOverrideRedirect, &attributes);
    }

    std::string WriteCursor(const CursorBitmap& bitmap, int hotspotX, int hotspotY)
    {
        const std::string path = (m_folder / "cursor.cur").string();
        EXPECT_TRUE(WriteBytes(path, EncodeCursorFile(bitmap, hotspotX, hotspotY)));
        return path;
    }

    // The cursor at the pointer, read while the pointer is over the window. Tests running in parallel
    // share the display and its one pointer, so a reading taken while another window was in the way is
    // taken again.
    CursorImage Shown()
    {
        for (int attempt = 0; attempt < 100; ++attempt)
        {
            XRaiseWindow(m_display, m_window);
            XWarpPointer(m_display, None, m_window, 0, 0, 0, 0, 20, 20);
            XSync(m_display, False);
            XFixesCursorImage* image = m_getCursorImage(m_display);
            if (!image)
                break;
            CursorImage shown;
            shown.width = image->width;
            shown.height = image->height;
            shown.hotspotX = image->xhot;
            shown.hotspotY = image->yhot;
            shown.pixels.assign(image->pixels, image->pixels + image->width * image->height);
            XFree(image);
            if (PointerIsOverTheWindow())
                return shown;
            usleep(10000);
        }
        ADD_FAILURE() << "the pointer does not stay over the test window";
        return CursorImage();
    }

    bool PointerIsOverTheWindow()
    {
        Window root = 0;
        Window child = 0;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned int buttons = 0;
        return XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rootX, &rootY, &x, &y,
                             &buttons) &&
               child == m_window;
    }

    Display* m_display = nullptr;
    decltype(&XFixesGetCursorImage) m_getCursorImage = nullptr;
    Window m_window = 0;
    fs::path m_folder;
};

TEST_F(CursorOnAWindow, ShowsTheLoadedCursorAndNothingForNullOrWhileHidden)
{
    const std::string path = WriteCursor(
        {3, 2, 32, {}, {0xFFFF0000, 0x80FF8000, 0x00000000, 0xFF00FF00, 0xFF0000FF, 0x40FFFFFF}, {}}, 2, 1);
    const platform::CursorHandle cursor = platform::LoadCursorFromFile(path);
    ASSERT_NE(cursor, nullptr);
    platform::SetCursorWindow(m_window);

    platform::SetCursor(cursor);
    CursorImage shown = Shown();
    EXPECT_EQ(shown.width, 3);
    EXPECT_EQ(shown.height, 2);
    EXPECT_EQ(shown.hotspotX, 2);
    EXPECT_EQ(shown.hotspotY, 1);
    EXPECT_EQ(shown.pixels, (std::vector<uint32_t>{0xFFFF0000, 0x80804000, 0x00000000, 0xFF00FF00, 0xFF0000FF,
                                                   0x40404040}));

    platform::SetCursor(nullptr);
    EXPECT_TRUE(IsInvisible(Shown())) << "null shows no cursor, not the desktop's";
    platform::SetCursor(cursor);
    EXPECT_EQ(Shown().width, 3);

    EXPECT_EQ(platform::ShowCursor(false), -1);
    EXPECT_TRUE(IsInvisible(Shown())) << "hidden below 0";
    platform::SetCursor(cursor);
    EXPECT_TRUE(IsInvisible(Shown())) << "setting does not show a hidden cursor";
    EXPECT_EQ(platform::ShowCursor(true), 0);
    EXPECT_EQ(Shown().width, 3);

    platform::DestroyCursor(cursor);
}

TEST_F(CursorOnAWindow, ShowsACursorWhosePictureIsPng)
{
    const std::string path = (m_folder / "png.cur").string();
    ASSERT_TRUE(
        WriteBytes(path, EncodeCursorFile({CursorEntry{
                             32, 1, 0, EncodePng(2, 2, {0xFFFF0000, 0x80FF8000, 0x00000000, 0xFF0000FF})}})));
    LogCapture log;
    const platform::CursorHandle cursor = platform::LoadCursorFromFile(path);
    ASSERT_NE(cursor, nullptr);
    EXPECT_TRUE(log.Lines().empty());
    platform::SetCursorWindow(m_window);
    platform::SetCursor(cursor);
    const CursorImage shown = Shown();
    EXPECT_EQ(shown.width, 2);
    EXPECT_EQ(shown.hotspotX, 1);
    EXPECT_EQ(shown.pixels, (std::vector<uint32_t>{0xFFFF0000, 0x80804000, 0x00000000, 0xFF0000FF}));
    platform::DestroyCursor(cursor);
}

TEST_F(CursorOnAWindow, AWindowThatIsGoneIsLoggedOnceAndNotFatal)
{
    const platform::CursorHandle cursor =
        platform::LoadCursorFromFile(WriteCursor({1, 1, 32, {}, {0xFF000000}, {}}, 0, 0));
    ASSERT_NE(cursor, nullptr);
    const Window gone = MakeWindow();
    XDestroyWindow(m_display, gone);
    XSync(m_display, False);
    platform::SetCursorWindow(gone);

    LogCapture log;
    platform::SetCursor(cursor);
    platform::SetCursor(cursor);
    EXPECT_EQ(log.Count(cl_Logger::LEVEL_ERROR), 1u);
    EXPECT_TRUE(log.Contains("Couldn't set the cursor of window"));
    platform::DestroyCursor(cursor);
}

TEST_F(CursorOnAWindow, DesktopSizeIsTheScreens)
{
    const platform::ScreenSize size = platform::DesktopSize();
    EXPECT_EQ(size.width, DisplayWidth(m_display, DefaultScreen(m_display)));
    EXPECT_EQ(size.height, DisplayHeight(m_display, DefaultScreen(m_display)));
}
} // namespace
