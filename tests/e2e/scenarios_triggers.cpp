// The screen-edge switch and the recall of a parked window. No settings are
// stored, so the key mask selects no key and the edges alone switch.
#include "e2e.h"
#include "scenarios.h"

namespace {

constexpr WORD GotoId[] = {0, 49, 50, 51, 52};  // by desktop number
constexpr WORD RecallFirstId = 2400;
constexpr LONG PointerY = 500;

using e2e::allVisible;
using e2e::check;
using e2e::noneVisible;

int screenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

// Off both trigger columns, wherever Xvfb put the pointer.
void centrePointer() { SetCursorPos(screenWidth() / 2, PointerY); }

bool pointerAt(LONG x, LONG y) {
    POINT p = {};
    return GetCursorPos(&p) && p.x == x && p.y == y;
}

struct Started {
    e2e::Process panorel;
    HWND viewer = nullptr;
};

Started startPanorel() {
    centrePointer();
    Started s;
    s.panorel = e2e::startPanorel();
    s.viewer = e2e::waitViewer(s.panorel);
    check(s.viewer != nullptr, "the viewer appears");
    return s;
}

// Opens windows on desktop d (from desktop 1) and files them there: a Goto to
// the desktop the user is on captures it. Returns to desktop 1.
std::vector<HWND> parkOn(HWND viewer, int d, const std::string& prefix) {
    e2e::sendCommand(viewer, GotoId[d]);
    std::vector<HWND> windows = e2e::openWindows(prefix, 1);
    e2e::sendCommand(viewer, GotoId[d]);
    e2e::sendCommand(viewer, GotoId[1]);
    return windows;
}

}  // namespace

namespace scenarios {

void edgeSwitchesRight() {
    std::vector<HWND> desktop1 = e2e::openWindows("one", 2);
    Started s = startPanorel();
    if (s.viewer == nullptr) return;
    std::vector<HWND> desktop2 = parkOn(s.viewer, 2, "two");
    check(allVisible(desktop1) && noneVisible(desktop2), "desktop 1 is current, desktop 2's window parked");

    // Opened after desktop 1 was last captured: the edge form files it
    // under desktop 1 before hiding, so it is hidden too.
    std::vector<HWND> late = e2e::openWindows("late", 1);
    SetCursorPos(screenWidth() - 1, PointerY);
    check(e2e::waitUntil([&] { return noneVisible(desktop1) && noneVisible(late) && allVisible(desktop2); }),
          "the right edge switches to desktop 2, hiding desktop 1's windows and the late one");
    check(pointerAt(1, PointerY), "the pointer lands one pixel inside the left edge");
    check(IsWindowVisible(s.viewer) != FALSE, "the viewer stays visible");

    e2e::sendCommand(s.viewer, GotoId[1]);
    check(allVisible(desktop1) && allVisible(late) && noneVisible(desktop2),
          "the late window came back with desktop 1");
}

void edgeWrapsLeft() {
    std::vector<HWND> desktop1 = e2e::openWindows("one", 2);
    Started s = startPanorel();
    if (s.viewer == nullptr) return;
    std::vector<HWND> desktop4 = parkOn(s.viewer, 4, "four");
    check(allVisible(desktop1) && noneVisible(desktop4), "desktop 1 is current, desktop 4's window parked");

    SetCursorPos(0, PointerY);
    check(e2e::waitUntil([&] { return noneVisible(desktop1) && allVisible(desktop4); }),
          "the left edge of desktop 1 wraps to desktop 4");
    check(pointerAt(screenWidth() - 2, PointerY), "the pointer lands one pixel inside the right edge");
}

void recallRestoresMaximised() {
    Started s = startPanorel();
    if (s.viewer == nullptr) return;
    e2e::sendCommand(s.viewer, GotoId[2]);
    HWND notepad = e2e::openProgram("notepad.exe");
    ShowWindow(notepad, SW_MAXIMIZE);
    check(e2e::waitUntil([&] { return IsZoomed(notepad) != FALSE; }), "notepad is maximised on desktop 2");
    e2e::sendCommand(s.viewer, GotoId[2]);
    e2e::sendCommand(s.viewer, GotoId[1]);
    check(IsWindowVisible(notepad) == FALSE && IsZoomed(notepad) != FALSE,
          "on desktop 1 notepad is parked maximised");

    check(e2e::sendCommand(s.viewer, RecallFirstId), "the first listed window is chosen");
    check(IsWindowVisible(notepad) != FALSE, "notepad is back on desktop 1");
    check(IsZoomed(notepad) == FALSE && IsIconic(notepad) == FALSE, "at its normal size");
}

}  // namespace scenarios
