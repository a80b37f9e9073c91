// Window rules: where a program's windows go the first time Panorel sees
// them. A rule acts once on a window, so a window the user has placed, or
// whose title changed since, is never taken back; and only a window without
// an owner is matched, its dialogs standing with it.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

#include <cstring>

namespace {

constexpr DWORD ImagePathCharacters = 1024;
constexpr int ClassNameBytes = 257;  // the longest class name, and its NUL
constexpr int TitleBytes = WindowRuleCharacters + 1;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
WCHAR lowerAscii(WCHAR c) { return c >= L'A' && c <= L'Z' ? static_cast<WCHAR>(c - L'A' + L'a') : c; }

// Text from the rule against text from the window, ignoring the case of
// ASCII letters; a rule's byte matches only the same character.
template <typename Char>
bool sameText(const char* rule, const Char* text) {
    for (; *rule != '\0' && *text != 0; ++rule, ++text) {
        if (static_cast<WCHAR>(lowerAscii(*rule)) != static_cast<WCHAR>(lowerAscii(*text))) return false;
    }
    return *rule == '\0' && *text == 0;
}

bool containsText(const char* text, const char* piece) {
    const std::size_t length = std::strlen(piece);
    for (; *text != '\0'; ++text) {
        if (std::strlen(text) < length) return false;
        bool same = true;
        for (std::size_t i = 0; same && i < length; ++i) same = lowerAscii(text[i]) == lowerAscii(piece[i]);
        if (same) return true;
    }
    return length == 0;
}

// What a window is matched by, each asked of the system only when a rule
// needs it and only once.
struct WindowFacts {
    HWND window;
    DWORD processId;
    bool haveProgram, haveClass, haveTitle;
    WCHAR program[ImagePathCharacters];
    const WCHAR* programName;
    char className[ClassNameBytes];
    char title[TitleBytes];
};

// The file name of the process's image; none where the process cannot be
// asked (gone, or protected), and then no program rule matches.
void readProgram(WindowFacts& facts) {
    facts.haveProgram = true;
    facts.program[0] = 0;
    facts.programName = facts.program;
    HANDLE process = ws::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, facts.processId);
    if (process == nullptr) return;
    DWORD size = ImagePathCharacters;
    if (ws::QueryFullProcessImageNameW(process, 0, facts.program, &size) == FALSE) facts.program[0] = 0;
    ws::CloseHandle(process);
    for (const WCHAR* at = facts.program; *at != 0; ++at) {
        if (*at == L'\\' || *at == L'/') facts.programName = at + 1;
    }
}

bool programMatches(const char* program, WindowFacts& facts) {
    if (*program == '\0') return true;
    if (!facts.haveProgram) readProgram(facts);
    return facts.programName[0] != 0 && sameText(program, facts.programName);
}

bool classMatches(const char* className, WindowFacts& facts) {
    if (*className == '\0') return true;
    if (!facts.haveClass && ws::GetClassNameA(facts.window, facts.className, ClassNameBytes) == 0) {
        facts.className[0] = '\0';
    }
    facts.haveClass = true;
    return facts.className[0] != '\0' && sameText(className, facts.className);
}

bool titleMatches(const char* piece, WindowFacts& facts) {
    if (*piece == '\0') return true;
    if (!facts.haveTitle && ws::GetWindowTextA(facts.window, facts.title, TitleBytes) == 0) facts.title[0] = '\0';
    facts.haveTitle = true;
    return containsText(facts.title, piece);
}

const WindowRule* firstMatchingRule(WindowFacts& facts) {
    for (unsigned i = 0; i < app.windowRuleCount; ++i) {
        const WindowRule& rule = app.windowRules[i];
        if (programMatches(rule.fields, facts) && classMatches(rule.fields + rule.classAt, facts) &&
            titleMatches(rule.fields + rule.titleAt, facts)) {
            return &rule;
        }
    }
    return nullptr;
}

SeenWindow* seenEntry(HWND window, WindowOwner owner) {
    for (SeenWindow& entry : app.seenWindows) {
        if (entry.window == window && sameOwner(entry.owner, owner)) return &entry;
    }
    return nullptr;
}

// A place in the table: a free one, or one whose window has gone. When
// every window in it still lives, none: the rules then leave the window
// alone, rather than act twice on an older one.
SeenWindow* newSeenEntry(HWND window, WindowOwner owner) {
    SeenWindow* free = nullptr;
    for (SeenWindow& entry : app.seenWindows) {
        if (entry.window == window || (free == nullptr && entry.window == nullptr)) free = &entry;
    }
    for (SeenWindow& entry : app.seenWindows) {
        if (free != nullptr) break;
        if (!stillOwnedBy(entry.window, entry.owner)) free = &entry;
    }
    if (free != nullptr) *free = SeenWindow{window, owner, false};
    return free;
}

bool takeEveryDesktopEntry(HWND window, WindowOwner owner) {
    for (EveryDesktopWindow& entry : app.everyDesktopWindows) {
        if (entry.window != nullptr) continue;
        unfileWindow(window);
        entry = EveryDesktopWindow{window, owner};
        return true;
    }
    return false;
}

// The slots filed under other desktops by this look, to be hidden together.
struct RuleLook {
    unsigned slots[SlotsPerDesktop];
    unsigned count;
    bool changed;
    HWND firstSent;
};

void act(const WindowRule& rule, HWND window, WindowOwner owner, SeenWindow& entry, RuleLook& look) {
    if (rule.place == RulePlace::Unmanaged) {
        entry.unmanaged = true;
    } else if (rule.place == RulePlace::EveryDesktop) {
        look.changed = takeEveryDesktopEntry(window, owner) || look.changed;
    } else if (rule.desktop != app.currentDesktop) {
        const unsigned slot = firstFreeSlot(rule.desktop);
        if (slot == NoSlot) return;
        fileWindow(slot, window, owner);
        if (look.count == 0) look.firstSent = window;
        look.slots[look.count++] = slot;
        look.changed = true;
    }
}

// A window already filed or on every desktop was placed before any rule
// looked at it: it stays where it is.
BOOL CALLBACK lookAtWindow(HWND w, LPARAM parameter) {
    RuleLook& look = *reinterpret_cast<RuleLook*>(parameter);
    WindowOwner owner;
    if (!isFileable(w, owner) || groupRoot(w) != w || seenEntry(w, owner) != nullptr) return TRUE;
    SeenWindow* entry = newSeenEntry(w, owner);
    if (entry == nullptr || isOnEveryDesktop(w, owner) || slotHolding(w) != NoSlot) return TRUE;
    static WindowFacts facts;
    facts.window = w;
    facts.processId = owner.processId;
    facts.haveProgram = facts.haveClass = facts.haveTitle = false;
    const WindowRule* rule = firstMatchingRule(facts);
    if (rule != nullptr) act(*rule, w, owner, *entry, look);
    return look.count < SlotsPerDesktop ? TRUE : FALSE;
}

}  // namespace

// One snapshot of the stacking order. What goes to another desktop is on
// the record before the first window goes, as a switch does it, and its
// dialogs go with it.
HWND applyWindowRules() {
    if (app.windowRuleCount == 0 || app.sessionEnding) return nullptr;
    RuleLook look{{}, 0, false, nullptr};
    ws::EnumWindows(lookAtWindow, reinterpret_cast<LPARAM>(&look));
    if (!look.changed) return nullptr;
    beginOperation();
    for (unsigned i = 0; i < look.count; ++i) markAboutToPark(look.slots[i]);
    writeParkedRecord();
    for (unsigned i = 0; i < look.count; ++i) parkSlot(look.slots[i]);
    parkMembersOfParkedWindows();
    rebuildRecallMenu();
    writeParkedRecord();
    endOperation();
    return look.firstSent;
}

HWND lookForNewWindows() { return operationMayStart() ? applyWindowRules() : nullptr; }

void markPlacedByUser(HWND window, WindowOwner owner) {
    if (app.windowRuleCount == 0 || window == nullptr) return;
    SeenWindow* entry = seenEntry(window, owner);
    if (entry == nullptr) entry = newSeenEntry(window, owner);
    if (entry != nullptr) entry->unmanaged = false;
}

bool leftAloneByRules(HWND window) {
    if (app.windowRuleCount == 0) return false;
    HWND root = groupRoot(window);
    WindowOwner owner;
    owner.threadId = ws::GetWindowThreadProcessId(root, &owner.processId);
    const SeenWindow* entry = seenEntry(root, owner);
    return entry != nullptr && entry->unmanaged;
}
