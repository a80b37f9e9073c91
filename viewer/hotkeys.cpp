// The keyboard shortcuts, registered with the system for the viewer.
#include "viewer/hotkeys.h"

#include "desktops/desktops.h"
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

// In the order a user reads them in a combination.
struct ModifierName {
    DWORD modifier;
    const char* name;
};
const ModifierName ModifierNames[] = {{MOD_CONTROL, "Ctrl+"}, {MOD_ALT, "Alt+"}, {MOD_SHIFT, "Shift+"}, {MOD_WIN, "Win+"}};

constexpr char RefusedOpening[] = "Not registered, in use by Windows or another program: ";
constexpr char Separator[] = ", ";

// Copies as much as fits, always leaving the text terminated.
char* append(char* at, const char* end, const char* part) {
    while (*part != '\0' && at + 1 < end) *at++ = *part++;
    *at = '\0';
    return at;
}

}  // namespace

// Where the no-repeat modifier is not supported, a second try goes without
// it: a held key then repeats the shortcut, which beats having none.
void registerHotkeys(HWND viewer) {
    app.refusedHotkeys = 0;
    for (unsigned row = 0; row < ShortcutCount; ++row) {
        const Shortcut& shortcut = ShortcutTable[row];
        const int id = static_cast<int>(row + 1);
        UnregisterHotKey(viewer, id);
        const UINT modifiers = groupModifiers(app.hotkeys, shortcut.group);
        if (modifiers == 0) continue;
        if (!RegisterHotKey(viewer, id, modifiers | NoRepeatModifier, shortcut.virtualKey) &&
            !RegisterHotKey(viewer, id, modifiers, shortcut.virtualKey)) {
            app.refusedHotkeys |= 1u << row;
        }
    }
}

// A shortcut pressed while a switch waits for another program runs once the
// switch is over, as a command does.
void onHotkey(HWND viewer, WPARAM id) {
    if (id == 0 || id > ShortcutCount) return;
    if (operationUnderWay()) {
        PostMessageA(viewer, WM_HOTKEY, id, 0);
        return;
    }
    const Shortcut& shortcut = ShortcutTable[id - 1];
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
}

void describeRefusedHotkeys(char (&text)[RefusedHotkeysTextBytes]) {
    const char* end = text + sizeof text;
    char* at = text;
    *at = '\0';
    for (unsigned row = 0; row < ShortcutCount; ++row) {
        if ((app.refusedHotkeys & (1u << row)) == 0) continue;
        at = append(at, end, at == text ? RefusedOpening : Separator);
        const DWORD modifiers = groupModifiers(app.hotkeys, ShortcutTable[row].group);
        for (const ModifierName& m : ModifierNames) {
            if ((modifiers & m.modifier) != 0) at = append(at, end, m.name);
        }
        at = append(at, end, ShortcutTable[row].keyName);
    }
}
