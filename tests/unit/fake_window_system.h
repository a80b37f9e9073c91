// A simulated window system for the engine's unit tests: a z-order of
// top-level windows with owners, visibility answers, titles and show states,
// popup menus, and a log of every call the engine makes through the seam.
#pragma once

#include "desktops/window_system.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fake {

enum class Op { GetDesktopWindow, GetWindow, GetWindowThreadProcessId, IsWindowVisible, ShowWindow,
                GetWindowTextA, ModifyMenuA, CheckMenuItem, RemoveMenu, AppendMenuA };

struct Call {
    Op op;
    const void* target;  // the window or menu the call names (null for GetDesktopWindow)
    std::intptr_t arg;   // GetWindow's command, ShowWindow's show command, a menu id or position
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
// What the window's own program does: the visibility answer, the title.
void setVisibleAnswer(HWND window, BOOL answer);
void setTitle(HWND window, const std::string& title);
void setShowState(HWND window, ShowState state);
void moveToBottom(HWND window);

BOOL visibleAnswer(HWND window);
ShowState showState(HWND window);
bool isAlive(HWND window);

// Called on every GetWindow(w, GW_HWNDNEXT) before it answers, so a test can
// change the z-order in the middle of a walk.
void onNextQuery(std::function<void(HWND asked)> hook);

HMENU createMenu();
const std::vector<MenuItem>& menuItems(HMENU menu);

const std::vector<Call>& log();
void clearLog();
// The calls of one kind, in order.
std::vector<Call> calls(Op op);
// The windows passed to ShowWindow with this show command, in order.
std::vector<HWND> shown(int showCommand);

}  // namespace fake
