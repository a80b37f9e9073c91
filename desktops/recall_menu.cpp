// The "Show Window" submenu: windows parked on the other desktops.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

namespace {

constexpr int TitleLimit = 128;  // keeps the first 127 characters and the terminator
constexpr char NoWindowsText[] = "No Windows";

char title[TitleLimit];

// GetWindowTextA leaves the buffer as it was for a handle that no longer
// exists, so the terminator goes in first: a destroyed window must read as
// untitled, never as the title of the window read before it.
bool readTitle(HWND window) {
    title[0] = '\0';
    ws::GetWindowTextA(window, title, TitleLimit);
    return title[0] != '\0';
}

// A filed window of another desktop that has a title right now; the title
// is left in the buffer.
bool isListable(unsigned slot) {
    if (app.windowTable[slot] == nullptr) return false;
    if (slot / SlotsPerDesktop == app.currentDesktop - 1) return false;
    return readTitle(app.windowTable[slot]);
}

// The first listable slot from `slot` on, or WindowTableSlots when none is.
unsigned nextListableSlot(unsigned slot) {
    while (slot < WindowTableSlots && !isListable(slot)) ++slot;
    return slot;
}

}  // namespace

// The menu is not asked how many items it holds: the previous build's count
// says how many to take out.
void rebuildRecallMenu() {
    for (DWORD i = 0; i < app.recallItemCount; ++i) ws::RemoveMenu(app.recallMenu, 0, MF_BYPOSITION);
    app.recallItemCount = 0;
    ++app.recallMenuBuilds;

    for (unsigned slot = nextListableSlot(0); slot < WindowTableSlots; slot = nextListableSlot(slot + 1)) {
        ws::AppendMenuA(app.recallMenu, MF_STRING, RecallFirstId + app.recallItemCount, title);
        ++app.recallItemCount;
    }
    if (app.recallItemCount == 0) {
        ws::AppendMenuA(app.recallMenu, MF_STRING, NoWindowsId, NoWindowsText);
        app.recallItemCount = 1;
    }
}

// An item's id is only its position among the listable windows, so the
// windows are counted again now: one destroyed or newly titled since the
// rebuild shifts which window a position names. A position past the last
// one does nothing, and so does a recall inside another operation.
void recallWindow(unsigned position) {
    if (app.engineBusy) return;
    unsigned counted = 0;
    for (unsigned slot = nextListableSlot(0); slot < WindowTableSlots; slot = nextListableSlot(slot + 1)) {
        if (counted == position) {
            // SW_RESTORE, not SW_SHOW: a window parked maximised or
            // minimised comes back at its normal size.
            app.engineBusy = true;
            ws::ShowWindow(app.windowTable[slot], SW_RESTORE);
            app.windowTable[slot] = nullptr;
            rebuildRecallMenu();
            writeParkedRecord();
            app.engineBusy = false;
            return;
        }
        ++counted;
    }
}
