// The Options dialog.
#include "settings/options_dialog.h"

namespace {

constexpr char OptionsTemplate[] = "OPTIONSTab";

}  // namespace

// Asking again replaces the open dialog with a fresh one on the requested
// tab; the open one closes as if cancelled, so nothing it held is committed.
void openOptionsDialog(int tab) {
    app.optionsTab = tab;
    if (app.optionsDialog != nullptr) SendMessageA(app.optionsDialog, WM_CLOSE, 0, 0);
    app.optionsDialog = CreateDialogParamA(app.instance, OptionsTemplate, app.viewerWindow, OptionsDialogProc, 0);
}

// The dialog's pages arrive with the Options dialog itself; until its
// template exists, CreateDialogParamA finds none and nothing opens.
INT_PTR CALLBACK OptionsDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
