// Start-up, Goto switching and the three ways out.
#include "e2e.h"
#include "panorel_ids.h"
#include "scenarios.h"

#include <cstdio>
#include <cstring>

namespace {

using e2e::allVisible;
using e2e::check;
using e2e::noneVisible;

struct Parked {
    e2e::Process panorel;
    HWND viewer;
    std::vector<HWND> desktop1, desktop2, desktop3;
};

// Windows parked on desktops 1 to 3 with desktop 4 current. A window opened
// on a desktop is filed under it by a Goto to that same desktop.
Parked parkOnThreeDesktops() {
    Parked p;
    p.desktop1 = e2e::openWindows("one", 2);
    p.desktop1.push_back(e2e::openProgram("notepad.exe"));
    p.panorel = e2e::startPanorel();
    p.viewer = e2e::waitViewer(p.panorel);
    check(p.viewer != nullptr, "the viewer appears");
    e2e::sendCommand(p.viewer, GotoId[2]);
    p.desktop2 = e2e::openWindows("two", 2);
    e2e::sendCommand(p.viewer, GotoId[2]);
    e2e::sendCommand(p.viewer, GotoId[3]);
    p.desktop3 = e2e::openWindows("three", 1);
    p.desktop3.push_back(e2e::openProgram("regedit.exe"));
    e2e::sendCommand(p.viewer, GotoId[3]);
    e2e::sendCommand(p.viewer, GotoId[4]);
    check(noneVisible(p.desktop1) && noneVisible(p.desktop2) && noneVisible(p.desktop3),
          "windows parked on desktops 1, 2 and 3 are hidden");
    return p;
}

std::vector<HWND> allParked(const Parked& p) {
    std::vector<HWND> all = p.desktop1;
    all.insert(all.end(), p.desktop2.begin(), p.desktop2.end());
    all.insert(all.end(), p.desktop3.begin(), p.desktop3.end());
    return all;
}

}  // namespace

namespace scenarios {

void startAndGoto() {
    std::vector<HWND> mine = e2e::openWindows("start", 3);
    HWND notepad = e2e::openProgram("notepad.exe");
    HWND regedit = e2e::openProgram("regedit.exe");
    std::vector<HWND> desktop1 = mine;
    desktop1.push_back(notepad);
    desktop1.push_back(regedit);
    check(allVisible(desktop1), "windows of a second process and of Wine's programs are open");

    e2e::Process panorel = e2e::startPanorel();
    HWND viewer = e2e::waitViewer(panorel);
    if (!check(viewer != nullptr, "the viewer of Panorel's process appears")) return;
    LONG style = GetWindowLongA(viewer, GWL_STYLE);
    LONG exStyle = GetWindowLongA(viewer, GWL_EXSTYLE);
    check((style & (WS_POPUP | WS_BORDER)) == (WS_POPUP | WS_BORDER) && (style & WS_CAPTION) != WS_CAPTION,
          "the viewer is a bordered popup without a caption");
    check((exStyle & WS_EX_TOOLWINDOW) != 0, "the viewer is a tool window (no taskbar button)");
    check(allVisible(desktop1), "start-up hides nothing");

    check(e2e::sendCommand(viewer, GotoId[2]), "Goto Desktop 2 is handled");
    check(noneVisible(desktop1), "desktop 1's windows are hidden on desktop 2");
    check(IsWindowVisible(viewer) != FALSE, "the viewer stays visible");

    // A second start only brings the running Panorel's viewer back: it
    // neither shows the parked windows nor files anything.
    e2e::sendCommand(viewer, HideViewerId);
    check(e2e::waitUntil([&] { return IsWindowVisible(viewer) == FALSE; }), "Hide Desktop Viewer hides the viewer");
    e2e::Process second = e2e::startPanorel();
    DWORD code = STILL_ACTIVE;
    check(e2e::waitExit(second, &code) && code == 0, "a second Panorel exits with code 0");
    check(e2e::waitUntil([&] { return IsWindowVisible(viewer) != FALSE; }), "and the first one's viewer is shown");
    check(noneVisible(desktop1) && e2e::isRunning(panorel), "the first runs on with desktop 1's windows parked");

    e2e::sendCommand(viewer, GotoId[1]);
    check(allVisible(desktop1), "Goto Desktop 1 shows them again");

    e2e::sendCommand(viewer, GotoId[1]);
    check(allVisible(desktop1), "Goto the current desktop leaves its windows shown");

    // The edge switch captures the desktop it leaves right after the Gotos
    // restacked it. It comes last: a program started after a warp of the
    // pointer can take the pointer's place from the X server, which may
    // still hold the edge.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) / 2);
    check(e2e::waitUntil([&] { return noneVisible(desktop1); }), "the right edge hides desktop 1's windows");
    e2e::sendCommand(viewer, GotoId[4]);
    check(noneVisible(desktop1), "and Goto Desktop 4 leaves them hidden");
}

void gotoMovesNewWindows() {
    std::vector<HWND> desktop1 = e2e::openWindows("first", 2);
    e2e::Process panorel = e2e::startPanorel();
    HWND viewer = e2e::waitViewer(panorel);
    if (!check(viewer != nullptr, "the viewer appears")) return;

    std::vector<HWND> late = e2e::openWindows("late", 2);
    // Made after start-up, so known by their classes alone.
    std::vector<HWND> shell =
        e2e::openWindowsOfClasses("shell", {"Progman", "WorkerW", "Shell_TrayWnd", "Shell_SecondaryTrayWnd"});
    e2e::sendCommand(viewer, GotoId[2]);
    check(noneVisible(desktop1), "desktop 1's windows from start-up are hidden");
    check(allVisible(late), "windows opened after start-up move with a Goto switch");

    e2e::sendCommand(viewer, GotoId[1]);
    check(allVisible(desktop1), "back on desktop 1 its windows return");
    check(noneVisible(late), "the moved windows now belong to desktop 2");
    check(allVisible(shell), "the shell's desktop, wallpaper layer and taskbars stay on every desktop");

    e2e::sendCommand(viewer, GotoId[2]);
    check(allVisible(late) && noneVisible(desktop1), "and they come back with desktop 2");

    // Every show restacks the windows while the capture that ends the switch
    // runs: a round of Gotos over four desktops must still show each desktop
    // exactly its own windows.
    e2e::sendCommand(viewer, GotoId[3]);
    const std::vector<HWND> desktop3 = e2e::openWindows("third", 3);
    e2e::sendCommand(viewer, GotoId[3]);  // a Goto to the same desktop files them under it
    e2e::sendCommand(viewer, GotoId[4]);
    const std::vector<HWND> desktop4 = e2e::openWindows("fourth", 3);
    e2e::sendCommand(viewer, GotoId[4]);

    // A parked window that its own program shows again (a notification
    // clicked, say) appeared on the desktop the user is on: it moves with
    // the next Goto and leaves desktop 2 for good.
    const HWND returning = late.back();
    late.pop_back();
    ShowWindow(returning, SW_SHOWNA);
    e2e::sendCommand(viewer, GotoId[3]);
    check(IsWindowVisible(returning) != FALSE,
          "a window of desktop 2 that its program shows on desktop 4 moves with Goto Desktop 3");
    std::vector<HWND> desktop3AndReturning = desktop3;
    desktop3AndReturning.push_back(returning);

    const std::vector<HWND>* own[] = {&desktop1, &late, &desktop3AndReturning, &desktop4};
    constexpr int Round[] = {1, 3, 2, 4, 1, 2, 3, 1, 4, 3, 2, 1, 4, 2, 3, 4, 1, 3, 2, 1, 4};
    bool eachOwn = true;
    for (int d : Round) {
        e2e::sendCommand(viewer, GotoId[d]);
        for (int other = 1; other <= 4; ++other) {
            eachOwn = eachOwn && (other == d ? allVisible(*own[other - 1]) : noneVisible(*own[other - 1]));
        }
    }
    check(eachOwn, "a round of 21 Gotos shows each desktop exactly its own windows, that one on desktop 3 alone");
}

// At the end of the session every parked window is shown first, so that a
// program with unsaved work asks its user in plain sight; Panorel stays, in
// case the end is cancelled, and its desktops still hold every window.
void exitShowsParked() {
    Parked p = parkOnThreeDesktops();
    DWORD_PTR agreed = FALSE;
    bool answered = SendMessageTimeoutA(p.viewer, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, e2e::DefaultDeadlineMs,
                                        &agreed) != 0;
    check(answered && agreed == TRUE, "Panorel agrees to the end of the session");
    check(allVisible(allParked(p)), "having shown every parked window first");
    check(e2e::isRunning(p.panorel), "and keeps running in case the end is cancelled");
    SendMessageTimeoutA(p.viewer, WM_ENDSESSION, FALSE, 0, SMTO_NORMAL, e2e::DefaultDeadlineMs, nullptr);
    check(e2e::waitUntil([&] { return noneVisible(allParked(p)); }),
          "a cancelled end parks the other desktops' windows again");
    e2e::sendCommand(p.viewer, GotoId[1]);
    check(allVisible(p.desktop1) && noneVisible(p.desktop2) && noneVisible(p.desktop3),
          "each of them still on its own desktop");

    // Windows their own program hides (closed to a tray icon, say) are not
    // Panorel's to show: not when the user comes back to their desktop,
    // nor at Exit.
    const HWND closedBefore = p.desktop1[0];
    const HWND closedLast = p.desktop1[1];
    ShowWindow(closedBefore, SW_HIDE);
    e2e::sendCommand(p.viewer, GotoId[2]);
    e2e::sendCommand(p.viewer, GotoId[1]);
    check(IsWindowVisible(closedBefore) == FALSE && IsWindowVisible(closedLast) != FALSE,
          "a window its program hid on desktop 1 stays hidden through Goto Desktop 2 and back");
    ShowWindow(closedLast, SW_HIDE);

    PostMessageA(p.viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = STILL_ACTIVE;
    check(e2e::waitExit(p.panorel, &code), "Exit ends Panorel");
    check(code == 0, "with exit code 0");
    std::vector<HWND> shownByPrograms = allParked(p);
    shownByPrograms.erase(shownByPrograms.begin(), shownByPrograms.begin() + 2);  // closedBefore, closedLast
    check(allVisible(shownByPrograms), "every parked window is visible again");
    check(IsWindowVisible(closedBefore) == FALSE && IsWindowVisible(closedLast) == FALSE,
          "the two windows their program hid stay hidden");
}

// Alt+F4 closes "the current window", and after a switch or a tray menu's
// command that is the viewer: a person closing it leaves as Exit does. A close request from
// another program ends Panorel at once and leaves the windows hidden.
void closeLeavesParked() {
    Parked p = parkOnThreeDesktops();
    // As after a tray menu's command, which brings the viewer to the front.
    SetForegroundWindow(p.viewer);
    check(e2e::waitUntil([&] { return GetForegroundWindow() == p.viewer; }), "the viewer is the active window");
    e2e::pressKey(VK_MENU, true);
    e2e::pressKey(VK_F4, true);
    e2e::pressKey(VK_F4, false);
    e2e::pressKey(VK_MENU, false);
    DWORD code = STILL_ACTIVE;
    check(e2e::waitExit(p.panorel, &code) && code == 0, "Alt+F4 ends Panorel with exit code 0");
    check(allVisible(allParked(p)), "having shown every parked window, as Exit does");

    e2e::Process panorel = e2e::startPanorel();
    HWND viewer = e2e::waitViewer(panorel);
    e2e::sendCommand(viewer, GotoId[2]);
    check(noneVisible(allParked(p)), "a new Panorel parks them all on desktop 1");
    PostMessageA(viewer, WM_CLOSE, 0, 0);
    check(e2e::waitExit(panorel, &code) && code == 0, "WM_CLOSE ends Panorel with exit code 0");
    check(noneVisible(allParked(p)), "the parked windows stay hidden");
}

// Ended from outside, Panorel leaves its parked windows hidden; the next
// start shows them and files them under desktop 1, and leaves hidden what
// their own program hid.
void restartRecoversParked() {
    e2e::Pool pool = e2e::openPool("parked", 3);
    e2e::Process panorel = e2e::startPanorel();
    HWND viewer = e2e::waitViewer(panorel);
    if (!check(viewer != nullptr, "the viewer appears beside three windows")) return;
    e2e::sendCommand(viewer, GotoId[2]);
    HWND hiddenByProgram = e2e::poolCreate(pool, 4);
    check(e2e::poolHide(hiddenByProgram) && noneVisible(pool.windows),
          "Goto Desktop 2 parks three windows; on desktop 2 a fourth is hidden by its own program");
    TerminateProcess(panorel.handle, 1);
    DWORD code = STILL_ACTIVE;
    check(e2e::waitExit(panorel, &code) && noneVisible(pool.windows), "Panorel ended from outside leaves them hidden");

    e2e::Process again = e2e::startPanorel();
    viewer = e2e::waitViewer(again);
    if (!check(viewer != nullptr, "a new Panorel starts")) return;
    check(allVisible(pool.windows), "and shows the three parked windows");
    check(IsWindowVisible(hiddenByProgram) == FALSE, "the window its own program hid stays hidden");
    e2e::sendCommand(viewer, GotoId[2]);
    check(noneVisible(pool.windows), "the three are filed under desktop 1: Goto Desktop 2 hides them");
}

// Panorel takes nothing from outside to make it fault, so the fault comes
// from a thread started in it at an address where no code is.
void faultShowsParked() {
    Parked p = parkOnThreeDesktops();
    auto nowhere = reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<ULONG_PTR>(0x10));
    HANDLE thread = CreateRemoteThread(p.panorel.handle, nullptr, 0, nowhere, nullptr, 0, nullptr);
    if (!check(thread != nullptr, "a faulting thread starts in Panorel")) return;
    CloseHandle(thread);
    DWORD code = STILL_ACTIVE;
    check(e2e::waitExit(p.panorel, &code), "the fault ends Panorel");
    check(code != 0, "with a failure exit code");
    check(allVisible(allParked(p)), "every parked window was shown before it died");
}

// For scripts/run and the README's screenshot: Panorel beside a few
// windows, left running.
void show() {
    MoveWindow(e2e::openProgram("regedit.exe"), 60, 420, 640, 420, TRUE);
    e2e::openWindows("Panorel demo", 2);
    MoveWindow(e2e::openProgram("notepad.exe"), 420, 90, 600, 440, TRUE);
    e2e::Process panorel = e2e::startPanorel();
    HWND viewer = e2e::waitViewer(panorel);
    check(viewer != nullptr, "the viewer appears");
    // Wait until the miniature shows the screen: a third of the way into
    // the viewer is the colour a third of the way into the screen.
    e2e::waitUntil([&] {
        RECT v, screen;
        GetWindowRect(viewer, &v);
        GetWindowRect(GetDesktopWindow(), &screen);
        LONG x = v.left + (v.right - v.left) / 3, y = v.top + (v.bottom - v.top) / 3;
        RECT inViewer = {x, y, x + 1, y + 1};
        RECT onScreen = {screen.right / 3, screen.bottom / 3, screen.right / 3 + 1, screen.bottom / 3 + 1};
        return e2e::screenPixels(inViewer)[0] == e2e::screenPixels(onScreen)[0];
    });
}

// One Panorel per session, whichever build runs: a start of the other build
// ends at once, touches no window and only shows the running one's viewer.
void onePanorelAcrossBuilds() {
    const std::string other = e2e::otherBuildPanorel();
    if (!check(GetFileAttributesA(other.c_str()) != INVALID_FILE_ATTRIBUTES,
               "the other build's Panorel.exe is there: " + other)) {
        return;
    }
    std::vector<HWND> parked = e2e::openWindows("parked", 2);
    for (const bool thisBuildRuns : {true, false}) {
        const std::string running = thisBuildRuns ? "this build's Panorel" : "the other build's Panorel";
        e2e::Process first = thisBuildRuns ? e2e::startPanorel() : e2e::start("\"" + other + "\"");
        HWND viewer = e2e::waitViewer(first);
        if (!check(viewer != nullptr, running + " starts")) return;
        e2e::sendCommand(viewer, GotoId[2]);
        std::vector<HWND> current = e2e::openWindows(thisBuildRuns ? "current" : "also current", 1);
        e2e::sendCommand(viewer, HideViewerId);
        check(noneVisible(parked) && e2e::waitUntil([&] { return IsWindowVisible(viewer) == FALSE; }),
              "it parks desktop 1 and hides its viewer");

        e2e::Process second = thisBuildRuns ? e2e::start("\"" + other + "\"") : e2e::startPanorel();
        DWORD code = STILL_ACTIVE;
        check(e2e::waitExit(second, &code) && code == 0, "a start of the other build ends with code 0");
        check(e2e::waitUntil([&] { return IsWindowVisible(viewer) != FALSE; }), "showing " + running + "'s viewer");
        check(noneVisible(parked) && allVisible(current) && e2e::isRunning(first),
              "and touching no window, parked or shown");

        PostMessageA(viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
        check(e2e::waitExit(first, &code) && allVisible(parked), "Exit shows desktop 1 again");
    }
}

}  // namespace scenarios

namespace scenarios {

// A script drives the running Panorel through verbs and reads the exit
// codes; with none running, a verb starts none.
void scriptVerbs() {
    std::vector<HWND> desktop1 = e2e::openWindows("script", 2);
    e2e::Process panorel = e2e::startPanorel();
    HWND viewer = e2e::waitViewer(panorel);
    if (!check(viewer != nullptr, "the viewer appears")) return;

    check(e2e::runPanorel("goto 2") == 0, "goto 2 exits with 0");
    check(noneVisible(desktop1), "and desktop 1's windows are hidden");
    std::string output;
    check(e2e::runPanorel("/CURRENT", &output) == 2 && output == "2\r\n", "current answers 2, and prints it");
    check(e2e::runPanorel("--next") == 0 && e2e::runPanorel("current") == 3, "next goes on to desktop 3");
    check(e2e::runPanorel("previous") == 0 && e2e::runPanorel("previous") == 0 && e2e::runPanorel("current") == 1,
          "previous twice comes back to desktop 1");
    check(allVisible(desktop1), "where its windows are shown again");

    check(e2e::runPanorel("goto 5", &output) == 11 && output.rfind("Usage: ", 0) == 0,
          "goto 5 exits with 11 and prints the usage");
    check(e2e::runPanorel("jump 2") == 11 && e2e::runPanorel("current") == 1, "an unknown verb changes nothing");

    // A Panorel that does not answer (its one thread stopped here, as behind
    // a program that hangs it) does not hang the script either.
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(viewer, nullptr));
    if (check(thread != nullptr && SuspendThread(thread) != static_cast<DWORD>(-1), "Panorel's thread stops")) {
        const ULONGLONG asked = GetTickCount64();
        const DWORD stuck = e2e::runPanorel("next");
        const ULONGLONG waited = GetTickCount64() - asked;
        ResumeThread(thread);
        std::printf("a verb to a stopped Panorel: %lu after %llu ms\n", stuck, waited);
        check(stuck == 12 && waited < 5000, "a verb to a Panorel that does not answer exits with 12 within 5 s");
    }
    if (thread != nullptr) CloseHandle(thread);
    check(e2e::runPanorel("current") == 1, "and once it runs again, it has not switched");

    check(e2e::runPanorel("goto 3") == 0 && noneVisible(desktop1), "goto 3 parks desktop 1's windows");
    check(e2e::runPanorel("exit") == 0, "exit exits with 0");
    DWORD code = STILL_ACTIVE;
    check(e2e::waitExit(panorel, &code) && code == 0, "and Panorel ends");
    check(allVisible(desktop1), "showing every parked window, as Exit does");

    check(e2e::runPanorel("goto 2") == 10 && e2e::runPanorel("current") == 10, "with no Panorel a verb exits with 10");
    check(allVisible(desktop1), "and hides nothing");
    // Nor did it stay on as a Panorel: a start now is the only one.
    e2e::Process fresh = e2e::startPanorel();
    check(e2e::waitViewer(fresh) != nullptr && e2e::runPanorel("current") == 1, "a start after them runs as the one");
}

// Rules deployed in the registry before start-up: notepad, open then, goes
// to desktop 2 at once; regedit is on every desktop; winemine, opened
// later, goes to desktop 4 within a second or two, while the user stays.
void windowRules() {
    HKEY key = nullptr;
    const char* const rules[][2] = {{"01", "notepad.exe|||2"}, {"02", "regedit.exe|||all"}, {"03", "winemine.exe|||4"}};
    bool stored = RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Panorel\\Rules", 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &key, nullptr) == ERROR_SUCCESS;
    for (const auto& rule : rules) {
        stored = stored && RegSetValueExA(key, rule[0], 0, REG_SZ, reinterpret_cast<const BYTE*>(rule[1]),
                                          static_cast<DWORD>(std::strlen(rule[1]) + 1)) == ERROR_SUCCESS;
    }
    if (key != nullptr) RegCloseKey(key);
    if (!check(stored, "three rules are stored")) return;
    std::vector<HWND> mine = e2e::openWindows("rules", 1);
    HWND notepad = e2e::openProgram("notepad.exe");
    HWND regedit = e2e::openProgram("regedit.exe");
    e2e::Process panorel = e2e::startPanorel();
    HWND viewer = e2e::waitViewer(panorel);
    if (!check(viewer != nullptr && notepad != nullptr && regedit != nullptr, "the viewer and the programs appear")) {
        return;
    }
    check(e2e::waitUntil([&] { return IsWindowVisible(notepad) == FALSE; }) && allVisible(mine) &&
              IsWindowVisible(regedit) != FALSE,
          "at start-up notepad goes away, the others stay");
    HWND winemine = e2e::openProgram("winemine.exe");
    check(winemine != nullptr && e2e::waitUntil([&] { return IsWindowVisible(winemine) == FALSE; }),
          "winemine, opened later, is sent away within the look's period");
    check(allVisible(mine), "the user stays on desktop 1");
    // A Goto that lands while the rules' look is still filing a window waits
    // its turn, so each desktop is waited for.
    e2e::sendCommand(viewer, GotoId[2]);
    check(e2e::waitUntil([&] {
              return IsWindowVisible(notepad) != FALSE && IsWindowVisible(regedit) != FALSE && noneVisible(mine);
          }),
          "desktop 2 has notepad, and regedit is on every desktop");
    e2e::sendCommand(viewer, GotoId[4]);
    check(e2e::waitUntil([&] {
              return IsWindowVisible(winemine) != FALSE && IsWindowVisible(notepad) == FALSE &&
                     IsWindowVisible(regedit) != FALSE;
          }),
          "desktop 4 has winemine");
    e2e::sendCommand(viewer, GotoId[1]);
    check(e2e::waitUntil([&] { return allVisible(mine) && IsWindowVisible(winemine) == FALSE; }),
          "desktop 1 is as it was; no rule acts twice");
}

}  // namespace scenarios
