// The switch triggers: modifier keys plus a screen edge.
#include "viewer/triggers.h"

#include "desktops/desktops.h"
#include "desktops/window_system.h"
#include "viewer/desktop_cues.h"
#include "settings/settings.h"

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

constexpr LONG NoEdgeTouch = -1;
constexpr std::int64_t MsPerSecond = 1000;
constexpr int MouseButtons[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1, VK_XBUTTON2};

std::int64_t counterMs() {
    LARGE_INTEGER count = {};
    LARGE_INTEGER frequency = {};
    ws::QueryPerformanceCounter(&count);
    ws::QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart > 0 ? count.QuadPart * MsPerSecond / frequency.QuadPart : 0;
}

// Only the high bit, held now: a click that ended before the touch says
// nothing about a drag.
bool mouseButtonHeld() {
    for (int button : MouseButtons) {
        if (ws::GetAsyncKeyState(button) < 0) return true;
    }
    return false;
}

// A program that keeps the cursor to its own area, or hides it, is using
// the mouse for itself (a game, mostly). Unconfined, the cursor may roam
// the whole virtual screen.
bool cursorHeldByProgram() {
    RECT clip = {};
    if (ws::GetClipCursor(&clip)) {
        const LONG left = ws::GetSystemMetrics(SM_XVIRTUALSCREEN);
        const LONG top = ws::GetSystemMetrics(SM_YVIRTUALSCREEN);
        if (clip.left > left || clip.top > top || clip.right < left + ws::GetSystemMetrics(SM_CXVIRTUALSCREEN) ||
            clip.bottom < top + ws::GetSystemMetrics(SM_CYVIRTUALSCREEN)) {
            return true;
        }
    }
    CURSORINFO cursor = {};
    cursor.cbSize = sizeof cursor;
    return ws::GetCursorInfo(&cursor) && (cursor.flags & CURSOR_SHOWING) == 0;
}

bool covers(const RECT& area, const RECT& screen) {
    return area.left <= screen.left && area.top <= screen.top && area.right >= screen.right &&
           area.bottom >= screen.bottom;
}

// A game, a video or a slide show fills its monitor without a title bar. A
// maximised window with one is the system's sizing, not a full-screen
// program: with the taskbar set to hide, it too covers the monitor.
bool fullScreenInFront() {
    HWND front = ws::GetForegroundWindow();
    if (front == nullptr || isShellsOwn(front)) return false;
    if ((ws::GetWindowLongA(front, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) return false;
    RECT area = {};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    return ws::GetWindowRect(front, &area) &&
           ws::GetMonitorInfoA(ws::MonitorFromWindow(front, MONITOR_DEFAULTTONEAREST), &monitor) &&
           covers(area, monitor.rcMonitor);
}

// The shell's own judgement that the user must not be disturbed.
bool shellSaysBusy() {
    QUERY_USER_NOTIFICATION_STATE state = QUNS_ACCEPTS_NOTIFICATIONS;
    if (ws::SHQueryUserNotificationState(&state) != S_OK) return false;
    return state == QUNS_BUSY || state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE;
}

// The keyboard shortcuts and the tray are deliberate; an edge is easily
// touched by accident, and a switch hides whatever is in front.
bool edgeStopped() { return mouseButtonHeld() || cursorHeldByProgram() || fullScreenInFront() || shellSaysBusy(); }

void endEdgeTouch() { app.edgeTouchColumn = NoEdgeTouch; }

// A touch lasts while the pointer stays on one edge column. It switches once
// it has rested there as long as chosen, if nothing stops the edge then;
// one that something stopped is spent until the pointer leaves, so what
// stops the edge is asked once a touch, never on the common poll.
bool touchSwitches(LONG column) {
    const DWORD restMs = edgeRestMs(app.edgeDelay);
    if (column != app.edgeTouchColumn) {
        app.edgeTouchColumn = column;
        app.edgeTouchSpent = false;
        app.edgeTouchStartMs = restMs != 0 ? counterMs() : 0;
    }
    if (app.edgeTouchSpent) return false;
    if (restMs != 0 && counterMs() - app.edgeTouchStartMs < restMs) return false;
    app.edgeTouchSpent = true;
    return !edgeStopped();
}

}  // namespace

// Only the touch of an edge is remembered between polls. The pointer lands
// one column inside the opposite edge, off both trigger columns, so keys
// held with the mouse at rest switch once. The screen width is asked every
// time, so the edges follow a change of resolution at once.
void pollSwitchTriggers(HWND) {
    // Inside a stalled switch, or while the session may end, the pointer is
    // neither read nor warped.
    if (!operationMayStart()) return;
    if (!triggerKeysHeld(app.keyMask)) return endEdgeTouch();

    // While input belongs to another desktop of the window system (a locked
    // workstation, a secure prompt) the position is undefined: taking it as
    // column 0 would switch on every poll.
    POINT pointer = {};
    if (!ws::GetCursorPos(&pointer)) return endEdgeTouch();
    const int width = ws::GetSystemMetrics(SM_CXSCREEN);

    int landing;
    DesktopId target;
    if (pointer.x == 0 && !monitorAt(-1, pointer.y)) {
        landing = width - 2;
        target = previousDesktop(app.currentDesktop);
    } else if (pointer.x == width - 1 && !monitorAt(width, pointer.y)) {
        landing = 1;
        target = nextDesktop(app.currentDesktop);
    } else {
        return endEdgeTouch();
    }
    const DesktopId from = app.currentDesktop;
    if (!touchSwitches(pointer.x)) return;
    endEdgeTouch();
    ws::SetCursorPos(landing, pointer.y);
    switchDesktop(target, true);
    announceSwitch(from);
}
