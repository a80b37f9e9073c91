// The Win32 side of the window-system seam: one forwarder per call.
#include "app/app.h"
#include "desktops/window_system.h"

#include <shellapi.h>

namespace {

// dwmapi.dll is not among the DLLs Windows always loads from the system
// folder: imported, it would be looked for beside Panorel.exe first, before
// any code of ours runs. So it is loaded here, from the system folder only;
// a system that cannot do that (or has no compositor) simply goes without.
constexpr char DwmLibrary[] = "dwmapi.dll";
using DwmGetWindowAttributeCall = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
DwmGetWindowAttributeCall dwmGetWindowAttribute = nullptr;

template <typename Call>
Call findCall(HMODULE library, const char* name) {
    // Through void(*)(): GetProcAddress's type says nothing of the real one.
    return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

}  // namespace

void loadSystemLibraries() {
    HMODULE dwm = LoadLibraryExA(DwmLibrary, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (dwm != nullptr) dwmGetWindowAttribute = findCall<DwmGetWindowAttributeCall>(dwm, "DwmGetWindowAttribute");
}

namespace ws {

BOOL EnumWindows(WNDENUMPROC callback, LPARAM parameter) { return ::EnumWindows(callback, parameter); }
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
    return ::GetWindowThreadProcessId(window, processId);
}
BOOL IsWindowVisible(HWND window) { return ::IsWindowVisible(window); }
BOOL IsIconic(HWND window) { return ::IsIconic(window); }
BOOL ShowWindow(HWND window, int showCommand) { return ::ShowWindow(window, showCommand); }
HWND GetForegroundWindow() { return ::GetForegroundWindow(); }
BOOL SetForegroundWindow(HWND window) { return ::SetForegroundWindow(window); }
BOOL MessageBeep(UINT type) { return ::MessageBeep(type); }
int GetWindowTextA(HWND window, char* text, int maxCount) {
    return ::GetWindowTextA(window, text, maxCount);
}
int GetClassNameA(HWND window, char* className, int maxCount) {
    return ::GetClassNameA(window, className, maxCount);
}
HRESULT DwmGetWindowAttribute(HWND window, DWORD attribute, void* value, DWORD size) {
    if (dwmGetWindowAttribute == nullptr) return E_NOTIMPL;
    return dwmGetWindowAttribute(window, attribute, value, size);
}

BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR newId, const char* text) {
    return ::ModifyMenuA(menu, position, flags, newId, text);
}
DWORD CheckMenuItem(HMENU menu, UINT id, UINT check) { return ::CheckMenuItem(menu, id, check); }
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
    return ::RemoveMenu(menu, position, flags);
}
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, const char* text) {
    return ::AppendMenuA(menu, flags, id, text);
}

SHORT GetAsyncKeyState(int virtualKey) { return ::GetAsyncKeyState(virtualKey); }
BOOL GetCursorPos(POINT* point) { return ::GetCursorPos(point); }
BOOL SetCursorPos(int x, int y) { return ::SetCursorPos(x, y); }
int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }
HMONITOR MonitorFromPoint(POINT point, DWORD flags) { return ::MonitorFromPoint(point, flags); }

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) { return ::QueryPerformanceCounter(count); }
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) { return ::QueryPerformanceFrequency(frequency); }

BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) {
    return ::RegisterHotKey(window, id, modifiers, virtualKey);
}
BOOL UnregisterHotKey(HWND window, int id) { return ::UnregisterHotKey(window, id); }
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(window, message, wParam, lParam);
}
HWND GetAncestor(HWND window, UINT flags) { return ::GetAncestor(window, flags); }
UINT SendInput(UINT count, INPUT* inputs, int size) { return ::SendInput(count, inputs, size); }

BOOL GetLastInputInfo(LASTINPUTINFO* info) { return ::GetLastInputInfo(info); }
HWINEVENTHOOK SetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE module, WINEVENTPROC procedure,
                              DWORD processId, DWORD threadId, DWORD flags) {
    return ::SetWinEventHook(eventMin, eventMax, module, procedure, processId, threadId, flags);
}

BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data) { return ::Shell_NotifyIconA(message, data); }
HWND GetShellWindow() { return ::GetShellWindow(); }
BOOL GetWindowRect(HWND window, RECT* rect) { return ::GetWindowRect(window, rect); }
LONG GetWindowLongA(HWND window, int index) { return ::GetWindowLongA(window, index); }
HMONITOR MonitorFromWindow(HWND window, DWORD flags) { return ::MonitorFromWindow(window, flags); }
BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info) { return ::GetMonitorInfoA(monitor, info); }
HRESULT SHQueryUserNotificationState(QUERY_USER_NOTIFICATION_STATE* state) {
    return ::SHQueryUserNotificationState(state);
}
BOOL GetClipCursor(RECT* rect) { return ::GetClipCursor(rect); }
BOOL GetCursorInfo(CURSORINFO* info) { return ::GetCursorInfo(info); }
HANDLE OpenProcess(DWORD access, BOOL inheritHandle, DWORD processId) {
    return ::OpenProcess(access, inheritHandle, processId);
}
BOOL QueryFullProcessImageNameW(HANDLE process, DWORD flags, WCHAR* name, DWORD* size) {
    return ::QueryFullProcessImageNameW(process, flags, name, size);
}
BOOL CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }

}  // namespace ws
