// The bare program: what Panorel's work costs the platform with nothing of
// Panorel around it. It shows the same empty dialog as the viewer, placed
// the same way, and on request does the viewer's timed jobs, one or both.
//   panorel-bare                  the dialog alone
//   panorel-bare stretch          and the miniature's stretch every 40 ms
//   panorel-bare budget           and the same stretch paced by the frame budget
//                                 alone, whatever the screen does: a stretch once
//                                 five times its own time has passed since the
//                                 last began, and at least once a second (what the
//                                 miniature did before it learnt to rest)
//   panorel-bare edge WINDOW-A WINDOW-B [stretch]
//                                 and a 10 ms poll of the screen edges: the right
//                                 edge hides A and shows B, the left edge the reverse
//   panorel-bare switch PREFIX-A PREFIX-B [stretch]
//                                 and, for each message WM_APP + 1 sent to it, the
//                                 bare work of a switch between the windows whose
//                                 titles start with the two prefixes (wParam 1:
//                                 hide A, show B; 2: the reverse). The dialog stays
//                                 hidden, titled "panorel-bare switch", so that
//                                 Panorel does not file it with the windows it
//                                 switches; the stretch then goes into memory
//   panorel-bare platform         what Panorel's start-up asks of the platform
//                                 besides the dialog: version 6 of the common
//                                 controls (the same manifest, activated at run
//                                 time so that the other modes go without), the
//                                 miniature's timer started first, and the tray icon
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr char DialogTemplate[] = "LITTLE";
constexpr UINT_PTR StretchTimerId = 100;
constexpr UINT StretchPeriodMs = 40;
constexpr UINT_PTR EdgeTimerId = 99;
constexpr UINT EdgePeriodMs = 10;
constexpr int ViewerFraction = 9;
constexpr int TaskbarAllowance = 40;
constexpr int HexBase = 16;
constexpr LONGLONG BudgetFactor = 5;
constexpr LONGLONG BudgetFloorMs = 1000;
constexpr LONGLONG TickLeewayMs = StretchPeriodMs / 4;
constexpr LONGLONG MsPerSecond = 1000;

constexpr UINT SwitchMessage = WM_APP + 1;
constexpr char SwitchTitle[] = "panorel-bare switch";
constexpr UINT TrayIconId = 1;
constexpr int MaxSwitchWindows = 64;
constexpr int TitleLength = 128;

bool stretching = false;
bool budgeted = false;
LARGE_INTEGER lastStretch = {};
LONGLONG stretchCost = 0;
bool polling = false;
bool switching = false;
bool trayIcon = false;
bool platform = false;
HDC memoryDc = nullptr;  // the stretch's target while the dialog is hidden
const char* switchPrefixes[2] = {};
HWND switchWindows[2][MaxSwitchWindows] = {};
int switchCounts[2] = {};
HWND edgeWindows[2] = {};
int screenWidth = 0, screenHeight = 0, viewerWidth = 0, viewerHeight = 0;

void place(HWND dialog) {
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    screenWidth = screen.right;
    screenHeight = screen.bottom;
    viewerWidth = screenWidth / ViewerFraction;
    viewerHeight = screenHeight / ViewerFraction;
    SetWindowPos(dialog, HWND_TOPMOST, screenWidth - viewerWidth, screenHeight - viewerHeight - TaskbarAllowance,
                 viewerWidth, viewerHeight, switching ? SWP_HIDEWINDOW : SWP_SHOWWINDOW);
}

// A hidden window would clip the copy away; the reading and averaging of
// the whole screen, which is the cost, stays the same into memory.
HDC stretchTarget(HDC dialogDc) {
    if (!switching) return dialogDc;
    if (memoryDc == nullptr) {
        memoryDc = CreateCompatibleDC(dialogDc);
        SelectObject(memoryDc, CreateCompatibleBitmap(dialogDc, viewerWidth, viewerHeight));
    }
    return memoryDc;
}

bool stretchDue() {
    if (!budgeted) return true;
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    const LONGLONG since = now.QuadPart - lastStretch.QuadPart;
    if (since >= frequency.QuadPart * BudgetFloorMs / MsPerSecond) return true;
    return since >= frequency.QuadPart * (StretchPeriodMs - TickLeewayMs) / MsPerSecond &&
           since >= BudgetFactor * stretchCost;
}

void stretch(HWND dialog) {
    if (!stretchDue()) return;
    LARGE_INTEGER began, ended;
    QueryPerformanceCounter(&began);
    HDC dialogDc = GetDC(dialog);
    HDC target = stretchTarget(dialogDc);
    SetStretchBltMode(target, HALFTONE);
    HDC screenDc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    StretchBlt(target, 0, 0, viewerWidth, viewerHeight, screenDc, 0, 0, screenWidth, screenHeight, SRCCOPY);
    DeleteDC(screenDc);
    ReleaseDC(dialog, dialogDc);
    QueryPerformanceCounter(&ended);
    lastStretch = began;
    stretchCost = ended.QuadPart - began.QuadPart;
}

// Loaded only here, so that the plain dialog does not pay for shell32.
void addTrayIcon(HWND dialog) {
    using NotifyIcon = BOOL(WINAPI*)(DWORD, NOTIFYICONDATAA*);
    HMODULE shell = LoadLibraryA("shell32.dll");
    auto notify = reinterpret_cast<NotifyIcon>(reinterpret_cast<void*>(GetProcAddress(shell, "Shell_NotifyIconA")));
    if (notify == nullptr) return;
    NOTIFYICONDATAA icon = {};
    icon.cbSize = sizeof icon;
    icon.hWnd = dialog;
    icon.uID = TrayIconId;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpyA(icon.szTip, "panorel-bare");
    notify(NIM_ADD, &icon);
}

void pollEdges() {
    POINT p;
    if (!GetCursorPos(&p)) return;
    int width = GetSystemMetrics(SM_CXSCREEN);
    if (p.x == width - 1) {
        SetCursorPos(1, p.y);
        ShowWindow(edgeWindows[0], SW_HIDE);
        ShowWindow(edgeWindows[1], SW_SHOW);
    } else if (p.x == 0) {
        SetCursorPos(width - 2, p.y);
        ShowWindow(edgeWindows[1], SW_HIDE);
        ShowWindow(edgeWindows[0], SW_SHOW);
    }
}

BOOL CALLBACK collectSwitchWindow(HWND w, LPARAM) {
    char title[TitleLength] = {};
    GetWindowTextA(w, title, TitleLength);
    for (int set = 0; set < 2; ++set) {
        size_t length = std::strlen(switchPrefixes[set]);
        if (std::strncmp(title, switchPrefixes[set], length) != 0 || title[length] != ' ') continue;
        if (switchCounts[set] < MaxSwitchWindows) switchWindows[set][switchCounts[set]++] = w;
    }
    return TRUE;
}

// What a switch asks of the platform, without Panorel: the hides, the shows
// and one walk of the z-order as a capture makes it.
void bareSwitch(int hideSet) {
    if (switchCounts[0] + switchCounts[1] == 0) EnumWindows(collectSwitchWindow, 0);
    for (int i = 0; i < switchCounts[hideSet]; ++i) ShowWindow(switchWindows[hideSet][i], SW_HIDE);
    for (int i = 0; i < switchCounts[1 - hideSet]; ++i) ShowWindow(switchWindows[1 - hideSet][i], SW_SHOW);
    DWORD self = GetCurrentProcessId();
    int taken = 0;
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w != nullptr && taken < MaxSwitchWindows;
         w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner != self && IsWindowVisible(w) == TRUE) ++taken;
    }
}

// In the order of Panorel's start-up: the miniature's timer first, the
// poll's last.
void startUp(HWND dialog) {
    if (switching) SetWindowTextA(dialog, SwitchTitle);
    if (stretching) SetTimer(dialog, StretchTimerId, StretchPeriodMs, nullptr);
    if (trayIcon) addTrayIcon(dialog);
    place(dialog);
    if (polling) SetTimer(dialog, EdgeTimerId, EdgePeriodMs, nullptr);
}

// The manifest is the program's resource 2, which the loader leaves alone in
// a program, so only this mode runs under it.
void useCommonControls6(HINSTANCE instance) {
    ACTCTXA context = {};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.hModule = instance;
    context.lpResourceName = ISOLATIONAWARE_MANIFEST_RESOURCE_ID;
    HANDLE handle = CreateActCtxA(&context);
    ULONG_PTR cookie = 0;
    if (handle != INVALID_HANDLE_VALUE) ActivateActCtx(handle, &cookie);
    using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    HMODULE controls = LoadLibraryA("comctl32.dll");
    auto init = reinterpret_cast<InitControls>(reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
    if (init != nullptr) init(&classes);
}

void onPaint(HWND dialog) {
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    EndPaint(dialog, &paint);
}

INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_WINDOWPOSCHANGING:
        // The dialog manager shows a modal dialog when its loop first idles:
        // in switch mode the dialog must stay hidden all the same.
        if (switching) reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
        return FALSE;
    case WM_INITDIALOG:
        startUp(dialog);
        return FALSE;
    case WM_TIMER:
        if (wParam == StretchTimerId) {
            stretch(dialog);
        } else {
            pollEdges();
        }
        return FALSE;
    case WM_PAINT:
        onPaint(dialog);
        return FALSE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    case SwitchMessage:
        if (switching) bareSwitch(wParam == 1 ? 0 : 1);
        return TRUE;
    }
    return FALSE;
}

HWND parseWindow(const char* text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(text, nullptr, HexBase)));
}

void readCommandLine(char* line) {
    for (const char* word = std::strtok(line, " "); word != nullptr; word = std::strtok(nullptr, " ")) {
        if (std::strcmp(word, "stretch") == 0) stretching = true;
        if (std::strcmp(word, "budget") == 0) stretching = budgeted = true;
        if (std::strcmp(word, "platform") == 0) platform = stretching = trayIcon = true;
        if (std::strcmp(word, "switch") == 0) {
            switching = true;
            for (const char*& prefix : switchPrefixes) {
                word = std::strtok(nullptr, " ");
                prefix = word != nullptr ? word : "";
            }
            continue;
        }
        if (std::strcmp(word, "edge") != 0) continue;
        polling = true;
        for (HWND& w : edgeWindows) {
            word = std::strtok(nullptr, " ");
            if (word != nullptr) w = parseWindow(word);
        }
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    readCommandLine(commandLine);
    if (platform) useCommonControls6(instance);
    DialogBoxParamA(instance, DialogTemplate, nullptr, BareDialogProc, 0);
    return 0;
}
