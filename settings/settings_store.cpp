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
constexpr char HotkeysValue[] = "hotkeys";
constexpr char EdgedelayValue[] = "edgedelay";

// A stored "xpos" above this (unsigned, so every negative one too) throws
// away both positions.
constexpr DWORD MaxStoredPosition = 30000;
constexpr DWORD ByteMask = 0xFF;
constexpr unsigned SortDirectionShift = 8;
constexpr DWORD ReservedListflags = 0;
// What the ANSI calls give for a character the code page cannot hold.
constexpr char UnrepresentableCharacter = '?';

}  // namespace

namespace {

// Where the settings were read from at start-up, and where OK writes them.
HKEY settingsRoot() { return app.userSettings ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

// The machine's key is created even for a read, so the first start leaves
// the empty key behind where the user may create it. The per-user copy is
// only ever created by a save: a read that finds no copy leaves no trace.
LSTATUS openSettingsKey(HKEY root, REGSAM access, HKEY* key) {
    if (root == HKEY_CURRENT_USER && access == KEY_READ) return reg::RegOpenKeyExA(root, SettingsKey, 0, access, key);
    return reg::RegCreateKeyExA(root, SettingsKey, REG_OPTION_NON_VOLATILE, access, key);
}

// A value longer than four bytes fails the query and counts as missing; a
// shorter one reads with its missing high bytes as zero, whatever its type,
// unless only a REG_DWORD will do.
DWORD readSettingFrom(HKEY root, const char* name, bool dwordOnly = false) {
    HKEY key = nullptr;
    if (openSettingsKey(root, KEY_READ, &key) != ERROR_SUCCESS) return SettingMissing;
    BYTE data[sizeof(DWORD)] = {};
    DWORD size = sizeof data;
    DWORD type = REG_DWORD;
    LSTATUS status = dwordOnly ? reg::RegQueryValueExA(key, name, &type, data, &size)
                               : reg::RegQueryValueExA(key, name, data, &size);
    reg::RegCloseKey(key);
    if (status != ERROR_SUCCESS) return SettingMissing;
    if (dwordOnly && (type != REG_DWORD || size != sizeof data)) return SettingMissing;
    return DWORD{data[0]} | (DWORD{data[1]} << 8) | (DWORD{data[2]} << 16) | (DWORD{data[3]} << 24);
}

bool writeSettingTo(HKEY root, const char* name, DWORD value) {
    HKEY key = nullptr;
    if (openSettingsKey(root, KEY_WRITE, &key) != ERROR_SUCCESS) return false;
    const BYTE data[sizeof(DWORD)] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                                      static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
    LSTATUS status = reg::RegSetValueExA(key, name, REG_DWORD, data, sizeof data);
    reg::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// The desktops' names and "showflags". A name is a REG_SZ of UTF-8, at
// most DesktopNameCharacters characters, NUL-terminated; anything else
// (another type, too long, unterminated, broken UTF-8) reads as no name and
// stays as it is stored until the user gives that desktop a name.
constexpr char ShowflagsValue[] = "showflags";
constexpr char DesktopNameValuePrefix[] = "desktopname";
constexpr unsigned DesktopNameValueBytes = sizeof DesktopNameValuePrefix + 1;
constexpr BYTE Utf8LeadMask = 0xC0;
constexpr BYTE Utf8Continuation = 0x80;

void desktopNameValue(DesktopId d, char (&name)[DesktopNameValueBytes]) {
    std::memcpy(name, DesktopNameValuePrefix, sizeof DesktopNameValuePrefix - 1);
    name[sizeof DesktopNameValuePrefix - 1] = static_cast<char>('0' + d);
    name[sizeof DesktopNameValuePrefix] = '\0';
}

// Counts the characters of well-formed UTF-8, or answers more than any name
// may have.
unsigned utf8Characters(const char* text) {
    unsigned count = 0;
    for (const BYTE* at = reinterpret_cast<const BYTE*>(text); *at != 0; ++count) {
        const BYTE lead = *at++;
        unsigned tail = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 4;
        if (tail > 3 || lead > 0xF4) return DesktopNameBytes;
        for (; tail > 0; --tail) {
            if ((*at++ & Utf8LeadMask) != Utf8Continuation) return DesktopNameBytes;
        }
    }
    return count;
}

void readDesktopNameFrom(HKEY root, DesktopId d, char (&name)[DesktopNameBytes]) {
    name[0] = '\0';
    HKEY key = nullptr;
    if (openSettingsKey(root, KEY_READ, &key) != ERROR_SUCCESS) return;
    char valueName[DesktopNameValueBytes];
    desktopNameValue(d, valueName);
    char data[DesktopNameBytes] = {};
    DWORD size = sizeof data;
    DWORD type = REG_SZ;
    const LSTATUS status = reg::RegQueryValueExA(key, valueName, &type, reinterpret_cast<BYTE*>(data), &size);
    reg::RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ || size == 0 || size > sizeof data) return;
    if (data[size - 1] != '\0' || std::strlen(data) != size - 1) return;
    if (utf8Characters(data) > DesktopNameCharacters) return;
    std::memcpy(name, data, size);
}

bool writeDesktopNameTo(HKEY root, DesktopId d) {
    HKEY key = nullptr;
    if (openSettingsKey(root, KEY_WRITE, &key) != ERROR_SUCCESS) return false;
    char valueName[DesktopNameValueBytes];
    desktopNameValue(d, valueName);
    const char* text = app.desktopNames[d - 1];
    const LSTATUS status = reg::RegSetValueExA(key, valueName, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                               static_cast<DWORD>(std::strlen(text) + 1));
    reg::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// Only what the Desktops page changed is written: a name never touched keeps
// whatever is stored, hostile or not, and a store that never had these
// values gets none.
bool saveDesktopSettingsTo(HKEY root) {
    bool all = true;
    if ((app.editedDesktopSettings & EditedShowFlags) != 0) all = writeSettingTo(root, ShowflagsValue, app.showFlags);
    for (DesktopId d = 1; d <= DesktopCount; ++d) {
        if ((app.editedDesktopSettings & editedName(d)) != 0) all = writeDesktopNameTo(root, d) && all;
    }
    return all;
}

// A missing "showflags" turns nothing off.
void loadDesktopSettings() {
    const DWORD showflags = readSettingFrom(settingsRoot(), ShowflagsValue, true);
    app.showFlags = showflags == SettingMissing ? 0 : showflags;
    for (DesktopId d = 1; d <= DesktopCount; ++d) readDesktopNameFrom(settingsRoot(), d, app.desktopNames[d - 1]);
}

// Each value is written by itself, so one failure does not stop the rest.
// Answers whether every value was written.
bool saveSettingsTo(HKEY root) {
    bool all = writeSettingTo(root, XposValue, static_cast<DWORD>(app.xpos));
    all = writeSettingTo(root, YposValue, static_cast<DWORD>(app.ypos)) && all;
    all = writeSettingTo(root, FlagsValue, app.flags) && all;
    all = writeSettingTo(root, SortflagsValue, (DWORD{app.sortDirection} << SortDirectionShift) + app.sortColumn) &&
          all;
    all = writeSettingTo(root, ListflagsValue, ReservedListflags) && all;
    all = writeSettingTo(root, KeycheckValue, app.keyMask) && all;
    all = saveDesktopSettingsTo(root) && all;
    // Written once it belongs in the store, so a user who never chose a rest
    // keeps the store as it was.
    if (app.edgeDelay != 0) app.edgeDelaySaved = true;
    if (app.edgeDelaySaved) all = writeSettingTo(root, EdgedelayValue, app.edgeDelay) && all;
    return writeSettingTo(root, HotkeysValue, app.hotkeys) && all;
}

}  // namespace

DWORD readSetting(const char* name) { return readSettingFrom(settingsRoot(), name); }

// A failed write changes nothing and is not reported.
void writeSetting(const char* name, DWORD value) { writeSettingTo(settingsRoot(), name, value); }

// A per-user copy exists only where the machine's key could not be written,
// and then holds the user's latest choices: it wins whenever it has the
// probe. "xpos" doubles as the probe: without it nothing else is read, and
// only `flags` and the shortcuts leave their initial values. Otherwise a
// missing value becomes a default only for "keycheck" and "hotkeys"; the
// others take the missing value as read. "hotkeys" came later than the
// rest: a store from before it, or one that holds something else under the
// name, gets the default shortcuts.
void loadSettings() {
    app.userSettings = readSettingFrom(HKEY_CURRENT_USER, XposValue) != SettingMissing;
    app.hotkeys = DefaultHotkeys;
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
    const DWORD hotkeys = readSettingFrom(settingsRoot(), HotkeysValue, true);
    if (hotkeys != SettingMissing) app.hotkeys = hotkeys;
    loadDesktopSettings();
    const DWORD edgeDelay = readSettingFrom(settingsRoot(), EdgedelayValue, true);
    app.edgeDelaySaved = edgeDelay != SettingMissing;
    if (app.edgeDelaySaved) app.edgeDelay = edgeDelay;
}

// A user who may not write the machine's key (a standard user, or an
// administrator who did not elevate, of the 64-bit program) would otherwise
// lose every choice at the next start: every value goes to the per-user
// copy instead, so the next start reads them from one place.
void saveSettings() {
    if (saveSettingsTo(settingsRoot()) || app.userSettings) return;
    app.userSettings = true;
    saveSettingsTo(HKEY_CURRENT_USER);
}

namespace {

// The machine's Run key is opened, never created; the user's is the
// user's own, and a new profile may not have one yet.
LSTATUS openRunKey(HKEY root, REGSAM access, HKEY* key) {
    if (root == HKEY_CURRENT_USER && access == KEY_SET_VALUE) {
        return reg::RegCreateKeyExA(root, RunKey, REG_OPTION_NON_VOLATILE, access, key);
    }
    return reg::RegOpenKeyExA(root, RunKey, 0, access, key);
}

// The path is stored with its terminating NUL counted in the data length.
bool writeRunValueTo(HKEY root, const char* name, const char* path) {
    HKEY key = nullptr;
    if (openRunKey(root, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
    LSTATUS status = reg::RegSetValueExA(key, name, REG_SZ, reinterpret_cast<const BYTE*>(path),
                                         static_cast<DWORD>(std::strlen(path) + 1));
    reg::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// A value that is not there, or a Run key that is not there at all, leaves
// nothing to delete: the program will not start from it, which is what the
// caller asked for. Asking first keeps a standard user, who may not write
// the machine's Run key, from being refused over a value that is not there.
bool deleteRunValueFrom(HKEY root, const char* name) {
    HKEY key = nullptr;
    LSTATUS status = openRunKey(root, KEY_QUERY_VALUE, &key);
    if (status == ERROR_FILE_NOT_FOUND) return true;
    if (status == ERROR_SUCCESS) {
        DWORD size = 0;
        status = reg::RegQueryValueExA(key, name, nullptr, &size);
        reg::RegCloseKey(key);
        if (status == ERROR_FILE_NOT_FOUND) return true;
    }
    status = openRunKey(root, KEY_WRITE, &key);
    if (status != ERROR_SUCCESS) return status == ERROR_FILE_NOT_FOUND;
    status = reg::RegDeleteValueA(key, name);
    reg::RegCloseKey(key);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace

// Where the machine's Run key cannot be written (refused, or missing), the
// user's own Run key starts the program for this user alone.
bool writeRunValue(const char* name, const char* path) {
    return writeRunValueTo(HKEY_LOCAL_MACHINE, name, path) || writeRunValueTo(HKEY_CURRENT_USER, name, path);
}

// Either Run key may hold the value, whoever wrote it: both must lose it.
bool deleteRunValue(const char* name) {
    const bool machine = deleteRunValueFrom(HKEY_LOCAL_MACHINE, name);
    return deleteRunValueFrom(HKEY_CURRENT_USER, name) && machine;
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
