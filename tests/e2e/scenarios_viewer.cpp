// The viewer: placement, its menu, the tray icon and its menu, commands.
#include "e2e.h"
#include "panorel_ids.h"
#include "scenarios.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

using e2e::allVisible;
using e2e::check;
using e2e::noneVisible;

struct Running {
    e2e::Process panorel;
    HWND viewer;
};

Running startViewer() {
    Running r;
    r.panorel = e2e::startPanorel();
    r.viewer = e2e::waitViewer(r.panorel);
    check(r.viewer != nullptr, "the viewer appears");
    return r;
}

POINT centreOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND waitMenu(const e2e::Process& panorel, int nth = 0) {
    HWND menu = nullptr;
    e2e::waitUntil([&] { return (menu = e2e::openMenuOf(panorel, nth)) != nullptr; });
    return menu;
}

bool menuCloses(const e2e::Process& panorel) {
    return e2e::waitUntil([&] { return e2e::openMenuOf(panorel) == nullptr; });
}

// Chooses an item of an open menu by keyboard: `downs` presses of Down
// from the first item (separators are passed over), then Enter.
bool chooseItem(const e2e::Process& panorel, HWND menu, int downs) {
    if (menu == nullptr) return false;
    e2e::selectMenuItem(menu, downs);
    e2e::pressMenuKey(menu, VK_RETURN);
    return menuCloses(panorel);
}

// The right end of the taskbar, where Wine draws the tray's icons.
std::vector<COLORREF> trayStrip() {
    constexpr LONG StripWidth = 160;
    constexpr LONG StripHeight = 24;
    const LONG width = GetSystemMetrics(SM_CXSCREEN);
    const LONG height = GetSystemMetrics(SM_CYSCREEN);
    return e2e::screenPixels(RECT{width - StripWidth, height - StripHeight, width, height});
}

// The strip shows the digit's tile (the light one, on Wine's dark taskbar)
// once the shell has painted it, unchanged between two looks.
bool stripWithTile(std::vector<COLORREF>* strip, COLORREF tile = RGB(0xDD, 0xEA, 0xFF)) {
    constexpr long TilePixels = 40;
    *strip = trayStrip();
    return std::count(strip->begin(), strip->end(), tile) >= TilePixels && *strip == trayStrip();
}

// The user's taskbar turns light (or dark again), and Windows says so.
bool setLightTaskbar(HWND viewer, DWORD light) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LSTATUS status = RegSetValueExA(key, "SystemUsesLightTheme", 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&light), sizeof light);
    RegCloseKey(key);
    DWORD_PTR result = 0;
    return status == ERROR_SUCCESS &&
           SendMessageTimeoutA(viewer, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("ImmersiveColorSet"),
                               SMTO_NORMAL, e2e::DefaultDeadlineMs, &result) != 0;
}

// A left click on the tray icon opens "Goto Desktop" alone; `downs` presses
// of Down from its first item, then Enter.
bool gotoFromLeftClick(HWND viewer, const e2e::Process& panorel, int downs) {
    PostMessageA(viewer, TrayNotifyMessage, TrayIconId, WM_LBUTTONUP);
    HWND menu = waitMenu(panorel);
    if (menu == nullptr || e2e::openMenuOf(panorel, 1) != nullptr) return false;
    return chooseItem(panorel, menu, downs);
}

// The notice after a switch shows, then goes by itself within a second or so.
bool noticeComesAndGoes(const e2e::Process& panorel) {
    HWND notice = nullptr;
    const bool shown = e2e::waitUntil([&] {
        notice = e2e::windowOf(panorel, "PanorelNotice", "");
        return notice != nullptr && IsWindowVisible(notice);
    });
    return shown && e2e::waitUntil([&] { return !IsWindowVisible(notice); });
}

// Each item is clicked for at its own point of the viewer: two right clicks
// in one spot in quick succession are a double-click, which opens nothing.
bool chooseFromViewerMenu(HWND viewer, const e2e::Process& panorel, int downs) {
    constexpr LONG Spacing = 10;  // beyond the double-click rectangle
    POINT at = centreOf(viewer);
    at.x += (downs - 4) * Spacing;
    e2e::rightClickAt(at);
    return chooseItem(panorel, waitMenu(panorel), downs);
}

bool chooseFromTrayMenu(HWND viewer, const e2e::Process& panorel, int downs) {
    PostMessageA(viewer, TrayNotifyMessage, TrayIconId, WM_RBUTTONDOWN);
    return chooseItem(panorel, waitMenu(panorel), downs);
}

// The Options dialog, open on the tab whose page holds the control.
constexpr int LeftControlBox = 1001;  // on "Option Keys"
constexpr int WebSiteLink = 9;        // on "About"

HWND optionsDialogOn(const e2e::Process& panorel, int pageControl) {
    HWND dialog = nullptr;
    const bool open = e2e::waitUntil([&] {
        dialog = e2e::windowOf(panorel, "#32770", "Options");
        return dialog != nullptr && IsWindowVisible(e2e::controlOf(dialog, pageControl));
    });
    return open ? dialog : nullptr;
}

bool exitsShowing(const e2e::Process& panorel, const std::vector<HWND>& windows) {
    DWORD code = STILL_ACTIVE;
    return e2e::waitExit(panorel, &code) && code == 0 && allVisible(windows);
}

// A sent message returns once handled, so a menu it opened would still be
// open when the call returns.
bool sendTrayNotify(HWND viewer, WPARAM id, UINT mouseMessage) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(viewer, TrayNotifyMessage, id, mouseMessage, SMTO_NORMAL, 5000, &result) != 0;
}

// Whether a check mark is drawn in the left margin of the n-th of `count`
// equal rows of a popup menu: some pixels there are as dark as menu text.
bool rowHasMark(HWND menu, int n, int count) {
    RECT r;
    GetWindowRect(menu, &r);
    int rowHeight = (r.bottom - r.top) / count;
    RECT margin = {r.left + 2, r.top + n * rowHeight + 2, r.left + 16, r.top + (n + 1) * rowHeight - 2};
    int dark = 0;
    for (COLORREF c : e2e::screenPixels(margin)) {
        if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 150) ++dark;
    }
    return dark > 4;
}

constexpr DWORD UnscaledDpi = 96;
constexpr LONG UnscaledLift = 40;

bool storeLogPixels(DWORD dpi) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    LSTATUS status = RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

}  // namespace

namespace scenarios {

// The screen sizes Wine's virtual desktop is given by run-scenario, and the
// scaling it may be given too (PANOREL_DPI): Wine reads LogPixels when a
// process starts. The lift above the bottom edge is 40 pixels at 96 DPI and
// grows with the scaling; the size is one ninth of the screen at any scaling.
void viewerPlacement() {
    struct Expected {
        int screenWidth, screenHeight, x, y, width, height;
    };
    const Expected Table[] = {
        {1920, 1080, 1707, 920, 213, 120},
        {1366, 768, 1215, 643, 151, 85},
        {1280, 1024, 1138, 871, 142, 113},
    };
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    const Expected* expected = nullptr;
    for (const Expected& e : Table) {
        if (e.screenWidth == screen.right && e.screenHeight == screen.bottom) expected = &e;
    }
    if (!check(expected != nullptr, "the screen has one of the sizes with known placements")) return;

    const char* dpiSetting = std::getenv("PANOREL_DPI");
    const DWORD dpi = dpiSetting != nullptr ? static_cast<DWORD>(std::atoi(dpiSetting)) : UnscaledDpi;
    if (dpiSetting != nullptr && !check(storeLogPixels(dpi), "the scaling is set for the next process")) return;
    const LONG y = expected->y + UnscaledLift - static_cast<LONG>(UnscaledLift * dpi / UnscaledDpi);

    Running r = startViewer();
    RECT v;
    GetWindowRect(r.viewer, &v);
    char what[160];
    std::snprintf(what, sizeof what, "on %dx%d at %lu DPI the viewer is %ldx%ld at (%ld, %ld)",
                  expected->screenWidth, expected->screenHeight, dpi, v.right - v.left, v.bottom - v.top, v.left,
                  v.top);
    check(v.left == expected->x && v.top == y && v.right - v.left == expected->width &&
              v.bottom - v.top == expected->height,
          what);
    LONG style = GetWindowLongA(r.viewer, GWL_STYLE);
    LONG exStyle = GetWindowLongA(r.viewer, GWL_EXSTYLE);
    check((exStyle & WS_EX_TOPMOST) != 0, "the viewer is topmost");
    check((exStyle & WS_EX_TOOLWINDOW) != 0, "the viewer is a tool window");
    check((style & WS_CAPTION) != WS_CAPTION && (style & WS_BORDER) != 0, "with a border and no caption");
    RECT client;
    GetClientRect(r.viewer, &client);
    check(client.right == expected->width - 2 && client.bottom == expected->height - 2,
          "its client area is one pixel inside the border all round");
}

void viewerMenu() {
    std::vector<HWND> windows = e2e::openWindows("menu", 2);
    Running r = startViewer();
    e2e::rightClickAt(centreOf(r.viewer));
    HWND menu = waitMenu(r.panorel);
    if (!check(menu != nullptr, "a right click on the viewer opens its menu")) return;
    RECT m;
    GetWindowRect(menu, &m);
    check(m.right == centreOf(r.viewer).x, "with its right edge at the pointer");

    e2e::selectMenuItem(menu, 2);  // "Hide Desktop Viewer", below the label and "Show Window"
    e2e::pressMenuKey(menu, VK_RETURN);
    check(menuCloses(r.panorel), "choosing an item closes the menu");
    check(e2e::waitUntil([&] { return !IsWindowVisible(r.viewer); }), "\"Hide Desktop Viewer\" hides the viewer");
    check(e2e::isRunning(r.panorel) && allVisible(windows), "and nothing else changes");

    e2e::sendCommand(r.viewer, GotoId[2]);
    check(IsWindowVisible(r.viewer) != FALSE, "a switch shows the hidden viewer again");

    // The other items, each chosen as a user would ("Show Window" is in
    // recall-by-keyboard): a wrong id behind any of them shows here.
    check(chooseFromViewerMenu(r.viewer, r.panorel, 3), "\"Options\" chosen");
    HWND dialog = optionsDialogOn(r.panorel, LeftControlBox);
    check(dialog != nullptr, "opens the Options dialog on \"Option Keys\"");
    check(chooseFromViewerMenu(r.viewer, r.panorel, 4), "\"About\" chosen");
    check(optionsDialogOn(r.panorel, WebSiteLink) != nullptr && !IsWindow(dialog),
          "replaces it with one on \"About\"");
    check(chooseFromViewerMenu(r.viewer, r.panorel, 5), "\"Help\" chosen");
    check(e2e::waitUntil([] { return e2e::windowTitled("Panorel Help") != nullptr; }), "opens the help document");
    check(chooseFromViewerMenu(r.viewer, r.panorel, 6), "\"Exit\" chosen, below the separator");
    check(exitsShowing(r.panorel, windows), "ends Panorel with the parked windows shown");
}

void trayMenu() {
    std::vector<HWND> windows = e2e::openWindows("tray", 2);
    Running r = startViewer();
    check(e2e::hasTrayIcon(r.viewer, TrayIconId), "the tray icon is there");
    std::vector<COLORREF> onFirst;
    check(e2e::waitUntil([&] { return stripWithTile(&onFirst); }), "the tray icon shows a digit");
    std::vector<COLORREF> onLight;
    check(setLightTaskbar(r.viewer, 1) &&
              e2e::waitUntil([&] { return stripWithTile(&onLight, RGB(0x15, 0x47, 0xA6)); }),
          "on a light taskbar its tile turns dark");
    check(setLightTaskbar(r.viewer, 0) && e2e::waitUntil([&] { return trayStrip() == onFirst; }),
          "and light again on a dark one");

    check(sendTrayNotify(r.viewer, TrayIconId, WM_LBUTTONDOWN) && e2e::openMenuOf(r.panorel) == nullptr,
          "pressing the left button on the icon opens nothing: a left click opens on the release");
    check(sendTrayNotify(r.viewer, TrayIconId, WM_LBUTTONDBLCLK) && e2e::openMenuOf(r.panorel) == nullptr,
          "nor does a double-click");
    check(sendTrayNotify(r.viewer, TrayIconId + 1, WM_RBUTTONDOWN) && e2e::openMenuOf(r.panorel) == nullptr,
          "nor a right click for another icon id");

    PostMessageA(r.viewer, TrayNotifyMessage, TrayIconId, WM_RBUTTONDOWN);
    HWND menu = waitMenu(r.panorel);
    if (!check(menu != nullptr, "the right button on the icon opens the tray menu")) return;
    // "Goto Desktop", into its submenu, down to "3".
    e2e::selectMenuItem(menu, 0);
    e2e::pressMenuKey(menu, VK_RIGHT);
    HWND submenu = waitMenu(r.panorel, 1);
    check(submenu != nullptr, "\"Goto Desktop\" opens its submenu");
    e2e::pressMenuKey(menu, VK_DOWN);
    e2e::pressMenuKey(menu, VK_DOWN);
    e2e::pressMenuKey(menu, VK_RETURN);
    check(menuCloses(r.panorel), "choosing \"3\" closes the menus");
    check(e2e::waitUntil([&] { return noneVisible(windows); }), "and switches away from desktop 1");
    std::vector<COLORREF> onThird;
    check(e2e::waitUntil([&] { return stripWithTile(&onThird) && onThird != onFirst; }),
          "the tray icon shows another digit");

    // The next tray menu carries the check mark on "3".
    PostMessageA(r.viewer, TrayNotifyMessage, TrayIconId, WM_RBUTTONDOWN);
    menu = waitMenu(r.panorel);
    e2e::selectMenuItem(menu, 0);
    e2e::pressMenuKey(menu, VK_RIGHT);
    submenu = nullptr;
    e2e::waitUntil([&] { return (submenu = e2e::openMenuOf(r.panorel, 0)) != menu && submenu != nullptr; });
    if (submenu == menu) submenu = e2e::openMenuOf(r.panorel, 1);
    // Read once the submenu has been painted: it may appear before it is.
    check(submenu != nullptr && e2e::waitUntil([&] {
              return rowHasMark(submenu, 2, 4) && !rowHasMark(submenu, 1, 4) && !rowHasMark(submenu, 3, 4);
          }),
          "the next tray menu shows \"3\" checked");
    e2e::pressMenuKey(menu, VK_ESCAPE);
    e2e::pressMenuKey(menu, VK_ESCAPE);
    check(menuCloses(r.panorel), "Escape closes the menus");

    check(gotoFromLeftClick(r.viewer, r.panorel, 0) && e2e::waitUntil([&] { return allVisible(windows); }),
          "a left click's \"Goto Desktop\" goes back to desktop 1");
    check(e2e::waitUntil([&] { return trayStrip() == onFirst; }), "the tray icon shows 1 again");
    const POINT over = centreOf(r.viewer);
    PostMessageA(r.viewer, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)),
                 MAKELPARAM(over.x, over.y));
    check(e2e::waitUntil([&] { return noneVisible(windows); }), "two notches of the wheel over the viewer switch");
    check(noticeComesAndGoes(r.panorel), "the notice shows after the switch and goes by itself");
    check(e2e::waitUntil([&] { return trayStrip() == onThird; }), "the tray icon shows 3 again");
    check(gotoFromLeftClick(r.viewer, r.panorel, 2) && noneVisible(windows), "Goto \"3\" from a left click");

    e2e::sendCommand(r.viewer, HideViewerId);
    check(e2e::waitUntil([&] { return !IsWindowVisible(r.viewer); }), "the viewer can be hidden");
    PostMessageA(r.viewer, TrayNotifyMessage, TrayIconId, WM_RBUTTONDOWN);
    menu = waitMenu(r.panorel);
    e2e::selectMenuItem(menu, 1);  // "Show Desktop Viewer"
    e2e::pressMenuKey(menu, VK_RETURN);
    check(e2e::waitUntil([&] { return IsWindowVisible(r.viewer) != FALSE; }),
          "\"Show Desktop Viewer\" shows it again");
    check(noneVisible(windows), "without switching desktops");

    check(chooseFromTrayMenu(r.viewer, r.panorel, 2), "\"About\" chosen");
    check(optionsDialogOn(r.panorel, WebSiteLink) != nullptr, "opens the Options dialog on \"About\"");
    check(chooseFromTrayMenu(r.viewer, r.panorel, 3), "\"Exit\" chosen, below the separator");
    check(exitsShowing(r.panorel, windows), "ends Panorel with the parked windows shown");
}

void unknownCommands() {
    std::vector<HWND> windows = e2e::openWindows("unknown", 2);
    Running r = startViewer();
    const WORD Unknown[] = {2, 3, 48, 53, 999, 1046, 1051, 2399, 2400, 2591, 60000};
    for (WORD id : Unknown) e2e::sendCommand(r.viewer, id);
    check(e2e::isRunning(r.panorel), "commands no menu carries leave Panorel running");
    check(allVisible(windows) && IsWindowVisible(r.viewer), "and change nothing");
    // The dialog manager turns Enter into IDOK, which is 1, the id of Exit:
    // neither it nor Escape ends Panorel, even with the viewer active.
    e2e::sendCommand(r.viewer, IDOK);
    e2e::sendCommand(r.viewer, GotoId[2]);
    e2e::sendCommand(r.viewer, ShowViewerId);
    e2e::waitUntil([&] {
        if (GetForegroundWindow() == r.viewer) return true;
        SetForegroundWindow(r.viewer);
        return false;
    });
    e2e::typeShortcut(VK_RETURN, {});
    e2e::typeShortcut(VK_ESCAPE, {});
    constexpr DWORD KeysLandMs = 1000;
    check(!e2e::waitUntil([&] { return !e2e::isRunning(r.panorel); }, KeysLandMs) && noneVisible(windows),
          "Enter and Escape on the viewer leave Panorel running, desktop 1 parked");
    // Another program asks it to leave as Alt+F4 does.
    PostMessageA(r.viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = STILL_ACTIVE;
    check(e2e::waitExit(r.panorel, &code) && code == 0 && allVisible(windows), "SC_CLOSE exits showing them");
    check(!e2e::hasTrayIcon(r.viewer, TrayIconId), "and takes the tray icon with it");
}

// A shell that restarts forgets every icon, then broadcasts TaskbarCreated.
void trayIconReturns() {
    Running r = startViewer();
    check(e2e::hasTrayIcon(r.viewer, TrayIconId), "the tray icon is there");
    std::vector<COLORREF> onFirst;
    check(e2e::waitUntil([&] { return stripWithTile(&onFirst); }), "the tray icon shows a digit");
    NOTIFYICONDATAA icon = {};
    icon.cbSize = sizeof icon;
    icon.hWnd = r.viewer;
    icon.uID = TrayIconId;
    Shell_NotifyIconA(NIM_DELETE, &icon);
    check(!e2e::hasTrayIcon(r.viewer, TrayIconId), "the shell has lost it");
    DWORD_PTR result = 0;
    SendMessageTimeoutA(r.viewer, RegisterWindowMessageA("TaskbarCreated"), 0, 0, SMTO_NORMAL, 5000, &result);
    check(e2e::hasTrayIcon(r.viewer, TrayIconId) && e2e::waitUntil([&] { return trayStrip() == onFirst; }),
          "after TaskbarCreated the icon is back, with the same digit");
}

// The current directory first, then the program's own folder: a copy of
// Panorel in a folder without the document, and the one beside it.
void help() {
    const std::string bare = "C:\\Panorel no help\\";
    CreateDirectoryA(bare.c_str(), nullptr);
    if (!check(CopyFileA((e2e::driverFolder() + "Panorel.exe").c_str(), (bare + "Panorel.exe").c_str(), FALSE) != FALSE,
               "a copy of Panorel.exe in a folder without the document")) {
        return;
    }
    // A document that should not open is given a short while to show up all the same.
    constexpr DWORD NoDocumentMs = 2000;
    auto helpOpens = [&](const std::string& program, const std::string& folder, bool expected) {
        e2e::Process panorel = e2e::start("\"" + program + "\"", folder);
        HWND viewer = e2e::waitViewer(panorel);
        if (!check(viewer != nullptr, "the viewer appears")) return false;
        check(e2e::sendCommand(viewer, HelpId), "\"Help\" is handled");
        // The viewer has answered; the shell takes a moment to show the document.
        const bool opened = e2e::waitUntil([] { return e2e::windowTitled("Panorel Help") != nullptr; },
                                           expected ? e2e::DefaultDeadlineMs : NoDocumentMs);
        check(e2e::isRunning(panorel), "Panorel keeps running");
        PostMessageA(viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
        DWORD code = 0;
        e2e::waitExit(panorel, &code);
        if (HWND document = e2e::windowTitled("Panorel Help")) {
            PostMessageA(document, WM_CLOSE, 0, 0);
            e2e::waitUntil([] { return e2e::windowTitled("Panorel Help") == nullptr; });
        }
        return opened;
    };
    check(!helpOpens(bare + "Panorel.exe", bare, false), "with the document in neither folder, nothing opens");
    check(helpOpens(bare + "Panorel.exe", e2e::driverFolder(), true), "with it in the current directory, it opens");
    check(helpOpens(e2e::driverFolder() + "Panorel.exe", bare, true),
          "with it beside the program only (a start from the Run value), it opens");
}

void iconResource() {
    std::string path = e2e::driverFolder() + "Panorel.exe";
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = module != nullptr ? FindResourceA(module, MAKEINTRESOURCEA(5), RT_GROUP_ICON) : nullptr;
    if (!check(found != nullptr, "Panorel.exe holds icon resource 5")) return;
    const BYTE* group = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    // GRPICONDIR: reserved, type, count; then 14-byte entries: width, height,
    // colours, reserved, planes, bit count, bytes, id.
    WORD count = *reinterpret_cast<const WORD*>(group + 4);
    check(count == 13, "with thirteen images");
    struct Image {
        int size, bits;
    };
    const Image Expected[] = {{48, 4}, {32, 4}, {16, 4}, {48, 8}, {32, 8}, {16, 8}, {256, 32},
                              {128, 32}, {64, 32}, {48, 32}, {32, 32}, {24, 32}, {16, 32}};
    int matched = 0;
    for (const Image& e : Expected) {
        for (WORD i = 0; i < count; ++i) {
            const BYTE* entry = group + 6 + 14 * i;
            int size = entry[0] == 0 ? 256 : entry[0];
            int bits = *reinterpret_cast<const WORD*>(entry + 6);
            if (size == e.size && bits == e.bits) {
                ++matched;
                break;
            }
        }
    }
    check(matched == 13, "48, 32, 16 px in 16 and 256 colours; 256 to 16 px in 32-bit colour");
    FreeLibrary(module);
}

}  // namespace scenarios
