// The Options dialog and its "Option Keys" page.
#include "settings/options_dialog.h"

#include "settings/settings.h"
#include "viewer/triggers.h"

#include <commctrl.h>

#include <iterator>

namespace {

constexpr char OptionsTemplate[] = "OPTIONSTab";
constexpr char OptionKeysTemplate[] = "WINDOWTAB";
constexpr char ShortcutsTemplate[] = "SHORTCUTSTAB";
constexpr char DesktopsTemplate[] = "DESKTOPSTAB";
constexpr char RulesTemplate[] = "RULESTAB";
constexpr char AboutTemplate[] = "ABOUTTAB";
constexpr WORD ProgramIconId = 5;

constexpr int TabControlId = 1011;
constexpr WORD OkId = 3003;
constexpr WORD CancelId = 3002;
// Box FirstKeyBoxId + i shows and edits bit i of the key mask.
constexpr WORD FirstKeyBoxId = 1001;
constexpr WORD StartWithWindowsBoxId = 1059;
constexpr WORD EdgeDelayListId = 1060;

// The rests the Option Keys page offers, in the list's order.
struct EdgeDelayChoice {
    const char* label;
    DWORD ms;
};
constexpr EdgeDelayChoice EdgeDelayChoices[] = {{"At once", 0}, {"0.25 s", 250}, {"0.5 s", 500}, {"1 s", 1000}};

// The pages in the order of their tabs (the tab numbers of options_dialog.h).
struct PageRow {
    const char* label;
    const char* pageTemplate;
    DLGPROC procedure;
};
const PageRow PageTable[] = {
    {"Option Keys", OptionKeysTemplate, OptionKeysPageProc},
    {"Shortcuts", ShortcutsTemplate, ShortcutsPageProc},
    {"Desktops", DesktopsTemplate, DesktopsPageProc},
    {"Rules", RulesTemplate, RulesPageProc},
    {"About", AboutTemplate, AboutPageProc},
};
constexpr int TabCount = sizeof PageTable / sizeof PageTable[0];
static_assert(TabCount == AboutTab + 1, "a row for every tab");

// The open dialog, its tab control and its pages, by tab number, and the
// filter that gives it its keys; empty while no dialog is open.
struct OptionsPages {
    HWND dialog;
    HWND tabControl;
    HWND pages[TabCount];
    HHOOK keyFilter;
    bool inDialogMessage;  // the dialog manager calls the filter again from inside
};
OptionsPages options = {};

bool isTab(int tab) { return tab >= 0 && tab < TabCount; }

void addTab(int tab) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(PageTable[tab].label);  // only read by the control
    item.cchTextMax = static_cast<int>(lstrlenA(PageTable[tab].label) + 1);
    SendMessageA(options.tabControl, TCM_INSERTITEMA, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
}

LRESULT CALLBACK OptionsKeyFilterProc(int code, WPARAM wParam, LPARAM lParam);

// Tab and Shift+Tab reach the boxes on a page only through parents that say
// they hold controls of the dialog.
void holdControls(HWND window) {
    SetWindowLongPtrA(window, GWL_EXSTYLE, GetWindowLongPtrA(window, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
}

// The pages are children of the tab control, so its body shows behind them.
void initOptionsDialog(HWND dialog) {
    options.dialog = dialog;
    HICON icon = static_cast<HICON>(LoadImageA(app.instance, MAKEINTRESOURCEA(ProgramIconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    InitCommonControls();
    options.tabControl = GetDlgItem(dialog, TabControlId);
    for (int tab = 0; tab < TabCount; ++tab) {
        addTab(tab);
        options.pages[tab] = CreateDialogParamA(app.instance, PageTable[tab].pageTemplate, options.tabControl,
                                                PageTable[tab].procedure, 0);
    }
    holdControls(options.tabControl);
    for (HWND page : options.pages) holdControls(page);
    options.keyFilter = SetWindowsHookExA(WH_MSGFILTER, OptionsKeyFilterProc, nullptr, GetCurrentThreadId());
    if (!isTab(app.optionsTab)) app.optionsTab = OptionKeysTab;
    ShowWindow(options.pages[app.optionsTab], SW_SHOWDEFAULT);
    // Selecting by message raises no selection-change notification.
    SendMessageA(options.tabControl, TCM_SETCURSEL, static_cast<WPARAM>(app.optionsTab), 0);
}

void showSelectedPage() {
    const int selected = static_cast<int>(SendMessageA(options.tabControl, TCM_GETCURSEL, 0, 0));
    if (!isTab(selected)) return;
    ShowWindow(options.pages[app.optionsTab], SW_HIDE);
    app.optionsTab = selected;
    ShowWindow(options.pages[app.optionsTab], SW_SHOWDEFAULT);
}

void selectTab(int tab) {
    SendMessageA(options.tabControl, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    showSelectedPage();
}

// Ctrl+Tab and Ctrl+Shift+Tab: the next or the previous tab, the focus on
// the first control of the dialog, so it never stays on a hidden page.
void stepTab(bool backwards) {
    selectTab((app.optionsTab + (backwards ? -1 : 1) + TabCount) % TabCount);
    HWND first = GetNextDlgTabItem(options.dialog, nullptr, FALSE);
    SendMessageA(options.dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
}

bool isKeyDown(int virtualKey) { return GetKeyState(virtualKey) < 0; }

// The viewer's modal loop hands keys to the viewer alone, and Enter there
// would be its IDOK, which is Exit. A key for one of the dialog's windows
// goes to the dialog manager of the dialog instead, as a modeless dialog's
// own loop would hand it. Answers whether the key has been dealt with.
bool handleOptionsKey(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    if (msg->hwnd != options.dialog && !IsChild(options.dialog, msg->hwnd)) return false;
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && isKeyDown(VK_CONTROL)) {
        stepTab(isKeyDown(VK_SHIFT));
        return true;
    }
    options.inDialogMessage = true;
    const bool handled = IsDialogMessageA(options.dialog, msg) != FALSE;
    options.inDialogMessage = false;  // the dialog may be gone by now: Enter and Escape close it
    return handled;
}

// Installed for this thread while the dialog exists.
LRESULT CALLBACK OptionsKeyFilterProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_DIALOGBOX && options.dialog != nullptr && !options.inDialogMessage &&
        handleOptionsKey(reinterpret_cast<MSG*>(lParam))) {
        return TRUE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Destroying the dialog takes the tab control and the pages with it.
void closeOptionsDialog(HWND dialog) { DestroyWindow(dialog); }

// OK: the shortcuts go into force, then the desktops' names and cues, the
// key page commits and saves, then the
// dialog closes; shortcuts that cannot be had keep it open on their tab the
// first time. Cancel closes without any of it. Enter and Escape arrive as
// IDOK and IDCANCEL.
void onOptionsCommand(HWND dialog, WORD id) {
    switch (id) {
    case IDOK:
    case OkId:
        if (!commitShortcuts()) {
            selectTab(ShortcutsTab);
            reportShortcuts(dialog);
            break;
        }
        commitDesktops();
        SendMessageA(options.pages[OptionKeysTab], WM_COMMAND, OkId, 0);
        commitRules();
        closeOptionsDialog(dialog);
        break;
    case IDCANCEL:
    case CancelId:
        discardShortcuts();
        closeOptionsDialog(dialog);
        break;
    default:
        break;
    }
}

// Every way out ends here, the owner's own destruction at shutdown
// included, so the viewer never holds the handle of a dialog that is gone.
void forgetOptionsDialog(HWND dialog) {
    if (app.optionsDialog == dialog) app.optionsDialog = nullptr;
    if (options.keyFilter != nullptr) UnhookWindowsHookEx(options.keyFilter);
    options = {};
}

// A stored rest the list does not offer (one set by hand) shows as no
// choice, and stays as stored unless the user picks one.
void initEdgeDelayList(HWND page) {
    app.editEdgeDelay = app.edgeDelay;
    WPARAM selected = static_cast<WPARAM>(CB_ERR);
    for (const EdgeDelayChoice& choice : EdgeDelayChoices) {
        const LRESULT index =
            SendDlgItemMessageA(page, EdgeDelayListId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.label));
        if (choice.ms == edgeRestMs(app.edgeDelay)) selected = static_cast<WPARAM>(index);
    }
    SendDlgItemMessageA(page, EdgeDelayListId, CB_SETCURSEL, selected, 0);
}

// Whatever the list reports, its selection is what counts.
void onEdgeDelayList(HWND page) {
    const LRESULT index = SendDlgItemMessageA(page, EdgeDelayListId, CB_GETCURSEL, 0, 0);
    if (index >= 0 && static_cast<std::size_t>(index) < std::size(EdgeDelayChoices)) {
        app.editEdgeDelay = EdgeDelayChoices[index].ms;
    }
}

void initOptionKeysPage(HWND page) {
    app.editKeyMask = app.keyMask;
    for (unsigned bit = 0; bit < TriggerKeyCount; ++bit) {
        const bool selected = (app.editKeyMask & (1u << bit)) != 0;
        CheckDlgButton(page, FirstKeyBoxId + bit, selected ? BST_CHECKED : BST_UNCHECKED);
    }
    if ((app.flags & StartWithWindowsFlag) != 0) CheckDlgButton(page, StartWithWindowsBoxId, BST_CHECKED);
    initEdgeDelayList(page);
}

// The bit follows the box, which has already changed itself. Bits without a
// box (the any-key mode and above) are left as the key mask had them.
void onKeyBox(HWND page, WORD id) {
    const DWORD bit = 1u << (id - FirstKeyBoxId);
    if (IsDlgButtonChecked(page, id) == BST_CHECKED) {
        app.editKeyMask |= bit;
    } else {
        app.editKeyMask &= ~bit;
    }
}

// Acts at once, whichever way the dialog is left. When the Run entry cannot
// follow, the box shows the choice still in force.
void onStartWithWindowsBox(HWND page) {
    char path[RunCommandBytes];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    // A path that fills the buffer has been cut short.
    if (length == 0 || length >= sizeof path) path[0] = '\0';
    const bool on = toggleStartWithWindows(path);
    CheckDlgButton(page, StartWithWindowsBoxId, on ? BST_CHECKED : BST_UNCHECKED);
}

// The trigger reads keyMask, so it wants the new keys from its next poll.
void commitKeys() {
    app.keyMask = app.editKeyMask;
    app.edgeDelay = app.editEdgeDelay;
    saveSettings();
}

void onOptionKeysCommand(HWND page, WORD id) {
    if (id >= FirstKeyBoxId && id < FirstKeyBoxId + TriggerKeyCount) {
        onKeyBox(page, id);
    } else if (id == StartWithWindowsBoxId) {
        onStartWithWindowsBox(page);
    } else if (id == EdgeDelayListId) {
        onEdgeDelayList(page);
    } else if (id == OkId) {
        commitKeys();
    }
}

}  // namespace

// Asking again replaces the open dialog with a fresh one on the requested
// tab; the open one closes as if cancelled, so nothing it held is committed.
void openOptionsDialog(int tab) {
    app.optionsTab = tab;
    if (app.optionsDialog != nullptr) SendMessageA(app.optionsDialog, WM_CLOSE, 0, 0);
    app.optionsDialog = CreateDialogParamA(app.instance, OptionsTemplate, app.viewerWindow, OptionsDialogProc, 0);
}

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        initOptionsDialog(dialog);
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(TCN_SELCHANGE)) showSelectedPage();
        return FALSE;
    case WM_COMMAND:
        onOptionsCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:  // the close box, Alt+F4, or the viewer opening a fresh dialog
        discardShortcuts();
        closeOptionsDialog(dialog);
        return TRUE;
    case WM_DESTROY:
        forgetOptionsDialog(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK OptionKeysPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        initOptionKeysPage(page);
        return FALSE;
    case WM_COMMAND:
        onOptionKeysCommand(page, LOWORD(wParam));
        return FALSE;
    case WM_ERASEBKGND:
        return eraseNoBackground(page);
    case WM_CTLCOLORSTATIC:
        return noBackgroundBrush(lParam);
    default:
        return FALSE;
    }
}

// The page has no background of its own: the tab control's body shows
// through it.
INT_PTR eraseNoBackground(HWND page) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

// Not a brush, so the control fills nothing behind itself.
INT_PTR noBackgroundBrush(LPARAM control) { return static_cast<INT_PTR>(control); }

INT_PTR pageBackground(HWND page, UINT message, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return eraseNoBackground(page);
    if (message == WM_CTLCOLORSTATIC) return noBackgroundBrush(lParam);
    return FALSE;
}
