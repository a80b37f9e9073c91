// The keyboard shortcuts: system-wide hot keys of the viewer, in two groups
// that each take the modifiers the user chose for it.
#pragma once

#include "app/app_state.h"

// The layout of "hotkeys" (app.hotkeys): a byte of modifiers for each group,
// as RegisterHotKey takes them (MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4,
// MOD_WIN 8): bits 0-7 switching, bits 8-15 moving. A group without any of
// the four is off. The upper four bits of each byte, and bits 16-31, mean
// nothing and are kept as they are.
constexpr unsigned SwitchGroup = 0;
constexpr unsigned MoveGroup = 1;
constexpr unsigned HotkeyGroupCount = 2;
constexpr unsigned HotkeyGroupShift = 8;
constexpr DWORD HotkeyModifierMask = 0x0F;

constexpr DWORD groupModifiers(DWORD hotkeys, unsigned group) {
    return (hotkeys >> (HotkeyGroupShift * group)) & HotkeyModifierMask;
}

// Takes back every shortcut held and registers those app.hotkeys asks for,
// each on its own: one that Windows or another program holds is noted in
// app.refusedHotkeys and stops none of the others.
void registerHotkeys(HWND viewer);
// WM_HOTKEY: runs the shortcut's operation.
void onHotkey(HWND viewer, WPARAM id);

// Room for every combination named, with the line's opening words.
constexpr unsigned RefusedHotkeysTextBytes = 400;
// The line that names the combinations refused at the last registration;
// empty when there are none.
void describeRefusedHotkeys(char (&text)[RefusedHotkeysTextBytes]);
