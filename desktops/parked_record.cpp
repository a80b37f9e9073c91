// The record of parked windows. A Panorel ended from outside (End task, a
// close request) leaves the windows of the other desktops hidden, with no
// taskbar button; the record lets the next start bring them back.
#include "desktops/desktops.h"
#include "desktops/window_system.h"
#include "settings/registry.h"

namespace {

// A volatile key, which Windows drops at sign-out, when the windows it names
// are gone too. Its parent is the program's per-user key, which must stay an
// ordinary key.
constexpr char RecordParentKey[] = "Software\\Panorel";
constexpr char RecordKey[] = "Software\\Panorel\\Session";
constexpr char RecordValue[] = "parked";

// Each window is two little-endian 32-bit words: its handle, then its
// process id. A window handle has 32 significant bits in 32-bit and 64-bit
// programs alike, so either program reads what the other wrote.
constexpr unsigned WordBytes = 4;
constexpr unsigned BitsPerByte = 8;
constexpr unsigned EntryBytes = 2 * WordBytes;
// At most every slot is recorded. The buffer lives on the stack:
// a static one would cost the program file its size.
constexpr unsigned RecordBytes = WindowTableSlots * EntryBytes;

void putWord(BYTE* at, DWORD value) {
    for (unsigned i = 0; i < WordBytes; ++i) at[i] = static_cast<BYTE>(value >> (BitsPerByte * i));
}

DWORD getWord(const BYTE* at) {
    DWORD value = 0;
    for (unsigned i = 0; i < WordBytes; ++i) value |= DWORD{at[i]} << (BitsPerByte * i);
    return value;
}

// A 64-bit program widens a 32-bit handle by sign extension, as Windows does.
DWORD handleWord(HWND window) { return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window)); }
HWND windowOf(DWORD word) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(static_cast<INT_PTR>(static_cast<LONG>(word))));
}

// The parent is created as an ordinary key first: creating the record's key
// with its parent missing would make the parent volatile too.
HKEY openRecordForWriting() {
    HKEY key = nullptr;
    if (reg::RegOpenKeyExA(HKEY_CURRENT_USER, RecordKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) return key;
    HKEY parent = nullptr;
    if (reg::RegCreateKeyExA(HKEY_CURRENT_USER, RecordParentKey, REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE,
                             &parent) != ERROR_SUCCESS) {
        return nullptr;
    }
    reg::RegCloseKey(parent);
    if (reg::RegCreateKeyExA(HKEY_CURRENT_USER, RecordKey, REG_OPTION_VOLATILE, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

// Only what the record put away comes back: a window that still exists, is
// still its program's (once a window is gone its handle may name another
// program's), and is still hidden. A destroyed window has no owner to match:
// its process id reads as 0, which the record never holds. A hidden window
// Panorel never parked is not in the record, so it is never shown.
void recoverWindow(HWND window, DWORD processId) {
    DWORD owner = 0;
    ws::GetWindowThreadProcessId(window, &owner);
    if (owner != processId || ws::IsWindowVisible(window) != FALSE) return;
    ws::ShowWindow(window, SW_SHOW);
}

// A group comes back as one, its root first: each show activates, and the
// dialogs shown after their owner stay in front of it, where the one that
// holds the owner disabled can be answered.
void recoverWindows(const BYTE* record, DWORD size, bool roots) {
    for (DWORD at = 0; at < size; at += EntryBytes) {
        HWND window = windowOf(getWord(record + at));
        if ((groupRoot(window) == window) == roots) recoverWindow(window, getWord(record + at + WordBytes));
    }
}

}  // namespace

// Only the windows Panorel hid, each with the owner it was filed with; one
// destroyed since, or whose handle has gone to another owner's window, is
// left out: a restart must not show that one. Nothing is written while the session may end:
// everything is shown then. A record that cannot be written changes
// nothing else.
void writeParkedRecord() {
    if (app.sessionEnding) return;
    BYTE record[RecordBytes];
    DWORD size = 0;
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        if (!app.parkedSlots[slot] || !ownerUnchanged(slot)) continue;
        putWord(record + size, handleWord(app.windowTable[slot]));
        putWord(record + size + WordBytes, app.windowOwners[slot].processId);
        size += EntryBytes;
    }
    HKEY key = openRecordForWriting();
    if (key == nullptr) return;
    reg::RegSetValueExA(key, RecordValue, REG_BINARY, record, size);
    reg::RegCloseKey(key);
}

// A record of the wrong type or size is ignored. Either way it is deleted:
// the windows it named are now visible, or were never to be trusted.
void recoverParkedWindows() {
    HKEY key = nullptr;
    if (reg::RegOpenKeyExA(HKEY_CURRENT_USER, RecordKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
    BYTE record[RecordBytes];
    DWORD type = 0;
    DWORD size = sizeof record;
    LSTATUS status = reg::RegQueryValueExA(key, RecordValue, &type, record, &size);
    reg::RegCloseKey(key);
    if (status == ERROR_SUCCESS && type == REG_BINARY && size % EntryBytes == 0) {
        recoverWindows(record, size, true);
        recoverWindows(record, size, false);
    }
    deleteParkedRecord();
}

void deleteParkedRecord() { reg::RegDeleteKeyA(HKEY_CURRENT_USER, RecordKey); }
