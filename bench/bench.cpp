// The benchmark driver: each measure times Panorel beside the bare cost of
// the same platform work, in the same run, and prints both. bench/run runs
// it under Wine and makes the table; every figure line starts with
// "RESULT" so the script can pick it out.
//   panorel-bench switch N REPEATS   Goto switches between two desktops of N windows each
//   panorel-bench edge N REPEATS     pointer on the edge to the first window hidden, with the
//                                    viewer shown and with it hidden
//   panorel-bench startup REPEATS    process start to viewer shown and first capture done
//   panorel-bench frames WHAT SCREEN SECONDS
//                                    pictures a second that Panorel or the bare stretch
//                                    (panorel, stretch, budget) draws on a still screen
//                                    (still) or one that a program repaints ten times a
//                                    second (ten), and the wall time of one picture here
//   panorel-bench launch WHAT        starts Panorel (panorel, panorel-hidden) or the bare
//                                    program (dialog, stretch, budget)
//                                    and returns once its dialog answers; prints its id
//   panorel-bench stop ID            closes what launch started
#include "tests/e2e/e2e.h"
#include "tests/e2e/panorel_ids.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// picture_cost.cpp
double pictureCostMs(int samples);
void pumpMessages();
HWND popupAt(int x, int y, int width, int height);

namespace {

constexpr LONG PointerY = 500;
constexpr double TriggerTickMs = 10.0;
constexpr int WarmUpRounds = 2;
constexpr DWORD PacePollMs = 1;  // how often a measuring loop looks: the resolution, not a synchronisation
// A pause between two measured switches, so that the end of one (its last
// capture may still run when the sent message is answered from inside a
// show request) cannot be counted in the next.
constexpr DWORD PaceSwitchesMs = 100;
constexpr DWORD SettleDeadlineMs = 2000;  // for a desktop entered to show all its windows

using Clock = LARGE_INTEGER;

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

double maximum(const std::vector<double>& v) { return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end()); }

std::string barePath() { return "\"" + e2e::driverFolder() + "panorel-bare.exe\""; }

// The visible dialog of a process, once it answers a sent message: for
// Panorel the end of start-up, first capture included.
HWND waitReadyDialog(const e2e::Process& p, DWORD deadlineMs) {
    // Looked for at the measuring pace: a dialog seen late may have started
    // its first timed job, and the answer below would wait for it.
    HWND dialog = nullptr;
    e2e::waitUntil([&] { return (dialog = e2e::visibleDialogOf(p)) != nullptr; }, deadlineMs, PacePollMs);
    DWORD_PTR result = 0;
    if (dialog != nullptr) SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, deadlineMs, &result);
    return dialog;
}

void closeAndWait(const e2e::Process& p, HWND dialog, UINT message, WPARAM wParam) {
    PostMessageA(dialog, message, wParam, 0);
    DWORD code = 0;
    if (!e2e::waitExit(p, &code)) TerminateProcess(p.handle, 0);
}

// ---------------------------------------------------------------------------
// Desktops 1 and 2 with n windows each, of two other processes.

struct TwoDesktops {
    e2e::Process panorel;
    HWND viewer = nullptr;
    std::vector<HWND> one, two;
};


bool settledOnOne(const TwoDesktops& t) { return e2e::allVisible(t.one) && e2e::noneVisible(t.two); }

// Windows not where their desktop is, with desktop 1 or 2 current.
int misplaced(const TwoDesktops& t, int current) {
    int n = 0;
    for (HWND w : t.one) n += (IsWindowVisible(w) != FALSE) != (current == 1) ? 1 : 0;
    for (HWND w : t.two) n += (IsWindowVisible(w) != FALSE) != (current == 2) ? 1 : 0;
    return n;
}

TwoDesktops setUpTwoDesktops(int n, const std::string& tag) {
    TwoDesktops t;
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, PointerY);
    t.one = e2e::openWindows(tag + "-one", n);
    t.panorel = e2e::startPanorel();
    t.viewer = e2e::waitViewer(t.panorel);
    e2e::sendCommand(t.viewer, GotoId[2]);
    t.two = e2e::openWindows(tag + "-two", n);
    // A Goto to the current desktop files what is shown there.
    e2e::sendCommand(t.viewer, GotoId[2]);
    e2e::sendCommand(t.viewer, GotoId[1]);
    return t;
}

void endTwoDesktops(const TwoDesktops& t) {
    if (t.viewer != nullptr) closeAndWait(t.panorel, t.viewer, WM_SYSCOMMAND, SC_CLOSE);
    e2e::endStartedProcesses();
}

// ---------------------------------------------------------------------------
// Switch latency.

constexpr UINT BareSwitchMessage = WM_APP + 1;  // to the bare program: wParam 1 hides A, 2 hides B

double timedSend(HWND window, UINT message, WPARAM wParam) {
    double begin = nowMs();
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, 0, SMTO_NORMAL, e2e::DefaultDeadlineMs, &result);
    return nowMs() - begin;
}

// Both sides are a message sent to a dialog of another process that
// returns when its switch is done, and each runs the miniature's stretch
// between switches, so each switch competes with the other's drawing. The
// bare dialog stays hidden, or Panorel would file it and switch it too.
int runSwitch(int n, int repeats) {
    TwoDesktops t = setUpTwoDesktops(n, "switch");
    int misplacedAtStart = misplaced(t, 1);
    int worst = misplacedAtStart;
    e2e::Process bareProcess = e2e::start(barePath() + " stretch switch switch-one switch-two");
    HWND bareDialog = nullptr;
    e2e::waitUntil([&] { return (bareDialog = FindWindowA("#32770", "panorel-bare switch")) != nullptr; });
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(bareDialog, WM_NULL, 0, 0, SMTO_NORMAL, e2e::DefaultDeadlineMs, &answer);
    std::vector<double> panorel, bare;
    for (int round = 0; round < WarmUpRounds + repeats; ++round) {
        // Interleaved, and each going first every other round, so both see
        // the same load on the machine.
        double b2 = 0, b1 = 0;
        if (round % 2 == 1) {
            b2 = timedSend(bareDialog, BareSwitchMessage, 1);
            b1 = timedSend(bareDialog, BareSwitchMessage, 2);
        }
        double p2 = timedSend(t.viewer, WM_COMMAND, GotoId[2]);
        worst = std::max(worst, misplaced(t, 2));
        double p1 = timedSend(t.viewer, WM_COMMAND, GotoId[1]);
        worst = std::max(worst, misplaced(t, 1));
        if (round % 2 == 0) {
            b2 = timedSend(bareDialog, BareSwitchMessage, 1);
            b1 = timedSend(bareDialog, BareSwitchMessage, 2);
        }
        if (round < WarmUpRounds) continue;
        panorel.insert(panorel.end(), {p2, p1});
        bare.insert(bare.end(), {b2, b1});
    }
    if (bareDialog != nullptr) closeAndWait(bareProcess, bareDialog, WM_CLOSE, 0);
    endTwoDesktops(t);
    double p = median(panorel), b = median(bare);
    // A window out of place is one a capture missed or filed twice: it then
    // shows where it does not belong, or stays hidden where it does.
    std::printf("switch with %d windows per desktop: Panorel %.1f ms, bare %.1f ms (medians of %zu); "
                "windows out of place: %d after setting up, at most %d after a switch\n",
                n, p, b, panorel.size(), misplacedAtStart, worst);
    std::printf("RESULT switch %d %.2f %.2f %d\n", n, p, b, worst);
    return 0;
}

// ---------------------------------------------------------------------------
// Edge reaction.

// From the pointer put on an edge to the first of the watched windows
// hidden or shown: the switch's first effect, whatever the desktops hold.
// (A capture can miss a window that the window system restacks while the
// walk passes, and rapid switches then mix the desktops; the first hide of
// a switch still marks its start.)
double edgeReaction(bool right, const std::vector<HWND>& watched) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    // Settled first: under Wine a late event of an earlier warp can put the
    // pointer back where that warp left it.
    e2e::placePointer({width / 2, PointerY});
    std::vector<bool> shown;
    for (HWND w : watched) shown.push_back(IsWindowVisible(w) != FALSE);
    double begin = nowMs();
    SetCursorPos(right ? width - 1 : 0, PointerY);
    for (;;) {
        for (size_t i = 0; i < watched.size(); ++i) {
            if ((IsWindowVisible(watched[i]) != FALSE) != shown[i]) return nowMs() - begin;
        }
        if (nowMs() - begin > e2e::DefaultDeadlineMs) return -1.0;
        Sleep(PacePollMs);
    }
}

// The switch has shown the desktop entered and answers again. False when
// the desktop entered did not show all its windows: the desktops have been
// mixed (see edgeReaction), and the wait is cut short.
bool waitSwitchDone(HWND viewer, const std::vector<HWND>& entering) {
    bool settled = e2e::waitUntil([&] { return e2e::allVisible(entering); }, SettleDeadlineMs);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(viewer, WM_NULL, 0, 0, SMTO_NORMAL, e2e::DefaultDeadlineMs, &result);
    Sleep(PaceSwitchesMs);
    return settled;
}

void collect(std::vector<double>* into, double ms) {
    if (ms >= 0) into->push_back(ms / TriggerTickMs);
}

// The bare poll hides A at the right edge and B at the left, showing the
// other; optionally beside the miniature's stretch on the same thread.
std::vector<double> bareEdge(HWND a, HWND b, bool withStretch, int repeats) {
    char arguments[80];
    std::snprintf(arguments, sizeof arguments, " edge %llx %llx%s", static_cast<unsigned long long>(UINT_PTR(a)),
                  static_cast<unsigned long long>(UINT_PTR(b)), withStretch ? " stretch" : "");
    e2e::Process p = e2e::start(barePath() + arguments);
    HWND dialog = waitReadyDialog(p, e2e::DefaultDeadlineMs);
    std::vector<double> ticks;
    for (int round = 0; round < WarmUpRounds + repeats; ++round) {
        // Paced as Panorel's switches are, so that the programs whose
        // windows change have finished repainting before the next touch.
        double right = edgeReaction(true, {a, b});
        waitSwitchDone(dialog, {b});
        double left = edgeReaction(false, {a, b});
        waitSwitchDone(dialog, {a});
        if (round < WarmUpRounds) continue;
        collect(&ticks, right);
        collect(&ticks, left);
    }
    closeAndWait(p, dialog, WM_CLOSE, 0);
    return ticks;
}

// Right to desktop 2 and left back to 1, round after round. With
// `hideViewer` the viewer is hidden before each touch: its picture is then
// clipped away, so this is Panorel's own reaction where a stretch is cheap
// (the switch shows the viewer again). Otherwise the viewer stays shown,
// as a user has it. `mixed` counts the switches after which the desktop
// entered lacked a window.
std::vector<double> panorelEdge(const TwoDesktops& t, bool hideViewer, int repeats, int* mixed) {
    std::vector<HWND> all = t.one;
    all.insert(all.end(), t.two.begin(), t.two.end());
    auto touch = [&](bool right, const std::vector<HWND>& entering) {
        // A late event of the benchmark's own warp can bring the pointer back
        // to the edge after Panorel moved it, which switches once more: start
        // each round from desktop 1 again, or every later touch would find
        // empty desktops and wait out its deadline.
        if (right && !settledOnOne(t)) e2e::sendCommand(t.viewer, GotoId[1]);
        if (hideViewer) e2e::sendCommand(t.viewer, HideViewerId);
        double reaction = edgeReaction(right, all);
        *mixed += waitSwitchDone(t.viewer, entering) ? 0 : 1;
        return reaction;
    };
    std::vector<double> ticks;
    for (int round = 0; round < WarmUpRounds + repeats; ++round) {
        double right = touch(true, t.two);
        double left = touch(false, t.one);
        if (round < WarmUpRounds) continue;
        collect(&ticks, right);
        collect(&ticks, left);
    }
    return ticks;
}

int runEdge(int n, int repeats) {
    TwoDesktops t = setUpTwoDesktops(n, "edge");
    int mixed = 0;
    std::vector<double> panorel = panorelEdge(t, false, repeats, &mixed);
    std::vector<double> hidden = panorelEdge(t, true, repeats, &mixed);
    // Panorel must not see the edges while the bare poll runs.
    closeAndWait(t.panorel, t.viewer, WM_SYSCOMMAND, SC_CLOSE);
    t.viewer = nullptr;
    // Exit showed both desktops: back to desktop 1 as Panorel left it.
    for (HWND w : t.two) ShowWindow(w, SW_HIDE);
    HWND a = t.one.front(), b = t.two.front();
    std::vector<double> bareWithStretch = bareEdge(a, b, true, repeats);
    std::vector<double> bare = bareEdge(a, b, false, repeats);
    endTwoDesktops(t);
    std::printf("edge reaction with %d windows per desktop, in ticks of 10 ms: Panorel %.2f (max %.2f); bare poll "
                "beside the same stretch %.2f (max %.2f); bare poll alone %.2f (max %.2f); Panorel with its viewer "
                "hidden %.2f (max %.2f); medians of %zu; switches after which the desktop entered lacked a window: %d\n",
                n, median(panorel), maximum(panorel), median(bareWithStretch), maximum(bareWithStretch),
                median(bare), maximum(bare), median(hidden), maximum(hidden), panorel.size(), mixed);
    std::printf("RESULT edge %d %.3f %.3f %.3f %.3f %.3f %.3f %d %.3f %.3f\n", n, median(panorel),
                median(bareWithStretch), median(bare), maximum(panorel), maximum(bareWithStretch), maximum(bare), mixed,
                median(hidden), maximum(hidden));
    return 0;
}

// ---------------------------------------------------------------------------
// Start-up.

double timedStart(const std::string& commandLine, WORD closeCommand) {
    double begin = nowMs();
    e2e::Process p = e2e::start(commandLine);
    HWND dialog = waitReadyDialog(p, e2e::DefaultDeadlineMs);
    double took = nowMs() - begin;
    if (dialog == nullptr) return -1.0;
    closeAndWait(p, dialog, closeCommand == 0 ? WM_CLOSE : WM_SYSCOMMAND, closeCommand);
    return took;
}

int runStartup(int repeats) {
    constexpr int DesktopWindows = 8;
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, PointerY);
    e2e::openWindows("startup", DesktopWindows);
    std::string panorelLine = "\"" + e2e::driverFolder() + "Panorel.exe\"";
    std::vector<double> panorel, bare, barePlatform;
    for (int round = 0; round < WarmUpRounds + repeats; ++round) {
        double p = timedStart(panorelLine, SC_CLOSE);
        double b = timedStart(barePath(), 0);
        double bt = timedStart(barePath() + " platform", 0);
        if (round < WarmUpRounds || p < 0 || b < 0 || bt < 0) continue;
        panorel.push_back(p);
        bare.push_back(b);
        barePlatform.push_back(bt);
    }
    e2e::endStartedProcesses();
    std::printf("start-up beside %d windows: Panorel %.1f ms, bare dialog %.1f ms, bare dialog with Panorel's platform work "
                "%.1f ms (medians of %zu)\n",
                DesktopWindows, median(panorel), median(bare), median(barePlatform), panorel.size());
    std::printf("RESULT startup %.2f %.2f %.2f\n", median(panorel), median(bare), median(barePlatform));
    return 0;
}

// ---------------------------------------------------------------------------
// Pictures drawn.

// A probe of a few of the miniature's pixels changes colour every few
// milliseconds, faster than any picture comes: each change of the viewer's
// picture of it is one picture drawn. So small a change is a caret's worth,
// which the miniature does not take for a changing screen. (Wine's halftone
// stretch samples the screen rather than averaging every pixel: a probe of
// a single block may fall between its samples.)
constexpr int ProbeSize = 15;
constexpr DWORD ProbeStepMs = 5;
// On the "ten" screen a program's window also repaints itself in a new
// colour ten times a second.
constexpr int RepaintedSize = 256;
constexpr DWORD RepaintMs = 100;
// The picture of the windows just opened differs from the one before; the
// spell of full rate that starts runs out before anything is counted.
constexpr DWORD SettleMs = 4000;
constexpr int CostSamples = 25;

// No two steps near each other share a colour.
COLORREF probeColour(unsigned step) { return RGB(step * 37 % 256, step * 91 % 256, step * 53 % 256); }

void fill(HWND window, int size, COLORREF colour) {
    HDC dc = GetDC(window);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = {0, 0, size, size};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

// WHAT is panorel, or a mode of the bare program (stretch, budget); SCREEN
// is "still" or "ten".
int runFrames(const std::string& what, const std::string& screenKind, int seconds) {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, PointerY);
    e2e::Process p = e2e::start(what == "panorel" ? "\"" + e2e::driverFolder() + "Panorel.exe\""
                                                   : barePath() + " " + what);
    HWND dialog = waitReadyDialog(p, e2e::DefaultDeadlineMs);
    if (dialog == nullptr) return 1;
    RECT screen, viewer;
    GetWindowRect(GetDesktopWindow(), &screen);
    GetWindowRect(dialog, &viewer);
    const int x = screen.right / 4, y = screen.bottom / 4;
    HWND probe = popupAt(x, y, ProbeSize, ProbeSize);
    HWND repainted = screenKind == "ten" ? popupAt(screen.right / 2, y, RepaintedSize, RepaintedSize) : nullptr;
    POINT origin = {0, 0};
    ClientToScreen(dialog, &origin);
    const int sx = origin.x + (x + ProbeSize / 2) * (viewer.right - viewer.left) / screen.right;
    const int sy = origin.y + (y + ProbeSize / 2) * (viewer.bottom - viewer.top) / screen.bottom;
    const RECT sample = {sx - 1, sy - 1, sx + 2, sy + 2};
    int pictures = 0;
    std::vector<COLORREF> seen = e2e::screenPixels(sample);
    unsigned step = 0;
    unsigned repaints = 0;
    const double begin = nowMs();
    for (double counted = begin + SettleMs; nowMs() < counted + 1000.0 * seconds;) {
        fill(probe, ProbeSize, probeColour(++step));
        if (repainted != nullptr && nowMs() - begin >= repaints * RepaintMs) {
            fill(repainted, RepaintedSize, probeColour(++repaints * 7));
        }
        pumpMessages();
        std::vector<COLORREF> now = e2e::screenPixels(sample);
        if (now != seen && nowMs() >= counted) ++pictures;
        seen = now;
        Sleep(ProbeStepMs);
    }
    DestroyWindow(probe);
    if (repainted != nullptr) DestroyWindow(repainted);
    closeAndWait(p, dialog, WM_CLOSE, 0);
    double fps = static_cast<double>(pictures) / seconds;
    double cost = pictureCostMs(CostSamples);
    std::printf("%s, %s screen: %.1f pictures a second; one picture drawn here takes %.1f ms (median of %d)\n",
                what.c_str(), screenKind.c_str(), fps, cost, CostSamples);
    std::printf("RESULT frames %.2f %.2f\n", fps, cost);
    return 0;
}

// ---------------------------------------------------------------------------
// Programs left running for the script to measure from Linux.

// "panorel-hidden": Panorel with its viewer hidden, as "Hide Desktop
// Viewer" leaves it.
int launch(const std::string& what) {
    const bool hidden = what == "panorel-hidden";
    std::string line = what == "panorel" || hidden ? "\"" + e2e::driverFolder() + "Panorel.exe\""
                       : what == "dialog"          ? barePath()
                                                   : barePath() + " " + what;
    e2e::Process p = e2e::start(line);
    HWND dialog = waitReadyDialog(p, e2e::DefaultDeadlineMs);
    if (dialog == nullptr) return 1;
    // The dialog manager shows a modal dialog when its loop first idles,
    // which may come after the first hide: hidden until it stays hidden.
    constexpr int SteadyLooks = 20;
    if (hidden) {
        int steady = 0;
        e2e::waitUntil([&] {
            if (!IsWindowVisible(dialog)) return ++steady >= SteadyLooks;
            steady = 0;
            e2e::sendCommand(dialog, HideViewerId);
            return false;
        });
    }
    std::printf("RESULT %lu\n", p.id);
    return 0;
}

int stop(DWORD id) {
    constexpr DWORD HiddenLookMs = 2000;
    HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
    if (handle == nullptr) return 1;
    e2e::Process p = {handle, id};
    HWND dialog = waitReadyDialog(p, HiddenLookMs);
    // WM_CLOSE ends Panorel without showing anything: nothing is parked here.
    // A hidden viewer cannot be found that way, and nothing is parked either.
    if (dialog != nullptr) {
        closeAndWait(p, dialog, WM_CLOSE, 0);
    } else {
        TerminateProcess(handle, 0);
        WaitForSingleObject(handle, e2e::DefaultDeadlineMs);
    }
    CloseHandle(handle);
    return 0;
}

int usage() {
    std::printf("usage: panorel-bench switch N REPEATS | edge N REPEATS | startup REPEATS | "
                "frames WHAT SCREEN SECONDS | launch WHAT | stop ID\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 2) return usage();
    std::string mode = argv[1];
    if (mode == "windows" && argc == 4) return e2e::runWindowsHelper(argv[2], std::atoi(argv[3]));
    if (mode == "switch" && argc == 4) return runSwitch(std::atoi(argv[2]), std::atoi(argv[3]));
    if (mode == "edge" && argc == 4) return runEdge(std::atoi(argv[2]), std::atoi(argv[3]));
    if (mode == "startup" && argc == 3) return runStartup(std::atoi(argv[2]));
    if (mode == "frames" && argc == 5) return runFrames(argv[2], argv[3], std::atoi(argv[4]));
    if (mode == "launch" && argc == 3) return launch(argv[2]);
    if (mode == "stop" && argc == 3) return stop(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
    return usage();
}
