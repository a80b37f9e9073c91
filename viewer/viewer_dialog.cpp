// ViewerDialogProc: every message the program acts on arrives here.
#include "app/app.h"
#include "desktops/desktops.h"
#include "settings/options_dialog.h"
#include "viewer/desktop_cues.h"
#include "viewer/viewer.h"

#include <shellapi.h>

#include <cstring>

namespace {

constexpr char HelpDocument[] = "Panorel Help.rtf";
constexpr DWORD HideFadeMs = 1000;
constexpr WPARAM SysCommandMask = 0xFFF0;  // the low four bits are the system's own
// WM_DPICHANGED (Windows 8.1 and later): the new scaling, across in the low
// half of wParam and down in the high half.
constexpr UINT DpiChangedMessage = 0x02E0;
// Posted to itself when the session goes on while an operation waits on
// another program: the desktops are put back once that operation is over.
// wParam: the query that the put-back answers.
constexpr UINT ResumeDesktopsMessage = WM_APP + 1;
// Posted to itself for a "Show Window" choice that arrives while an
// operation waits: wParam the item's position, lParam the version of the
// list it was chosen from.
constexpr UINT QueuedRecallMessage = WM_APP + 2;
// Posted to itself for a menu command that must wait behind an operation;
// wParam: its id. Not WM_COMMAND, which the dialog manager also sends: its
// IDOK for Enter is 1, the id of "Exit".
constexpr UINT QueuedCommandMessage = WM_APP + 3;

INT_PTR exitCommand(HWND viewer, WORD) {
    showAllDesktops();
    shutdown(viewer);
}

INT_PTR aboutCommand(HWND, WORD) {
    openOptionsDialog(AboutTab);
    return FALSE;
}

INT_PTR gotoCommand(HWND, WORD id) {
    switchDesktop(id - (GotoFirstId - 1), false);
    return TRUE;
}

// Room for the program's own path in UTF-8, up to three bytes a character.
constexpr DWORD ProgramPathBytes = 3 * MAX_PATH;

void openDocument(const char* path) { ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOWMAXIMIZED); }

bool fileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// The document's path in the program's own folder; false when the
// program's path does not come whole.
bool helpBesideProgram(char (&path)[ProgramPathBytes]) {
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return false;
    char* name = std::strrchr(path, '\\');
    if (name == nullptr || static_cast<std::size_t>(name + 1 - path) + sizeof HelpDocument > sizeof path) return false;
    std::memcpy(name + 1, HelpDocument, sizeof HelpDocument);
    return true;
}

// The document is looked for in the current directory first, by name alone,
// then beside the program: started from the Run value, the current
// directory is the system folder. With neither, nothing opens.
INT_PTR helpCommand(HWND, WORD) {
    char besideProgram[ProgramPathBytes];
    if (fileExists(HelpDocument)) {
        openDocument(HelpDocument);
    } else if (helpBesideProgram(besideProgram) && fileExists(besideProgram)) {
        openDocument(besideProgram);
    }
    return FALSE;
}

INT_PTR optionsCommand(HWND, WORD) {
    openOptionsDialog(OptionKeysTab);
    return FALSE;
}

INT_PTR hideViewerCommand(HWND viewer, WORD) {
    app.viewerHiddenByUser = true;
    AnimateWindow(viewer, HideFadeMs, AW_HIDE | AW_BLEND);
    return FALSE;
}

INT_PTR showViewerCommand(HWND viewer, WORD) {
    app.viewerHiddenByUser = false;
    ShowWindow(viewer, SW_SHOWNORMAL);
    return FALSE;
}

// A show that the user did not ask for leaves a hidden viewer hidden.
void keepViewerHidden(WINDOWPOS* position) {
    if (app.viewerHiddenByUser) position->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
}

// A choice that must wait carries the list it was chosen from: by the time
// it runs, its position may name another window.
INT_PTR recallCommand(HWND viewer, WORD id) {
    const unsigned position = id - RecallFirstId;
    if (operationUnderWay()) {
        PostMessageA(viewer, QueuedRecallMessage, position, static_cast<LPARAM>(app.recallListVersion));
    } else {
        recallWindow(position, app.recallListVersion);
    }
    return FALSE;
}

void onQueuedRecall(HWND viewer, WPARAM position, LPARAM listVersion) {
    if (operationUnderWay()) {
        PostMessageA(viewer, QueuedRecallMessage, position, listVersion);
        return;
    }
    recallWindow(static_cast<unsigned>(position), static_cast<DWORD>(listVersion));
}

// A script's verb. Its answer is the message's result; a record not acted on
// gets none, as any other program's WM_COPYDATA.
INT_PTR onCopyData(HWND viewer, LPARAM data) {
    const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(data);
    if (copy == nullptr) return FALSE;
    const std::uintptr_t answer = answerVerb(viewer, copy->dwData, copy->lpData, copy->cbData);
    if (answer == 0) return FALSE;
    SetWindowLongPtrA(viewer, DWLP_MSGRESULT, static_cast<LONG_PTR>(answer));
    return TRUE;
}

// "No Windows" only says that there is nothing to recall.
INT_PTR noWindowsCommand(HWND, WORD) { return TRUE; }

struct CommandRow {
    WORD first;
    WORD last;
    INT_PTR (*run)(HWND viewer, WORD id);
    // When set, the row covers only as many ids from `first` as this counts
    // at the moment of the command.
    const DWORD* liveCount;
    // Hides or shows other programs' windows, so it waits its turn while
    // another such operation is under way (a recall waits in its own way).
    bool queues;
};

// The command ids of both popup menus; "About" and "Exit" carry the same ids
// in each and do the same thing from either. Both menus hand their choice
// straight to runCommand: a WM_COMMAND 1 is never "Exit" (see
// onCommandMessage).
const CommandRow CommandTable[] = {
    {ExitId, ExitId, exitCommand, nullptr, true},
    {AboutId, AboutId, aboutCommand, nullptr, false},
    {GotoFirstId, GotoLastId, gotoCommand, nullptr, true},
    {HelpId, HelpId, helpCommand, nullptr, false},
    {OptionsId, OptionsId, optionsCommand, nullptr, false},
    {HideViewerId, HideViewerId, hideViewerCommand, nullptr, false},
    {ShowViewerId, ShowViewerId, showViewerCommand, nullptr, false},
    {NoWindowsId, NoWindowsId, noWindowsCommand, nullptr, false},
    {RecallFirstId, RecallFirstId + MaxRecallItems - 1, recallCommand, &app.recallItemCount, false},
};

bool rowCovers(const CommandRow& row, WORD id) {
    if (id < row.first || id > row.last) return false;
    return row.liveCount == nullptr || DWORD{id} - row.first < *row.liveCount;
}

// An id that no menu carries (IDCANCEL from Escape, say) does nothing.
// A command sent while a switch waits for another program is handled inside
// that wait; posted again, it runs once the switch is over, so a Goto chosen
// meanwhile is late rather than lost.
INT_PTR runCommand(HWND viewer, WORD id) {
    for (const CommandRow& row : CommandTable) {
        if (!rowCovers(row, id)) continue;
        if (row.queues && operationUnderWay()) {
            PostMessageA(viewer, QueuedCommandMessage, id, 0);
            return TRUE;
        }
        return row.run(viewer, id);
    }
    return TRUE;
}

// The dialog manager turns Enter into IDOK and Escape into IDCANCEL, and
// IDOK is 1, the id of "Exit": a key typed while the viewer has the focus
// must never end Panorel and bring every desktop's windows back at once.
// "Exit" comes only from the menus, which run their choice directly, and
// from Alt+F4. Another program that wants Panorel to leave as Exit does
// sends SC_CLOSE.
INT_PTR onCommandMessage(HWND viewer, WORD id) {
    if (id == IDOK || id == IDCANCEL) return TRUE;
    return runCommand(viewer, id);
}

// A person closing the viewer (Alt+F4, which the system turns into SC_CLOSE)
// has no reason to want the parked windows stranded: it leaves as Exit does.
// Only another program's WM_CLOSE ends Panorel with them hidden.
INT_PTR onSysCommand(HWND viewer, WPARAM command) {
    if ((command & SysCommandMask) != SC_CLOSE) return FALSE;
    return runCommand(viewer, ExitId);
}

// The session may be ending: every parked window is shown, so a program with
// unsaved work asks its user in plain sight. Panorel goes on running in case
// the end is cancelled. The table is left as it was: every window stays
// filed, so none can later be hidden without a desktop to bring it back.
INT_PTR onQueryEndSession(HWND viewer) {
    showAllForEndOfSession();
    SetWindowLongPtrA(viewer, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

// The end was cancelled: each window goes back to its own desktop. Inside an
// operation that waits on another program it is put off until that is over,
// still answering the query it came for.
void resumeAfterQuery(HWND viewer, DWORD query) {
    if (!resumeDesktops(query)) PostMessageA(viewer, ResumeDesktopsMessage, query, 0);
}

void onEndSession(HWND viewer, WPARAM ending) {
    if (ending != FALSE || !app.sessionEnding) return;
    resumeAfterQuery(viewer, app.endSessionQuery);
}

void onTimer(HWND viewer, WPARAM timerId) {
    if (timerId == MiniatureTimerId) {
        onMiniatureTimer(viewer);
    } else if (timerId == RulesTimerId) {
        announceRuleMove(lookForNewWindows());
    } else {
        pollSwitchTriggers(viewer);
    }
}

// The screen is read on the timer, never here: a part of the viewer that
// was covered gets back the picture drawn last.
void onPaint(HWND viewer) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(viewer, &paint);
    showMiniature(dc);
    EndPaint(viewer, &paint);
}

bool isRecallId(UINT id) { return id >= RecallFirstId && id < RecallFirstId + MaxRecallItems; }

// Unlike the tray menu, this one is opened without taking the foreground.
// "Show Window" is built afresh, so it lists the titles as they read now. The
// edge trigger may switch desktops while it is open, rebuilding the list
// under it; a title chosen from the old list would then name another item,
// so that choice is dropped. The choice runs at once, before any later poll
// can switch.
void showViewerMenu(HWND viewer) {
    if (operationUnderWay()) return;
    POINT at;
    GetCursorPos(&at);
    rebuildRecallMenu();
    const DWORD version = app.recallListVersion;
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(app.viewerMenu, TPM_RIGHTALIGN | TPM_RETURNCMD, at.x, at.y, 0, viewer, nullptr));
    if (chosen == 0) return;
    if (isRecallId(chosen) && app.recallListVersion != version) return;
    runCommand(viewer, static_cast<WORD>(chosen));
}

}  // namespace

INT_PTR runMenuCommand(HWND viewer, WORD id) { return runCommand(viewer, id); }

INT_PTR CALLBACK ViewerDialogProc(HWND viewer, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return initViewer(viewer);
    case WM_TIMER:
        onTimer(viewer, wParam);
        return FALSE;
    case TrayNotifyMessage:
        onTrayNotify(viewer, wParam, lParam);
        return TRUE;
    case WM_PAINT:
        onPaint(viewer);
        return FALSE;
    case WM_WINDOWPOSCHANGING:
        keepViewerHidden(reinterpret_cast<WINDOWPOS*>(lParam));
        return FALSE;
    case WM_RBUTTONDOWN:
        showViewerMenu(viewer);
        return FALSE;
    case WM_COMMAND:
        return onCommandMessage(viewer, LOWORD(wParam));
    case QueuedCommandMessage:
        return runCommand(viewer, static_cast<WORD>(wParam));
    case WM_HOTKEY:
        onHotkey(viewer, wParam);
        return TRUE;
    case WM_SYSCOMMAND:
        return onSysCommand(viewer, wParam);
    case WM_QUERYENDSESSION:
        return onQueryEndSession(viewer);
    case WM_ENDSESSION:
        onEndSession(viewer, wParam);
        return FALSE;
    case ResumeDesktopsMessage:
        resumeAfterQuery(viewer, static_cast<DWORD>(wParam));
        return TRUE;
    case QueuedRecallMessage:
        onQueuedRecall(viewer, wParam, lParam);
        return TRUE;
    case WM_COPYDATA:
        return onCopyData(viewer, lParam);
    case QueuedVerbMessage:
        onQueuedVerb(viewer, wParam, lParam);
        return TRUE;
    case WM_DISPLAYCHANGE:
        replaceViewer(viewerDpi(viewer));
        return FALSE;
    case DpiChangedMessage:
        replaceViewer(HIWORD(wParam));
        redrawTrayDigits();
        return TRUE;  // placed by the viewer's own rule, not the suggested rectangle
    case WM_MOUSEWHEEL:
        onViewerWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return TRUE;
    case WM_SETTINGCHANGE:
        onSettingChange(wParam, lParam);
        return FALSE;
    case WM_POWERBROADCAST:
        onPowerBroadcast(wParam, lParam);
        return FALSE;
    case WM_CLOSE:
        shutdown(viewer);
    default:
        if (isTaskbarCreated(message)) readdTrayIcon();
        if (isShowViewerRequest(message)) runCommand(viewer, ShowViewerId);
        return FALSE;
    }
}
