// Hiding, showing and switching desktops.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

namespace {

UINT gotoId(DesktopId d) { return GotoFirstId - 1 + d; }

// Every slot that names the window: a window standing in two ranges is
// parked in neither once it is shown.
void forgetParked(HWND window) {
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        if (app.windowTable[slot] == window) app.parkedSlots[slot] = false;
    }
}

// Marked before the first hide and written to the record, so a Panorel
// ended in the middle still leaves every window it hid on the record.
void markAboutToPark(unsigned slot) {
    if (app.windowTable[slot] != nullptr) app.parkedSlots[slot] = true;
}

bool inRange(unsigned slot, DesktopId d) { return slot / SlotsPerDesktop == d - 1; }

}  // namespace

// ShowWindow's answer says whether the window had been visible: one its own
// program had already hidden (closed to the tray, say) is not Panorel's to
// bring back after a restart. Once the session may end, whatever is left of
// an interrupted switch hides nothing more; a hide that was waiting on its
// window when the question came lands after everything was shown, so that
// window is shown again.
void parkSlot(unsigned slot) {
    app.parkedSlots[slot] = false;
    if (app.sessionEnding || !stillFiled(slot)) return;
    HWND window = app.windowTable[slot];
    const BOOL wasVisible = ws::ShowWindow(window, SW_HIDE);
    if (app.sessionEnding) {
        ws::ShowWindow(window, SW_SHOW);
        return;
    }
    app.parkedSlots[slot] = wasVisible != FALSE;
}

void unparkSlot(unsigned slot, int showCommand) {
    if (!stillFiled(slot)) return;
    HWND window = app.windowTable[slot];
    ws::ShowWindow(window, showCommand);
    forgetParked(window);
}

// Hiding leaves the slots as they are: the desktop is the set of hidden
// handles in its range.
void hideDesktop() {
    const unsigned first = desktopRangeStart(app.currentDesktop);
    for (unsigned slot = first; slot < first + SlotsPerDesktop; ++slot) {
        if (app.windowTable[slot] != nullptr) parkSlot(slot);
    }
}

// Shown without activating, back-most first: a window that is activated as
// it is shown goes on top, so showing front-most first would turn the
// desktop's order upside down and leave the back-most with the focus. The
// show keeps each window's state: one minimised when its desktop was left is
// still minimised when the desktop comes back.
void showDesktop() {
    const unsigned first = desktopRangeStart(app.currentDesktop);
    for (unsigned slot = first + SlotsPerDesktop; slot-- > first;) {
        if (app.windowTable[slot] != nullptr) unparkSlot(slot, SW_SHOWNA);
    }
}

// Showing changes no slot but those whose handle now names another window,
// so it may run inside another operation (the end of the session, a fault)
// and still loses nothing; it only keeps new operations from starting while
// it waits. Nothing is parked any more, so nothing stays on record.
void showAllDesktops() {
    const bool wasBusy = app.engineBusy;
    app.engineBusy = true;
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        if (app.windowTable[slot] != nullptr) unparkSlot(slot, SW_SHOW);
    }
    deleteParkedRecord();
    app.engineBusy = wasBusy;
}

// The table is left as it was: every window stays filed, so the desktops
// can be put back if the session goes on.
void showAllForEndOfSession() {
    app.sessionEnding = true;
    showAllDesktops();
}

// The other desktops' windows go back into hiding, except those that also
// stand in the current desktop's range, which belong on the screen.
void resumeDesktops() {
    app.sessionEnding = false;
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        if (!inRange(slot, app.currentDesktop) && slotOf(app.windowTable[slot], app.currentDesktop) == NoSlot) {
            markAboutToPark(slot);
        }
    }
    writeParkedRecord();
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        if (app.parkedSlots[slot]) parkSlot(slot);
    }
    writeParkedRecord();
}

namespace {

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
    if (app.windowTable[slot] != nullptr) giveForeground(app.windowTable[slot]);
}

}  // namespace

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
// switch never starts inside another operation, nor while the session may
// be ending, when nothing is to be hidden.
void switchDesktop(DesktopId d, bool captureFirst) {
    if (app.engineBusy || app.sessionEnding) return;
    app.engineBusy = true;
    ws::CheckMenuItem(app.gotoMenu, gotoId(app.currentDesktop), MF_BYCOMMAND | MF_UNCHECKED);
    ws::CheckMenuItem(app.gotoMenu, gotoId(d), MF_BYCOMMAND | MF_CHECKED);
    if (captureFirst) captureDesktop();
    const HWND focused = ws::GetForegroundWindow();
    app.desktopFocus[app.currentDesktop - 1] = slotOnCurrentDesktop(focused) != NoSlot ? focused : nullptr;
    const unsigned first = desktopRangeStart(app.currentDesktop);
    for (unsigned slot = first; slot < first + SlotsPerDesktop; ++slot) markAboutToPark(slot);
    writeParkedRecord();
    hideDesktop();
    setCurrentDesktop(d);
    showDesktop();
    // Brought back even if the user had hidden it, but never given the focus.
    ws::ShowWindow(app.viewerWindow, SW_SHOWNOACTIVATE);
    captureDesktop();
    focusCurrentDesktop();
    writeParkedRecord();
    app.engineBusy = false;
}
