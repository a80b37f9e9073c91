// The application core: start-up and the ways out.
#pragma once

#include "app/app_state.h"

INT_PTR initViewer(HWND viewer);
[[noreturn]] void shutdown(HWND viewer);

void installFaultGuard();
// Finds the calls of DLLs that are loaded at run time, from the system
// folder only (platform/window_system_win32.cpp).
void loadSystemLibraries();
