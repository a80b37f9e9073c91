// The tray icon's pictures: the desktop's digit on a tile of the program's
// blue, drawn at the tray's size for its scaling and in the colours that
// read on the taskbar's theme (light, dark, or high contrast).
#include "desktops/desktops.h"
#include "settings/registry.h"
#include "viewer/viewer.h"

#include <cstring>

namespace {

constexpr char PersonalizeKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr char LightThemeValue[] = "SystemUsesLightTheme";
constexpr char ThemeChangeName[] = "ImmersiveColorSet";
constexpr int UnscaledTrayIcon = 16;
constexpr int UnscaledDpi = 96;
constexpr char DigitFont[] = "Segoe UI";
// A colour the tile never has: what is left of it becomes transparent.
constexpr COLORREF KeyColour = RGB(255, 0, 255);
constexpr DWORD KeyPixel = 0x00FF00FF;
constexpr DWORD OpaqueAlpha = 0xFF000000;

struct TileColours {
    COLORREF tile;
    COLORREF digit;
};
// A light tile on a dark taskbar, a dark one on a light taskbar.
constexpr TileColours OnDarkTaskbar = {RGB(0xDD, 0xEA, 0xFF), RGB(0x15, 0x47, 0xA6)};
constexpr TileColours OnLightTaskbar = {RGB(0x15, 0x47, 0xA6), RGB(0xFF, 0xFF, 0xFF)};

// Windows before 10 1903 has no light taskbar, and no value to say so.
bool taskbarIsLight() {
    HKEY key = nullptr;
    if (reg::RegOpenKeyExA(HKEY_CURRENT_USER, PersonalizeKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = REG_DWORD;
    DWORD light = 0;
    DWORD size = sizeof light;
    const LSTATUS status = reg::RegQueryValueExA(key, LightThemeValue, &type, reinterpret_cast<BYTE*>(&light), &size);
    reg::RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD && light != 0;
}

bool highContrast() {
    HIGHCONTRASTA contrast = {};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) != FALSE &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

TileColours tileColours() {
    if (highContrast()) return {GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)};
    return taskbarIsLight() ? OnLightTaskbar : OnDarkTaskbar;
}

int trayIconSize() {
    const HWND taskbar = app.taskbarWindow != nullptr ? app.taskbarWindow : app.viewerWindow;
    return MulDiv(UnscaledTrayIcon, static_cast<int>(viewerDpi(taskbar)), UnscaledDpi);
}

void drawTile(HDC dc, int size, DesktopId d, TileColours colours, HFONT font) {
    const RECT all = {0, 0, size, size};
    HBRUSH key = CreateSolidBrush(KeyColour);
    FillRect(dc, &all, key);
    DeleteObject(key);
    HBRUSH tile = CreateSolidBrush(colours.tile);
    HGDIOBJ oldBrush = SelectObject(dc, tile);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    const int corner = size / 4;
    RoundRect(dc, 0, 0, size + 1, size + 1, corner, corner);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(tile);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colours.digit);
    char digit[] = {static_cast<char>('0' + d), '\0'};
    RECT box = all;
    DrawTextA(dc, digit, 1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

// GDI leaves the alpha at zero: the tile and digit become opaque, the key
// colour around the corners transparent.
void setAlpha(DWORD* pixels, int count) {
    for (int i = 0; i < count; ++i) pixels[i] = (pixels[i] & 0x00FFFFFF) == KeyPixel ? 0 : (pixels[i] | OpaqueAlpha);
}

HICON makeDigitIcon(HDC dc, int size, DesktopId d, TileColours colours, HFONT font) {
    void* bits = nullptr;
    HBITMAP colour = makeTopDownBitmap(dc, size, size, &bits);
    if (colour == nullptr) return nullptr;
    HGDIOBJ old = SelectObject(dc, colour);
    drawTile(dc, size, d, colours, font);
    GdiFlush();
    setAlpha(static_cast<DWORD*>(bits), size * size);
    SelectObject(dc, old);
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    ICONINFO icon = {TRUE, 0, 0, mask, colour};
    HICON made = CreateIconIndirect(&icon);
    DeleteObject(mask);
    DeleteObject(colour);
    return made;
}

}  // namespace

void makeTrayDigitIcons() {
    for (HICON& icon : app.trayDigitIcons) {
        if (icon != nullptr) DestroyIcon(icon);
        icon = nullptr;
    }
    const int size = trayIconSize();
    const TileColours colours = tileColours();
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(size + size / 8, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, DigitFont);
    for (DesktopId d = 1; d <= DesktopCount; ++d) app.trayDigitIcons[d - 1] = makeDigitIcon(dc, size, d, colours, font);
    DeleteObject(font);
    DeleteDC(dc);
}

// The taskbar's theme or high contrast changed: the digit follows it.
void onSettingChange(WPARAM action, LPARAM area) {
    const char* name = reinterpret_cast<const char*>(area);
    const bool theme = name != nullptr && std::strcmp(name, ThemeChangeName) == 0;
    if (!theme && action != SPI_SETHIGHCONTRAST) return;
    redrawTrayDigits();
}

void redrawTrayDigits() {
    makeTrayDigitIcons();
    fillTrayPicture();
    Shell_NotifyIconA(NIM_MODIFY, &app.trayIconData);
}

// With the settings read: each text names its desktop, and the tray shows
// the digit or, turned off, the program's own icon and tip.
void showWhereAmI() {
    setCurrentDesktop(app.currentDesktop);
    showDesktopNamesInGotoMenu();
    fillTrayPicture();
    Shell_NotifyIconA(NIM_MODIFY, &app.trayIconData);
}

void startWhereAmI() {
    makeTrayDigitIcons();
    makeNoticeWindow();
    showWhereAmI();
}
