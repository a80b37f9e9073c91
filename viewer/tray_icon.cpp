// The notification-area icon.
#include "desktops/desktops.h"
#include "viewer/viewer.h"

#include <shellapi.h>

namespace {

constexpr WORD AppIconId = 5;
constexpr char TrayTip[] = "Change Panorel";

// The shell broadcasts this when it (re)creates the taskbar; icons added
// before then are gone and must be added again.
UINT taskbarCreatedMessage = 0;

}  // namespace

#ifndef _WIN64
static_assert(sizeof(NOTIFYICONDATAA) == 508, "the complete ANSI record, up to hBalloonIcon");
#endif

void addTrayIcon() {
    NOTIFYICONDATAA& icon = app.trayIconData;
    icon.cbSize = sizeof icon;
    icon.hWnd = app.viewerWindow;
    icon.uID = TrayIconId;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = TrayNotifyMessage;
    app.programIcon = LoadIconA(app.instance, MAKEINTRESOURCEA(AppIconId));
    icon.hIcon = app.programIcon;
    lstrcpynA(icon.szTip, TrayTip, sizeof icon.szTip);
    Shell_NotifyIconA(NIM_ADD, &icon);

    taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    // An elevated Panorel (it may write the machine's Run key) would otherwise
    // never hear from a shell running at a lower integrity level.
    ChangeWindowMessageFilter(taskbarCreatedMessage, MSGFLT_ADD);
}

bool isTaskbarCreated(UINT message) { return message != 0 && message == taskbarCreatedMessage; }

// The new taskbar may be at another scaling: the digit is drawn for it.
void readdTrayIcon() {
    makeTrayDigitIcons();
    fillTrayPicture();
    Shell_NotifyIconA(NIM_ADD, &app.trayIconData);
}

// Only a right-button press on our icon opens the menu, at once, before the
// button is released. The viewer must be foreground for the menu to close
// when the user clicks elsewhere, and the posted WM_NULL lets the menu's
// loop end cleanly. The choice is run here rather than posted as WM_COMMAND,
// which the viewer does not take as "Exit" (Enter sends that too). The
// shell's callback also arrives while a switch waits for another program; a
// menu opened there would run its own message loop, and the edge poll with
// it, inside the switch.
// A left click (on its release, as the shell's own icons) opens "Goto
// Desktop" alone, the quickest way to a desktop by mouse.
void onTrayNotify(HWND viewer, WPARAM iconId, LPARAM mouseMessage) {
    if (operationUnderWay()) return;
    if (iconId != TrayIconId) return;
    HMENU menu;
    if (LOWORD(mouseMessage) == WM_RBUTTONDOWN) {
        menu = app.trayMenu;
    } else if (LOWORD(mouseMessage) == WM_LBUTTONUP) {
        menu = app.gotoMenu;
    } else {
        return;
    }
    SetForegroundWindow(viewer);
    POINT at;
    GetCursorPos(&at);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RIGHTALIGN | TPM_RETURNCMD, at.x, at.y, 0, viewer, nullptr));
    PostMessageA(viewer, WM_NULL, 0, 0);
    if (chosen != 0) runMenuCommand(viewer, static_cast<WORD>(chosen));
}
