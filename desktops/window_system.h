// The window-system seam: every call the desktop engine, the switch triggers
// and the miniature's frame budget make to user32 (and kernel32's performance
// counter), one function each, with the platform's own names, arguments and
// answers. The program links platform/window_system_win32.cpp,
// which forwards to user32; the unit tests link a simulated window system.
#pragma once

#include "platform/win32.h"

namespace ws {

HWND GetDesktopWindow();
HWND GetWindow(HWND window, UINT command);
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
BOOL IsWindowVisible(HWND window);
BOOL IsIconic(HWND window);
BOOL ShowWindow(HWND window, int showCommand);
int GetWindowTextA(HWND window, char* text, int maxCount);
int GetClassNameA(HWND window, char* className, int maxCount);
// dwmapi's call. Where the compositor's library could not be loaded from the
// system folder it answers a failure, as it does where it cannot tell.
HRESULT DwmGetWindowAttribute(HWND window, DWORD attribute, void* value, DWORD size);

BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR newId, const char* text);
DWORD CheckMenuItem(HMENU menu, UINT id, UINT check);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, const char* text);

SHORT GetAsyncKeyState(int virtualKey);
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);
int GetSystemMetrics(int index);
HMONITOR MonitorFromPoint(POINT point, DWORD flags);

BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);

}  // namespace ws
