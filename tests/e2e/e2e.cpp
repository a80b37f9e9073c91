#include "e2e.h"

#include <cstdio>

namespace e2e {
namespace {

constexpr DWORD PollMs = 10;
constexpr char HelperClass[] = "PanorelE2EWindow";
constexpr int HelperWindowWidth = 320;
constexpr int HelperWindowHeight = 200;
constexpr int HelperWindowStep = 24;

std::vector<Process> started;
int failed = 0;

std::string folderOfThisProgram() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string pathOfThisProgram() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

struct WindowSearch {
    DWORD processId;
    const char* className;  // null: any class
    HWND found;
};

BOOL CALLBACK matchVisibleWindowOf(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window)) return TRUE;
    if (search->className != nullptr) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (lstrcmpiA(name, search->className) != 0) return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND visibleWindowOf(DWORD processId, const char* className) {
    WindowSearch search = {processId, className, nullptr};
    EnumWindows(matchVisibleWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

LRESULT CALLBACK helperWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

Process start(const std::string& commandLine, const std::string& folder) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    const char* directory = folder.empty() ? nullptr : folder.c_str();
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &info)) {
        std::printf("cannot start %s (error %lu)\n", commandLine.c_str(), GetLastError());
        return {};
    }
    CloseHandle(info.hThread);
    Process process = {info.hProcess, info.dwProcessId};
    started.push_back(process);
    return process;
}

Process startPanorel(const std::string& folder) {
    return start("\"" + folderOfThisProgram() + "Panorel.exe\"", folder);
}

std::string driverFolder() { return folderOfThisProgram(); }

std::vector<HWND> openWindows(const std::string& prefix, int count) {
    start("\"" + pathOfThisProgram() + "\" windows \"" + prefix + "\" " + std::to_string(count));
    std::vector<HWND> windows(count);
    waitUntil([&] {
        for (int i = 0; i < count; ++i) {
            if (windows[i] == nullptr) windows[i] = FindWindowA(HelperClass, (prefix + " " + std::to_string(i + 1)).c_str());
            if (windows[i] == nullptr || !IsWindowVisible(windows[i])) return false;
        }
        return true;
    });
    return windows;
}

HWND openProgram(const std::string& commandLine) {
    Process program = start(commandLine);
    HWND window = nullptr;
    waitUntil([&] { return (window = visibleWindowOf(program.id, nullptr)) != nullptr; });
    return window;
}

HWND waitViewer(const Process& panorel) {
    HWND viewer = nullptr;
    waitUntil([&] { return (viewer = visibleWindowOf(panorel.id, "#32770")) != nullptr; });
    return viewer;
}

bool waitUntil(const std::function<bool()>& condition, DWORD deadlineMs) {
    DWORD begin = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - begin >= deadlineMs) return false;
        Sleep(PollMs);  // the pace of polling, not a synchronisation
    }
}

bool waitExit(const Process& process, DWORD* exitCode, DWORD deadlineMs) {
    if (WaitForSingleObject(process.handle, deadlineMs) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(process.handle, exitCode);
    return true;
}

bool sendCommand(HWND viewer, WORD id) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(viewer, WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, DefaultDeadlineMs, &result) != 0;
}

bool isRunning(const Process& process) { return WaitForSingleObject(process.handle, 0) == WAIT_TIMEOUT; }

namespace {

struct MenuSearch {
    DWORD processId;
    int skip;
    HWND found;
};

BOOL CALLBACK matchMenu(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<MenuSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (processId != search->processId || !IsWindowVisible(window) || lstrcmpA(name, "#32768") != 0) return TRUE;
    if (search->skip-- > 0) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND openMenuOf(const Process& process, int nth) {
    MenuSearch search = {process.id, nth, nullptr};
    EnumWindows(matchMenu, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The menu's modal loop reads every key message of its thread, whichever
// window it is posted to.
void pressMenuKey(HWND menu, WORD virtualKey) {
    PostMessageA(menu, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(menu, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

void rightClickAt(POINT at) {
    SetCursorPos(at.x, at.y);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, clicks, sizeof clicks[0]);
}

// Modifying nothing of an icon succeeds exactly when the shell knows it.
bool hasTrayIcon(HWND owner, UINT id) {
    NOTIFYICONDATAA icon = {};
    icon.cbSize = sizeof icon;
    icon.hWnd = owner;
    icon.uID = id;
    return Shell_NotifyIconA(NIM_MODIFY, &icon) != FALSE;
}

std::vector<COLORREF> screenPixels(const RECT& area) {
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
    const auto* bgrx = static_cast<const BYTE*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = RGB(bgrx[4 * i + 2], bgrx[4 * i + 1], bgrx[4 * i]);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool allVisible(const std::vector<HWND>& windows) {
    for (HWND w : windows) {
        if (!IsWindowVisible(w)) return false;
    }
    return true;
}

bool noneVisible(const std::vector<HWND>& windows) {
    for (HWND w : windows) {
        if (IsWindowVisible(w)) return false;
    }
    return true;
}

bool check(bool passed, const std::string& what) {
    std::printf("%s - %s\n", passed ? "ok" : "FAILED", what.c_str());
    std::fflush(stdout);
    if (!passed) ++failed;
    return passed;
}

int failures() { return failed; }

void endStartedProcesses() {
    for (const Process& p : started) {
        if (WaitForSingleObject(p.handle, 0) == WAIT_TIMEOUT) TerminateProcess(p.handle, 0);
        CloseHandle(p.handle);
    }
    started.clear();
}

int runWindowsHelper(const std::string& prefix, int count) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = helperWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = HelperClass;
    RegisterClassA(&windowClass);
    for (int i = 1; i <= count; ++i) {
        int offset = HelperWindowStep * i;
        HWND w = CreateWindowA(HelperClass, (prefix + " " + std::to_string(i)).c_str(), WS_OVERLAPPEDWINDOW,
                               offset, offset, HelperWindowWidth, HelperWindowHeight, nullptr, nullptr,
                               windowClass.hInstance, nullptr);
        ShowWindow(w, SW_SHOW);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace e2e
