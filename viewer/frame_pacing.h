// The live miniature's pacing: how often a picture is read on the ticks of
// its timer, and when none is read at all.
#pragma once

#include "app/app_state.h"

// While the screen may be changing, a picture waits at least this many times
// its own drawing time after the last one began, so drawing never takes more
// than a fifth of the thread.
constexpr std::int64_t FrameBudgetFactor = 5;
// However dear a picture, one comes at least this often while the screen
// may be changing: the miniature stays live.
constexpr UINT FrameFloorMs = 1000;
// A tick handled a little late (behind a poll, or on a busy machine) makes
// the next one look early; without this leeway a cheap picture would be
// drawn on every second tick only.
constexpr UINT FrameTickLeewayMs = MiniaturePeriodMs / 4;

// After input, a window event, a switch, a recall, a move or a picture that
// differs visibly from the one before, the screen may go on changing for a
// while: pictures come at the full rate for this long.
constexpr UINT LiveSpellMs = 2000;
// Otherwise the screen is taken to be still, and a picture only looks for
// what no event reports (a clock, a video, a program's output). These come
// this many times their own drawing time apart, so that a still screen costs
// next to nothing, but never less than a second apart, nor more than the
// longest wait, so that such a change is seen within about a second where a
// picture is cheap and within three where it is dear.
constexpr std::int64_t QuietBudgetFactor = 100;
constexpr UINT QuietShortestMs = 1000;
constexpr UINT QuietLongestMs = 2500;
// A blinking text caret, one or two pixels wide and up to 36 high (twice
// the normal scaling), touches at most two columns and five rows of the
// miniature's pixels. A picture differs visibly when more of its pixels
// changed than that.
constexpr std::size_t CaretPixels = 2 * 5;

// One tick of the miniature timer: a picture, if one can be seen and the
// pace allows it.
void onMiniatureTimer(HWND viewer);
// The screen has changed in a way no window event reports (a new size).
void noteScreenMayChange();
// Asks the window system for the window events after which the screen may
// look different (for other processes' windows only).
void watchScreenChanges();

// One picture of the screen into app.picturePixels and the viewer
// (viewer/miniature.cpp).
void drawMiniature(HWND viewer);
// The quiet look (viewer/miniature.cpp): reads one row of the screen in the
// middle of each of the miniature's rows, a ninth of the screen's pixels,
// and answers whether any of the miniature's pixels (the viewer's own image
// left out) looks different there than at the last look.
bool screenSampleChanged();
// The viewer is in its own picture, a ninth of its size: a change there
// shows again, smaller, in the next picture, and the one after, so it would
// keep the full rate going by itself. Nothing else can be seen there.
inline bool inViewersOwnImage(std::size_t pixel) {
    if (app.viewerWidth <= 0) return false;
    const auto width = static_cast<std::size_t>(app.viewerWidth);
    const auto x = static_cast<LONG>(pixel % width);
    const auto y = static_cast<LONG>(pixel / width);
    const RECT& self = app.viewerSelfImage;
    return x >= self.left && x < self.right && y >= self.top && y < self.bottom;
}

