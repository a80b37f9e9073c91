// The switch triggers: modifier keys plus a screen edge.
#include "viewer/triggers.h"

#include "desktops/desktops.h"
#include "desktops/window_system.h"
#include "viewer/desktop_cues.h"

const WORD TriggerKeyTable[TriggerKeyCount] = {VK_LCONTROL, VK_LMENU, VK_LSHIFT,
                                               VK_RCONTROL, VK_RMENU, VK_RSHIFT};

namespace {

// Any nonzero state counts: a key that went down and up again between two
// polls still reports "pressed since the last query".
bool keyCounts(WORD virtualKey) { return ws::GetAsyncKeyState(virtualKey) != 0; }

// Keys after the one that decides are not queried, nor are unselected keys.
bool triggerKeysHeld(DWORD mask) {
    const bool anyKeyMode = (mask & AnyKeyModeBit) != 0;
    for (unsigned bit = 0; bit < TriggerKeyCount; ++bit) {
        if ((mask & (1u << bit)) == 0) continue;
        const bool pressed = keyCounts(TriggerKeyTable[bit]);
        if (anyKeyMode && pressed) return true;
        if (!anyKeyMode && !pressed) return false;
    }
    return !anyKeyMode;
}

// An edge column is where the desktop ends only if no other monitor lies
// just past it at the pointer's height; otherwise the pointer is on its way
// there. Asked only on an edge column with the keys held, so the common poll
// costs nothing more.
bool monitorAt(LONG x, LONG y) { return ws::MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONULL) != nullptr; }

}  // namespace

// Nothing is remembered between polls. The pointer lands one column inside
// the opposite edge, off both trigger columns, so keys held with the mouse
// at rest switch once. The screen width is asked every time, so the edges
// follow a change of resolution at once.
void pollSwitchTriggers(HWND) {
    // Inside a stalled switch, or while the session may end, the pointer is
    // neither read nor warped.
    if (!operationMayStart()) return;
    if (!triggerKeysHeld(app.keyMask)) return;

    // While input belongs to another desktop of the window system (a locked
    // workstation, a secure prompt) the position is undefined: taking it as
    // column 0 would switch on every poll.
    POINT pointer = {};
    if (!ws::GetCursorPos(&pointer)) return;
    const int width = ws::GetSystemMetrics(SM_CXSCREEN);

    DesktopId target;
    if (pointer.x == 0) {
        if (monitorAt(-1, pointer.y)) return;
        ws::SetCursorPos(width - 2, pointer.y);
        target = previousDesktop(app.currentDesktop);
    } else if (pointer.x == width - 1) {
        if (monitorAt(width, pointer.y)) return;
        ws::SetCursorPos(1, pointer.y);
        target = nextDesktop(app.currentDesktop);
    } else {
        return;
    }
    const DesktopId from = app.currentDesktop;
    switchDesktop(target, true);
    announceSwitch(from);
}
