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

// A script's verb (app/verbs.h). Whether a Panorel runs in this session,
// asked without claiming to be one; the mark on its viewer; the viewer, or
// null while none is marked (the Panorel is starting or ending).
bool panorelRunning();
void markViewer(HWND viewer);
void unmarkViewer(HWND viewer);
HWND findRunningViewer();
// True when the command line holds anything: it was a verb for the running
// Panorel (sent, its answer printed when asked for) or not one at all
// (usage printed), and this process must leave with `exitCode`. False for a
// blank command line, a start as any other.
bool runScriptVerb(const char* commandLine, DWORD& exitCode);
