// Moving windows between desktops by keyboard, and windows shown on every
// desktop.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

void switchDesktopByKeyboard(DesktopId d) {
    if (d == app.currentDesktop) return;
    switchDesktop(d, true);
}

void moveForegroundWindow(DesktopId) {}

void toggleForegroundOnEveryDesktop() {}
