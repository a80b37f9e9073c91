// The Options dialog: modeless, owned by the viewer, at most one at a time.
#pragma once

#include "app/app_state.h"

constexpr int OptionKeysTab = 0;
constexpr int AboutTab = 1;

void openOptionsDialog(int tab);
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
