// The keyboard shortcuts, registered with the system for the viewer.
#include "viewer/hotkeys.h"

#include "desktops/desktops.h"
#include "desktops/window_system.h"
#include "viewer/desktop_cues.h"
#include "viewer/triggers.h"

namespace {

// MOD_NOREPEAT, which the headers give only from Windows 7 on: Vista, the
// oldest Windows Panorel runs on, does not support it.
constexpr UINT NoRepeatModifier = 0x4000;

enum class HotkeyAction : BYTE { Previous, Next, Switch, Move, EveryDesktop };

struct Shortcut {
    BYTE virtualKey;
    BYTE group;
    HotkeyAction action;
    BYTE desktop;  // for Switch and Move
    const char* keyName;
};

// The hot key id of a row is its index + 1.
const Shortcut ShortcutTable[] = {
    {VK_LEFT, SwitchGroup, HotkeyAction::Previous, 0, "Left"},
    {VK_RIGHT, SwitchGroup, HotkeyAction::Next, 0, "Right"},
    {'1', SwitchGroup, HotkeyAction::Switch, 1, "1"},
    {'2', SwitchGroup, HotkeyAction::Switch, 2, "2"},
    {'3', SwitchGroup, HotkeyAction::Switch, 3, "3"},
    {'4', SwitchGroup, HotkeyAction::Switch, 4, "4"},
    {'1', MoveGroup, HotkeyAction::Move, 1, "1"},
    {'2', MoveGroup, HotkeyAction::Move, 2, "2"},
    {'3', MoveGroup, HotkeyAction::Move, 3, "3"},
    {'4', MoveGroup, HotkeyAction::Move, 4, "4"},
    {'0', MoveGroup, HotkeyAction::EveryDesktop, 0, "0"},
};
constexpr unsigned ShortcutCount = sizeof ShortcutTable / sizeof ShortcutTable[0];
static_assert(ShortcutCount <= 32, "one bit of refusedHotkeys a shortcut");

const char* const GroupNames[HotkeyGroupCount] = {"Switching", "Moving"};

// In the order a user reads them in a combination.
struct ModifierName {
    DWORD modifier;
    const char* name;
};
const ModifierName ModifierNames[] = {{MOD_CONTROL, "Ctrl"}, {MOD_ALT, "Alt"}, {MOD_SHIFT, "Shift"}, {MOD_WIN, "Win"}};

constexpr char RefusedOpening[] = "Not registered, in use by Windows or another program: ";
constexpr char TypesTextMiddle[] = " is off: ";
constexpr char TypesTextClosing[] = " with a digit types text on many keyboards.";
constexpr char ClashOpening[] = "Both rows have ";
constexpr char ClashClosing[] = " switch desktops and do not move a window.";
constexpr char Separator[] = ", ";
constexpr char LineBreak[] = "\n";

int hotkeyId(unsigned row) { return static_cast<int>(row + 1); }

DWORD rowModifiers(DWORD hotkeys, unsigned row) { return usableModifiers(hotkeys, ShortcutTable[row].group); }

// Panorel's own rows clash when both groups have the same modifiers: the
// switch digits come first and have them.
bool heldByEarlierRow(DWORD hotkeys, unsigned row) {
    const DWORD modifiers = rowModifiers(hotkeys, row);
    for (unsigned earlier = 0; earlier < row; ++earlier) {
        if (ShortcutTable[earlier].virtualKey == ShortcutTable[row].virtualKey &&
            rowModifiers(hotkeys, earlier) == modifiers) {
            return true;
        }
    }
    return false;
}

// Copies as much as fits, always leaving the text terminated.
char* append(char* at, const char* end, const char* part) {
    while (*part != '\0' && at + 1 < end) *at++ = *part++;
    *at = '\0';
    return at;
}

char* appendModifiers(char* at, const char* end, DWORD modifiers, const char* between) {
    bool first = true;
    for (const ModifierName& m : ModifierNames) {
        if ((modifiers & m.modifier) == 0) continue;
        if (!first) at = append(at, end, between);
        at = append(at, end, m.name);
        first = false;
    }
    return at;
}

char* startSentence(char* at, char* text, const char* end) { return at == text ? at : append(at, end, LineBreak); }

char* describeTypingGroups(char* at, char* text, const char* end, DWORD hotkeys) {
    for (unsigned group = 0; group < HotkeyGroupCount; ++group) {
        const DWORD modifiers = groupModifiers(hotkeys, group);
        if (modifiers == 0 || !typesText(modifiers)) continue;
        at = startSentence(at, text, end);
        at = append(at, end, GroupNames[group]);
        at = append(at, end, TypesTextMiddle);
        at = appendModifiers(at, end, modifiers, "+");
        at = append(at, end, TypesTextClosing);
    }
    return at;
}

char* describeClash(char* at, char* text, const char* end, DWORD hotkeys) {
    bool named = false;
    for (unsigned row = 0; row < ShortcutCount; ++row) {
        if (rowModifiers(hotkeys, row) == 0 || !heldByEarlierRow(hotkeys, row)) continue;
        if (!named) {
            at = startSentence(at, text, end);
            at = append(at, end, ClashOpening);
            at = appendModifiers(at, end, rowModifiers(hotkeys, row), "+");
            at = append(at, end, ": ");
        } else {
            at = append(at, end, Separator);
        }
        at = append(at, end, ShortcutTable[row].keyName);
        named = true;
    }
    return named ? append(at, end, ClashClosing) : at;
}

// Only the rows whose group still asks for the modifiers they were refused
// with: a choice being edited may have moved on.
char* describeRefused(char* at, char* text, const char* end, DWORD hotkeys) {
    bool named = false;
    for (unsigned row = 0; row < ShortcutCount; ++row) {
        const DWORD modifiers = rowModifiers(app.hotkeys, row);
        if ((app.refusedHotkeys & (1u << row)) == 0 || rowModifiers(hotkeys, row) != modifiers) continue;
        if (!named) {
            at = startSentence(at, text, end);
            at = append(at, end, RefusedOpening);
        } else {
            at = append(at, end, Separator);
        }
        at = appendModifiers(at, end, modifiers, "+");
        at = append(at, end, "+");
        at = append(at, end, ShortcutTable[row].keyName);
        named = true;
    }
    return at;
}

}  // namespace

// Every combination is given back before any is asked for: a new choice may
// give one group the keys the other had. Where the no-repeat modifier is not
// supported, a second try goes without it: a held key then repeats the
// shortcut, which beats having none.
void registerHotkeys(HWND viewer) {
    for (unsigned row = 0; row < ShortcutCount; ++row) ws::UnregisterHotKey(viewer, hotkeyId(row));
    app.refusedHotkeys = 0;
    for (unsigned row = 0; row < ShortcutCount; ++row) {
        const UINT modifiers = rowModifiers(app.hotkeys, row);
        if (modifiers == 0 || heldByEarlierRow(app.hotkeys, row)) continue;
        const UINT key = ShortcutTable[row].virtualKey;
        if (!ws::RegisterHotKey(viewer, hotkeyId(row), modifiers | NoRepeatModifier, key) &&
            !ws::RegisterHotKey(viewer, hotkeyId(row), modifiers, key)) {
            app.refusedHotkeys |= 1u << row;
        }
    }
}

// A shortcut pressed while a switch waits for another program runs once the
// switch is over, as a command does.
void onHotkey(HWND viewer, WPARAM id) {
    if (id == 0 || id > ShortcutCount) return;
    if (operationUnderWay()) {
        ws::PostMessageA(viewer, WM_HOTKEY, id, 0);
        return;
    }
    const Shortcut& shortcut = ShortcutTable[id - 1];
    const DesktopId from = app.currentDesktop;
    switch (shortcut.action) {
    case HotkeyAction::Previous:
        switchDesktopByKeyboard(previousDesktop(app.currentDesktop));
        break;
    case HotkeyAction::Next:
        switchDesktopByKeyboard(nextDesktop(app.currentDesktop));
        break;
    case HotkeyAction::Switch:
        switchDesktopByKeyboard(shortcut.desktop);
        break;
    case HotkeyAction::Move:
        moveForegroundWindow(shortcut.desktop);
        break;
    case HotkeyAction::EveryDesktop:
        toggleForegroundOnEveryDesktop();
        break;
    }
    announceSwitch(from);
}

void describeShortcuts(DWORD hotkeys, char (&text)[ShortcutsTextBytes]) {
    const char* end = text + sizeof text;
    char* at = text;
    *at = '\0';
    at = describeTypingGroups(at, text, end, hotkeys);
    at = describeClash(at, text, end, hotkeys);
    describeRefused(at, text, end, hotkeys);
}
