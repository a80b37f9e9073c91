#include "fake_window_system.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <map>

namespace fake {
namespace {

constexpr HRESULT Ok = 0;
constexpr HRESULT InvalidArgument = static_cast<HRESULT>(0x80070057);
constexpr LONG PrimaryHeight = 1080;
constexpr std::int64_t CountsPerMs = 10000;  // 10 MHz, as Windows 10 and later report

struct Window {
    DWORD processId;
    std::string title;
    BOOL visibleAnswer;
    ShowState state;
    bool alive;
    DWORD threadId = 0;
    std::string className = "Panorel test window";
    HRESULT cloakAnswer = Ok;
    DWORD cloaked = 0;
    bool hiddenByEngine = false;  // its last change of visibility came from the engine's hide
    bool refusesHides = false;
    HWND owner = nullptr;
    RECT rect = {100, 100, 900, 700};
    LONG style = WS_CAPTION;
};

struct Monitor {
    LONG left, top, right, bottom;
    bool contains(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
};

struct WinEventHook {
    DWORD first, last;
    WINEVENTPROC procedure;
    HWINEVENTHOOK handle;
};

struct World {
    std::map<HWND, Window> windows;
    std::vector<HWND> zOrder;  // top first; live windows only
    std::map<HMENU, std::vector<MenuItem>> menus;
    std::vector<Call> log;
    std::function<void(HWND)> enumerateHook;
    std::function<void(HWND, int)> showHook;
    std::uintptr_t nextHandle = 0x10000;
    std::map<int, SHORT> keys;
    POINT cursor = {640, 512};
    bool cursorReadsFail = false;
    int screenWidth = 1920;
    std::vector<Monitor> monitors;  // beside the primary
    HWND foreground = nullptr;
    std::int64_t counter = 0;
    bool foregroundLocked = false;
    std::vector<INPUT> input;
    std::vector<Hotkey> hotkeys;
    DWORD lastInput = 0;
    std::vector<WinEventHook> winEventHooks;
    NOTIFYICONDATAA trayIcon = {};
    HWND shellWindow = nullptr;
    QUERY_USER_NOTIFICATION_STATE notificationState = QUNS_ACCEPTS_NOTIFICATIONS;
    bool cursorClipped = false;
    RECT clip = {};
    bool cursorShowing = true;
    std::map<DWORD, std::wstring> processImages;
    std::map<HANDLE, DWORD> processHandles;
};

World world;

template <typename Handle>
Handle newHandle() {
    world.nextHandle += 0x10;  // never reused, like a fresh handle from a real system
    return reinterpret_cast<Handle>(world.nextHandle);
}

void record(Op op, const void* target, std::intptr_t arg, std::intptr_t arg2 = 0) {
    world.log.push_back({op, target, arg, arg2});
}

Window* find(HWND window) {
    auto it = world.windows.find(window);
    return it == world.windows.end() || !it->second.alive ? nullptr : &it->second;
}

std::vector<MenuItem>* findMenu(HMENU menu) {
    auto it = world.menus.find(menu);
    return it == world.menus.end() ? nullptr : &it->second;
}

Monitor primaryMonitor() { return Monitor{0, 0, world.screenWidth, PrimaryHeight}; }

// Handle 1 is the primary screen, then 2, 3, ... in the order the monitors
// were added.
const Monitor* monitorOf(HMONITOR handle) {
    static Monitor primary;
    const auto n = reinterpret_cast<std::uintptr_t>(handle);
    if (n == 1) return &(primary = primaryMonitor());
    return n >= 2 && n - 2 < world.monitors.size() ? &world.monitors[n - 2] : nullptr;
}

RECT virtualScreen() {
    RECT all = {0, 0, world.screenWidth, PrimaryHeight};
    for (const Monitor& m : world.monitors) {
        all = RECT{std::min(all.left, m.left), std::min(all.top, m.top), std::max(all.right, m.right),
                   std::max(all.bottom, m.bottom)};
    }
    return all;
}

}  // namespace

void reset() { world = World{}; }

HWND addWindow(DWORD processId, const std::string& title, BOOL visibleAnswer) {
    HWND w = newHandle<HWND>();
    world.windows[w] = Window{processId, title, visibleAnswer, ShowState::Normal, true, processId + 1};
    world.zOrder.push_back(w);
    return w;
}

void reuseHandle(HWND handle, DWORD processId, const std::string& title) {
    if (isAlive(handle)) destroy(handle);
    world.windows[handle] = Window{processId, title, FALSE, ShowState::Normal, true, processId + 1};
    world.zOrder.push_back(handle);
}

std::vector<HWND> addWindows(DWORD processId, unsigned n) {
    std::vector<HWND> added;
    for (unsigned i = 0; i < n; ++i) added.push_back(addWindow(processId, "window " + std::to_string(i)));
    return added;
}

void destroy(HWND window) {
    world.windows.at(window).alive = false;
    world.zOrder.erase(std::remove(world.zOrder.begin(), world.zOrder.end(), window), world.zOrder.end());
}

void setVisibleAnswer(HWND window, BOOL answer) {
    world.windows.at(window).visibleAnswer = answer;
    world.windows.at(window).hiddenByEngine = false;
}
void refuseHides(HWND window) { world.windows.at(window).refusesHides = true; }
bool hiddenByEngine(HWND window) {
    const Window* w = find(window);
    return w != nullptr && w->hiddenByEngine && w->visibleAnswer == FALSE;
}
void setTitle(HWND window, const std::string& title) { world.windows.at(window).title = title; }
void setShowState(HWND window, ShowState state) { world.windows.at(window).state = state; }
void setClassName(HWND window, const std::string& name) { world.windows.at(window).className = name; }
void setCloaked(HWND window, HRESULT answer, DWORD value) {
    world.windows.at(window).cloakAnswer = answer;
    world.windows.at(window).cloaked = value;
}

void moveToTop(HWND window) {
    world.zOrder.erase(std::remove(world.zOrder.begin(), world.zOrder.end(), window), world.zOrder.end());
    world.zOrder.insert(world.zOrder.begin(), window);
}

HWND foreground() { return world.foreground; }
void setForeground(HWND window) {
    world.foreground = window;
    moveToTop(window);
}
const std::vector<HWND>& zOrder() { return world.zOrder; }

void moveToBottom(HWND window) {
    world.zOrder.erase(std::remove(world.zOrder.begin(), world.zOrder.end(), window), world.zOrder.end());
    world.zOrder.push_back(window);
}

BOOL visibleAnswer(HWND window) { return world.windows.at(window).visibleAnswer; }
ShowState showState(HWND window) { return world.windows.at(window).state; }
bool isAlive(HWND window) { return find(window) != nullptr; }

void onEnumerate(std::function<void(HWND)> hook) { world.enumerateHook = std::move(hook); }
void onShowWindow(std::function<void(HWND, int)> hook) { world.showHook = std::move(hook); }

void setKeyState(int virtualKey, SHORT state) { world.keys[virtualKey] = state; }
void setCursor(LONG x, LONG y) { world.cursor = POINT{x, y}; }
POINT cursor() { return world.cursor; }
void failCursorReads(bool fail) { world.cursorReadsFail = fail; }
void setScreenWidth(int width) { world.screenWidth = width; }
void addMonitor(LONG left, LONG top, LONG right, LONG bottom) { world.monitors.push_back({left, top, right, bottom}); }
void advanceClock(double ms) { world.counter += static_cast<std::int64_t>(ms * CountsPerMs); }

void setOwner(HWND window, HWND owner) { world.windows.at(window).owner = owner; }

void setShellWindow(HWND window) { world.shellWindow = window; }
void setWindowRect(HWND window, RECT rect) { world.windows.at(window).rect = rect; }
void setStyle(HWND window, LONG style) { world.windows.at(window).style = style; }
void setNotificationState(QUERY_USER_NOTIFICATION_STATE state) { world.notificationState = state; }
void clipCursor(const RECT* area) {
    world.cursorClipped = area != nullptr;
    if (area != nullptr) world.clip = *area;
}
void showCursor(bool showing) { world.cursorShowing = showing; }

void armForegroundLock() { world.foregroundLocked = true; }
const std::vector<INPUT>& sentInput() { return world.input; }

void holdHotkey(UINT modifiers, UINT virtualKey) { world.hotkeys.push_back({nullptr, 0, modifiers, virtualKey}); }
const std::vector<Hotkey>& hotkeys() { return world.hotkeys; }

void input() { ++world.lastInput; }

void raiseWinEvent(DWORD event, HWND window, LONG object) {
    const std::vector<WinEventHook> hooks = world.winEventHooks;
    for (const WinEventHook& hook : hooks) {
        if (event < hook.first || event > hook.last) continue;
        hook.procedure(hook.handle, event, window, object, CHILDID_SELF, 0, 0);
    }
}

HMENU createMenu() {
    HMENU menu = newHandle<HMENU>();
    world.menus[menu] = {};
    return menu;
}

const std::vector<MenuItem>& menuItems(HMENU menu) { return world.menus.at(menu); }

const NOTIFYICONDATAA& trayIcon() { return world.trayIcon; }

const std::vector<Call>& log() { return world.log; }
void clearLog() { world.log.clear(); }

std::vector<Call> calls(Op op) {
    std::vector<Call> found;
    for (const Call& c : world.log) {
        if (c.op == op) found.push_back(c);
    }
    return found;
}

std::vector<int> queriedKeys() {
    std::vector<int> keys;
    for (const Call& c : calls(Op::GetAsyncKeyState)) keys.push_back(static_cast<int>(c.arg));
    return keys;
}

std::vector<HWND> shown(int showCommand) {
    std::vector<HWND> windows;
    for (const Call& c : calls(Op::ShowWindow)) {
        if (c.arg == showCommand) windows.push_back(static_cast<HWND>(const_cast<void*>(c.target)));
    }
    return windows;
}

}  // namespace fake

// The seam, as the engine sees it.
namespace fake {

void setProcessImage(DWORD processId, const std::wstring& path) { world.processImages[processId] = path; }
unsigned openProcessHandles() { return static_cast<unsigned>(world.processHandles.size()); }

}  // namespace fake

namespace ws {

using fake::Op;
using fake::world;

// The snapshot is taken as the call begins; a window destroyed since is
// still handed over, and answers as a dead handle does.
BOOL EnumWindows(WNDENUMPROC callback, LPARAM parameter) {
    fake::record(Op::EnumWindows, nullptr, 0);
    const std::vector<HWND> snapshot = world.zOrder;
    for (HWND w : snapshot) {
        if (world.enumerateHook) world.enumerateHook(w);
        if (!callback(w, parameter)) break;
    }
    return TRUE;
}

// Like the real call, an invalid handle leaves the caller's variable alone.
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
    fake::record(Op::GetWindowThreadProcessId, window, 0);
    fake::Window* w = fake::find(window);
    if (w == nullptr) return 0;
    if (processId != nullptr) *processId = w->processId;
    return w->threadId;
}

BOOL IsWindowVisible(HWND window) {
    fake::record(Op::IsWindowVisible, window, 0);
    fake::Window* w = fake::find(window);
    return w == nullptr ? FALSE : w->visibleAnswer;
}

BOOL IsIconic(HWND window) {
    fake::record(Op::IsIconic, window, 0);
    fake::Window* w = fake::find(window);
    return w != nullptr && w->state == fake::ShowState::Minimized ? TRUE : FALSE;
}

BOOL ShowWindow(HWND window, int showCommand) {
    fake::record(Op::ShowWindow, window, showCommand);
    if (world.showHook) world.showHook(window, showCommand);
    fake::Window* w = fake::find(window);
    if (w == nullptr) return FALSE;
    BOOL wasVisible = w->visibleAnswer != FALSE;
    if (showCommand == SW_HIDE) {
        if (w->refusesHides) return wasVisible;  // as if hidden: Windows answers so
        if (wasVisible) w->hiddenByEngine = true;
        w->visibleAnswer = FALSE;
        if (world.foreground == window) world.foreground = nullptr;
    } else {
        w->hiddenByEngine = false;
        w->visibleAnswer = TRUE;
        if (showCommand == SW_RESTORE || showCommand == SW_SHOWNORMAL || showCommand == SW_SHOWNOACTIVATE) {
            w->state = fake::ShowState::Normal;
        }
        if (showCommand != SW_SHOWNA && showCommand != SW_SHOWNOACTIVATE) fake::setForeground(window);
    }
    return wasVisible;
}

HWND GetForegroundWindow() {
    fake::record(Op::GetForegroundWindow, nullptr, 0);
    return world.foreground;
}

BOOL SetForegroundWindow(HWND window) {
    fake::record(Op::SetForegroundWindow, window, 0);
    if (fake::find(window) == nullptr || world.foregroundLocked) return FALSE;
    fake::setForeground(window);
    return TRUE;
}

BOOL MessageBeep(UINT type) {
    fake::record(Op::MessageBeep, nullptr, static_cast<std::intptr_t>(type));
    return TRUE;
}

int GetWindowTextA(HWND window, char* text, int maxCount) {
    fake::record(Op::GetWindowTextA, window, maxCount);
    fake::Window* w = fake::find(window);
    if (w == nullptr || maxCount <= 0) return 0;  // the buffer is left as it was, as Windows does
    std::size_t n = std::min(w->title.size(), static_cast<std::size_t>(maxCount - 1));
    std::memcpy(text, w->title.data(), n);
    text[n] = '\0';
    return static_cast<int>(n);
}

int GetClassNameA(HWND window, char* className, int maxCount) {
    fake::record(Op::GetClassNameA, window, maxCount);
    fake::Window* w = fake::find(window);
    if (w == nullptr || w->className.empty() || maxCount <= 0) return 0;
    std::size_t n = std::min(w->className.size(), static_cast<std::size_t>(maxCount - 1));
    std::memcpy(className, w->className.data(), n);
    className[n] = '\0';
    return static_cast<int>(n);
}

HRESULT DwmGetWindowAttribute(HWND window, DWORD attribute, void* value, DWORD size) {
    fake::record(Op::DwmGetWindowAttribute, window, attribute);
    fake::Window* w = fake::find(window);
    if (w == nullptr || attribute != DWMWA_CLOAKED || size != sizeof(DWORD)) return fake::InvalidArgument;
    // A failed call may leave anything in the value: the caller must not read it.
    std::memcpy(value, &w->cloaked, sizeof(DWORD));
    return w->cloakAnswer;
}

BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR newId, const char* text) {
    fake::record(Op::ModifyMenuA, menu, position);
    auto* items = fake::findMenu(menu);
    if (items == nullptr || (flags & MF_BYPOSITION) == 0 || position >= items->size()) return FALSE;
    (*items)[position] = fake::MenuItem{flags, newId, text, (*items)[position].checked};
    return TRUE;
}

DWORD CheckMenuItem(HMENU menu, UINT id, UINT check) {
    fake::record(Op::CheckMenuItem, menu, id);
    auto* items = fake::findMenu(menu);
    if (items == nullptr || (check & MF_BYPOSITION) != 0) return static_cast<DWORD>(-1);
    for (fake::MenuItem& item : *items) {
        if (item.id == id) {
            DWORD previous = item.checked ? MF_CHECKED : MF_UNCHECKED;
            item.checked = (check & MF_CHECKED) != 0;
            return previous;
        }
    }
    return static_cast<DWORD>(-1);
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
    fake::record(Op::RemoveMenu, menu, position);
    auto* items = fake::findMenu(menu);
    if (items == nullptr || (flags & MF_BYPOSITION) == 0 || position >= items->size()) return FALSE;
    items->erase(items->begin() + position);
    return TRUE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, const char* text) {
    fake::record(Op::AppendMenuA, menu, static_cast<std::intptr_t>(id));
    auto* items = fake::findMenu(menu);
    if (items == nullptr) return FALSE;
    items->push_back(fake::MenuItem{flags, id, text != nullptr ? text : "", false});
    return TRUE;
}

SHORT GetAsyncKeyState(int virtualKey) {
    fake::record(Op::GetAsyncKeyState, nullptr, virtualKey);
    SHORT& state = world.keys[virtualKey];
    SHORT answer = state;
    state = static_cast<SHORT>(state & ~1);
    return answer;
}

BOOL GetCursorPos(POINT* point) {
    fake::record(Op::GetCursorPos, nullptr, 0);
    if (world.cursorReadsFail) return FALSE;
    *point = world.cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    fake::record(Op::SetCursorPos, nullptr, x, y);
    world.cursor = POINT{x, y};
    return TRUE;
}

int GetSystemMetrics(int index) {
    fake::record(Op::GetSystemMetrics, nullptr, index);
    const RECT all = fake::virtualScreen();
    switch (index) {
    case SM_CXSCREEN: return world.screenWidth;
    case SM_CYSCREEN: return fake::PrimaryHeight;
    case SM_XVIRTUALSCREEN: return all.left;
    case SM_YVIRTUALSCREEN: return all.top;
    case SM_CXVIRTUALSCREEN: return all.right - all.left;
    case SM_CYVIRTUALSCREEN: return all.bottom - all.top;
    default: return 0;
    }
}

HMONITOR MonitorFromPoint(POINT point, DWORD flags) {
    fake::record(Op::MonitorFromPoint, nullptr, point.x, point.y);
    auto handle = [](std::uintptr_t n) { return reinterpret_cast<HMONITOR>(n); };
    if (fake::Monitor{0, 0, world.screenWidth, fake::PrimaryHeight}.contains(point)) return handle(1);
    for (std::size_t i = 0; i < world.monitors.size(); ++i) {
        if (world.monitors[i].contains(point)) return handle(i + 2);
    }
    return flags == MONITOR_DEFAULTTONULL ? nullptr : handle(1);
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    count->QuadPart = world.counter;
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    frequency->QuadPart = fake::CountsPerMs * 1000;
    return TRUE;
}

BOOL GetLastInputInfo(LASTINPUTINFO* info) {
    fake::record(Op::GetLastInputInfo, nullptr, 0);
    if (info->cbSize != sizeof(LASTINPUTINFO)) return FALSE;
    info->dwTime = world.lastInput;
    return TRUE;
}

HWINEVENTHOOK SetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE module, WINEVENTPROC procedure, DWORD,
                              DWORD, DWORD flags) {
    fake::record(Op::SetWinEventHook, nullptr, eventMin, eventMax);
    if (module != nullptr || flags != (WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS)) return nullptr;
    world.winEventHooks.push_back({eventMin, eventMax, procedure, fake::newHandle<HWINEVENTHOOK>()});
    return world.winEventHooks.back().handle;
}

}  // namespace ws

namespace ws {

constexpr UINT NoRepeatModifier = 0x4000;

BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) {
    fake::record(Op::RegisterHotKey, window, id, static_cast<std::intptr_t>(modifiers));
    modifiers &= ~NoRepeatModifier;
    for (const fake::Hotkey& held : world.hotkeys) {
        if (held.modifiers == modifiers && held.virtualKey == virtualKey) return FALSE;
    }
    world.hotkeys.push_back({window, id, modifiers, virtualKey});
    return TRUE;
}

BOOL UnregisterHotKey(HWND window, int id) {
    fake::record(Op::UnregisterHotKey, window, id);
    auto held = [&](const fake::Hotkey& h) { return h.window != nullptr && h.window == window && h.id == id; };
    const auto before = world.hotkeys.size();
    world.hotkeys.erase(std::remove_if(world.hotkeys.begin(), world.hotkeys.end(), held), world.hotkeys.end());
    return world.hotkeys.size() != before ? TRUE : FALSE;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM) {
    fake::record(Op::PostMessageA, window, static_cast<std::intptr_t>(message), static_cast<std::intptr_t>(wParam));
    return TRUE;
}

HWND GetAncestor(HWND window, UINT flags) {
    fake::record(Op::GetAncestor, window, flags);
    if (fake::find(window) == nullptr || flags != GA_ROOTOWNER) return nullptr;
    while (fake::Window* w = fake::find(window)) {
        if (w->owner == nullptr) break;
        window = w->owner;
    }
    return window;
}

UINT SendInput(UINT count, INPUT* inputs, int size) {
    fake::record(Op::SendInput, nullptr, count);
    if (size != static_cast<int>(sizeof(INPUT))) return 0;
    world.input.insert(world.input.end(), inputs, inputs + count);
    world.foregroundLocked = false;
    return count;
}

BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data) {
    fake::record(Op::Shell_NotifyIconA, data->hIcon, static_cast<std::intptr_t>(message));
    fake::world.trayIcon = *data;
    return TRUE;
}

HWND GetShellWindow() {
    fake::record(Op::GetShellWindow, nullptr, 0);
    return world.shellWindow;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    fake::record(Op::GetWindowRect, window, 0);
    fake::Window* w = fake::find(window);
    if (w == nullptr) return FALSE;
    *rect = w->rect;
    return TRUE;
}

LONG GetWindowLongA(HWND window, int index) {
    fake::record(Op::GetWindowLongA, window, index);
    fake::Window* w = fake::find(window);
    return w != nullptr && index == GWL_STYLE ? w->style : 0;
}

// The monitor that holds the middle of the window, else the primary.
HMONITOR MonitorFromWindow(HWND window, DWORD flags) {
    fake::record(Op::MonitorFromWindow, window, flags);
    fake::Window* w = fake::find(window);
    if (w == nullptr) return nullptr;
    const POINT middle = {(w->rect.left + w->rect.right) / 2, (w->rect.top + w->rect.bottom) / 2};
    for (std::size_t i = 0; i < world.monitors.size(); ++i) {
        if (world.monitors[i].contains(middle)) return reinterpret_cast<HMONITOR>(i + 2);
    }
    return reinterpret_cast<HMONITOR>(std::uintptr_t{1});
}

BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info) {
    fake::record(Op::GetMonitorInfoA, nullptr, static_cast<std::intptr_t>(reinterpret_cast<std::uintptr_t>(monitor)));
    const fake::Monitor* m = fake::monitorOf(monitor);
    if (m == nullptr || info->cbSize != sizeof(MONITORINFO)) return FALSE;
    info->rcMonitor = RECT{m->left, m->top, m->right, m->bottom};
    info->rcWork = info->rcMonitor;
    return TRUE;
}

HRESULT SHQueryUserNotificationState(QUERY_USER_NOTIFICATION_STATE* state) {
    fake::record(Op::SHQueryUserNotificationState, nullptr, 0);
    *state = world.notificationState;
    return fake::Ok;
}

// Unclipped, the cursor may go anywhere on the virtual screen.
BOOL GetClipCursor(RECT* rect) {
    fake::record(Op::GetClipCursor, nullptr, 0);
    *rect = world.cursorClipped ? world.clip : fake::virtualScreen();
    return TRUE;
}

BOOL GetCursorInfo(CURSORINFO* info) {
    fake::record(Op::GetCursorInfo, nullptr, 0);
    if (info->cbSize != sizeof(CURSORINFO)) return FALSE;
    info->flags = world.cursorShowing ? CURSOR_SHOWING : 0;
    info->ptScreenPos = world.cursor;
    return TRUE;
}

HANDLE OpenProcess(DWORD access, BOOL, DWORD processId) {
    fake::record(Op::OpenProcess, nullptr, static_cast<std::intptr_t>(processId), static_cast<std::intptr_t>(access));
    if (access != PROCESS_QUERY_LIMITED_INFORMATION || world.processImages.count(processId) == 0) return nullptr;
    HANDLE process = fake::newHandle<HANDLE>();
    world.processHandles[process] = processId;
    return process;
}

BOOL QueryFullProcessImageNameW(HANDLE process, DWORD flags, WCHAR* name, DWORD* size) {
    fake::record(Op::QueryFullProcessImageNameW, process, static_cast<std::intptr_t>(flags));
    auto open = world.processHandles.find(process);
    if (open == world.processHandles.end()) return FALSE;
    const std::wstring& path = world.processImages[open->second];
    if (path.size() + 1 > *size) return FALSE;
    std::wmemcpy(name, path.c_str(), path.size() + 1);
    *size = static_cast<DWORD>(path.size());
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    fake::record(Op::CloseHandle, handle, 0);
    return world.processHandles.erase(handle) == 1 ? TRUE : FALSE;
}

}  // namespace ws
