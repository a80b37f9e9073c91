// The switch triggers: modifier keys plus a screen edge, polled on a timer.
#pragma once

#include "app/app_state.h"

// The keys a key mask can select, indexed by the mask bit that selects each:
// left Control, Alt, Shift, then the same on the right.
constexpr unsigned TriggerKeyCount = 6;
extern const WORD TriggerKeyTable[TriggerKeyCount];

// Set: any one selected key arms the edges. Clear: every selected key must
// be held, so a mask that selects none lets the edges alone switch.
constexpr DWORD AnyKeyModeBit = 0x40;

// The edges and the keyboard's previous and next wrap: after 4 comes 1.
constexpr DesktopId previousDesktop(DesktopId d) { return d == 1 ? DesktopCount : d - 1; }
constexpr DesktopId nextDesktop(DesktopId d) { return d == DesktopCount ? 1 : d + 1; }

void pollSwitchTriggers(HWND viewer);
