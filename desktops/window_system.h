// The window-system seam: every call the desktop engine, the switch triggers
// and the miniature's frame budget make to user32 (and kernel32's performance
// counter), one function each, with the platform's own names, arguments and
// answers. The program links platform/window_system_win32.cpp,
// which forwards to user32; the unit tests link a simulated window system.
#pragma once

#include "platform/win32.h"

namespace ws {

// The top-level windows front-most first, as one snapshot taken when the
// call begins: windows restacked or destroyed meanwhile do not change the
// walk. The callback ends it early by answering FALSE.
BOOL EnumWindows(WNDENUMPROC callback, LPARAM parameter);
// Answers the owning thread's id (0 for a destroyed window) and writes the
// owning process's.
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
BOOL IsWindowVisible(HWND window);
BOOL IsIconic(HWND window);
BOOL ShowWindow(HWND window, int showCommand);
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND window);
BOOL MessageBeep(UINT type);
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

// The keyboard shortcuts. A combination is held by one window and id at a
// time: registering one that another holds fails.
BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey);
BOOL UnregisterHotKey(HWND window, int id);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// GA_ROOTOWNER: the window at the end of the window's chain of parents and
// owners (the window itself when it has neither).
HWND GetAncestor(HWND window, UINT flags);
// Input as if from the keyboard: it makes this process the one that
// received the last input, which Windows asks of a program that sets the
// foreground window.
UINT SendInput(UINT count, INPUT* inputs, int size);

// What tells the miniature that the screen may be changing: the time of the
// last input, and window events, delivered to the procedure from the
// thread's message loop when asked out of context.
BOOL GetLastInputInfo(LASTINPUTINFO* info);
HWINEVENTHOOK SetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE module, WINEVENTPROC procedure,
                              DWORD processId, DWORD threadId, DWORD flags);

// shell32's call: the tray icon shows the current desktop.
BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data);
// The shell's desktop window (null where no shell runs): what has the
// keyboard focus when no window does.
HWND GetShellWindow();
// What stops the edge from switching, asked only when the pointer touches an
// edge: a full-screen program in front, the shell's own verdict on whether
// the user may be disturbed, a confined or hidden cursor.
BOOL GetWindowRect(HWND window, RECT* rect);
LONG GetWindowLongA(HWND window, int index);
HMONITOR MonitorFromWindow(HWND window, DWORD flags);
BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info);
// shell32's call.
HRESULT SHQueryUserNotificationState(QUERY_USER_NOTIFICATION_STATE* state);
BOOL GetClipCursor(RECT* rect);
BOOL GetCursorInfo(CURSORINFO* info);

// kernel32's calls that name a window's program for the window rules:
// PROCESS_QUERY_LIMITED_INFORMATION is granted for elevated programs too.
HANDLE OpenProcess(DWORD access, BOOL inheritHandle, DWORD processId);
BOOL QueryFullProcessImageNameW(HANDLE process, DWORD flags, WCHAR* name, DWORD* size);
BOOL CloseHandle(HANDLE handle);

}  // namespace ws
