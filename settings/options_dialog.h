// The Options dialog: modeless, owned by the viewer, at most one at a time,
// with its pages on a tab control, "Option Keys", "Shortcuts", "Desktops",
// "Rules" and "About".
#pragma once

#include "app/app_state.h"

constexpr int OptionKeysTab = 0;
constexpr int ShortcutsTab = 1;
constexpr int DesktopsTab = 2;
constexpr int RulesTab = 3;
constexpr int AboutTab = 4;

void openOptionsDialog(int tab);
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OptionKeysPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The Shortcuts page, and its part of OK: the edited shortcuts go into
// force. commitShortcuts answers false when the dialog should stay open for
// reportShortcuts to say what they cannot have; discardShortcuts puts back
// those in force when the dialog opened.
INT_PTR CALLBACK ShortcutsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
bool commitShortcuts();
void reportShortcuts(HWND dialog);
void discardShortcuts();

// The Desktops page, and its part of OK: the names and what shows where the
// user is, taken into force before the settings are saved.
INT_PTR CALLBACK DesktopsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void commitDesktops();

// The Rules page, and its part of OK: the list is written and read again.
INT_PTR CALLBACK RulesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void commitRules();

// The About page and the window procedure of its two links.
INT_PTR CALLBACK AboutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK HyperlinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam);

// The pages paint no background of their own, so the tab control's body
// shows through them: WM_ERASEBKGND and WM_CTLCOLORSTATIC answers.
INT_PTR eraseNoBackground(HWND page);
INT_PTR noBackgroundBrush(LPARAM control);
// Both, for a page procedure's other messages.
INT_PTR pageBackground(HWND page, UINT message, LPARAM lParam);
