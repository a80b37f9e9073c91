// Hiding, showing and switching desktops.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

namespace {

void showRange(unsigned first, unsigned count, int showCommand) {
    for (unsigned slot = first; slot < first + count; ++slot) {
        if (app.windowTable[slot] != nullptr) ws::ShowWindow(app.windowTable[slot], showCommand);
    }
}

UINT gotoId(DesktopId d) { return GotoFirstId - 1 + d; }

}  // namespace

// Hiding leaves the slots as they are: the desktop is the set of hidden
// handles in its range.
void hideDesktop() { showRange(desktopRangeStart(app.currentDesktop), SlotsPerDesktop, SW_HIDE); }

// SW_SHOW, not SW_RESTORE: a window minimised when its desktop was left is
// still minimised when the desktop comes back.
void showDesktop() { showRange(desktopRangeStart(app.currentDesktop), SlotsPerDesktop, SW_SHOW); }

// Showing changes no slot, so it may run inside another operation (the end
// of the session, a fault) and still loses nothing; it only keeps new
// operations from starting while it waits. Nothing is parked any more, so
// nothing stays on record.
void showAllDesktops() {
    const bool wasBusy = app.engineBusy;
    app.engineBusy = true;
    showRange(0, WindowTableSlots, SW_SHOW);
    deleteParkedRecord();
    app.engineBusy = wasBusy;
}

void setCurrentDesktop(DesktopId d) {
    app.currentDesktop = d;
    app.desktopLabel[DesktopLabelDigit] = static_cast<char>('0' + d);
    ws::ModifyMenuA(app.viewerMenu, 0, MF_BYPOSITION | MF_GRAYED | MF_STRING, 0, app.desktopLabel);
}

// The edge trigger captures the desktop being left first, so windows opened
// on it since it was entered are hidden with it; "Goto Desktop" does not, so
// those windows move with the user. ShowWindow on another process's window
// returns only once the window has changed, so the final capture sees every
// window just shown.
//
// While it waits for another program, messages sent to the viewer are
// handled: a switch begun from one of them would capture a half-hidden
// desktop, and the windows already hidden would belong to no desktop. So a
// switch never starts inside another operation.
void switchDesktop(DesktopId d, bool captureFirst) {
    if (app.engineBusy) return;
    app.engineBusy = true;
    ws::CheckMenuItem(app.gotoMenu, gotoId(app.currentDesktop), MF_BYCOMMAND | MF_UNCHECKED);
    ws::CheckMenuItem(app.gotoMenu, gotoId(d), MF_BYCOMMAND | MF_CHECKED);
    if (captureFirst) captureDesktop();
    // Until the switch ends, every filed window is parked or about to be:
    // if Panorel is ended in the middle, a restart still finds them all.
    writeParkedRecord(true);
    hideDesktop();
    setCurrentDesktop(d);
    showDesktop();
    ws::ShowWindow(app.viewerWindow, SW_RESTORE);
    captureDesktop();
    writeParkedRecord();
    app.engineBusy = false;
}
