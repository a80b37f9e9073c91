// The live miniature's pacing. While the screen may be changing, a cheap
// picture comes on every tick, as the timer alone would; where reading the
// screen is dear (a large screen, a slow driver) the frame budget spaces the
// pictures out so that the viewer's one thread stays free for the edge poll,
// the menus and switches. Most of the day nothing on the screen changes, and
// then pictures come seldom: reading a still screen is most of what the
// miniature would otherwise cost.
#include "viewer/frame_pacing.h"

#include "desktops/desktops.h"
#include "desktops/window_system.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr std::int64_t MsPerSecond = 1000;

// The window events after which the screen may look different: a window
// brought to the front, minimised or restored, shown or hidden, moved or
// sized, cloaked or uncloaked. Destroyed windows are for the window table:
// a visible one is hidden first. Each range is asked for on its own, so that
// the many events nobody needs here never cross over from other processes.
struct EventRange {
    DWORD first;
    DWORD last;
};
constexpr EventRange ScreenEvents[] = {
    {EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND},
    {EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND},
    {EVENT_OBJECT_DESTROY, EVENT_OBJECT_HIDE},
    {EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE},
    {EVENT_OBJECT_CLOAKED, EVENT_OBJECT_UNCLOAKED},
};
// A pixel's colour; the top byte of each is not part of it.
constexpr std::uint32_t ColourBits = 0x00FFFFFF;

std::int64_t counterNow() {
    LARGE_INTEGER count = {};
    ws::QueryPerformanceCounter(&count);
    return count.QuadPart;
}

std::int64_t countsPerSecond() {
    LARGE_INTEGER frequency = {};
    ws::QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

// Nothing is read while nothing can be seen: the display off, the viewer
// hidden or minimised, or input on another desktop of the window system (a
// locked workstation, a secure prompt), where the pointer cannot be read.
bool miniatureCanBeSeen(HWND viewer) {
    if (app.displayState == DisplayStateOff) return false;
    if (!ws::IsWindowVisible(viewer) || ws::IsIconic(viewer)) return false;
    POINT pointer = {};
    return ws::GetCursorPos(&pointer) != FALSE;
}

std::int64_t counts(std::int64_t perSecond, UINT ms) { return perSecond * ms / MsPerSecond; }

void stayLive(std::int64_t now) {
    app.liveUntil = std::max(app.liveUntil, now + counts(countsPerSecond(), LiveSpellMs));
}

// Reading the time of the last input reads nothing from the screen.
bool inputSinceLastLook() {
    LASTINPUTINFO input = {sizeof input, 0};
    if (!ws::GetLastInputInfo(&input)) return false;
    const bool seen = input.dwTime != app.lastInputTime;
    app.lastInputTime = input.dwTime;
    return seen;
}

// The wall time of one look swings with whatever else the machine does:
// one held up does not push the next out, a few in a row do.
void noteCost(std::int64_t cost) {
    app.recentCosts[app.nextRecentCost] = cost;
    app.nextRecentCost = (app.nextRecentCost + 1) % RecentPictureCount;
}

// Slots not filled yet (at start-up) know no cost.
std::int64_t quietCost() {
    std::int64_t cheapest = 0;
    for (const std::int64_t cost : app.recentCosts) {
        if (cost > 0 && (cheapest == 0 || cost < cheapest)) cheapest = cost;
    }
    return cheapest;
}

bool frameDue(std::int64_t now) {
    if (app.miniaturePaused) return true;
    const std::int64_t since = now - app.frameStart;
    const std::int64_t perSecond = countsPerSecond();
    if (now >= app.liveUntil) {
        return since >= std::clamp(QuietBudgetFactor * quietCost(), counts(perSecond, QuietShortestMs),
                                   counts(perSecond, QuietLongestMs));
    }
    if (since >= counts(perSecond, FrameFloorMs)) return true;
    return since >= counts(perSecond, MiniaturePeriodMs - FrameTickLeewayMs) &&
           since >= FrameBudgetFactor * app.frameCost;
}

// The picture just drawn against the one before it, which it then replaces.
bool pictureDiffersVisibly() {
    std::uint32_t* picture = app.picturePixels;
    if (picture == nullptr) return false;
    std::uint32_t* before = picture + app.picturePixelCount;
    std::size_t changed = 0;
    for (std::size_t i = 0; i < app.picturePixelCount; ++i) {
        if (((picture[i] ^ before[i]) & ColourBits) != 0 && !inViewersOwnImage(i)) ++changed;
        before[i] = picture[i];
    }
    return changed > CaretPixels;
}

// On a still screen the whole screen is read only once a look at a ninth of
// it has seen something change; the looks are spaced by what they cost.
// The first look after pictures at the full rate is compared with the look
// before them, so it counts as a change whatever it sees: the screen may have
// changed under those pictures and back since.
bool lookedAndSawNoChange(std::int64_t began) {
    if (app.miniaturePaused || began < app.liveUntil) {
        app.picturedSinceLook = true;
        return false;
    }
    const bool changed = screenSampleChanged() || app.picturedSinceLook;
    app.picturedSinceLook = false;
    noteCost(counterNow() - began);
    return !changed;
}

// Only whole windows count: the pointer and the caret report their moves as
// events too, and neither is in the picture.
void CALLBACK onWindowEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object != OBJID_WINDOW) return;
    if (event != EVENT_OBJECT_DESTROY) noteScreenMayChange();
    if (child == CHILDID_SELF) noteWindowEvent(event, window);
}

}  // namespace

void noteScreenMayChange() { app.screenMayChange = true; }

// Out of context: no library goes into other processes, and the events come
// through the viewer's own message loop, on its one thread.
void watchScreenChanges() {
    for (const EventRange& range : ScreenEvents) {
        ws::SetWinEventHook(range.first, range.last, nullptr, onWindowEvent, 0, 0,
                            WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    }
}

// The cost is wall time, waiting for the screen read included: that wait
// holds up the thread as much as the drawing does.
void onMiniatureTimer(HWND viewer) {
    if (!miniatureCanBeSeen(viewer)) {
        app.miniaturePaused = true;
        return;
    }
    const std::int64_t began = counterNow();
    if (inputSinceLastLook() || app.screenMayChange) stayLive(began);
    app.screenMayChange = false;
    if (!frameDue(began)) return;
    app.frameStart = began;
    if (lookedAndSawNoChange(began)) return;
    drawMiniature(viewer);
    const std::int64_t ended = counterNow();
    app.frameCost = ended - began;
    app.miniaturePaused = false;
    if (pictureDiffersVisibly()) stayLive(ended);
}
