// The settings store: seven REG_DWORD values, and those a user has chosen
// since (the edge's rest, the desktops' names and what shows them), under
// the program's own key of the local machine, or of the user where the
// machine's cannot be written, read once at start-up and written only on
// the Options dialog's OK; and the value under a Run key that starts the
// program with Windows.
#pragma once

#include "app/app_state.h"

// Both keys live under HKEY_LOCAL_MACHINE, and under HKEY_CURRENT_USER for
// a user who may not write the machine's.
constexpr char SettingsKey[] = "Software\\Panorel";
constexpr char RunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char RunValueName[] = "progman";

// What readSetting answers for a value it cannot read. A stored 0xFFFFFFFF
// is indistinguishable from a missing value.
constexpr DWORD SettingMissing = 0xFFFFFFFF;

// `flags` after a start with nothing stored; bit 0x1000 is the only one with
// a meaning, the others are carried and written back.
constexpr DWORD NoSettingsFlags = 127;
constexpr DWORD StartWithWindowsFlag = 0x1000;
// Left Ctrl alone, all-keys mode: the key mask when "keycheck" is missing.
constexpr DWORD DefaultKeyMask = 0x01;
// Ctrl+Alt+Win for the switch shortcuts, none for the others (viewer/hotkeys.h
// gives the layout): the shortcuts when "hotkeys" is missing.
constexpr DWORD DefaultHotkeys = 0x0000000B;
// The longest rest at an edge a stored "edgedelay" may ask for; a longer
// one means none.
constexpr DWORD LongestEdgeDelayMs = 1000;
constexpr DWORD edgeRestMs(DWORD stored) { return stored <= LongestEdgeDelayMs ? stored : 0; }

DWORD readSetting(const char* name);
void writeSetting(const char* name, DWORD value);
void loadSettings();
void saveSettings();

// Both answer whether the Run keys now say what the caller asked for: the
// machine's where it can be written, else the user's; a delete clears both.
bool writeRunValue(const char* name, const char* path);
bool deleteRunValue(const char* name);

// The buffer the program's own path is read into, and the most the Run value
// may hold, its NUL included.
constexpr unsigned RunCommandBytes = 255;

// What the Run value holds to start the program at `path`: the path, in
// quotes when it contains a space, since Windows would otherwise try each
// space-separated prefix of it as a program of its own. False, with nothing
// usable in `command`, for an empty path, one whose command would not fit,
// or one with '?' (a character the ANSI code page could not hold).
bool makeRunCommand(const char* path, char (&command)[RunCommandBytes]);

// "Start with Windows" flipped by the user: the Run entry follows the new
// choice at once. When it cannot (no path, no right to the Run key), `flags`
// keeps the old choice, so nothing claims a start-up that is not in force.
// `programPath` is empty when the program's own path is unknown. Answers
// whether the choice is now on.
bool toggleStartWithWindows(const char* programPath);
