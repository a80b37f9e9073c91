// The "Rules" page: the window rules in the order they are tried, each as
// it is stored ("program|class|title|where"). The list is the working copy:
// OK writes it, Cancel leaves the stored rules as they were.
#include "settings/options_dialog.h"

#include "desktops/desktops.h"
#include "settings/rules_store.h"

#include <cstring>

namespace {

// The page's list and its buttons; the edit's fields, its list of windows
// and the line that says what is wrong. Numbered as in the .rc file.
enum : WORD {
    RuleListId = 1301, AddRuleId, EditRuleId, RemoveRuleId, RuleUpId, RuleDownId, NotUnderstoodId,
    ProgramEditId = 1311, ClassEditId, TitleEditId, WhereListId, WindowListId, NotUnderstoodLineId,
};
constexpr int FieldChars = 256;
const char* const WhereChoices[] = {"1", "2", "3", "4", "all", "none"};
constexpr unsigned MaxPickedWindows = 128;
constexpr char FieldSeparator[] = "|";
constexpr char RulesCaption[] = "Panorel";
constexpr char RuleEditTemplate[] = "RULEEDIT";

struct RulesPage {
    HWND page;
    HWND list;
    bool changed;  // OK writes nothing for a list left as it was
    // The rule being edited, and the windows the edit's list offers.
    char editing[WindowRuleCharacters + 1];
    HWND windows[MaxPickedWindows];
    unsigned windowCount;
};
RulesPage rules = {};
char ruleTexts[MaxWindowRules][WindowRuleCharacters + 1];

int itemCount() { return static_cast<int>(SendMessageA(rules.list, LB_GETCOUNT, 0, 0)); }
int selectedItem() { return static_cast<int>(SendMessageA(rules.list, LB_GETCURSEL, 0, 0)); }

void selectItem(int item) {
    SendMessageA(rules.list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
    const bool any = selectedItem() != LB_ERR;
    EnableWindow(GetDlgItem(rules.page, EditRuleId), any);
    EnableWindow(GetDlgItem(rules.page, RemoveRuleId), any);
    EnableWindow(GetDlgItem(rules.page, RuleUpId), any && item > 0);
    EnableWindow(GetDlgItem(rules.page, RuleDownId), any && item + 1 < itemCount());
    EnableWindow(GetDlgItem(rules.page, AddRuleId), itemCount() < static_cast<int>(MaxWindowRules));
}

// A rule's text again from what was read: its '|' had been made NULs.
void storedText(const WindowRule& rule, char* text) {
    text[0] = '\0';
    const char* fields[] = {rule.fields, rule.fields + rule.classAt, rule.fields + rule.titleAt};
    for (const char* field : fields) {
        lstrcatA(text, field);
        lstrcatA(text, FieldSeparator);
    }
    const char digit[] = {static_cast<char>('0' + rule.desktop), '\0'};
    const unsigned place = static_cast<unsigned>(rule.place);
    lstrcatA(text, rule.place == RulePlace::Desktop ? digit : WhereChoices[DesktopCount + place - 1]);
}

void initRulesPage(HWND page) {
    rules.page = page;
    rules.list = GetDlgItem(page, RuleListId);
    char text[WindowRuleCharacters + 1];
    for (unsigned i = 0; i < app.windowRuleCount; ++i) {
        storedText(app.windowRules[i], text);
        SendMessageA(rules.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    selectItem(0);
    // What could not be read stays in the registry untouched; the user
    // should know it is there.
    if (app.windowRulesNotUnderstood > 0) {
        wsprintfA(text, "%u stored values are not understood; they are kept as they are.",
                  app.windowRulesNotUnderstood);
        SetDlgItemTextA(page, NotUnderstoodId, text);
    }
}

// The edit's window list: the windows a capture would file, with a title.
BOOL CALLBACK addPickableWindow(HWND window, LPARAM list) {
    WindowOwner owner;
    char title[FieldChars];
    if (rules.windowCount == MaxPickedWindows || !isFileable(window, owner) || groupRoot(window) != window ||
        GetWindowTextA(window, title, sizeof title) == 0) {
        return TRUE;
    }
    rules.windows[rules.windowCount++] = window;
    SendMessageA(reinterpret_cast<HWND>(list), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title));
    return TRUE;
}

void showField(HWND edit, WORD id, const char* from, const char* to) {
    char field[FieldChars] = {};
    const std::size_t length = static_cast<std::size_t>(to - from) < sizeof field - 1 ? to - from : sizeof field - 1;
    std::memcpy(field, from, length);
    SetDlgItemTextA(edit, id, field);
}

// Fields of a text that is not a rule show what they can, from its start.
void initRuleEdit(HWND edit) {
    HWND where = GetDlgItem(edit, WhereListId);
    for (const char* choice : WhereChoices) SendMessageA(where, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
    const WORD ids[] = {ProgramEditId, ClassEditId, TitleEditId};
    const char* at = rules.editing;
    for (WORD id : ids) {
        const char* end = std::strchr(at, '|');
        if (end == nullptr) end = at + std::strlen(at);
        showField(edit, id, at, end);
        at = *end == '\0' ? end : end + 1;
    }
    const LRESULT choice = SendMessageA(where, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(at));
    SendMessageA(where, CB_SETCURSEL, choice == CB_ERR ? 0 : static_cast<WPARAM>(choice), 0);
    rules.windowCount = 0;
    EnumWindows(addPickableWindow, reinterpret_cast<LPARAM>(GetDlgItem(edit, WindowListId)));
}

// The program, class and title of the window chosen from the list.
void fillFromWindow(HWND edit) {
    const LRESULT item = SendDlgItemMessageA(edit, WindowListId, CB_GETCURSEL, 0, 0);
    if (item < 0 || static_cast<unsigned>(item) >= rules.windowCount) return;
    HWND window = rules.windows[item];
    char text[MAX_PATH] = "";
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    DWORD size = sizeof text;
    if (process == nullptr || QueryFullProcessImageNameA(process, 0, text, &size) == FALSE) text[0] = '\0';
    if (process != nullptr) CloseHandle(process);
    const char* name = std::strrchr(text, '\\');
    SetDlgItemTextA(edit, ProgramEditId, name != nullptr ? name + 1 : text);
    GetClassNameA(window, text, sizeof text);
    SetDlgItemTextA(edit, ClassEditId, text);
    GetWindowTextA(window, text, sizeof text);
    SetDlgItemTextA(edit, TitleEditId, text);
}

// OK keeps the dialog open, and says why, for a rule that would not be
// understood.
bool takeRuleEdit(HWND edit) {
    char text[WindowRuleCharacters + 1] = "";
    const WORD ids[] = {ProgramEditId, ClassEditId, TitleEditId};
    for (WORD id : ids) {
        char field[FieldChars] = "";
        GetDlgItemTextA(edit, id, field, sizeof field);
        lstrcatA(text, field);
        lstrcatA(text, FieldSeparator);
    }
    char where[FieldChars] = "";
    GetDlgItemTextA(edit, WhereListId, where, sizeof where);
    lstrcatA(text, where);
    WindowRule rule;
    if (!parseWindowRule(text, static_cast<DWORD>(std::strlen(text)), rule)) {
        ShowWindow(GetDlgItem(edit, NotUnderstoodLineId), SW_SHOW);
        return false;
    }
    std::memcpy(rules.editing, text, sizeof text);
    return true;
}

INT_PTR CALLBACK RuleEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        initRuleEdit(edit);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == WindowListId && HIWORD(wParam) == CBN_SELCHANGE) fillFromWindow(edit);
        if (LOWORD(wParam) == IDOK && takeRuleEdit(edit)) EndDialog(edit, IDOK);
        if (LOWORD(wParam) == IDCANCEL) EndDialog(edit, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

// The item at `item` becomes the edited text, or a new one goes there.
void editRule(int item, bool adding) {
    rules.editing[0] = '\0';
    if (!adding) SendMessageA(rules.list, LB_GETTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(rules.editing));
    if (DialogBoxParamA(app.instance, RuleEditTemplate, GetAncestor(rules.page, GA_ROOT), RuleEditProc, 0) != IDOK) {
        return;
    }
    if (!adding) SendMessageA(rules.list, LB_DELETESTRING, static_cast<WPARAM>(item), 0);
    SendMessageA(rules.list, LB_INSERTSTRING, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(rules.editing));
    rules.changed = true;
    selectItem(item);
}

void moveRule(int item, int by) {
    const int to = item + by;
    if (item < 0 || to < 0 || to >= itemCount()) return;
    char text[WindowRuleCharacters + 1];
    SendMessageA(rules.list, LB_GETTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text));
    SendMessageA(rules.list, LB_DELETESTRING, static_cast<WPARAM>(item), 0);
    SendMessageA(rules.list, LB_INSERTSTRING, static_cast<WPARAM>(to), reinterpret_cast<LPARAM>(text));
    rules.changed = true;
    selectItem(to);
}

void removeRule(int item) {
    if (item < 0) return;
    SendMessageA(rules.list, LB_DELETESTRING, static_cast<WPARAM>(item), 0);
    rules.changed = true;
    selectItem(item < itemCount() ? item : item - 1);
}

void onRulesCommand(WORD id, WORD code) {
    const int item = selectedItem();
    if (id == AddRuleId) editRule(item < 0 ? itemCount() : item + 1, true);
    if (id == EditRuleId || (id == RuleListId && code == LBN_DBLCLK)) {
        if (item >= 0) editRule(item, false);
    }
    if (id == RemoveRuleId) removeRule(item);
    if (id == RuleUpId) moveRule(item, -1);
    if (id == RuleDownId) moveRule(item, 1);
    if (id == RuleListId && code == LBN_SELCHANGE) selectItem(item);
}

}  // namespace

// After the settings are saved, so the rules go where they went. The look
// for new windows runs only while rules exist.
void commitRules() {
    if (rules.page == nullptr || !rules.changed) return;
    const unsigned count = static_cast<unsigned>(itemCount());
    const char* texts[MaxWindowRules];
    for (unsigned i = 0; i < count && i < MaxWindowRules; ++i) {
        SendMessageA(rules.list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(ruleTexts[i]));
        texts[i] = ruleTexts[i];
    }
    if (!saveWindowRules(texts, count)) {
        MessageBoxA(rules.page, "The rules could not be saved.", RulesCaption, MB_OK | MB_ICONWARNING);
    }
    if (app.windowRuleCount > 0) {
        SetTimer(app.viewerWindow, RulesTimerId, RulesPeriodMs, nullptr);
    } else {
        KillTimer(app.viewerWindow, RulesTimerId);
    }
}

INT_PTR CALLBACK RulesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        initRulesPage(page);
        return FALSE;
    case WM_COMMAND:
        onRulesCommand(LOWORD(wParam), HIWORD(wParam));
        return FALSE;
    case WM_DESTROY:
        rules = {};
        return FALSE;
    default:
        return pageBackground(page, message, lParam);
    }
}
