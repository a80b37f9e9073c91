#include "e2e.h"

#include <tlhelp32.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace e2e {
namespace {

constexpr int SteadyPointerPolls = 15;
constexpr char SettingsKey[] = "Software\\Panorel";
// The drive on which Wine shows the whole Linux file system.
constexpr char WholeFileSystemDrive[] = "Z:";
constexpr char RunParentKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char RunKeyName[] = "Run";
constexpr char RunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char OpenedKey[] = "Software\\PanorelE2E\\Opened";
constexpr const char* WebProtocols[] = {"http", "https"};
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

// A visible top-level window by what it is known by; each field left at
// its default matches any window.
struct TopLevelSearch {
    DWORD processId = 0;
    const char* className = nullptr;
    const std::string* title = nullptr;
    bool titlePart = false;  // the title need only contain `title`
    int skip = 0;            // matching windows to pass over first, front-most first
    HWND owner = nullptr;
    HWND found = nullptr;
};

bool sameClass(HWND window, const char* className) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, className) == 0;
}

bool sameTitle(HWND window, const std::string& title, bool part) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return part ? std::string(text).find(title) != std::string::npos : title == text;
}

BOOL CALLBACK matchTopLevel(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<TopLevelSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (!IsWindowVisible(window) || (search->processId != 0 && processId != search->processId)) return TRUE;
    if (search->className != nullptr && !sameClass(window, search->className)) return TRUE;
    if (search->title != nullptr && !sameTitle(window, *search->title, search->titlePart)) return TRUE;
    if (search->owner != nullptr && GetWindow(window, GW_OWNER) != search->owner) return TRUE;
    if (search->skip-- > 0) return TRUE;
    search->found = window;
    return FALSE;
}

HWND findTopLevel(TopLevelSearch search) {
    EnumWindows(matchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

LRESULT CALLBACK helperWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

constexpr char QuadrantsClass[] = "PanorelE2EQuadrants";
constexpr char CoverClass[] = "PanorelE2ECover";
constexpr UINT SetPaletteMessage = WM_APP + 1;
constexpr UINT SetCoverMessage = WM_APP + 2;
constexpr int CoverSize = 400;

const COLORREF Palettes[2][4] = {
    {RGB(220, 30, 30), RGB(30, 200, 30), RGB(30, 30, 220), RGB(230, 220, 40)},
    {RGB(200, 40, 200), RGB(40, 210, 210), RGB(240, 140, 20), RGB(20, 110, 40)},
};

int quadrantsPalette = 0;
HWND coverWindow = nullptr;

void paintQuadrants(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT all;
    GetClientRect(window, &all);
    for (int q = 0; q < 4; ++q) {
        RECT r = {q % 2 == 0 ? 0 : all.right / 2, q < 2 ? 0 : all.bottom / 2, q % 2 == 0 ? all.right / 2 : all.right,
                  q < 2 ? all.bottom / 2 : all.bottom};
        HBRUSH brush = CreateSolidBrush(Palettes[quadrantsPalette][q]);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK quadrantsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paintQuadrants(window);
        return 0;
    case SetPaletteMessage:
        quadrantsPalette = static_cast<int>(wParam) % 2;
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
        return 0;
    case SetCoverMessage:
        ShowWindow(coverWindow, wParam != 0 ? SW_SHOWNOACTIVATE : SW_HIDE);
        UpdateWindow(coverWindow);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

constexpr char PoolClass[] = "PanorelE2EPoolWindow";
constexpr char PoolControlClass[] = "PanorelE2EPoolControl";
constexpr UINT PoolCreateMessage = WM_APP + 10;  // to the pool's control window; wParam: n
constexpr UINT PoolHideMessage = WM_APP + 11;
constexpr UINT PoolShowMessage = WM_APP + 12;
constexpr UINT PoolDestroyMessage = WM_APP + 13;
constexpr UINT PoolHangMessage = WM_APP + 14;
constexpr char HungEvent[] = "PanorelE2EHung";
constexpr char ResumeEvent[] = "PanorelE2EResume";
constexpr int PoolCascade = 20;  // windows placed on this many steps, then again from the top

std::string poolPrefix;

HWND createPoolWindow(int n) {
    int offset = HelperWindowStep * (n % PoolCascade);
    HWND w = CreateWindowA(PoolClass, (poolPrefix + " " + std::to_string(n)).c_str(), WS_OVERLAPPEDWINDOW, offset,
                           offset, HelperWindowWidth, HelperWindowHeight, nullptr, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
    ShowWindow(w, SW_SHOW);
    return w;
}

// The program's one thread stops answering until the driver lets it go.
void hangUntilResumed() {
    HANDLE hung = OpenEventA(EVENT_MODIFY_STATE, FALSE, HungEvent);
    HANDLE resume = OpenEventA(SYNCHRONIZE, FALSE, ResumeEvent);
    SetEvent(hung);
    WaitForSingleObject(resume, INFINITE);
    CloseHandle(resume);
    CloseHandle(hung);
}

LRESULT CALLBACK poolWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case PoolHideMessage:
        ShowWindow(window, SW_HIDE);
        return 1;
    case PoolShowMessage:
        ShowWindow(window, SW_SHOW);
        return 1;
    case PoolDestroyMessage:
        DestroyWindow(window);
        return 1;
    case PoolHangMessage:
        hangUntilResumed();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK poolControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == PoolCreateMessage) return reinterpret_cast<LRESULT>(createPoolWindow(static_cast<int>(wParam)));
    return DefWindowProcA(window, message, wParam, lParam);
}

bool sendToHelper(HWND window, UINT message, WPARAM wParam, DWORD_PTR* result) {
    return SendMessageTimeoutA(window, message, wParam, 0, SMTO_ABORTIFHUNG, DefaultDeadlineMs, result) != 0;
}

HKEY openSettingsKey(REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, access, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

// The windows "<prefix> 1" ... of the windows helper, once all are shown.
std::vector<HWND> waitHelperWindows(const std::string& prefix, const std::vector<std::string>& classes) {
    std::vector<HWND> windows(classes.size());
    waitUntil([&] {
        for (std::size_t i = 0; i < windows.size(); ++i) {
            const std::string title = prefix + " " + std::to_string(i + 1);
            if (windows[i] == nullptr) windows[i] = FindWindowA(classes[i].c_str(), title.c_str());
            if (windows[i] == nullptr || !IsWindowVisible(windows[i])) return false;
        }
        return true;
    });
    return windows;
}

}  // namespace

namespace {

// `output`, when given, is an inheritable handle the program writes its
// standard output to.
Process startWithOutput(const std::wstring& commandLine, const std::wstring& folder, HANDLE output) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (output != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
    }
    PROCESS_INFORMATION info = {};
    const wchar_t* directory = folder.empty() ? nullptr : folder.c_str();
    // Wine answers ERROR_INTERNAL_ERROR now and then when its loader loses a race on a busy machine; the same
    // start succeeds when asked again, so only that answer is asked again, and only until the deadline.
    DWORD error = ERROR_SUCCESS;
    waitUntil([&] {
        std::wstring line = commandLine;
        if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, output != nullptr, 0, nullptr, directory, &startup,
                           &info)) {
            error = ERROR_SUCCESS;
            return true;
        }
        error = GetLastError();
        return error != ERROR_INTERNAL_ERROR;
    });
    if (error != ERROR_SUCCESS) {
        std::printf("cannot start %ls (error %lu)\n", commandLine.c_str(), error);
        return {};
    }
    CloseHandle(info.hThread);
    Process process = {info.hProcess, info.dwProcessId};
    started.push_back(process);
    return process;
}

}  // namespace

Process startWide(const std::wstring& commandLine, const std::wstring& folder) {
    return startWithOutput(commandLine, folder, nullptr);
}

// The driver's own strings are in the ANSI code page.
Process start(const std::string& commandLine, const std::string& folder) {
    auto widen = [](const std::string& text) {
        std::wstring wide(text.size(), L'\0');
        const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                                static_cast<int>(wide.size()));
        wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
        return wide;
    };
    return startWide(widen(commandLine), widen(folder));
}

Process startPanorel(const std::string& folder) {
    return start("\"" + folderOfThisProgram() + "Panorel.exe\"", folder);
}

std::string driverFolder() { return folderOfThisProgram(); }

DWORD runPanorel(const std::string& arguments, std::string* output) {
    char folder[MAX_PATH];
    char path[MAX_PATH];
    if (GetTempPathA(sizeof folder, folder) == 0 || GetTempFileNameA(folder, "out", 0, path) == 0) return STILL_ACTIVE;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
    const std::string line = "\"" + folderOfThisProgram() + "Panorel.exe\" " + arguments;
    const Process process = startWithOutput(std::wstring(line.begin(), line.end()), L"", file);
    CloseHandle(file);
    DWORD code = STILL_ACTIVE;
    if (process.handle != nullptr) waitExit(process, &code);
    if (output != nullptr) {
        output->clear();
        FILE* written = std::fopen(path, "rb");
        for (int c; written != nullptr && (c = std::fgetc(written)) != EOF;) output->push_back(static_cast<char>(c));
        if (written != nullptr) std::fclose(written);
    }
    DeleteFileA(path);
    return code;
}

std::string otherBuildPanorel() {
    const char* linuxPath = std::getenv("PANOREL_OTHER_BUILD");
    if (linuxPath == nullptr || *linuxPath == '\0') return "";
    std::string path = std::string(WholeFileSystemDrive) + linuxPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::vector<HWND> openWindows(const std::string& prefix, int count) {
    start("\"" + pathOfThisProgram() + "\" windows \"" + prefix + "\" " + std::to_string(count));
    return waitHelperWindows(prefix, std::vector<std::string>(count, HelperClass));
}

std::vector<HWND> openWindowsOfClasses(const std::string& prefix, const std::vector<std::string>& classes) {
    std::string list;
    for (const std::string& name : classes) list += (list.empty() ? "" : ",") + name;
    start("\"" + pathOfThisProgram() + "\" windows \"" + prefix + "\" " + std::to_string(classes.size()) + " " + list);
    return waitHelperWindows(prefix, classes);
}

Pool openPool(const std::string& prefix, int count) {
    Pool pool;
    pool.prefix = prefix;
    pool.process = start("\"" + pathOfThisProgram() + "\" pool \"" + prefix + "\" " + std::to_string(count));
    pool.windows.assign(count, nullptr);
    waitUntil([&] {
        for (int i = 0; i < count; ++i) {
            if (pool.windows[i] == nullptr) {
                pool.windows[i] = FindWindowA(PoolClass, (prefix + " " + std::to_string(i + 1)).c_str());
            }
            if (pool.windows[i] == nullptr || !IsWindowVisible(pool.windows[i])) return false;
        }
        return true;
    });
    return pool;
}

HWND poolCreate(const Pool& pool, int n) {
    HWND control = FindWindowA(PoolControlClass, pool.prefix.c_str());
    DWORD_PTR result = 0;
    if (control == nullptr || !sendToHelper(control, PoolCreateMessage, static_cast<WPARAM>(n), &result)) return nullptr;
    return reinterpret_cast<HWND>(result);
}

bool poolHide(HWND window) {
    DWORD_PTR result = 0;
    return sendToHelper(window, PoolHideMessage, 0, &result) && result != 0;
}

bool poolShow(HWND window) {
    DWORD_PTR result = 0;
    return sendToHelper(window, PoolShowMessage, 0, &result) && result != 0;
}

bool poolDestroy(HWND window) {
    DWORD_PTR result = 0;
    return sendToHelper(window, PoolDestroyMessage, 0, &result) && result != 0;
}

// Returns once the program has stopped: it says so just before it waits.
void poolHang(HWND window) {
    static HANDLE hung = CreateEventA(nullptr, TRUE, FALSE, HungEvent);
    static HANDLE resume = CreateEventA(nullptr, TRUE, FALSE, ResumeEvent);
    ResetEvent(hung);
    ResetEvent(resume);
    PostMessageA(window, PoolHangMessage, 0, 0);
    WaitForSingleObject(hung, DefaultDeadlineMs);
}

void resumeHungPrograms() {
    HANDLE resume = OpenEventA(EVENT_MODIFY_STATE, FALSE, ResumeEvent);
    SetEvent(resume);
    CloseHandle(resume);
}

namespace {

// Under WoW64 a 32-bit regedit hands over to the 64-bit one, as on Windows,
// and Wine starts a 64-bit program for a 32-bit caller through a process of
// its own: the window is then a child process's, not the one CreateProcess
// answered for.
std::vector<DWORD> processAndChildren(DWORD processId) {
    std::vector<DWORD> ids = {processId};
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID == processId) ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

}  // namespace

HWND openProgram(const std::string& commandLine) {
    Process program = start(commandLine);
    HWND window = nullptr;
    waitUntil([&] {
        for (DWORD id : processAndChildren(program.id)) {
            if ((window = findTopLevel({id})) != nullptr) return true;
        }
        return false;
    });
    return window;
}

HWND openQuadrants(int palette) {
    start("\"" + pathOfThisProgram() + "\" quadrants " + std::to_string(palette));
    HWND window = nullptr;
    waitUntil([&] { return (window = FindWindowA(QuadrantsClass, nullptr)) != nullptr && IsWindowVisible(window); });
    return window;
}

// Sent, so each returns once the helper has repainted.
void setQuadrants(HWND quadrants, int palette) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(quadrants, SetPaletteMessage, static_cast<WPARAM>(palette), 0, SMTO_NORMAL,
                        DefaultDeadlineMs, &result);
}

void coverViewer(HWND quadrants, bool covered) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(quadrants, SetCoverMessage, covered ? 1 : 0, 0, SMTO_NORMAL, DefaultDeadlineMs, &result);
}

COLORREF quadrantColour(int palette, int quadrant) { return Palettes[palette % 2][quadrant % 4]; }

HWND waitViewer(const Process& panorel) {
    HWND viewer = nullptr;
    waitUntil([&] { return (viewer = visibleDialogOf(panorel)) != nullptr; });
    return viewer;
}

bool waitUntil(const std::function<bool()>& condition, DWORD deadlineMs, DWORD pollMs) {
    DWORD begin = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - begin >= deadlineMs) return false;
        Sleep(pollMs);  // the pace of polling, not a synchronisation
    }
}

bool waitExit(const Process& process, DWORD* exitCode, DWORD deadlineMs) {
    if (WaitForSingleObject(process.handle, deadlineMs) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(process.handle, exitCode);
    return true;
}

bool sendCommand(HWND viewer, WORD id) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(viewer, WM_COMMAND, id, 0, SMTO_NORMAL, DefaultDeadlineMs, &result) != 0;
}

bool isRunning(const Process& process) { return WaitForSingleObject(process.handle, 0) == WAIT_TIMEOUT; }

HWND openMenuOf(const Process& process, int nth) {
    TopLevelSearch search;
    search.processId = process.id;
    search.className = "#32768";
    search.skip = nth;
    return findTopLevel(search);
}

// The menu's modal loop reads every key message of its thread, whichever
// window it is posted to.
void pressMenuKey(HWND menu, WORD virtualKey) {
    PostMessageA(menu, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(menu, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

void holdKey(WORD virtualKey, bool down) {
    INPUT key = {};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = virtualKey;
    key.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    bool extended = virtualKey == VK_RCONTROL || virtualKey == VK_RMENU;
    key.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (down ? 0 : KEYEVENTF_KEYUP);
    SendInput(1, &key, sizeof key);
}

void selectMenuItem(HWND menu, int position) {
    pressMenuKey(menu, VK_HOME);
    for (int i = 0; i < position; ++i) pressMenuKey(menu, VK_DOWN);
}

void rightClickAt(POINT at) {
    placePointer(at);
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

namespace {

// A /proc file's text; its size reads as 0, so read until the end.
std::string readUnixFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) text.append(chunk, read);
    CloseHandle(file);
    for (char& c : text) {
        if (c == '\0') c = '\n';
    }
    return text;
}

bool containsNoCase(std::string text, std::string part) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : part) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text.find(part) != std::string::npos;
}

}  // namespace

// Files are opened by the Wine server, so /proc/self would be the server:
// the process is found by its command line and this prefix instead.
long unixResidentKb(const std::string& programName) {
    char prefix[MAX_PATH] = {};
    if (GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix) == 0) return -1;
    std::string ownPrefix = std::string("WINEPREFIX=") + prefix + "\n";
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) return -1;
    long found = -1;
    do {
        if (!std::isdigit(static_cast<unsigned char>(entry.cFileName[0]))) continue;
        std::string folder = std::string("Z:\\proc\\") + entry.cFileName + "\\";
        // Wine puts the Windows program's path first on a process's command
        // line; the shell and loader processes around it name it later.
        std::string commandLine = readUnixFile(folder + "cmdline");
        if (!containsNoCase(commandLine.substr(0, commandLine.find('\n')), programName)) continue;
        if (readUnixFile(folder + "environ").find(ownPrefix) == std::string::npos) continue;
        std::string status = readUnixFile(folder + "status");
        size_t at = status.find("RssAnon:");
        if (at != std::string::npos) found = std::strtol(status.c_str() + at + 8, nullptr, 10);
        break;
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return found;
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

HWND windowTitled(const std::string& part) {
    TopLevelSearch search;
    search.title = &part;
    search.titlePart = true;
    return findTopLevel(search);
}

HWND ownedWindowOf(HWND owner) {
    TopLevelSearch search;
    search.owner = owner;
    return findTopLevel(search);
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

bool storeSetting(const std::string& name, DWORD value, HKEY root) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    LSTATUS status =
        RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool readStoredSetting(const std::string& name, DWORD* value, HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD size = sizeof *value;
    LSTATUS status = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof *value;
}

// The W call stores the bytes exactly as given, whatever the type.
bool storeRawSetting(const std::string& name, DWORD type, const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    std::wstring wideName(name.begin(), name.end());
    LSTATUS status = RegSetValueExW(key, wideName.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                                    static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool readSettingAsPanorel(const std::string& name, DWORD* value) {
    HKEY key = openSettingsKey(KEY_READ);
    if (key == nullptr) return false;
    BYTE data[4] = {};
    DWORD size = sizeof data;
    LSTATUS status = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, data, &size);
    RegCloseKey(key);
    *value = DWORD{data[0]} | (DWORD{data[1]} << 8) | (DWORD{data[2]} << 16) | (DWORD{data[3]} << 24);
    return status == ERROR_SUCCESS;
}

bool deleteSettingsKey() {
    LSTATUS status = RegDeleteKeyA(HKEY_LOCAL_MACHINE, SettingsKey);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

DWORD handleCount(const Process& process) {
    DWORD count = 0;
    return GetProcessHandleCount(process.handle, &count) ? count : 0;
}

bool settingsKeyExists() { return settingsValueCount() >= 0; }

int settingsValueCount(REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return -1;
    DWORD values = 0;
    LSTATUS status = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                                      nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? static_cast<int>(values) : -1;
}

namespace {

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK matchControl(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<ControlSearch*>(parameter);
    if (GetDlgCtrlID(window) != search->id) return TRUE;
    search->found = window;
    return FALSE;
}

void sendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

}  // namespace

HWND windowOf(const Process& process, const char* className, const std::string& title) {
    TopLevelSearch search;
    search.processId = process.id;
    search.className = className;
    search.title = &title;
    return findTopLevel(search);
}

HWND visibleDialogOf(const Process& process) {
    TopLevelSearch search;
    search.processId = process.id;
    search.className = "#32770";
    return findTopLevel(search);
}

HWND controlOf(HWND root, int id) {
    ControlSearch search = {id, nullptr};
    EnumChildWindows(root, matchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

POINT centreOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Wine moves the pointer of the X display along with every SetCursorPos, and
// the process whose window the pointer crossed may report those moves back
// late, undoing a later one. Setting the position until it holds for a
// while lets every such late move arrive first.
bool placePointer(POINT at) {
    int steady = 0;
    return waitUntil([&] {
        POINT p = {};
        GetCursorPos(&p);
        if (p.x == at.x && p.y == at.y) return ++steady >= SteadyPointerPolls;
        steady = 0;
        SetCursorPos(at.x, at.y);
        return false;
    });
}

void leftClickAt(POINT at) {
    placePointer(at);
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    sendMouse(MOUSEEVENTF_LEFTUP);
}

// One pixel beside the point, then onto it: a real move either way.
void moveMouseTo(POINT at) {
    placePointer({at.x - 1, at.y});
    sendMouse(MOUSEEVENTF_MOVE, 1, 0);
}

// Wine tells a right modifier from the left one by the extended-key flag
// alone, right Shift included (Windows does not flag it as extended).
void pressKey(WORD virtualKey, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    if (virtualKey == VK_RCONTROL || virtualKey == VK_RMENU || virtualKey == VK_RSHIFT) {
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    if (!down) input.ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

namespace {

bool isDown(WORD virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

// Sends the key again for each one not yet in the state asked for.
bool settleKeys(std::initializer_list<WORD> keys, bool down) {
    return waitUntil([&] {
        bool settled = true;
        for (WORD k : keys) {
            if (isDown(k) == down) continue;
            pressKey(k, down);
            settled = false;
        }
        return settled;
    });
}

}  // namespace

// Wine reads the modifiers back from the X server whenever one of its
// windows is activated, and writes the whole key state it read in one go.
// Keys sent while another program's window is being activated (a switch
// ends with one) can so lose a modifier, or find a key still down, which a
// no-repeat hot key ignores. Each key is seen up first, and each modifier
// down before the key goes.
void typeShortcut(WORD key, std::initializer_list<WORD> modifiers) {
    settleKeys(modifiers, false);
    settleKeys({key}, false);
    for (WORD m : modifiers) pressKey(m, true);
    settleKeys(modifiers, true);
    pressKey(key, true);
    pressKey(key, false);
    for (WORD m : modifiers) pressKey(m, false);
    settleKeys(modifiers, false);
}

bool isChecked(HWND box) {
    DWORD_PTR state = BST_UNCHECKED;
    SendMessageTimeoutA(box, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, DefaultDeadlineMs, &state);
    return state == BST_CHECKED;
}

HWND focusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool readRunValue(const std::string& name, std::string* data, HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, RunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char buffer[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof buffer - 1;
    LSTATUS status = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return false;
    data->assign(buffer, size);  // the stored bytes, the NUL included
    return true;
}

bool readRunValueWide(const std::string& name, std::wstring* data) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    wchar_t buffer[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof buffer - sizeof buffer[0];
    const std::wstring wideName(name.begin(), name.end());  // ASCII names only
    LSTATUS status = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return false;
    data->assign(buffer, size / sizeof buffer[0]);
    return true;
}

bool runKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool deleteRunKey() {
    HKEY parent = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunParentKey, 0, KEY_ALL_ACCESS, &parent) != ERROR_SUCCESS) return false;
    LSTATUS status = RegDeleteKeyA(parent, RunKeyName);
    RegCloseKey(parent);
    return status == ERROR_SUCCESS;
}

bool createRunKey() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, RunKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

bool recordOpenedAddresses() {
    const std::string command = "\"" + pathOfThisProgram() + "\" record \"%1\"";
    bool all = true;
    for (const char* protocol : WebProtocols) {
        HKEY key = nullptr;
        std::string path = std::string(protocol) + "\\shell\\open\\command";
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS) {
            all = false;
            continue;
        }
        all = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                             static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS && all;
        RegCloseKey(key);
    }
    return all;
}

std::vector<std::string> openedAddresses() {
    std::vector<std::string> addresses;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, OpenedKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return addresses;
    for (DWORD i = 0;; ++i) {
        char address[1024] = {};
        DWORD size = sizeof address - 1;
        if (RegQueryValueExA(key, std::to_string(i).c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(address),
                             &size) != ERROR_SUCCESS) {
            break;
        }
        addresses.push_back(address);
    }
    RegCloseKey(key);
    return addresses;
}

// Values "0", "1", ... in the order the shell started the recorder.
int runRecorder(const std::string& address) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, OpenedKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return 1;
    }
    DWORD count = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                     nullptr);
    LSTATUS status = RegSetValueExA(key, std::to_string(count).c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(address.c_str()),
                                    static_cast<DWORD>(address.size() + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 0 : 1;
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

int runWindowsHelper(const std::string& prefix, int count, const std::string& classes) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = helperWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = HelperClass;
    RegisterClassA(&windowClass);
    std::vector<std::string> names;
    for (std::size_t from = 0; from < classes.size();) {
        std::size_t comma = classes.find(',', from);
        if (comma == std::string::npos) comma = classes.size();
        names.push_back(classes.substr(from, comma - from));
        windowClass.lpszClassName = names.back().c_str();
        RegisterClassA(&windowClass);  // a second registration of a name fails harmlessly
        from = comma + 1;
    }
    for (int i = 1; i <= count; ++i) {
        int offset = HelperWindowStep * i;
        const char* name = i <= static_cast<int>(names.size()) ? names[i - 1].c_str() : HelperClass;
        HWND w = CreateWindowA(name, (prefix + " " + std::to_string(i)).c_str(), WS_OVERLAPPEDWINDOW,
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

int runPoolHelper(const std::string& prefix, int count) {
    poolPrefix = prefix;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = poolWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = PoolClass;
    RegisterClassA(&windowClass);
    WNDCLASSA controlClass = {};
    controlClass.lpfnWndProc = poolControlProc;
    controlClass.hInstance = instance;
    controlClass.lpszClassName = PoolControlClass;
    RegisterClassA(&controlClass);
    // Never shown, so no capture files it.
    CreateWindowA(PoolControlClass, prefix.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    for (int i = 1; i <= count; ++i) createPoolWindow(i);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}

int runQuadrantsHelper(int palette) {
    quadrantsPalette = palette % 2;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = quadrantsWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = QuadrantsClass;
    RegisterClassA(&windowClass);
    WNDCLASSA coverClass = {};
    coverClass.lpfnWndProc = DefWindowProcA;
    coverClass.hInstance = instance;
    coverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    coverClass.lpszClassName = CoverClass;
    RegisterClassA(&coverClass);

    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    // The cover lies over the bottom-right corner, where the viewer sits, and
    // above it: both are topmost, and the later one comes first.
    coverWindow = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, CoverClass, "cover", WS_POPUP,
                                  screen.right - CoverSize, screen.bottom - CoverSize, CoverSize, CoverSize, nullptr,
                                  nullptr, instance, nullptr);
    HWND window = CreateWindowExA(0, QuadrantsClass, "quadrants", WS_POPUP, 0, 0, screen.right, screen.bottom,
                                  nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}

}  // namespace e2e
