// The switch triggers: modifier keys plus a screen edge, polled on a timer.
#pragma once

#include "app/app_state.h"

void pollSwitchTriggers(HWND viewer);
