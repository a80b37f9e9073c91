// The settings store. Every access opens its key, does one read, write or
// delete and closes it again, so no handle stays open and a change another
// process makes is seen by the next access.
#include "settings/settings.h"

#include "settings/registry.h"

#include <cstring>

namespace {

constexpr char XposValue[] = "xpos";
constexpr char YposValue[] = "ypos";
constexpr char FlagsValue[] = "flags";
constexpr char SortflagsValue[] = "sortflags";
constexpr char ListflagsValue[] = "listflags";
constexpr char KeycheckValue[] = "keycheck";

// A stored "xpos" above this (unsigned, so every negative one too) throws
// away both positions.
constexpr DWORD MaxStoredPosition = 30000;
constexpr DWORD ByteMask = 0xFF;
constexpr unsigned SortDirectionShift = 8;
constexpr DWORD ReservedListflags = 0;
// What the ANSI calls give for a character the code page cannot hold.
constexpr char UnrepresentableCharacter = '?';

}  // namespace

// The key is created even for a read, so the first start leaves the empty
// key behind where the user may create it. A value longer than four bytes
// fails the query and counts as missing; a shorter one reads with its
// missing high bytes as zero.
DWORD readSetting(const char* name) {
    HKEY key = nullptr;
    if (reg::RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, REG_OPTION_NON_VOLATILE, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return SettingMissing;
    }
    BYTE data[sizeof(DWORD)] = {};
    DWORD size = sizeof data;
    LSTATUS status = reg::RegQueryValueExA(key, name, data, &size);
    reg::RegCloseKey(key);
    if (status != ERROR_SUCCESS) return SettingMissing;
    return DWORD{data[0]} | (DWORD{data[1]} << 8) | (DWORD{data[2]} << 16) | (DWORD{data[3]} << 24);
}

// A failed write changes nothing and is not reported.
void writeSetting(const char* name, DWORD value) {
    HKEY key = nullptr;
    if (reg::RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, REG_OPTION_NON_VOLATILE, KEY_WRITE, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    const BYTE data[sizeof(DWORD)] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                                      static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
    reg::RegSetValueExA(key, name, REG_DWORD, data, sizeof data);
    reg::RegCloseKey(key);
}

// "xpos" doubles as the probe: without it nothing else is read, and only
// `flags` leaves its initial value. Otherwise a missing value becomes a
// default only for "keycheck"; the others take the missing value as read.
void loadSettings() {
    if (readSetting(XposValue) == SettingMissing) {
        app.flags = NoSettingsFlags;
        return;
    }
    DWORD sortflags = readSetting(SortflagsValue);
    app.sortColumn = sortflags & ByteMask;
    app.sortDirection = static_cast<BYTE>((sortflags >> SortDirectionShift) & ByteMask);
    DWORD xpos = readSetting(XposValue);
    if (xpos <= MaxStoredPosition) {
        app.xpos = static_cast<std::int32_t>(xpos);
        app.ypos = static_cast<std::int32_t>(readSetting(YposValue));
    }
    DWORD keycheck = readSetting(KeycheckValue);
    app.keyMask = keycheck == SettingMissing ? DefaultKeyMask : keycheck;
    app.flags = readSetting(FlagsValue);
}

// Each value is written by itself, so one failure does not stop the rest.
void saveSettings() {
    writeSetting(XposValue, static_cast<DWORD>(app.xpos));
    writeSetting(YposValue, static_cast<DWORD>(app.ypos));
    writeSetting(FlagsValue, app.flags);
    writeSetting(SortflagsValue, (DWORD{app.sortDirection} << SortDirectionShift) + app.sortColumn);
    writeSetting(ListflagsValue, ReservedListflags);
    writeSetting(KeycheckValue, app.keyMask);
}

// The path is stored with its terminating NUL counted in the data length.
bool writeRunValue(const char* name, const char* path) {
    HKEY key = nullptr;
    if (reg::RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
    LSTATUS status = reg::RegSetValueExA(key, name, REG_SZ, reinterpret_cast<const BYTE*>(path),
                                         static_cast<DWORD>(std::strlen(path) + 1));
    reg::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// A value that is not there, or a Run key that is not there at all, leaves
// nothing to delete: the program will not start with Windows, which is what
// the caller asked for.
bool deleteRunValue(const char* name) {
    HKEY key = nullptr;
    LSTATUS status = reg::RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunKey, 0, KEY_WRITE, &key);
    if (status != ERROR_SUCCESS) return status == ERROR_FILE_NOT_FOUND;
    status = reg::RegDeleteValueA(key, name);
    reg::RegCloseKey(key);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

// A path cut short would start nothing, or something else: better no entry.
// So would one with '?': it never occurs in a Windows path, but the ANSI
// path has one where the code page lacks a character of the real name.
bool makeRunCommand(const char* path, char (&command)[RunCommandBytes]) {
    const std::size_t length = std::strlen(path);
    const bool quoted = std::strchr(path, ' ') != nullptr;
    const std::size_t quotes = quoted ? 2 : 0;
    if (length == 0 || length + quotes + 1 > sizeof command) return false;
    if (std::strchr(path, UnrepresentableCharacter) != nullptr) return false;
    char* end = command;
    if (quoted) *end++ = '"';
    std::memcpy(end, path, length);
    end += length;
    if (quoted) *end++ = '"';
    *end = '\0';
    return true;
}

bool toggleStartWithWindows(const char* programPath) {
    const bool on = (app.flags & StartWithWindowsFlag) == 0;
    bool done;
    if (on) {
        char command[RunCommandBytes];
        done = makeRunCommand(programPath, command) && writeRunValue(RunValueName, command);
    } else {
        done = deleteRunValue(RunValueName);
    }
    if (done) app.flags ^= StartWithWindowsFlag;
    return (app.flags & StartWithWindowsFlag) != 0;
}
