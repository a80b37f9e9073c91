// The wall time of one picture of the miniature on this machine, drawn by
// the benchmark itself as Panorel draws it.
#include "app/app_state.h"
#include "viewer/viewer.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int WarmUp = 5;
constexpr int ViewerFraction = 9;

double nowMs() {
    LARGE_INTEGER frequency, t;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

HWND popupAt(int x, int y, int width, int height) {
    return CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, x, y, width, height,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Into a window of this process of the viewer's size: wall time, the wait
// for the screen read included, as the frame budget counts it. Paced as the
// timer paces them: back to back, each would also wait for the servers to
// finish the one before.
double pictureCostMs(int samples) {
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    app.screenWidth = screen.right;
    app.screenHeight = screen.bottom;
    app.viewerWidth = screen.right / ViewerFraction;
    app.viewerHeight = screen.bottom / ViewerFraction;
    makeMiniaturePicture();
    HWND window = popupAt(0, 0, app.viewerWidth, app.viewerHeight);
    pumpMessages();
    std::vector<double> costs;
    for (int i = 0; i < WarmUp + samples; ++i) {
        double begin = nowMs();
        drawMiniature(window);
        if (i >= WarmUp) costs.push_back(nowMs() - begin);
        pumpMessages();
        Sleep(MiniaturePeriodMs);  // the pace, not a synchronisation
    }
    DestroyWindow(window);
    if (costs.empty()) return 0.0;
    std::sort(costs.begin(), costs.end());
    return costs[costs.size() / 2];
}
