// The "Desktops" page: a name for each desktop, and whether the tray icon
// shows the desktop's digit and a notice follows a switch. The controls are
// the working copy; OK takes it, Cancel leaves everything as it was.
#include "settings/options_dialog.h"

#include "desktops/desktops.h"
#include "viewer/viewer.h"

#include <cstring>

namespace {

// Edit FirstNameEditId + d - 1 holds the name of desktop d.
constexpr WORD FirstNameEditId = 1201;
constexpr WORD TrayDigitBoxId = 1205;
constexpr WORD SwitchNoticeBoxId = 1206;
// Characters in UTF-16, which a name of DesktopNameCharacters never exceeds
// outside the rare characters beyond its first plane.
constexpr int NameEditChars = DesktopNameCharacters + 1;

struct FlagBox {
    WORD id;
    DWORD offFlag;
};
const FlagBox FlagBoxes[] = {{TrayDigitBoxId, NoTrayDigitFlag}, {SwitchNoticeBoxId, NoSwitchNoticeFlag}};

HWND desktopsPage = nullptr;

void showName(HWND page, DesktopId d) {
    wchar_t text[NameEditChars] = {};
    MultiByteToWideChar(CP_UTF8, 0, desktopName(d), -1, text, NameEditChars);
    SetDlgItemTextW(page, FirstNameEditId + d - 1, text);
}

void initDesktopsPage(HWND page) {
    desktopsPage = page;
    for (DesktopId d = 1; d <= DesktopCount; ++d) {
        SendDlgItemMessageA(page, FirstNameEditId + d - 1, EM_SETLIMITTEXT, DesktopNameCharacters, 0);
        showName(page, d);
    }
    for (const FlagBox& box : FlagBoxes) {
        CheckDlgButton(page, box.id, (app.showFlags & box.offFlag) == 0 ? BST_CHECKED : BST_UNCHECKED);
    }
}

// A name as typed, in UTF-8; one that would not fit is left as it was.
void takeName(HWND page, DesktopId d) {
    wchar_t typed[NameEditChars] = {};
    GetDlgItemTextW(page, FirstNameEditId + d - 1, typed, NameEditChars);
    char name[DesktopNameBytes];
    if (WideCharToMultiByte(CP_UTF8, 0, typed, -1, name, sizeof name, nullptr, nullptr) == 0) return;
    if (std::strcmp(name, desktopName(d)) == 0) return;
    std::memcpy(app.desktopNames[d - 1], name, sizeof name);
    app.editedDesktopSettings |= editedName(d);
}

}  // namespace

// Before the key page's OK saves the settings.
void commitDesktops() {
    if (desktopsPage == nullptr) return;
    for (DesktopId d = 1; d <= DesktopCount; ++d) takeName(desktopsPage, d);
    DWORD flags = app.showFlags;
    for (const FlagBox& box : FlagBoxes) {
        flags = IsDlgButtonChecked(desktopsPage, box.id) == BST_CHECKED ? flags & ~box.offFlag : flags | box.offFlag;
    }
    if (flags != app.showFlags) app.editedDesktopSettings |= EditedShowFlags;
    app.showFlags = flags;
    showWhereAmI();
}

INT_PTR CALLBACK DesktopsPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        initDesktopsPage(page);
        return FALSE;
    case WM_DESTROY:
        desktopsPage = nullptr;
        return FALSE;
    case WM_ERASEBKGND:
        return eraseNoBackground(page);
    case WM_CTLCOLORSTATIC:
        return noBackgroundBrush(lParam);
    default:
        return FALSE;
    }
}
