// The end-to-end toolkit: starts Panorel and other programs under the real
// window system, drives the viewer and checks what a user would see.
// Everything waits for a condition with a deadline; nothing sleeps to
// synchronise.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

constexpr DWORD DefaultDeadlineMs = 20000;

struct Process {
    HANDLE handle = nullptr;
    DWORD id = 0;
};

// Starts a program; it is ended when the scenario ends, if still running.
Process start(const std::string& commandLine);
// Panorel.exe from the driver's own folder.
Process startPanorel();
// Another copy of this driver that opens `count` visible windows titled
// "<prefix> 1" ... "<prefix> <count>" and keeps them until it is ended.
// Returns the windows once all of them are shown.
std::vector<HWND> openWindows(const std::string& prefix, int count);
// One of Wine's own programs (notepad, regedit, ...) and its main window.
HWND openProgram(const std::string& commandLine);

// The viewer: the visible dialog window of the Panorel process.
HWND waitViewer(const Process& panorel);

bool waitUntil(const std::function<bool()>& condition, DWORD deadlineMs = DefaultDeadlineMs);
// Waits for the process to end; false if it is still running at the deadline.
bool waitExit(const Process& process, DWORD* exitCode, DWORD deadlineMs = DefaultDeadlineMs);

// Sends WM_COMMAND with the id to the viewer and returns once it is handled.
bool sendCommand(HWND viewer, WORD id);

bool allVisible(const std::vector<HWND>& windows);
bool noneVisible(const std::vector<HWND>& windows);

// Panorel's settings key, HKEY_LOCAL_MACHINE\Software\Panorel, seen from the
// driver: Wine gives every process of a prefix the same registry, so values
// stored here before Panorel starts are what it reads.
bool storeSetting(const std::string& name, DWORD value);
// False when the value is missing or not a 4-byte REG_DWORD.
bool readStoredSetting(const std::string& name, DWORD* value);
bool settingsKeyExists();
// The number of values under the key; -1 when there is no key.
int settingsValueCount();

// Records one check and prints it; the scenario fails if any check failed.
bool check(bool passed, const std::string& what);
int failures();

// Ends every process the scenario started that is still running.
void endStartedProcesses();

// The helper side of openWindows, run in the second copy of the driver.
int runWindowsHelper(const std::string& prefix, int count);

}  // namespace e2e
