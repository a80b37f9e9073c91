// The soak: many random switches, by Goto and by the screen edges, among
// windows that two other programs make, retitle, hide, show again and
// destroy meanwhile, with recalls mixed in; the programs also show windows
// parked on other desktops. However it went, Exit must leave every living
// window visible that its own program shows, and hidden every one it hid.
#include "e2e.h"
#include "panorel_ids.h"
#include "scenarios.h"

#include <cstdint>
#include <cstdio>

namespace {

constexpr int Desktops = 4;
constexpr int PoolCount = 2;
constexpr int RecallSpread = 12;  // recalls pick among the first items, and past the end now and then

// The short soak runs with every test; the long one is a command of its own.
struct Size {
    int windowsPerPool;
    int switches;
};
constexpr Size ShortSoak = {12, 60};
constexpr Size LongSoak = {50, 1000};
constexpr int AliveCheckEvery = 25;  // operations
constexpr DWORD GrowthBound = 16;  // over the whole soak, for each kind of handle
constexpr LONG PointerY = 500;
constexpr std::uint32_t Seed = 20260101;

using e2e::check;

// xorshift32: the same run every time, from the seed printed at the start.
struct Random {
    std::uint32_t state;
    std::uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
};

struct Tracked {
    HWND window;
    int pool;
    bool hiddenByOwner;
    bool destroyed;
    // Its program showed it while it was parked, and no switch has filed it
    // since: to Panorel, which sees windows only as a capture does, a hide
    // now would look like its own, so its program does not hide it yet.
    bool shownWhileParked;
};

struct Tally {
    int gotos = 0, edges = 0, recalls = 0, created = 0, retitled = 0, hidden = 0, reshown = 0, unparked = 0,
        destroyed = 0;
    int viewerMissing = 0;
    DWORD gotoMs = 0, edgeMs = 0;
};

struct Soak {
    int targetWindows = 0;  // creation and destruction keep about this many
    e2e::Process panorel;
    HWND viewer = nullptr;
    e2e::Pool pools[PoolCount];
    int nextNumber[PoolCount] = {};
    std::vector<Tracked> windows;  // every window ever made, but those closed for good
    // One window of each program, closed to its tray icon before the first
    // switch and left so: however the desktops were shuffled, Exit must not
    // show it.
    std::vector<HWND> closedForGood;
    Random random{Seed};
    Tally tally;
};

int aliveCount(const Soak& s) {
    int n = 0;
    for (const Tracked& t : s.windows) n += t.destroyed ? 0 : 1;
    return n;
}

// Which living windows a pick is among.
enum class Among { Any, ShownByOwner, HiddenByOwner, Parked };

bool isAmong(const Tracked& t, Among among) {
    switch (among) {
    case Among::Any:
        return true;
    case Among::ShownByOwner:
        return !t.hiddenByOwner && !t.shownWhileParked && IsWindowVisible(t.window) != FALSE;
    case Among::HiddenByOwner:
        return t.hiddenByOwner;
    case Among::Parked:
        return !t.hiddenByOwner && IsWindowVisible(t.window) == FALSE;
    }
    return false;
}

// A living window picked at random; null when there is none.
Tracked* pick(Soak& s, Among among) {
    std::vector<Tracked*> candidates;
    for (Tracked& t : s.windows) {
        if (!t.destroyed && isAmong(t, among)) candidates.push_back(&t);
    }
    return candidates.empty() ? nullptr : candidates[s.random.below(static_cast<int>(candidates.size()))];
}

// Every switch ends with a capture of the desktop it enters, which files
// the windows shown there.
void switched(Soak& s) {
    for (Tracked& t : s.windows) t.shownWhileParked = false;
}

// The edge switch restores the viewer, so a viewer hidden beforehand shows
// when the switch has hidden and shown the windows; the sent WM_NULL
// returns once the switch's last capture is done too.
void edgeSwitch(Soak& s, bool right) {
    DWORD begin = GetTickCount();
    ShowWindow(s.viewer, SW_HIDE);
    int width = GetSystemMetrics(SM_CXSCREEN);
    SetCursorPos(right ? width - 1 : 0, PointerY);
    if (!e2e::waitUntil([&] { return IsWindowVisible(s.viewer) != FALSE; })) ++s.tally.viewerMissing;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(s.viewer, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, e2e::DefaultDeadlineMs, &result);
    switched(s);
    ++s.tally.edges;
    s.tally.edgeMs += GetTickCount() - begin;
}

void gotoSwitch(Soak& s) {
    DWORD begin = GetTickCount();
    e2e::sendCommand(s.viewer, static_cast<WORD>(GotoId[1] + s.random.below(Desktops)));
    if (!IsWindowVisible(s.viewer)) ++s.tally.viewerMissing;
    switched(s);
    ++s.tally.gotos;
    s.tally.gotoMs += GetTickCount() - begin;
}

void createWindow(Soak& s) {
    int p = s.random.below(PoolCount);
    HWND w = e2e::poolCreate(s.pools[p], ++s.nextNumber[p]);
    if (w == nullptr) return;
    s.windows.push_back({w, p, false, false, false});
    ++s.tally.created;
}

// Sometimes to an empty title, which takes the window off the recall menu.
void retitleWindow(Soak& s, Tracked& t) {
    std::string title;
    if (s.random.below(5) != 0) {
        title = s.pools[t.pool].prefix + " retitled " + std::to_string(s.random.below(1000));
    }
    SetWindowTextA(t.window, title.c_str());
    ++s.tally.retitled;
}

// One random operation; returns whether it was a switch.
bool step(Soak& s) {
    int roll = s.random.below(100);
    if (roll < 42) {
        gotoSwitch(s);
        return true;
    }
    if (roll < 60) {
        edgeSwitch(s, s.random.below(2) == 0);
        return true;
    }
    if (roll < 67) {
        e2e::sendCommand(s.viewer, static_cast<WORD>(RecallFirstId + s.random.below(RecallSpread)));
        ++s.tally.recalls;
        return false;
    }
    bool growing = aliveCount(s) < s.targetWindows;
    if (roll < 75) {
        if (growing) {
            createWindow(s);
        } else if (Tracked* t = pick(s, Among::Any)) {
            t->destroyed = e2e::poolDestroy(t->window);
            s.tally.destroyed += t->destroyed ? 1 : 0;
        }
        return false;
    }
    if (roll < 81) {
        if (Tracked* t = pick(s, Among::Any)) retitleWindow(s, *t);
        return false;
    }
    if (roll < 88) {
        if (Tracked* t = pick(s, Among::ShownByOwner)) {
            t->hiddenByOwner = e2e::poolHide(t->window);
            s.tally.hidden += t->hiddenByOwner ? 1 : 0;
        }
        return false;
    }
    if (roll < 91) {
        if (Tracked* t = pick(s, Among::HiddenByOwner)) {
            t->hiddenByOwner = !e2e::poolShow(t->window);
            s.tally.reshown += t->hiddenByOwner ? 0 : 1;
        }
        return false;
    }
    // A notification clicked, say: the program shows a window that another
    // desktop holds, on the desktop the user is on.
    if (roll < 96) {
        if (Tracked* t = pick(s, Among::Parked)) {
            t->shownWhileParked = e2e::poolShow(t->window);
            s.tally.unparked += t->shownWhileParked ? 1 : 0;
        }
        return false;
    }
    if (Tracked* t = pick(s, Among::Any)) {
        t->destroyed = e2e::poolDestroy(t->window);
        s.tally.destroyed += t->destroyed ? 1 : 0;
    }
    return false;
}

struct Counts {
    bool taken = false;
    DWORD handles = 0, gdi = 0, user = 0;
};

Counts counts(const e2e::Process& p) {
    Counts c;
    c.taken = true;
    c.handles = e2e::handleCount(p);
    c.gdi = GetGuiResources(p.handle, GR_GDIOBJECTS);
    c.user = GetGuiResources(p.handle, GR_USEROBJECTS);
    return c;
}

// A count of 0 means the platform does not report it (Wine answers 0 for
// all three here).
void checkGrowth(const char* what, DWORD before, DWORD after) {
    char line[160];
    if (before == 0 || after == 0) {
        std::snprintf(line, sizeof line, "Panorel's %s: not reported here", what);
        check(true, line);
        return;
    }
    std::snprintf(line, sizeof line, "Panorel's %s: %lu -> %lu", what, before, after);
    check(after <= before + GrowthBound, line);
}

void runSoak(const Size& size) {
    int switches = size.switches;
    std::printf("soak: %d switches over %d windows of two programs, seed %u\n", switches,
                PoolCount * size.windowsPerPool, static_cast<unsigned>(Seed));
    Soak s;
    s.targetWindows = PoolCount * size.windowsPerPool;
    // Off both trigger columns: no settings are stored, so the edges alone switch.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, PointerY);
    for (int p = 0; p < PoolCount; ++p) {
        s.pools[p] = e2e::openPool(p == 0 ? "soak A" : "soak B", size.windowsPerPool);
        s.nextNumber[p] = size.windowsPerPool;
        s.closedForGood.push_back(s.pools[p].windows.front());
        for (HWND w : s.pools[p].windows) {
            if (w != s.closedForGood.back()) s.windows.push_back({w, p, false, false, false});
        }
    }
    if (!check(e2e::allVisible(s.pools[0].windows) && e2e::allVisible(s.pools[1].windows),
               "two programs show their windows")) {
        return;
    }
    s.panorel = e2e::startPanorel();
    s.viewer = e2e::waitViewer(s.panorel);
    if (!check(s.viewer != nullptr, "the viewer appears")) return;
    // Filed under desktop 1 first, so that Panorel meets them hidden.
    e2e::sendCommand(s.viewer, GotoId[1]);
    bool closed = true;
    for (HWND w : s.closedForGood) closed = e2e::poolHide(w) && closed;
    if (!check(closed, "each program closes one window to its tray icon")) return;

    Counts before;
    int done = 0;
    int operations = 0;
    bool alive = true;
    while (done < switches && alive) {
        if (step(s)) ++done;
        // Panorel's first switches settle what it keeps for good.
        if (done == Desktops && !before.taken) before = counts(s.panorel);
        if (++operations % AliveCheckEvery == 0) alive = e2e::isRunning(s.panorel);
    }
    const Tally& t = s.tally;
    std::printf("soak: %d operations: %d Goto, %d edge switches, %d recalls, %d windows made, %d retitled, "
                "%d hidden and %d shown again by their program, %d parked ones shown by it, %d destroyed\n",
                operations, t.gotos, t.edges, t.recalls, t.created, t.retitled, t.hidden, t.reshown, t.unparked,
                t.destroyed);
    std::printf("soak: a Goto switch took %lu ms on average, an edge switch %lu ms\n",
                t.gotos != 0 ? t.gotoMs / t.gotos : 0, t.edges != 0 ? t.edgeMs / t.edges : 0);
    if (!check(alive && e2e::isRunning(s.panorel), "Panorel ran through every operation")) return;
    check(t.viewerMissing == 0, "every switch left the viewer shown");

    checkGrowth("kernel handles", before.handles, e2e::handleCount(s.panorel));
    checkGrowth("GDI objects", before.gdi, GetGuiResources(s.panorel.handle, GR_GDIOBJECTS));
    checkGrowth("USER objects", before.user, GetGuiResources(s.panorel.handle, GR_USEROBJECTS));

    PostMessageA(s.viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = STILL_ACTIVE;
    check(e2e::waitExit(s.panorel, &code) && code == 0, "Exit ends Panorel with exit code 0");
    int shown = 0, lost = 0, hidden = 0, reappeared = 0;
    for (HWND w : s.closedForGood) {
        ++hidden;
        reappeared += IsWindowVisible(w) != FALSE ? 1 : 0;
    }
    for (const Tracked& w : s.windows) {
        if (w.destroyed || !IsWindow(w.window)) continue;
        const bool visible = IsWindowVisible(w.window) != FALSE;
        if (w.hiddenByOwner) {
            ++hidden;
            reappeared += visible ? 1 : 0;
        } else {
            ++shown;
            lost += visible ? 0 : 1;
        }
    }
    char what[160];
    std::snprintf(what, sizeof what, "after Exit all %d living windows their programs show are visible (%d hidden)",
                  shown, lost);
    check(lost == 0, what);
    std::snprintf(what, sizeof what, "and all %d their programs hid are hidden (%d visible)", hidden, reappeared);
    check(reappeared == 0, what);
}

}  // namespace

namespace scenarios {

void soak() { runSoak(ShortSoak); }
void soakLong() { runSoak(LongSoak); }

}  // namespace scenarios
