// The window rules' store. Administrators deploy rules with a .reg file, so
// values written by hand are as good as the tab's own.
#include "settings/rules_store.h"

#include "settings/registry.h"
#include "settings/settings.h"

#include <cstring>

namespace {

constexpr char FieldSeparator = '|';
constexpr unsigned RuleFieldCount = 4;
constexpr char EveryDesktopWord[] = "all";
constexpr char UnmanagedWord[] = "none";

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameWord(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (lowerAscii(*a) != lowerAscii(*b)) return false;
    }
    return *a == *b;
}

// Names compare as the registry compares them, ignoring case.
int compareNames(const char* a, const char* b) {
    for (; *a != '\0' && lowerAscii(*a) == lowerAscii(*b); ++a, ++b) {
    }
    return static_cast<unsigned char>(lowerAscii(*a)) - static_cast<unsigned char>(lowerAscii(*b));
}

bool parsePlace(const char* where, WindowRule& rule) {
    if (where[0] >= '1' && where[0] < static_cast<char>('1' + DesktopCount) && where[1] == '\0') {
        rule.place = RulePlace::Desktop;
        rule.desktop = static_cast<DesktopId>(where[0] - '0');
        return true;
    }
    if (sameWord(where, EveryDesktopWord)) {
        rule.place = RulePlace::EveryDesktop;
        return true;
    }
    rule.place = RulePlace::Unmanaged;
    return sameWord(where, UnmanagedWord);
}

// The value with its name in name order among those taken, the last one
// dropped when there are too many.
void takeInOrder(const char* name, const WindowRule& rule) {
    unsigned at = 0;
    while (at < app.windowRuleCount && compareNames(app.windowRules[at].name, name) <= 0) ++at;
    if (at == MaxWindowRules) return;
    const unsigned last = app.windowRuleCount < MaxWindowRules ? app.windowRuleCount : MaxWindowRules - 1;
    for (unsigned i = last; i > at; --i) app.windowRules[i] = app.windowRules[i - 1];
    app.windowRules[at] = rule;
    std::memcpy(app.windowRules[at].name, name, std::strlen(name) + 1);
    if (app.windowRuleCount < MaxWindowRules) ++app.windowRuleCount;
}

}  // namespace

bool parseWindowRule(const char* data, DWORD size, WindowRule& rule) {
    const DWORD length = size > 0 && data[size - 1] == '\0' ? size - 1 : size;
    if (length > WindowRuleCharacters || std::memchr(data, '\0', length) != nullptr) return false;
    std::memcpy(rule.fields, data, length);
    rule.fields[length] = '\0';
    unsigned starts[RuleFieldCount] = {};
    unsigned found = 1;
    for (unsigned i = 0; i < length; ++i) {
        if (rule.fields[i] != FieldSeparator) continue;
        if (found == RuleFieldCount) return false;
        rule.fields[i] = '\0';
        starts[found++] = i + 1;
    }
    if (found != RuleFieldCount) return false;
    rule.classAt = static_cast<unsigned short>(starts[1]);
    rule.titleAt = static_cast<unsigned short>(starts[2]);
    if (starts[3] == RuleFieldCount - 1) return false;  // three empty fields match every window
    return parsePlace(rule.fields + starts[3], rule);
}

namespace {

constexpr unsigned RuleValueNameBytes = 3;

void ruleValueName(unsigned position, char (&name)[RuleValueNameBytes]) {
    name[0] = static_cast<char>('0' + position / 10);
    name[1] = static_cast<char>('0' + position % 10);
    name[2] = '\0';
}

// Whether a value of that name is there: once the rules are deleted, only a
// value that was never taken as a rule, kept as it was stored.
bool valueTaken(HKEY key, const char* name) {
    DWORD size = 0;
    return reg::RegQueryValueExA(key, name, nullptr, nullptr, &size) == ERROR_SUCCESS;
}

// Rule numbers past the rules themselves, for the names a kept value holds.
constexpr unsigned LastRuleNumber = 99;

}  // namespace

bool saveWindowRules(const char* const* texts, unsigned count) {
    HKEY key = nullptr;
    const HKEY root = app.userSettings ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    if (reg::RegCreateKeyExA(root, RulesKey, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    bool all = true;
    for (unsigned i = 0; i < app.windowRuleCount; ++i) reg::RegDeleteValueA(key, app.windowRules[i].name);
    unsigned number = 0;
    for (unsigned i = 0; i < count && i < MaxWindowRules; ++i) {
        char name[RuleValueNameBytes];
        do ruleValueName(++number, name);
        while (valueTaken(key, name) && number < LastRuleNumber);
        const LSTATUS status = reg::RegSetValueExA(key, name, REG_SZ, reinterpret_cast<const BYTE*>(texts[i]),
                                                   static_cast<DWORD>(std::strlen(texts[i]) + 1));
        all = status == ERROR_SUCCESS && all;
    }
    reg::RegCloseKey(key);
    loadWindowRules();
    return all;
}

// The key is only read: a store that never had rules keeps no trace.
void loadWindowRules() {
    app.windowRuleCount = 0;
    app.windowRulesNotUnderstood = 0;
    HKEY key = nullptr;
    const HKEY root = app.userSettings ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    if (reg::RegOpenKeyExA(root, RulesKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    static WindowRule rule;
    for (DWORD index = 0;; ++index) {
        char name[RuleNameBytes];
        char data[WindowRuleCharacters + 1];
        DWORD nameSize = sizeof name;
        DWORD dataSize = sizeof data;
        DWORD type = REG_NONE;
        const LSTATUS status = reg::RegEnumValueA(key, index, name, &nameSize, &type,
                                                  reinterpret_cast<BYTE*>(data), &dataSize);
        if (status == ERROR_MORE_DATA) {
            ++app.windowRulesNotUnderstood;
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        if (type == REG_SZ && parseWindowRule(data, dataSize, rule)) {
            takeInOrder(name, rule);
        } else {
            ++app.windowRulesNotUnderstood;
        }
    }
    reg::RegCloseKey(key);
}
