// Capture: files the windows visible right now under the current desktop.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

namespace {

// The rules in the order they must run: the three handle comparisons cost
// nothing, the process id is asked before visibility, and a window's
// visibility counts only when the answer is exactly TRUE.
bool skipsWindow(HWND w) {
    if (w == app.viewerWindow || w == app.progmanWindow || w == app.taskbarWindow) return true;
    DWORD processId = 0;
    ws::GetWindowThreadProcessId(w, &processId);
    if (processId == app.ownProcessId) return true;
    return ws::IsWindowVisible(w) != TRUE;
}

// Files one window of the snapshot into the range; the 64th ends the walk,
// so nothing is asked of the window below it.
BOOL CALLBACK fileWindow(HWND w, LPARAM range) {
    if (skipsWindow(w)) return TRUE;
    reinterpret_cast<HWND*>(range)[app.captureCount++] = w;
    return app.captureCount < SlotsPerDesktop ? TRUE : FALSE;
}

}  // namespace

// The walk goes over one snapshot of the z-order, not along the sibling
// chain: other processes reorder the chain while it is walked (a window
// just shown by a switch is often still being activated by its program),
// and a window that moved up past the walk would be missed, then never
// hidden with its desktop. A window destroyed meanwhile answers as
// invisible and is skipped.
void captureDesktop() {
    HWND* range = app.windowTable + desktopRangeStart(app.currentDesktop);
    for (unsigned i = 0; i < SlotsPerDesktop; ++i) range[i] = nullptr;
    app.captureCount = 0;
    ws::EnumWindows(fileWindow, reinterpret_cast<LPARAM>(range));
    rebuildRecallMenu();
}
