// The "Shortcuts" page: the modifiers of each group of keyboard shortcuts,
// and what they cannot have, said while the boxes change and again at OK.
#include "settings/options_dialog.h"

#include "viewer/hotkeys.h"

namespace {

// Box FirstShortcutBoxId + 4 * group + i edits modifier i of the group, in
// the order of BoxModifiers.
constexpr WORD FirstShortcutBoxId = 1101;
constexpr unsigned BoxesPerGroup = 4;
constexpr unsigned ShortcutBoxCount = HotkeyGroupCount * BoxesPerGroup;
constexpr WORD RefusedLineId = 1110;
const BYTE BoxModifiers[BoxesPerGroup] = {MOD_CONTROL, MOD_ALT, MOD_SHIFT, MOD_WIN};
constexpr char ReportCaption[] = "Panorel";

// The open page; the shortcuts in force when it opened, which Cancel puts
// back; and what the last OK reported, so that an OK finding the same again
// accepts the rest.
struct ShortcutsPage {
    HWND page;
    DWORD heldAtOpen;
    bool reported;
    DWORD reportedHotkeys;
    DWORD reportedRefusals;
    char text[ShortcutsTextBytes];
};
ShortcutsPage shortcuts = {};

DWORD boxBit(unsigned box) {
    return DWORD{BoxModifiers[box % BoxesPerGroup]} << (HotkeyGroupShift * (box / BoxesPerGroup));
}

void showWhatCannotBeHad(DWORD hotkeys) {
    describeShortcuts(hotkeys, shortcuts.text);
    SetDlgItemTextA(shortcuts.page, RefusedLineId, shortcuts.text);
}

void initShortcutsPage(HWND page) {
    shortcuts = {};
    shortcuts.page = page;
    shortcuts.heldAtOpen = app.hotkeys;
    app.editHotkeys = app.hotkeys;
    for (unsigned box = 0; box < ShortcutBoxCount; ++box) {
        const bool selected = (app.editHotkeys & boxBit(box)) != 0;
        CheckDlgButton(page, FirstShortcutBoxId + box, selected ? BST_CHECKED : BST_UNCHECKED);
    }
    showWhatCannotBeHad(app.editHotkeys);
}

// The bit follows the box, which has already changed itself; bits without a
// box are left as they were.
void onShortcutBox(HWND page, WORD id) {
    if (id < FirstShortcutBoxId || id >= FirstShortcutBoxId + ShortcutBoxCount) return;
    const DWORD bit = boxBit(id - FirstShortcutBoxId);
    if (IsDlgButtonChecked(page, id) == BST_CHECKED) {
        app.editHotkeys |= bit;
    } else {
        app.editHotkeys &= ~bit;
    }
    showWhatCannotBeHad(app.editHotkeys);
}

}  // namespace

// The new combinations are in force before OK saves them. Something they
// cannot have is reported once; the same again at the next OK is accepted.
bool commitShortcuts() {
    app.hotkeys = app.editHotkeys;
    registerHotkeys(app.viewerWindow);
    showWhatCannotBeHad(app.hotkeys);
    if (shortcuts.text[0] == '\0') return true;
    if (shortcuts.reported && shortcuts.reportedHotkeys == app.hotkeys &&
        shortcuts.reportedRefusals == app.refusedHotkeys) {
        return true;
    }
    shortcuts.reported = true;
    shortcuts.reportedHotkeys = app.hotkeys;
    shortcuts.reportedRefusals = app.refusedHotkeys;
    return false;
}

// As Windows' own dialogs report a field they cannot apply: a warning that
// names it, then the focus on the field.
void reportShortcuts(HWND dialog) {
    MessageBoxA(dialog, shortcuts.text, ReportCaption, MB_OK | MB_ICONWARNING);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(shortcuts.page, FirstShortcutBoxId)),
                 TRUE);
}

// An OK that stopped at a report has already put its choice into force.
void discardShortcuts() {
    if (shortcuts.page == nullptr || app.hotkeys == shortcuts.heldAtOpen) return;
    app.hotkeys = shortcuts.heldAtOpen;
    registerHotkeys(app.viewerWindow);
}

INT_PTR CALLBACK ShortcutsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        initShortcutsPage(page);
        return FALSE;
    case WM_COMMAND:
        onShortcutBox(page, LOWORD(wParam));
        return FALSE;
    case WM_DESTROY:
        shortcuts.page = nullptr;
        return FALSE;
    case WM_ERASEBKGND:
        return eraseNoBackground(page);
    case WM_CTLCOLORSTATIC:
        return noBackgroundBrush(lParam);
    default:
        return FALSE;
    }
}
