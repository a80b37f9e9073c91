// The notice after a switch and the wheel over the viewer (pure logic over
// the seam; the notice's window is viewer/notice_window.cpp).
#pragma once

#include "app/app_state.h"

// The notice's timer: 0.7 s fully shown, then a fade of 0.2 s.
constexpr UINT NoticeTickMs = 20;
constexpr unsigned NoticeHoldTicks = 35;
constexpr unsigned NoticeFadeTicks = 10;
constexpr BYTE NoticeOpaque = 255;
// Posted to the notice window: show app.noticeDesktop from the start.
constexpr UINT NoticeRestartMessage = 0x8000 + 3;  // WM_APP + 3

// After a switch that was not chosen from a menu, from desktop `from`:
// the notice shows where the user is now, unless nothing changed.
void announceSwitch(DesktopId from);
// A rule sent a window that just opened to another desktop: the notice
// names it and that desktop, and the user stays where they are.
void announceRuleMove(HWND window);
// One tick of the notice's timer: its opacity from now, 0 once it is over.
BYTE noticeTick();
// A turn of the wheel over the viewer, in the wheel's units.
void onViewerWheel(int delta);
