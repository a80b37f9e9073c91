// The application core: start-up and the ways out.
#pragma once

#include "app/app_state.h"

INT_PTR initViewer(HWND viewer);
[[noreturn]] void shutdown(HWND viewer);

void installFaultGuard();
