// Where the viewer sits and how large it is: one ninth of the screen in the
// bottom-right corner, lifted above where a taskbar usually is. Placed at
// start-up, and again whenever the screen's size or scaling changes, so it
// never ends up off a smaller screen and the miniature copies the screen
// there is now.
#include "viewer/viewer.h"

namespace {

constexpr unsigned ViewerScale = 9;
// The lift at 100 % scaling. The taskbar grows with the scaling, so the
// lift does too.
constexpr int ViewerBottomMargin = 40;
constexpr int UnscaledDpi = 96;

constexpr char User32[] = "user32.dll";
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// A pixel more on each side takes in the halftone's blur at its edges.
void noteViewerSelfImage(int top) {
    const int left = app.screenWidth - app.viewerWidth;
    app.viewerSelfImage = RECT{left / static_cast<int>(ViewerScale) - 1, top / static_cast<int>(ViewerScale) - 1,
                               app.viewerWidth,
                               (top + app.viewerHeight) / static_cast<int>(ViewerScale) + 2};
}

void fitViewerToScreen(UINT dpi, UINT flags) {
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    app.screenWidth = screen.right;
    app.screenHeight = screen.bottom;
    app.viewerWidth = static_cast<std::int32_t>(static_cast<unsigned>(app.screenWidth) / ViewerScale);
    app.viewerHeight = static_cast<std::int32_t>(static_cast<unsigned>(app.screenHeight) / ViewerScale);
    const int lift = MulDiv(ViewerBottomMargin, static_cast<int>(dpi), UnscaledDpi);
    const int top = app.screenHeight - app.viewerHeight - lift;
    SetWindowPos(app.viewerWindow, HWND_TOPMOST, app.screenWidth - app.viewerWidth, top, app.viewerWidth,
                 app.viewerHeight, flags);
    noteViewerSelfImage(top);
    makeMiniaturePicture();
}

}  // namespace

// Windows 10 (1607 on) knows the scaling of the viewer's own monitor; before
// that there is one scaling for the whole system. Looked up at run time so
// that the program still starts where user32 does not have it.
UINT viewerDpi(HWND viewer) {
    auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(User32), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr) return getDpiForWindow(viewer);
    HDC dc = GetDC(viewer);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(viewer, dc);
    return static_cast<UINT>(dpi);
}

void placeViewer() { fitViewerToScreen(viewerDpi(app.viewerWindow), SWP_SHOWWINDOW); }

// A viewer the user hid stays hidden, and the focus stays where it is. The
// new picture is empty until drawn: one comes soon.
void replaceViewer(UINT dpi) {
    fitViewerToScreen(dpi, SWP_NOACTIVATE);
    noteScreenMayChange();
}
