// The miniature's resources, under the real window system: thousands of
// pictures drawn in this process, its memory read from /proc.
#include "e2e.h"
#include "scenarios.h"

#include "app/app_state.h"
#include "viewer/viewer.h"

#include <cstdio>

namespace {

using e2e::check;

constexpr int Pictures = 5000;
constexpr long AllowedGrowthKb = 1024;

}  // namespace

namespace scenarios {

// Thousands of pictures into a small window of our own: a device context or
// a screen context not given back on every picture would add up here.
void miniatureResources() {
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "miniature", WS_POPUP | WS_BORDER | WS_VISIBLE, 0, 0, 40,
                                  30, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    app.screenWidth = 360;  // a small source keeps each picture cheap
    app.screenHeight = 270;
    app.viewerWidth = 40;
    app.viewerHeight = 30;
    makeMiniaturePicture();
    for (int i = 0; i < Pictures / 10; ++i) drawMiniature(window);  // warm up caches
    long before = e2e::unixResidentKb("panorel-e2e.exe");
    for (int i = 0; i < Pictures; ++i) drawMiniature(window);
    long after = e2e::unixResidentKb("panorel-e2e.exe");
    HDC probe = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    check(probe != nullptr, "a screen context can still be made after 5,000 pictures");
    DeleteDC(probe);
    char what[160];
    std::snprintf(what, sizeof what, "resident memory %ld KB -> %ld KB over 5,000 pictures", before, after);
    check(before > 0 && after - before < AllowedGrowthKb, what);
    DestroyWindow(window);
}

}  // namespace scenarios
