// A simulated window system for the engine's unit tests: a z-order of
// top-level windows with owners, visibility answers, titles and show states,
// classes, cloaking, popup menus, the keyboard, the pointer, the monitors and
// the performance counter,
// and a log of every call the engine makes through the seam.
#pragma once

#include "desktops/window_system.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fake {

enum class Op { EnumWindows, GetWindowThreadProcessId, IsWindowVisible, ShowWindow,
                GetWindowTextA, ModifyMenuA, CheckMenuItem, RemoveMenu, AppendMenuA,
                GetAsyncKeyState, GetCursorPos, SetCursorPos, GetSystemMetrics, GetClassNameA,
                DwmGetWindowAttribute, MonitorFromPoint, GetForegroundWindow, SetForegroundWindow,
                MessageBeep, IsIconic, RegisterHotKey, UnregisterHotKey, PostMessageA, GetAncestor,
                SendInput,
                GetLastInputInfo, SetWinEventHook, Shell_NotifyIconA, GetShellWindow,
                GetWindowRect, GetWindowLongA, MonitorFromWindow, GetMonitorInfoA, SHQueryUserNotificationState,
                GetClipCursor, GetCursorInfo, OpenProcess, QueryFullProcessImageNameW, CloseHandle };

struct Call {
    Op op;
    const void* target;  // the window or menu the call names (null where none)
    // ShowWindow's show command, a menu id or position,
    // a virtual key, a metric's index, a DWM attribute, the x of
    // SetCursorPos and MonitorFromPoint, a hot key id, a message, a count
    std::intptr_t arg;
    // the y of SetCursorPos and MonitorFromPoint, a hot key's modifiers, a
    // message's wParam
    std::intptr_t arg2 = 0;
};

enum class ShowState { Normal, Minimized, Maximized };

struct MenuItem {
    UINT flags;
    UINT_PTR id;
    std::string text;
    bool checked;
};

// Starts an empty world: no windows, no menus, an empty log.
void reset();

// Adds a window at the bottom of the z-order and returns its handle.
HWND addWindow(DWORD processId, const std::string& title = "", BOOL visibleAnswer = TRUE);
// Adds n visible windows of one process, top to bottom.
std::vector<HWND> addWindows(DWORD processId, unsigned n);

void destroy(HWND window);
// Windows hands a destroyed window's handle to a window made later: the
// handle now names a new, hidden window of another owner, at the bottom.
void reuseHandle(HWND handle, DWORD processId, const std::string& title = "");
// What the window's own program does: the visibility answer, the title.
void setVisibleAnswer(HWND window, BOOL answer);
// The window belongs to a program with higher rights: a hide answers as if
// it had hidden the window, which stays on the screen.
void refuseHides(HWND window);
// Whether the window is hidden, and the engine's SW_HIDE is what hid it.
bool hiddenByEngine(HWND window);
void setTitle(HWND window, const std::string& title);
void setShowState(HWND window, ShowState state);
// An empty name cannot be read: GetClassNameA answers 0.
void setClassName(HWND window, const std::string& name);
// What DwmGetWindowAttribute answers for DWMWA_CLOAKED: the call's result,
// and the value it writes even when it fails (S_OK and 0 until set).
void setCloaked(HWND window, HRESULT answer, DWORD value);
void moveToBottom(HWND window);

// The window with the keyboard focus. As on Windows, activating a window
// (SetForegroundWindow, or ShowWindow with a command that activates) brings
// it to the top of the z-order; a hidden one loses the focus.
HWND foreground();
void setForeground(HWND window);
const std::vector<HWND>& zOrder();

BOOL visibleAnswer(HWND window);
ShowState showState(HWND window);
bool isAlive(HWND window);

// Called before EnumWindows hands each window of its snapshot to the
// callback, so a test can restack or destroy windows in the middle of a walk.
void onEnumerate(std::function<void(HWND next)> hook);
// Called on every ShowWindow before the window changes: the caller waits
// there for the window's program, and messages sent to it meanwhile run.
void onShowWindow(std::function<void(HWND window, int showCommand)> hook);

// The answer GetAsyncKeyState gives for a key (0 until set). Like the real
// call, a query clears the "pressed since the last query" bit 0x0001.
void setKeyState(int virtualKey, SHORT state);
void setCursor(LONG x, LONG y);
POINT cursor();
// While set, GetCursorPos fails and leaves the caller's point untouched.
void failCursorReads(bool fail);
void setScreenWidth(int width);  // 1920 until set
// Another monitor beside the primary screen (0, 0) to (width, 1080).
void addMonitor(LONG left, LONG top, LONG right, LONG bottom);
// The performance counter: it runs at 10 MHz and moves only when told.
void advanceClock(double ms);

// The window's owner, as the window that made it gave it (none until set).
void setOwner(HWND window, HWND owner);

// The path of a process's image, as QueryFullProcessImageNameW answers it
// (none until set: OpenProcess then fails, as for a process gone or
// protected); and the process handles opened and not yet closed.
void setProcessImage(DWORD processId, const std::wstring& path);
unsigned openProcessHandles();

// What GetShellWindow answers (null until set).
void setShellWindow(HWND window);

// What a program in front and the shell tell the edge: the window's place
// on the screen (100, 100 to 900, 700 until set) and style (a caption until
// set); the shell's notification state (accepting notifications until set);
// the area the cursor is confined to (null: none, the virtual screen); and
// whether the cursor shows.
void setWindowRect(HWND window, RECT rect);
void setStyle(HWND window, LONG style);
void setNotificationState(QUERY_USER_NOTIFICATION_STATE state);
void clipCursor(const RECT* area);
void showCursor(bool showing);

// Windows' foreground lock: once armed, SetForegroundWindow answers FALSE
// and changes nothing until this process sends input (SendInput).
void armForegroundLock();
// The keyboard events sent with SendInput, in order.
const std::vector<INPUT>& sentInput();

// A combination held by a window and id of any process; another program's
// hold (taken with holdHotkey) has no window. The no-repeat bit is dropped.
struct Hotkey {
    HWND window;
    int id;
    UINT modifiers;
    UINT virtualKey;
};
void holdHotkey(UINT modifiers, UINT virtualKey);
const std::vector<Hotkey>& hotkeys();

// The user touches the keyboard or the mouse: GetLastInputInfo answers a
// later time.
void input();
// A window event, handed at once to every hook whose range holds it. The
// simulated system hears only hooks out of context that skip the caller's
// own process: one that asks otherwise hears nothing here.
void raiseWinEvent(DWORD event, HWND window, LONG object = OBJID_WINDOW);

HMENU createMenu();
const std::vector<MenuItem>& menuItems(HMENU menu);

// The tray record as the last Shell_NotifyIconA passed it (the call's
// message is logged as its arg, the icon as its target).
const NOTIFYICONDATAA& trayIcon();

const std::vector<Call>& log();
void clearLog();
// The calls of one kind, in order.
std::vector<Call> calls(Op op);
// The virtual keys GetAsyncKeyState was asked for, in order.
std::vector<int> queriedKeys();
// The windows passed to ShowWindow with this show command, in order.
std::vector<HWND> shown(int showCommand);

}  // namespace fake
