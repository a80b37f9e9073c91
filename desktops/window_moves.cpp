// Moving windows between desktops by keyboard, and windows shown on every
// desktop.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

namespace {

// The foreground window, when it is one a capture would file (never
// Panorel's own, the shell's, a cloaked or a hidden one), with its owner.
HWND fileableForeground(WindowOwner& owner) {
    HWND window = ws::GetForegroundWindow();
    return window != nullptr && isFileable(window, owner) ? window : nullptr;
}

// The entry of the window, or with no window the first free entry; null
// when there is none.
EveryDesktopWindow* everyDesktopEntry(HWND window) {
    for (EveryDesktopWindow& entry : app.everyDesktopWindows) {
        if (entry.window == window) return &entry;
    }
    return nullptr;
}

// The focus leaves a window that was just hidden for the front-most window
// the current desktop still shows.
void focusFrontMost() {
    const unsigned first = desktopRangeStart(app.currentDesktop);
    for (unsigned slot = first; slot < first + SlotsPerDesktop; ++slot) {
        HWND window = app.windowTable[slot];
        if (window != nullptr && ws::IsWindowVisible(window) == TRUE) {
            ws::SetForegroundWindow(window);
            return;
        }
    }
}

}  // namespace

void switchDesktopByKeyboard(DesktopId d) {
    if (d == app.currentDesktop) return;
    switchDesktop(d, true);
}

// The window leaves every range it stands in (and the windows on every
// desktop) for the first free slot of the target, and is hidden as a switch
// hides: on record before it goes. A full target refuses with the default
// beep and moves nothing.
void moveForegroundWindow(DesktopId d) {
    if (!operationMayStart() || d == app.currentDesktop) return;
    WindowOwner owner;
    HWND window = fileableForeground(owner);
    if (window == nullptr) return;
    if (firstFreeSlot(d) == NoSlot && slotOf(window, d) == NoSlot) {
        ws::MessageBeep(MB_OK);
        return;
    }
    beginOperation();
    unfileWindow(window);
    const unsigned slot = firstFreeSlot(d);
    fileWindow(slot, window, owner);
    markAboutToPark(slot);
    writeParkedRecord();
    parkSlot(slot);
    rebuildRecallMenu();
    writeParkedRecord();
    focusFrontMost();
    endOperation();
}

// A window on every desktop stands in no range, so no switch hides it and
// "Show Window" does not list it; toggled again, it is filed under the
// current desktop. The list is small and fixed: a full one beeps.
void toggleForegroundOnEveryDesktop() {
    if (!operationMayStart()) return;
    WindowOwner owner;
    HWND window = fileableForeground(owner);
    if (window == nullptr) return;
    dropGoneEveryDesktopWindows();
    if (isOnEveryDesktop(window, owner)) {
        const unsigned slot = firstFreeSlot(app.currentDesktop);
        if (slot == NoSlot) {
            ws::MessageBeep(MB_OK);
            return;
        }
        fileWindow(slot, window, owner);
    } else {
        EveryDesktopWindow* free = everyDesktopEntry(nullptr);
        if (free == nullptr) {
            ws::MessageBeep(MB_OK);
            return;
        }
        unfileWindow(window);
        *free = EveryDesktopWindow{window, owner};
    }
    rebuildRecallMenu();
    writeParkedRecord();
}
