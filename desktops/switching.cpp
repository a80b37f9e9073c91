// Hiding, showing and switching desktops.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

namespace {

UINT gotoId(DesktopId d) { return GotoFirstId - 1 + d; }

// The slot of the current desktop's range that holds the window, or NoSlot.
unsigned slotOnCurrentDesktop(HWND window) {
    return window != nullptr ? slotOf(window, app.currentDesktop) : NoSlot;
}

// Typing goes where the user looks: to the window of the entered desktop
// that had the focus when it was left, or else its front-most, which the
// capture just filed first; never the viewer or another desktop's window.
void focusCurrentDesktop() {
    unsigned slot = slotOnCurrentDesktop(app.desktopFocus[app.currentDesktop - 1]);
    if (slot == NoSlot || !ownerUnchanged(slot)) slot = desktopRangeStart(app.currentDesktop);
    if (app.windowTable[slot] != nullptr) {
        giveForeground(app.windowTable[slot]);
    } else {
        focusShell();
    }
}

}  // namespace

void setCurrentDesktop(DesktopId d) {
    app.currentDesktop = d;
    makeDesktopLabel(d);
    ws::ModifyMenuA(app.viewerMenu, 0, MF_BYPOSITION | MF_GRAYED | MF_STRING, 0, app.desktopLabel);
    showDesktopInTray();
}

// The edge trigger captures the desktop being left first, so windows opened
// on it since it was entered, or shown again there by their programs, are
// hidden with it; "Goto Desktop" does not, so those windows move with the
// user. ShowWindow on another process's window returns only once the window
// has changed, so the final capture sees every window just shown.
void switchDesktop(DesktopId d, bool captureFirst) {
    if (!operationMayStart()) return;
    beginOperation();
    ws::CheckMenuItem(app.gotoMenu, gotoId(app.currentDesktop), MF_BYCOMMAND | MF_UNCHECKED);
    ws::CheckMenuItem(app.gotoMenu, gotoId(d), MF_BYCOMMAND | MF_CHECKED);
    if (captureFirst) captureDesktop();
    const HWND focused = ws::GetForegroundWindow();
    app.desktopFocus[app.currentDesktop - 1] = slotOnCurrentDesktop(focused) != NoSlot ? focused : nullptr;
    hideDesktop();
    setCurrentDesktop(d);
    showDesktop();
    // Brought back even if the user had hidden it, but never given the focus.
    app.viewerHiddenByUser = false;
    ws::ShowWindow(app.viewerWindow, SW_SHOWNOACTIVATE);
    captureDesktop();
    focusCurrentDesktop();
    writeParkedRecord();
    endOperation();
}
