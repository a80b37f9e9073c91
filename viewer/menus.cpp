// The tray menu and the viewer menu, built once at start-up.
#include "viewer/viewer.h"

namespace {

constexpr UINT_PTR GrayedLabelId = static_cast<UINT_PTR>(-1);

void appendItem(HMENU menu, UINT_PTR id, const char* text) { AppendMenuA(menu, MF_STRING, id, text); }
void appendSubmenu(HMENU menu, HMENU submenu, const char* text) {
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), text);
}
void appendSeparator(HMENU menu) { AppendMenuA(menu, MF_SEPARATOR, 0, nullptr); }

}  // namespace

void buildMenus() {
    app.gotoMenu = CreatePopupMenu();
    static const char* const Digits[DesktopCount] = {"1", "2", "3", "4"};
    for (DesktopId d = 1; d <= DesktopCount; ++d) appendItem(app.gotoMenu, GotoFirstId - 1 + d, Digits[d - 1]);
    CheckMenuItem(app.gotoMenu, GotoFirstId, MF_BYCOMMAND | MF_CHECKED);

    app.trayMenu = CreatePopupMenu();
    appendSubmenu(app.trayMenu, app.gotoMenu, "Goto Desktop");
    appendItem(app.trayMenu, ShowViewerId, "Show Desktop Viewer");
    appendItem(app.trayMenu, AboutId, "About");
    appendSeparator(app.trayMenu);
    appendItem(app.trayMenu, ExitId, "Exit");

    app.recallMenu = CreatePopupMenu();

    // The label names the current desktop; grayed, it never sends a command.
    app.viewerMenu = CreatePopupMenu();
    AppendMenuA(app.viewerMenu, MF_STRING | MF_GRAYED, GrayedLabelId, app.desktopLabel);
    appendSubmenu(app.viewerMenu, app.recallMenu, "Show Window");
    appendItem(app.viewerMenu, HideViewerId, "Hide Desktop Viewer");
    appendItem(app.viewerMenu, OptionsId, "Options");
    appendItem(app.viewerMenu, AboutId, "About");
    appendItem(app.viewerMenu, HelpId, "Help");
    appendSeparator(app.viewerMenu);
    appendItem(app.viewerMenu, ExitId, "Exit");
}
