// The live miniature's frame budget: how often a picture is read on the
// ticks of its timer, and when none is read at all.
#pragma once

#include "app/app_state.h"

// A picture waits at least this many times its own drawing time after the
// last one began, so drawing never takes more than a fifth of the thread.
constexpr std::int64_t FrameBudgetFactor = 5;
// However dear a picture, one comes at least this often: the miniature
// stays live.
constexpr UINT FrameFloorMs = 1000;
// A tick handled a little late (behind a poll, or on a busy machine) makes
// the next one look early; without this leeway a cheap picture would be
// drawn on every second tick only.
constexpr UINT FrameTickLeewayMs = MiniaturePeriodMs / 4;

// One tick of the miniature timer: a picture, if one can be seen and the
// budget allows it.
void onMiniatureTimer(HWND viewer);

// One picture of the screen in the viewer (viewer/miniature.cpp).
void drawMiniature(HWND viewer);
