// The Win32 side of the window-system seam: one forwarder per call.
#include "desktops/window_system.h"

namespace ws {

HWND GetDesktopWindow() { return ::GetDesktopWindow(); }
HWND GetWindow(HWND window, UINT command) { return ::GetWindow(window, command); }
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
    return ::GetWindowThreadProcessId(window, processId);
}
BOOL IsWindowVisible(HWND window) { return ::IsWindowVisible(window); }
BOOL ShowWindow(HWND window, int showCommand) { return ::ShowWindow(window, showCommand); }
int GetWindowTextA(HWND window, char* text, int maxCount) {
    return ::GetWindowTextA(window, text, maxCount);
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

}  // namespace ws
