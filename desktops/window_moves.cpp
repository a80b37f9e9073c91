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

// The foreground window's group: its root owner and every window that root
// owns, directly or not, that a capture would file, front-most first. A
// dialog moves with the window it belongs to, and a main window with its
// palettes and Find box: parted, an owner would be left disabled behind a
// hidden modal dialog, or a dialog shown over nothing.
struct WindowGroup {
    HWND windows[SlotsPerDesktop];
    WindowOwner owners[SlotsPerDesktop];
    unsigned count;
    HWND root;
};

BOOL CALLBACK addGroupMember(HWND w, LPARAM parameter) {
    WindowGroup& group = *reinterpret_cast<WindowGroup*>(parameter);
    WindowOwner owner;
    if (groupRoot(w) != group.root || !isFileable(w, owner)) return TRUE;
    group.windows[group.count] = w;
    group.owners[group.count] = owner;
    ++group.count;
    return group.count < SlotsPerDesktop ? TRUE : FALSE;
}

// One snapshot of the stacking order; the foreground window is in it, as it
// is fileable, unless it went away meanwhile.
void findGroup(HWND foreground, WindowGroup& group) {
    group.count = 0;
    group.root = groupRoot(foreground);
    ws::EnumWindows(addGroupMember, reinterpret_cast<LPARAM>(&group));
}

bool inGroup(const WindowGroup& group, HWND window) {
    for (unsigned i = 0; i < group.count; ++i) {
        if (group.windows[i] == window) return true;
    }
    return false;
}

// Slots of desktop d's range that are free, or would be once the group left
// them.
unsigned roomFor(const WindowGroup& group, DesktopId d) {
    unsigned room = 0;
    const unsigned first = desktopRangeStart(d);
    for (unsigned slot = first; slot < first + SlotsPerDesktop; ++slot) {
        if (app.windowTable[slot] == nullptr || inGroup(group, app.windowTable[slot])) ++room;
    }
    return room;
}

// A window stands on one desktop at most: one filed under another desktop
// and on the screen all the same was shown by its own program.
bool filedElsewhere(HWND window) {
    for (DesktopId d = 1; d <= DesktopCount; ++d) {
        if (d != app.currentDesktop && slotOf(window, d) != NoSlot) return true;
    }
    return false;
}

BOOL CALLBACK findWindowHere(HWND w, LPARAM parameter) {
    WindowOwner owner;
    if (!isFileable(w, owner) || filedElsewhere(w)) return TRUE;
    *reinterpret_cast<HWND*>(parameter) = w;
    return FALSE;
}

// The group's windows in the first free slots of desktop d, each slot
// written to `slots`; taken out first, so the group's own slots count as
// free.
void fileGroupOn(const WindowGroup& group, DesktopId d, unsigned* slots) {
    for (unsigned i = 0; i < group.count; ++i) unfileWindow(group.windows[i]);
    for (unsigned i = 0; i < group.count; ++i) {
        slots[i] = firstFreeSlot(d);
        fileWindow(slots[i], group.windows[i], group.owners[i]);
    }
}

void markGroupPlacedByUser(const WindowGroup& group) {
    for (unsigned i = 0; i < group.count; ++i) markPlacedByUser(group.windows[i], group.owners[i]);
}

// The focus leaves windows just hidden for the next window of this desktop
// in the stacking order as it is now, a window opened since the last
// capture included; never the viewer, never another desktop's window.
void focusNextWindowHere() {
    HWND next = nullptr;
    ws::EnumWindows(findWindowHere, reinterpret_cast<LPARAM>(&next));
    if (next != nullptr) {
        giveForeground(next);
    } else {
        focusShell();
    }
}

}  // namespace

void switchDesktopByKeyboard(DesktopId d) {
    if (d == app.currentDesktop) return;
    switchDesktop(d, true);
}

// The group leaves every range it stands in (and the windows on every
// desktop) for the first free slots of the target, and is hidden as a
// switch hides: all on record before the first goes. A target without room
// for all of it refuses with the default beep and moves nothing.
void moveForegroundWindow(DesktopId d) {
    if (!operationMayStart() || d == app.currentDesktop) return;
    WindowOwner owner;
    HWND window = fileableForeground(owner);
    if (window == nullptr) return;
    WindowGroup group;
    findGroup(window, group);
    if (group.count == 0) return;
    if (roomFor(group, d) < group.count) {
        ws::MessageBeep(MB_OK);
        return;
    }
    beginOperation();
    unsigned slots[SlotsPerDesktop];
    fileGroupOn(group, d, slots);
    markGroupPlacedByUser(group);
    for (unsigned i = 0; i < group.count; ++i) markAboutToPark(slots[i]);
    writeParkedRecord();
    for (unsigned i = 0; i < group.count; ++i) parkSlot(slots[i]);
    rebuildRecallMenu();
    writeParkedRecord();
    focusNextWindowHere();
    endOperation();
}

namespace {

// Free entries of the list, counting those the group already holds.
unsigned everyDesktopRoomFor(const WindowGroup& group) {
    unsigned room = 0;
    for (const EveryDesktopWindow& entry : app.everyDesktopWindows) {
        if (entry.window == nullptr || inGroup(group, entry.window)) ++room;
    }
    return room;
}

void putGroupOnEveryDesktop(const WindowGroup& group) {
    for (unsigned i = 0; i < group.count; ++i) {
        unfileWindow(group.windows[i]);
        *everyDesktopEntry(nullptr) = EveryDesktopWindow{group.windows[i], group.owners[i]};
    }
}

}  // namespace

// A window on every desktop stands in no range, so no switch hides it and
// "Show Window" does not list it; toggled again, it is filed under the
// current desktop. Its group goes with it either way, by what the
// foreground window is now. The list is small and fixed: a group it cannot
// hold beeps, as does a current desktop without room for the group. Nothing
// is hidden, so the focus stays where it is.
void toggleForegroundOnEveryDesktop() {
    if (!operationMayStart()) return;
    WindowOwner owner;
    HWND window = fileableForeground(owner);
    if (window == nullptr) return;
    dropGoneEveryDesktopWindows();
    WindowGroup group;
    findGroup(window, group);
    if (group.count == 0) return;
    const bool backHere = isOnEveryDesktop(window, owner);
    const unsigned room = backHere ? roomFor(group, app.currentDesktop) : everyDesktopRoomFor(group);
    if (room < group.count) {
        ws::MessageBeep(MB_OK);
        return;
    }
    markGroupPlacedByUser(group);
    if (backHere) {
        unsigned slots[SlotsPerDesktop];
        fileGroupOn(group, app.currentDesktop, slots);
    } else {
        putGroupOnEveryDesktop(group);
    }
    rebuildRecallMenu();
    writeParkedRecord();
}
