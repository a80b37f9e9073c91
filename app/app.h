// The application core: start-up and the ways out.
#pragma once

#include "app/app_state.h"

INT_PTR initViewer(HWND viewer);
[[noreturn]] void shutdown(HWND viewer);

void installFaultGuard();
// Finds the calls of DLLs that are loaded at run time, from the system
// folder only (platform/window_system_win32.cpp).
void loadSystemLibraries();

// False when another Panorel runs in this session; it has then been asked
// to show its viewer, and this one must leave without touching anything.
bool claimSingleInstance();
// A second start's request to show the viewer.
bool isShowViewerRequest(UINT message);
