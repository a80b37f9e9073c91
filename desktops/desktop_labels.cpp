// Every text that names a desktop: its digit, then its name when it has one.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

#include <cstring>

namespace {

constexpr char TrayTipFirstLine[] = "Change Panorel";
constexpr char TrayTipDesktop[] = "\nDesktop ";
constexpr BYTE Utf8ContinuationMask = 0xC0;
constexpr BYTE Utf8Continuation = 0x80;

// Appends as much of the text as fits, never the first half of a UTF-8
// character; answers the new end.
char* append(char* at, char* end, const char* text) {
    std::size_t length = std::strlen(text);
    if (length >= static_cast<std::size_t>(end - at)) {
        length = static_cast<std::size_t>(end - at) - 1;
        while (length > 0 && (static_cast<BYTE>(text[length]) & Utf8ContinuationMask) == Utf8Continuation) --length;
    }
    std::memcpy(at, text, length);
    at[length] = '\0';
    return at + length;
}

// The digit, then " - " and the name if the desktop has one.
char* appendDesktop(char* at, char* end, DesktopId d) {
    const char digit[] = {static_cast<char>('0' + d), '\0'};
    at = append(at, end, digit);
    if (desktopName(d)[0] == '\0') return at;
    at = append(at, end, DesktopNameSeparator);
    return append(at, end, desktopName(d));
}

bool trayDigitShown() { return (app.showFlags & NoTrayDigitFlag) == 0 && app.trayDigitIcons[0] != nullptr; }

}  // namespace

const char* desktopName(DesktopId d) { return app.desktopNames[d - 1]; }

void makeDesktopText(DesktopId d, char* text, std::size_t size) { appendDesktop(text, text + size, d); }

// "Desktop #2", with the name after the digit.
void makeDesktopLabel(DesktopId d) {
    char* const end = app.desktopLabel + sizeof app.desktopLabel;
    char* at = append(app.desktopLabel, end, InitialDesktopLabel);
    appendDesktop(at - 1, end, d);
}

void showDesktopNamesInGotoMenu() {
    for (DesktopId d = 1; d <= DesktopCount; ++d) {
        char text[DesktopLabelBytes];
        makeDesktopText(d, text, sizeof text);
        const UINT check = d == app.currentDesktop ? MF_CHECKED : MF_UNCHECKED;
        ws::ModifyMenuA(app.gotoMenu, d - 1, MF_BYPOSITION | MF_STRING | check, GotoFirstId - 1 + d, text);
    }
}

// The picture and tip of the tray record. Without the digit both are the
// program's own: icon 5 and "Change Panorel".
void fillTrayPicture() {
    NOTIFYICONDATAA& icon = app.trayIconData;
    char* const end = icon.szTip + sizeof icon.szTip;
    char* at = append(icon.szTip, end, TrayTipFirstLine);
    if (!trayDigitShown()) {
        icon.hIcon = app.programIcon;
        return;
    }
    icon.hIcon = app.trayDigitIcons[app.currentDesktop - 1];
    at = append(at, end, TrayTipDesktop);
    appendDesktop(at, end, app.currentDesktop);
}

void showDesktopInTray() {
    if (!trayDigitShown()) return;
    fillTrayPicture();
    ws::Shell_NotifyIconA(NIM_MODIFY, &app.trayIconData);
}
