// Window events keep the table true between captures, where the system
// sends them: Windows does, from every process; some systems send none,
// and then the next capture does the same, as it always has.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

namespace {

// A parked window its own program shows again is on the screen by its
// program's doing: it leaves its slot, so that hiding it later is its
// program's business too, never Panorel's to undo. The event of a show
// Panorel made itself arrives after the slot was unparked, or once the
// window is hidden again; neither counts.
bool shownByItsProgram(unsigned slot) {
    return app.parkedSlots[slot] && ownerUnchanged(slot) && ws::IsWindowVisible(app.windowTable[slot]) == TRUE;
}

HWND shownRoot = nullptr;
bool isShownRoot(HWND root) { return root == shownRoot; }

}  // namespace

// Events that arrive while an operation waits on another program are about
// a table half-way through a change: the capture at its end sees the truth.
void noteWindowEvent(DWORD event, HWND window) {
    if (window == nullptr || operationUnderWay() || app.sessionEnding) return;
    if (event != EVENT_OBJECT_SHOW && event != EVENT_OBJECT_DESTROY) return;
    bool changed = false;
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        if (app.windowTable[slot] != window) continue;
        const bool gone = event == EVENT_OBJECT_DESTROY ? !ownerUnchanged(slot) : shownByItsProgram(slot);
        if (!gone) continue;
        emptySlot(slot);
        changed = true;
    }
    if (event == EVENT_OBJECT_DESTROY) dropGoneEveryDesktopWindows();
    if (!changed) return;
    if (event == EVENT_OBJECT_SHOW) {
        shownRoot = window;
        beginOperation();
        releaseParkedMembers(isShownRoot);
        endOperation();
    }
    rebuildRecallMenu();
    writeParkedRecord();
}
