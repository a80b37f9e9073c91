#include "e2e.h"

#include <cstdio>

namespace e2e {
namespace {

constexpr DWORD PollMs = 10;
constexpr char SettingsKey[] = "Software\\Panorel";
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

Process start(const std::string& commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::printf("cannot start %s (error %lu)\n", commandLine.c_str(), GetLastError());
        return {};
    }
    CloseHandle(info.hThread);
    Process process = {info.hProcess, info.dwProcessId};
    started.push_back(process);
    return process;
}

Process startPanorel() { return start("\"" + folderOfThisProgram() + "Panorel.exe\""); }

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

bool storeSetting(const std::string& name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    LSTATUS status =
        RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool readStoredSetting(const std::string& name, DWORD* value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD size = sizeof *value;
    LSTATUS status = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof *value;
}

bool settingsKeyExists() { return settingsValueCount() >= 0; }

int settingsValueCount() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD values = 0;
    LSTATUS status = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                                      nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? static_cast<int>(values) : -1;
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
