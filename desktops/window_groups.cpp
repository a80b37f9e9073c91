// What belongs together: a window, and its dialogs, palettes and Find boxes.
// Parted, an owner is left disabled behind a modal dialog hidden elsewhere,
// or a dialog stands over nothing; so every path that files, hides or shows
// a window asks this one rule which windows go with it.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

HWND groupRoot(HWND window) {
    HWND root = ws::GetAncestor(window, GA_ROOTOWNER);
    return root != nullptr ? root : window;
}

bool sameGroup(HWND a, HWND b) { return groupRoot(a) == groupRoot(b); }

unsigned slotHolding(HWND window) {
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        if (window != nullptr && app.windowTable[slot] == window && ownerUnchanged(slot)) return slot;
    }
    return NoSlot;
}

bool rootOnEveryDesktop(HWND root) {
    for (const EveryDesktopWindow& entry : app.everyDesktopWindows) {
        if (entry.window != nullptr && entry.window == root && stillOwnedBy(root, entry.owner)) return true;
    }
    return false;
}

bool everyDesktopListUsed() {
    for (const EveryDesktopWindow& entry : app.everyDesktopWindows) {
        if (entry.window != nullptr) return true;
    }
    return false;
}

namespace {

struct Gathering {
    bool (*joins)(unsigned rootSlot);
    unsigned* slots;
    unsigned count;
};

// A member stands where its root stands, whenever it opened and wherever it
// is in the stacking order; one already filed with its root stays put.
BOOL CALLBACK gatherMember(HWND w, LPARAM parameter) {
    Gathering& gathering = *reinterpret_cast<Gathering*>(parameter);
    WindowOwner owner;
    if (!isFileable(w, owner)) return TRUE;
    HWND root = groupRoot(w);
    if (root == w) return TRUE;
    const unsigned rootSlot = slotHolding(root);
    if (rootSlot == NoSlot || !gathering.joins(rootSlot)) return TRUE;
    const DesktopId d = rootSlot / SlotsPerDesktop + 1;
    if (slotOf(w, d) != NoSlot) return TRUE;
    const unsigned slot = firstFreeSlot(d);
    if (slot == NoSlot) return TRUE;
    fileWindow(slot, w, owner);
    gathering.slots[gathering.count++] = slot;
    return gathering.count < SlotsPerDesktop ? TRUE : FALSE;
}

}  // namespace

unsigned gatherGroups(bool (*joins)(unsigned rootSlot), unsigned* slots) {
    Gathering gathering{joins, slots, 0};
    ws::EnumWindows(gatherMember, reinterpret_cast<LPARAM>(&gathering));
    return gathering.count;
}

// Its program showed the root again, here: the dialogs Panorel hid with it
// come back too, or the root would stand disabled behind a dialog that is
// hidden on the desktop it left. The next capture files them with it.
unsigned releaseParkedMembers(bool (*rootHere)(HWND root)) {
    unsigned released = 0;
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        HWND w = app.windowTable[slot];
        if (!app.parkedSlots[slot] || w == nullptr) continue;
        HWND root = groupRoot(w);
        if (root == w || !rootHere(root)) continue;
        unparkSlot(slot, SW_SHOWNA);
        emptySlot(slot);
        ++released;
    }
    return released;
}
