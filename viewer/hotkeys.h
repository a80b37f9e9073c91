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

// Whether the modifiers with a digit would type a character on common
// keyboard layouts, so a shortcut would take it from every program: Shift
// alone ("!@#$)" on a US keyboard), and Ctrl+Alt with or without Shift,
// which Windows treats as AltGr ("@#{~" on a French keyboard, "²³" on a
// German one). Win makes any combination safe: no layout types with it.
constexpr bool typesText(DWORD modifiers) {
    constexpr DWORD AltGr = MOD_CONTROL | MOD_ALT;
    if ((modifiers & MOD_WIN) != 0) return false;
    return modifiers == MOD_SHIFT || (modifiers & AltGr) == AltGr;
}

// The modifiers a group registers with: none when it is off, or when they
// would take keys that type text. The stored value is kept as it is.
constexpr DWORD usableModifiers(DWORD hotkeys, unsigned group) {
    return typesText(groupModifiers(hotkeys, group)) ? 0 : groupModifiers(hotkeys, group);
}

// Takes back every shortcut held, then registers those app.hotkeys asks
// for, each on its own: one that Windows or another program holds is noted
// in app.refusedHotkeys and stops none of the others. Of two rows asking
// for the same combination (both groups with the same modifiers) the first
// has it and the second is not asked for.
void registerHotkeys(HWND viewer);
// WM_HOTKEY: runs the shortcut's operation.
void onHotkey(HWND viewer, WPARAM id);

// Room for every sentence, every combination named.
constexpr unsigned ShortcutsTextBytes = 512;
// What the modifiers asked for cannot have, one sentence a line: a group
// that would take typing, a clash between the two groups, and the
// combinations refused at the last registration where `hotkeys` still asks
// for them. Empty when there is nothing to say.
void describeShortcuts(DWORD hotkeys, char (&text)[ShortcutsTextBytes]);
