// The application core: start-up and the ways out.
#pragma once

#include "app/app_state.h"

INT_PTR initViewer(HWND viewer);
[[noreturn]] void shutdown(HWND viewer);

void installFaultGuard();

// False when another Panorel runs in this session; it has then been asked
// to show its viewer, and this one must leave without touching anything.
bool claimSingleInstance();
// A second start's request to show the viewer.
bool isShowViewerRequest(UINT message);
