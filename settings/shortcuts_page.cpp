// The "Shortcuts" page: the modifiers of each group of keyboard shortcuts,
// and the combinations that could not be had.
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

DWORD boxBit(unsigned box) {
    return DWORD{BoxModifiers[box % BoxesPerGroup]} << (HotkeyGroupShift * (box / BoxesPerGroup));
}

void initShortcutsPage(HWND page) {
    app.editHotkeys = app.hotkeys;
    for (unsigned box = 0; box < ShortcutBoxCount; ++box) {
        const bool selected = (app.editHotkeys & boxBit(box)) != 0;
        CheckDlgButton(page, FirstShortcutBoxId + box, selected ? BST_CHECKED : BST_UNCHECKED);
    }
    char refused[RefusedHotkeysTextBytes];
    describeRefusedHotkeys(refused);
    SetDlgItemTextA(page, RefusedLineId, refused);
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
}

}  // namespace

// The new combinations are in force before OK saves them.
void commitShortcuts() {
    app.hotkeys = app.editHotkeys;
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
    case WM_ERASEBKGND:
        return eraseNoBackground(page);
    case WM_CTLCOLORSTATIC:
        return noBackgroundBrush(lParam);
    default:
        return FALSE;
    }
}
