// Giving a window the foreground on Windows as it is: a program may take
// the foreground only under conditions, the main one being that it received
// the last input. A shortcut or a menu command gives Panorel that right; an
// edge switch does not, since the trigger only polls the keys and the
// pointer, and Windows then refuses and flashes the taskbar button instead.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

namespace {

// Listed as unassigned among the virtual-key codes: no layout gives it a
// character and no program a meaning. Only its release is sent, so no key
// is ever left down.
constexpr WORD UnassignedVirtualKey = 0xE8;

void sendUnassignedKey() {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = UnassignedVirtualKey;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    ws::SendInput(1, &input, sizeof input);
}

}  // namespace

// Input releases the foreground lock, so a refused first try is followed by
// one key event and one more try; a first try that succeeds sends nothing.
void giveForeground(HWND window) {
    if (ws::SetForegroundWindow(window) != FALSE) return;
    sendUnassignedKey();
    ws::SetForegroundWindow(window);
}

void focusShell() {
    HWND shell = ws::GetShellWindow();
    if (shell != nullptr) giveForeground(shell);
}
