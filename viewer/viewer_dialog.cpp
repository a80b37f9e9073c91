// ViewerDialogProc: every message the program acts on arrives here.
#include "app/app.h"
#include "desktops/desktops.h"
#include "viewer/viewer.h"

namespace {

INT_PTR exitCommand(HWND viewer, WORD) {
    showAllDesktops();
    shutdown(viewer);
}

INT_PTR gotoCommand(HWND, WORD id) {
    switchDesktop(id - (GotoFirstId - 1), false);
    return TRUE;
}

INT_PTR recallCommand(HWND, WORD id) {
    recallWindow(id - RecallFirstId);
    return FALSE;
}

// "No Windows" only says that there is nothing to recall.
INT_PTR noCommand(HWND, WORD) { return TRUE; }

struct CommandRow {
    WORD first;
    WORD last;
    INT_PTR (*run)(HWND viewer, WORD id);
    // When set, the row covers only as many ids from `first` as this counts
    // at the moment of the command.
    const DWORD* liveCount;
};

// The command ids of both popup menus; "About" and "Exit" carry the same ids
// in each and do the same thing from either.
const CommandRow CommandTable[] = {
    {ExitId, ExitId, exitCommand, nullptr},
    {GotoFirstId, GotoLastId, gotoCommand, nullptr},
    {NoWindowsId, NoWindowsId, noCommand, nullptr},
    {RecallFirstId, RecallFirstId + MaxRecallItems - 1, recallCommand, &app.recallItemCount},
};

bool rowCovers(const CommandRow& row, WORD id) {
    if (id < row.first || id > row.last) return false;
    return row.liveCount == nullptr || DWORD{id} - row.first < *row.liveCount;
}

// An id that no menu carries (IDCANCEL from Escape, say) does nothing.
INT_PTR runCommand(HWND viewer, WORD id) {
    for (const CommandRow& row : CommandTable) {
        if (rowCovers(row, id)) return row.run(viewer, id);
    }
    return TRUE;
}

void onTimer(HWND viewer, WPARAM timerId) {
    if (timerId == MiniatureTimerId) {
        drawMiniature(viewer);
    } else {
        pollSwitchTriggers(viewer);
    }
}

// The miniature is drawn on the timer, never here: painting only validates.
void onPaint(HWND viewer) {
    PAINTSTRUCT paint;
    BeginPaint(viewer, &paint);
    EndPaint(viewer, &paint);
}

}  // namespace

INT_PTR CALLBACK ViewerDialogProc(HWND viewer, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return initViewer(viewer);
    case WM_TIMER:
        onTimer(viewer, wParam);
        return FALSE;
    case WM_PAINT:
        onPaint(viewer);
        return FALSE;
    case WM_COMMAND:
        return runCommand(viewer, LOWORD(wParam));
    case WM_CLOSE:
        shutdown(viewer);
    }
    return FALSE;
}
