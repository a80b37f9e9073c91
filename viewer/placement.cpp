// Where the viewer sits and how large it is: one ninth of the screen in the
// bottom-right corner, above where a taskbar usually is. Set once at
// start-up; a later change of resolution leaves it as it was.
#include "viewer/viewer.h"

namespace {

constexpr unsigned ViewerScale = 9;
constexpr int ViewerBottomMargin = 40;

}  // namespace

void placeViewer() {
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    app.screenWidth = screen.right;
    app.screenHeight = screen.bottom;
    app.viewerWidth = static_cast<std::int32_t>(static_cast<unsigned>(app.screenWidth) / ViewerScale);
    app.viewerHeight = static_cast<std::int32_t>(static_cast<unsigned>(app.screenHeight) / ViewerScale);
    SetWindowPos(app.viewerWindow, HWND_TOPMOST, app.screenWidth - app.viewerWidth,
                 app.screenHeight - app.viewerHeight - ViewerBottomMargin, app.viewerWidth, app.viewerHeight,
                 SWP_SHOWWINDOW);
}
