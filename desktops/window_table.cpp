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

}  // namespace

void captureDesktop() {
    HWND* range = app.windowTable + desktopRangeStart(app.currentDesktop);
    for (unsigned i = 0; i < SlotsPerDesktop; ++i) range[i] = nullptr;
    app.captureCount = 0;

    // Follow the sibling chain as it stands from one call to the next: other
    // processes may reorder it meanwhile, and a destroyed window answers null.
    HWND w = ws::GetWindow(ws::GetDesktopWindow(), GW_CHILD);
    while (w != nullptr) {
        if (!skipsWindow(w)) {
            range[app.captureCount++] = w;
            if (app.captureCount == SlotsPerDesktop) break;  // never ask past the 64th
        }
        w = ws::GetWindow(w, GW_HWNDNEXT);
    }
    rebuildRecallMenu();
}
