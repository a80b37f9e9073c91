// The screen-edge switch and the recall of a parked window. No settings are
// stored, so the key mask selects no key and the edges alone switch.
#include "e2e.h"
#include "panorel_ids.h"
#include "scenarios.h"

#include <algorithm>

namespace {

constexpr LONG PointerY = 500;

using e2e::allVisible;
using e2e::check;
using e2e::typeShortcut;
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
std::vector<HWND> parkOn(HWND viewer, int d, const std::string& prefix, int count = 1) {
    e2e::sendCommand(viewer, GotoId[d]);
    std::vector<HWND> windows = e2e::openWindows(prefix, count);
    e2e::sendCommand(viewer, GotoId[d]);
    e2e::sendCommand(viewer, GotoId[1]);
    return windows;
}

struct VisibleSearch {
    DWORD skipped;
    std::vector<HWND> found;
};

BOOL CALLBACK collectVisible(HWND w, LPARAM search) {
    auto* s = reinterpret_cast<VisibleSearch*>(search);
    DWORD processId = 0;
    GetWindowThreadProcessId(w, &processId);
    if (processId != s->skipped && IsWindowVisible(w)) s->found.push_back(w);
    return TRUE;
}

// The visible top-level windows of every process but Panorel's.
std::vector<HWND> visibleWindowsBesides(const e2e::Process& panorel) {
    VisibleSearch search = {panorel.id, {}};
    EnumWindows(collectVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Fifty polls of the trigger: long enough to be sure an edge did not switch.
constexpr DWORD FiftyPollsMs = 500;

// The key mask stored the way users' settings are, before Panorel starts;
// "xpos" makes the store count as present.
void storeKeyMask(DWORD keyMask) {
    check(e2e::storeSetting("xpos", 0) && e2e::storeSetting("keycheck", keyMask), "the key mask is stored");
}

// From desktop 1 with a window parked on desktop 2: holding `key` at the
// right edge switches, and without it nothing happens.
void edgeNeedsKey(WORD key, const char* keyName) {
    std::vector<HWND> desktop1 = e2e::openWindows("one", 2);
    Started s = startPanorel();
    if (s.viewer == nullptr) return;
    std::vector<HWND> desktop2 = parkOn(s.viewer, 2, "two");

    SetCursorPos(screenWidth() - 1, PointerY);
    check(!e2e::waitUntil([&] { return noneVisible(desktop1); }, FiftyPollsMs) && pointerAt(screenWidth() - 1, PointerY),
          std::string("without ") + keyName + " the edge does nothing");
    e2e::holdKey(key, true);
    check(e2e::waitUntil([&] { return noneVisible(desktop1) && allVisible(desktop2); }),
          std::string("holding ") + keyName + " at the edge switches to desktop 2");
    e2e::holdKey(key, false);
    check(pointerAt(1, PointerY), "and the pointer lands at x = 1");
}


// Ctrl+Alt+Win switches (the default); Ctrl+Shift+Win moves, as stored.
constexpr DWORD SwitchAndMoveHotkeys = 0x0E0B;
void switchKey(int d) { typeShortcut(static_cast<WORD>('0' + d), {VK_LCONTROL, VK_LMENU, VK_LWIN}); }
void moveKey(int d) { typeShortcut(static_cast<WORD>('0' + d), {VK_LCONTROL, VK_LSHIFT, VK_LWIN}); }

void typeText(const char* text) {
    for (const char* c = text; *c != '\0'; ++c) typeShortcut(static_cast<WORD>(*c), {});
}

// Whether what is typed now goes to the Notepad's text.
bool focusIsIn(HWND notepad) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(0, &info) && info.hwndFocus != nullptr &&
           info.hwndFocus == FindWindowExA(notepad, nullptr, "Edit", nullptr);
}

// The foreground is the window and stays so: under Wine an earlier
// process's SetForegroundWindow can land late and undo a later one.
bool holdsForeground(HWND window) {
    return e2e::waitUntil([&] { return GetForegroundWindow() == window; }) &&
           !e2e::waitUntil([&] { return GetForegroundWindow() != window; }, FiftyPollsMs);
}

// Asks until the window has the foreground, and holds it.
bool activate(HWND window) {
    e2e::waitUntil([&] {
        if (GetForegroundWindow() == window) return true;
        SetForegroundWindow(window);
        return false;
    });
    return holdsForeground(window);
}

std::string notepadText(HWND notepad) {
    char text[64] = {};
    SendMessageTimeoutA(FindWindowExA(notepad, nullptr, "Edit", nullptr), WM_GETTEXT, sizeof text,
                        reinterpret_cast<LPARAM>(text), SMTO_NORMAL, e2e::DefaultDeadlineMs, nullptr);
    return text;
}

}  // namespace

namespace scenarios {

void storedLeftControl() {
    storeKeyMask(0x01);
    edgeNeedsKey(VK_LCONTROL, "left Control");
}

// From the per-user copy, which wins over the machine's left Control alone
// since it holds "xpos".
void storedAnyKeyRightControl() {
    storeKeyMask(0x01);
    check(e2e::storeSetting("xpos", 0, HKEY_CURRENT_USER) && e2e::storeSetting("keycheck", 0x49, HKEY_CURRENT_USER),
          "the per-user copy holds either Control key, any-key mode");
    edgeNeedsKey(VK_RCONTROL, "right Control alone");
}

// The user's way: the viewer's menu, "Show Window", the first title.
void recallByKeyboard() {
    Started s = startPanorel();
    if (s.viewer == nullptr) return;
    std::vector<HWND> parked = parkOn(s.viewer, 2, "parked");
    check(noneVisible(parked), "a window is parked on desktop 2");

    RECT v;
    GetWindowRect(s.viewer, &v);
    e2e::rightClickAt({(v.left + v.right) / 2, (v.top + v.bottom) / 2});
    HWND menu = nullptr;
    e2e::waitUntil([&] { return (menu = e2e::openMenuOf(s.panorel)) != nullptr; });
    if (!check(menu != nullptr, "the viewer's menu opens")) return;
    e2e::selectMenuItem(menu, 1);       // "Show Window"
    e2e::pressMenuKey(menu, VK_RIGHT);  // its first title
    e2e::pressMenuKey(menu, VK_RETURN);
    check(e2e::waitUntil([&] { return allVisible(parked); }), "choosing its title brings it to desktop 1");
    e2e::sendCommand(s.viewer, GotoId[2]);
    check(allVisible(parked), "and it no longer belongs to desktop 2 alone: it moved with the user");

    // A switch while the menu is open (the edge's, or as here a Goto another
    // program sends) rebuilds "Show Window" under it: the title chosen from
    // the old list must not bring back the window now listed in its place.
    std::vector<HWND> other = parkOn(s.viewer, 3, "other");
    check(noneVisible(parked) && noneVisible(other), "one window parked on desktop 2, another on desktop 3");
    PostMessageA(s.viewer, WM_RBUTTONDOWN, MK_RBUTTON, 0);
    menu = nullptr;
    e2e::waitUntil([&] { return (menu = e2e::openMenuOf(s.panorel)) != nullptr; });
    if (!check(menu != nullptr, "the viewer's menu opens again")) return;
    e2e::selectMenuItem(menu, 1);
    e2e::pressMenuKey(menu, VK_RIGHT);  // the first title: desktop 2's window
    e2e::waitUntil([&] { return e2e::openMenuOf(s.panorel, 1) != nullptr; });
    e2e::sendCommand(s.viewer, GotoId[2]);
    std::vector<HWND> shownBefore = visibleWindowsBesides(s.panorel);
    e2e::pressMenuKey(menu, VK_RETURN);
    check(e2e::waitUntil([&] { return e2e::openMenuOf(s.panorel) == nullptr; }), "the menu closes on the choice");
    auto anotherCameBack = [&] {
        for (HWND w : visibleWindowsBesides(s.panorel)) {
            if (w != parked[0] && std::find(shownBefore.begin(), shownBefore.end(), w) == shownBefore.end()) {
                char title[64] = "";
                GetWindowTextA(w, title, sizeof title);
                std::printf("  came back: \"%s\"\n", title);
                return true;
            }
        }
        return false;
    };
    check(!e2e::waitUntil(anotherCameBack, FiftyPollsMs), "no window but the one chosen comes back");
}


void edgeSwitchesRight() {
    std::vector<HWND> desktop1 = e2e::openWindows("one", 2);
    Started s = startPanorel();
    if (s.viewer == nullptr) return;
    std::vector<HWND> desktop2 = parkOn(s.viewer, 2, "two", 2);
    check(allVisible(desktop1) && noneVisible(desktop2), "desktop 1 is current, desktop 2's windows parked");

    // Opened after desktop 1 was last captured: the edge form files it
    // under desktop 1 before hiding, so it is hidden too. So is a window of
    // desktop 2 that its own program shows again on desktop 1: it leaves
    // desktop 2 for desktop 1.
    std::vector<HWND> late = e2e::openWindows("late", 1);
    late.push_back(desktop2.back());
    desktop2.pop_back();
    ShowWindow(late.back(), SW_SHOWNA);
    // A switch shows the viewer after every window it shows.
    ShowWindow(s.viewer, SW_HIDE);
    SetCursorPos(screenWidth() - 1, PointerY);
    check(e2e::waitUntil([&] { return IsWindowVisible(s.viewer) != FALSE; }),
          "the right edge switches and shows the viewer again");
    check(noneVisible(desktop1) && allVisible(desktop2), "desktop 2's window replaces desktop 1's");
    check(noneVisible(late), "the late one and the one shown again by its program are hidden with desktop 1");
    check(e2e::waitUntil([&] { return pointerAt(1, PointerY); }), "the pointer lands one pixel inside the left edge");

    // The Goto may arrive while the edge switch still files the desktop it
    // entered and hands over the focus; it then runs right after.
    e2e::sendCommand(s.viewer, GotoId[1]);
    check(e2e::waitUntil([&] { return allVisible(desktop1) && allVisible(late) && noneVisible(desktop2); }),
          "the late windows came back with desktop 1");
    e2e::placePointer({screenWidth() / 2, PointerY});
    int shownOn = 0;
    for (int d : {2, 3, 4, 1}) {
        e2e::sendCommand(s.viewer, GotoId[d]);
        shownOn += IsWindowVisible(late.back()) != FALSE ? 1 : 0;
    }
    check(shownOn == 1 && IsWindowVisible(late.back()) != FALSE,
          "a tour of the four desktops shows it on desktop 1 alone");
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

    // A borderless popup over the whole screen, as a game, a video or a
    // slide show makes, keeps the edge from hiding it; with an ordinary
    // window in front the edge switches again. Wine may replay the warp
    // late, a touch of its own: the pointer rests in the middle first, and a
    // Goto makes sure of desktop 4.
    const POINT middle = {screenWidth() / 2, PointerY};
    e2e::placePointer(middle);
    e2e::sendCommand(s.viewer, GotoId[4]);
    const HWND fullScreen = e2e::openQuadrants(0);
    check(fullScreen != nullptr && activate(fullScreen), "a full-screen popup is in front on desktop 4");
    SetCursorPos(screenWidth() - 1, PointerY);
    check(!e2e::waitUntil([&] { return IsWindowVisible(fullScreen) == FALSE; }, FiftyPollsMs) &&
              allVisible(desktop4) && pointerAt(screenWidth() - 1, PointerY),
          "with it in front the right edge does nothing");
    // Off the edge while the foreground settles, so the next touch is new.
    // A late replay of a warp may touch the edge sooner, once the ordinary
    // window is in front: then the switch just comes earlier.
    e2e::placePointer(middle);
    e2e::waitUntil([&] {
        if (GetForegroundWindow() == desktop4[0] || IsWindowVisible(desktop4[0]) == FALSE) return true;
        SetForegroundWindow(desktop4[0]);
        return false;
    });
    SetCursorPos(screenWidth() - 1, PointerY);
    check(e2e::waitUntil([&] { return noneVisible({fullScreen, desktop4[0]}) && allVisible(desktop1); }),
          "with desktop 4's ordinary window in front the right edge switches to desktop 1 again");
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

namespace scenarios {

// Typing goes where the user looks right after a keyboard switch; a window
// moved by keyboard is hidden and comes back with its new desktop, the
// focus going to the next window in the stacking order; a dialog moved
// takes its owner along; one shown on every desktop stays through a round
// of switches.
void keyboardMovesWindows() {
    e2e::storeSetting("xpos", 0);
    e2e::storeSetting("hotkeys", SwitchAndMoveHotkeys);
    HWND first = e2e::openProgram("notepad.exe");
    Started s = startPanorel();
    if (s.viewer == nullptr) return;
    SetForegroundWindow(first);
    switchKey(2);
    check(e2e::waitUntil([&] { return IsWindowVisible(first) == FALSE; }), "Ctrl+Alt+Win+2 parks desktop 1");
    const HWND below = e2e::openWindows("below", 1)[0];
    HWND second = e2e::openProgram("notepad.exe");
    switchKey(1);
    check(e2e::waitUntil([&] { return IsWindowVisible(first) != FALSE && IsWindowVisible(second) == FALSE; }),
          "Ctrl+Alt+Win+1 goes back");
    check(e2e::waitUntil([&] { return focusIsIn(first); }), "and gives the keyboard focus to its Notepad");
    typeText("ONE");
    check(e2e::waitUntil([&] { return notepadText(first) == "one"; }), "typing lands in desktop 1's Notepad");
    switchKey(2);
    e2e::waitUntil([&] { return focusIsIn(second); });
    typeText("TWO");
    check(e2e::waitUntil([&] { return notepadText(second) == "two"; }) && notepadText(first) == "one",
          "and after Ctrl+Alt+Win+2 in desktop 2's");

    // Opened since desktop 2 was captured, and worked in after the window
    // captured below the Notepad.
    const HWND late = e2e::openWindows("late", 1)[0];
    holdsForeground(late);
    check(activate(second), "the user works in the late window, then in the Notepad");
    moveKey(3);
    check(e2e::waitUntil([&] { return IsWindowVisible(second) == FALSE; }) && IsWindowVisible(first) == FALSE,
          "Ctrl+Shift+Win+3 sends the active Notepad away and the user stays on desktop 2");
    check(holdsForeground(late) && IsWindowVisible(below) != FALSE,
          "the focus goes to the next window in the stacking order, the one opened since the last switch");
    const std::vector<HWND> everywhere = e2e::openWindows("everywhere", 1);
    SetForegroundWindow(everywhere[0]);
    e2e::waitUntil([&] { return GetForegroundWindow() == everywhere[0]; });
    typeShortcut('0', {VK_LCONTROL, VK_LSHIFT, VK_LWIN});
    bool stays = true;
    for (int d : {3, 1, 4, 2, 3}) {
        switchKey(d);
        stays = e2e::waitUntil([&] { return (IsWindowVisible(second) != FALSE) == (d == 3); }) &&
                IsWindowVisible(everywhere[0]) != FALSE && stays;
    }
    check(stays, "the moved Notepad shows on desktop 3 alone, the window on every desktop on each");

    activate(second);
    typeShortcut('F', {VK_LCONTROL});
    HWND find = nullptr;
    check(e2e::waitUntil([&] { return (find = e2e::ownedWindowOf(second)) != nullptr; }) && holdsForeground(find),
          "Ctrl+F opens the Notepad's Find box, owned by it and active");
    moveKey(4);
    check(e2e::waitUntil([&] { return noneVisible({find, second}); }),
          "Ctrl+Shift+Win+4 with the Find box active sends it away with its Notepad");
    // The move gives the focus to a window of this desktop. Wine rewrites the
    // modifiers' state from the X server when a window is activated, so
    // keys typed while that activation lands can lose a modifier and make
    // no shortcut: the next keys wait until the foreground has settled.
    HWND next = nullptr;
    e2e::waitUntil([&] { return (next = GetForegroundWindow()) != nullptr && next != find && next != second; });
    holdsForeground(next);
    switchKey(4);
    check(e2e::waitUntil([&] { return allVisible({find, second}); }), "and both stand on desktop 4");

    // A dialog opened since the last switch stands with its owner: a Goto
    // leaves it behind with the Notepad rather than moving it on alone.
    PostMessageA(find, WM_CLOSE, 0, 0);
    e2e::waitUntil([&] { return IsWindow(find) == FALSE; });
    activate(second);
    typeShortcut('F', {VK_LCONTROL});
    HWND lateFind = nullptr;
    check(e2e::waitUntil([&] { return (lateFind = e2e::ownedWindowOf(second)) != nullptr; }),
          "a new Find box opens after the last switch");
    e2e::sendCommand(s.viewer, GotoId[1]);
    check(noneVisible({lateFind, second}), "Goto Desktop 1 leaves it behind with its Notepad");
    e2e::sendCommand(s.viewer, GotoId[4]);
    check(allVisible({lateFind, second}), "and Goto Desktop 4 brings both back");
}

}  // namespace scenarios
