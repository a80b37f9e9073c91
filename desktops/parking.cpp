// What a desktop is: the windows Panorel hid when the user left it. Only
// those are shown again, and only those go on the record that a restart
// recovers, so a window its own program hid or showed is left to it.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

namespace {

bool onCurrentDesktop(unsigned slot) { return slot / SlotsPerDesktop == app.currentDesktop - 1; }

void parkAll(DesktopId d) {
    const unsigned first = desktopRangeStart(d);
    for (unsigned slot = first; slot < first + SlotsPerDesktop; ++slot) {
        if (app.parkedSlots[slot]) parkSlot(slot);
    }
}

}  // namespace

// Marked, and written to the record, before the first hide: a Panorel ended
// in the middle still leaves every window it hid on the record, and the
// record names no window that was not on the screen.
void markAboutToPark(unsigned slot) {
    if (app.windowTable[slot] == nullptr) return;
    if (!ownerUnchanged(slot) || ws::IsWindowVisible(app.windowTable[slot]) == FALSE) {
        emptySlot(slot);
        return;
    }
    app.parkedSlots[slot] = true;
}

// ShowWindow's answer says whether the window had been visible: one its own
// program hid since it was marked (closed to the tray, say) is its program's
// to bring back, not Panorel's. Windows answers as if it had hidden the
// window of a program with higher rights, so the window is asked again.
// Once the session may end, whatever is left of an interrupted switch hides
// nothing more; a hide that was waiting on its window when the question came
// lands after everything was shown, so that window is shown again.
void parkSlot(unsigned slot) {
    if (app.sessionEnding) {
        app.parkedSlots[slot] = false;
        return;
    }
    if (!ownerUnchanged(slot)) {
        emptySlot(slot);
        return;
    }
    HWND window = app.windowTable[slot];
    const BOOL wasVisible = ws::ShowWindow(window, SW_HIDE);
    if (app.sessionEnding) {
        ws::ShowWindow(window, SW_SHOW);
        app.parkedSlots[slot] = false;
        return;
    }
    if (wasVisible == FALSE || ws::IsWindowVisible(window) != FALSE) emptySlot(slot);
}

// A parked window its own program has shown again is on the screen already:
// it is no longer parked, and the next capture files it where it was seen.
void unparkSlot(unsigned slot, int showCommand) {
    if (!app.parkedSlots[slot]) return;
    app.parkedSlots[slot] = false;
    if (!ownerUnchanged(slot)) {
        emptySlot(slot);
        return;
    }
    HWND window = app.windowTable[slot];
    if (ws::IsWindowVisible(window) == FALSE) ws::ShowWindow(window, showCommand);
}

// The windows on the screen are marked and put on the record, then hidden.
// Slots whose windows were not hidden by Panorel are emptied on the way. A
// dialog opened since the last capture goes with the window it belongs to,
// even when a Goto lets the other new windows move on with the user.
void hideDesktop() {
    unsigned gathered[SlotsPerDesktop];
    gatherGroups(onCurrentDesktop, gathered);
    const unsigned first = desktopRangeStart(app.currentDesktop);
    for (unsigned slot = first; slot < first + SlotsPerDesktop; ++slot) markAboutToPark(slot);
    writeParkedRecord();
    parkAll(app.currentDesktop);
}

// Shown without activating, back-most first: a window that is activated as
// it is shown goes on top, so showing front-most first would turn the
// desktop's order upside down and leave the back-most with the focus. The
// show keeps each window's state: one minimised when its desktop was left is
// still minimised when the desktop comes back.
void showDesktop() {
    const unsigned first = desktopRangeStart(app.currentDesktop);
    for (unsigned slot = first + SlotsPerDesktop; slot-- > first;) unparkSlot(slot, SW_SHOWNA);
}

// Showing changes no slot but those whose handle now names another window,
// so it may run inside another operation (the end of the session, a fault)
// and still loses nothing. Nothing is parked any more, so nothing stays on
// record.
void showAllDesktops() {
    beginOperation();
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) unparkSlot(slot, SW_SHOW);
    deleteParkedRecord();
    endOperation();
}
