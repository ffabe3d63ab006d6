// Tells which pointer the X server shows: the commonest colour of the current cursor's opaque pixels, as
// RRGGBB in hexadecimal (the demo draws each pointer word's arrow in its own colour). Needs the XFixes
// extension. Usage: cursor_colour
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>
#include <map>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    int eventBase = 0;
    int errorBase = 0;
    if (!display || !XFixesQueryExtension(display, &eventBase, &errorBase))
    {
        std::fprintf(stderr, "cursor_colour: no display with XFixes\n");
        return 1;
    }
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (!image)
    {
        std::fprintf(stderr, "cursor_colour: no cursor image\n");
        XCloseDisplay(display);
        return 1;
    }
    std::map<unsigned long, int> counts;
    for (int pixel = 0; pixel < image->width * image->height; ++pixel)
    {
        const unsigned long argb = image->pixels[pixel] & 0xFFFFFFFFUL;
        if ((argb >> 24) == 0xFF)
            ++counts[argb & 0xFFFFFFUL];
    }
    unsigned long commonest = 0;
    int most = 0;
    for (const auto& entry : counts)
    {
        if (entry.second > most)
        {
            most = entry.second;
            commonest = entry.first;
        }
    }
    std::printf("%06lX\n", commonest);
    XFree(image);
    XCloseDisplay(display);
    return 0;
}
