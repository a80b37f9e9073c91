// The "Show Window" submenu: windows parked on the other desktops.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

namespace {

constexpr int TitleLimit = 128;  // keeps the first 127 characters and the terminator
// Every character of a title may take two in the menu (an ampersand doubled).
constexpr unsigned ItemTextSize = 2 * TitleLimit;
constexpr char NoWindowsText[] = "No Windows";

constexpr unsigned char Utf8ContinuationMask = 0xC0;
constexpr unsigned char Utf8Continuation = 0x80;

char title[TitleLimit];
char itemText[ItemTextSize];

// GetWindowTextA leaves the buffer as it was for a handle that no longer
// exists, so the terminator goes in first: a destroyed window must read as
// untitled, never as the title of the window read before it.
bool readTitle(HWND window) {
    title[0] = '\0';
    ws::GetWindowTextA(window, title, TitleLimit);
    return title[0] != '\0';
}

// The bytes a UTF-8 sequence takes, from its first byte.
unsigned sequenceLength(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

// A title cut at the limit may end inside a character (Panorel runs in the
// UTF-8 code page); the broken character is dropped rather than shown as
// rubbish.
void dropBrokenLastCharacter(unsigned length) {
    if (length < TitleLimit - 1) return;
    unsigned start = length - 1;
    while (start > 0 && (static_cast<unsigned char>(title[start]) & Utf8ContinuationMask) == Utf8Continuation) {
        --start;
    }
    if (start + sequenceLength(static_cast<unsigned char>(title[start])) > length) title[start] = '\0';
}

// The menu takes an ampersand as the mark of an access key and a tab as the
// start of a shortcut column: the title is shown as it reads.
const char* menuTextOfTitle() {
    unsigned length = 0;
    while (title[length] != '\0') ++length;
    dropBrokenLastCharacter(length);
    unsigned out = 0;
    for (const char* c = title; *c != '\0'; ++c) {
        if (*c == '&') itemText[out++] = '&';
        itemText[out++] = *c == '\t' ? ' ' : *c;
    }
    itemText[out] = '\0';
    return itemText;
}

// A window of another desktop that Panorel parked and that is still hidden,
// under the owner it was filed with, and has a title right now; the title is
// left in the buffer. One its program has shown again, or whose handle now
// names another program's window, would bring back nothing.
bool isListable(unsigned slot) {
    if (app.windowTable[slot] == nullptr || !app.parkedSlots[slot]) return false;
    if (slot / SlotsPerDesktop == app.currentDesktop - 1) return false;
    if (!ownerUnchanged(slot) || ws::IsWindowVisible(app.windowTable[slot]) != FALSE) return false;
    return readTitle(app.windowTable[slot]);
}

// The slot still holds what the item was built from: the same window, filed
// with the same owner. Whether that owner still has it, the recall asks.
bool itemStillValid(const RecallItem& item) {
    return app.windowTable[item.slot] == item.window && sameOwner(app.windowOwners[item.slot], item.owner);
}

bool sameItem(const RecallItem& a, const RecallItem& b) {
    return a.slot == b.slot && a.window == b.window && sameOwner(a.owner, b.owner);
}

// Puts the item at the position, and answers whether another stood there.
bool setItem(DWORD position, const RecallItem& item) {
    const bool changed = !sameItem(app.recallItems[position], item);
    app.recallItems[position] = item;
    return changed;
}

// The chosen window comes back with the rest of its group, shown first
// without activating, so that the chosen one comes last and on top.
void bringBackGroupOf(unsigned chosen) {
    const unsigned first = chosen - chosen % SlotsPerDesktop;
    for (unsigned slot = first + SlotsPerDesktop; slot-- > first;) {
        if (slot == chosen || !app.parkedSlots[slot] || !sameGroup(app.windowTable[slot], app.windowTable[chosen])) {
            continue;
        }
        unparkSlot(slot, SW_SHOWNA);
        emptySlot(slot);
    }
}

}  // namespace

// The menu is not asked how many items it holds: the previous build's count
// says how many to take out. Each item keeps the slot, window and owner it
// was built from, so a window destroyed or retitled meanwhile never makes an
// item bring back another.
void rebuildRecallMenu() {
    const DWORD previousCount = app.recallItemCount;
    for (DWORD i = 0; i < previousCount; ++i) ws::RemoveMenu(app.recallMenu, 0, MF_BYPOSITION);
    DWORD count = 0;
    bool changed = false;
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        if (!isListable(slot)) continue;
        changed = setItem(count, RecallItem{slot, app.windowTable[slot], app.windowOwners[slot]}) || changed;
        ws::AppendMenuA(app.recallMenu, MF_STRING, RecallFirstId + count, menuTextOfTitle());
        ++count;
    }
    if (count == 0) {
        changed = setItem(0, RecallItem{}) || changed;
        ws::AppendMenuA(app.recallMenu, MF_STRING, NoWindowsId, NoWindowsText);
        count = 1;
    }
    app.recallItemCount = count;
    if (changed || count != previousCount) ++app.recallListVersion;
}

// An item whose window is gone, or now belongs to another owner, brings back
// nothing, and the list is built afresh. A choice from a list that has
// changed since (a command that waited behind a switch) brings back nothing:
// its position may name another window now. A position past the last item
// does nothing either.
void recallWindow(unsigned position, DWORD listVersion) {
    if (!operationMayStart() || listVersion != app.recallListVersion || position >= app.recallItemCount) return;
    const RecallItem item = app.recallItems[position];
    if (item.window == nullptr) return;
    if (!itemStillValid(item)) {
        rebuildRecallMenu();
        return;
    }
    // SW_RESTORE, not SW_SHOW: a window parked maximised or minimised comes
    // back at its normal size. A handle gone to another owner is dropped
    // unshown.
    beginOperation();
    markPlacedByUser(item.window, item.owner);
    bringBackGroupOf(item.slot);
    unparkSlot(item.slot, SW_RESTORE);
    emptySlot(item.slot);
    rebuildRecallMenu();
    writeParkedRecord();
    endOperation();
}
