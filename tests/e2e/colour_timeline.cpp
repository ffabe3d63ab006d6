// Watches a rectangle of the screen for a while, for end-to-end tests whose effects are too short for a
// screenshot tool: prints one line per look, the seconds since the start and, per colour, how many pixels of
// the rectangle lie within the tolerance (per channel, 0..255) of it.
// Usage: colour_timeline SECONDS LEFT TOP WIDTH HEIGHT TOLERANCE R,G,B [R,G,B...]
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace
{
struct Colour
{
    int r = 0;
    int g = 0;
    int b = 0;
};

bool Near(int a, int b, int tolerance)
{
    return std::abs(a - b) <= tolerance;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 8)
    {
        std::fprintf(stderr,
                     "usage: colour_timeline SECONDS LEFT TOP WIDTH HEIGHT TOLERANCE R,G,B [R,G,B...]\n");
        return 2;
    }
    const double seconds = std::atof(argv[1]);
    const int left = std::atoi(argv[2]);
    const int top = std::atoi(argv[3]);
    const auto width = static_cast<unsigned>(std::atoi(argv[4]));
    const auto height = static_cast<unsigned>(std::atoi(argv[5]));
    const int tolerance = std::atoi(argv[6]);
    std::vector<Colour> colours;
    for (int arg = 7; arg < argc; ++arg)
    {
        Colour colour;
        if (std::sscanf(argv[arg], "%d,%d,%d", &colour.r, &colour.g, &colour.b) != 3)
        {
            std::fprintf(stderr, "colour_timeline: '%s' is no colour R,G,B\n", argv[arg]);
            return 2;
        }
        colours.push_back(colour);
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display)
    {
        std::fprintf(stderr, "colour_timeline: no display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    const auto start = std::chrono::steady_clock::now();
    std::vector<long> counts(colours.size());
    for (double now = 0.0; now < seconds;
         now = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count())
    {
        XImage* image = XGetImage(display, root, left, top, width, height, AllPlanes, ZPixmap);
        if (!image)
        {
            std::fprintf(stderr, "colour_timeline: the rectangle cannot be read\n");
            XCloseDisplay(display);
            return 1;
        }
        std::fill(counts.begin(), counts.end(), 0);
        for (unsigned y = 0; y < height; ++y)
        {
            for (unsigned x = 0; x < width; ++x)
            {
                // A 24-bit screen keeps red, green and blue in the pixel's bytes from high to low.
                const unsigned long pixel = XGetPixel(image, static_cast<int>(x), static_cast<int>(y));
                const int r = static_cast<int>((pixel >> 16) & 0xff);
                const int g = static_cast<int>((pixel >> 8) & 0xff);
                const int b = static_cast<int>(pixel & 0xff);
                for (size_t i = 0; i < colours.size(); ++i)
                {
                    if (Near(r, colours[i].r, tolerance) && Near(g, colours[i].g, tolerance) &&
                        Near(b, colours[i].b, tolerance))
                        ++counts[i];
                }
            }
        }
        XDestroyImage(image);
        std::printf("%.3f", now);
        for (const long count : counts)
            std::printf(" %ld", count);
        std::printf("\n");
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    XCloseDisplay(display);
    return 0;
}
