// The live miniature's frame budget. Where a picture is cheap this draws one
// on every tick, as the timer alone would; where reading the screen is dear
// (a large screen, a slow driver) it spaces the pictures out so that the
// viewer's one thread stays free for the edge poll, the menus and switches.
#include "viewer/frame_pacing.h"

#include "desktops/window_system.h"

namespace {

constexpr std::int64_t MsPerSecond = 1000;

std::int64_t counterNow() {
    LARGE_INTEGER count = {};
    ws::QueryPerformanceCounter(&count);
    return count.QuadPart;
}

std::int64_t countsPerSecond() {
    LARGE_INTEGER frequency = {};
    ws::QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

// Nothing is read while nothing can be seen: the display off, the viewer
// hidden or minimised, or input on another desktop of the window system (a
// locked workstation, a secure prompt), where the pointer cannot be read.
bool miniatureCanBeSeen(HWND viewer) {
    if (app.displayState == DisplayStateOff) return false;
    if (!ws::IsWindowVisible(viewer) || ws::IsIconic(viewer)) return false;
    POINT pointer = {};
    return ws::GetCursorPos(&pointer) != FALSE;
}

bool frameDue(std::int64_t now) {
    if (app.miniaturePaused) return true;
    const std::int64_t since = now - app.frameStart;
    const std::int64_t perSecond = countsPerSecond();
    if (since >= perSecond * FrameFloorMs / MsPerSecond) return true;
    return since >= perSecond * (MiniaturePeriodMs - FrameTickLeewayMs) / MsPerSecond &&
           since >= FrameBudgetFactor * app.frameCost;
}

}  // namespace

// The cost is wall time, waiting for the screen read included: that wait
// holds up the thread as much as the drawing does.
void onMiniatureTimer(HWND viewer) {
    if (!miniatureCanBeSeen(viewer)) {
        app.miniaturePaused = true;
        return;
    }
    const std::int64_t began = counterNow();
    if (!frameDue(began)) return;
    drawMiniature(viewer);
    app.frameStart = began;
    app.frameCost = counterNow() - began;
    app.miniaturePaused = false;
}
