// The Win32 vocabulary the engine is written in.
//
// On Windows this is <windows.h> itself. On the Linux host, where the engine
// is unit-tested against simulated substitutes, it declares just the types
// and constants the engine uses, with the values Windows gives them. Handles
// are pointers to distinct incomplete structs, as STRICT declares them, so a
// window handle cannot be passed where a menu handle is expected on either
// side. Keep the host list short: a name belongs here only when engine code
// (desktops/, settings/ store, viewer/ triggers) needs it.
#pragma once

#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// Declarations and constants only: dwmapi.dll is loaded at run time.
#include <dwmapi.h>
// Windows 8 and later report cloaking; the headers of the Vista target leave
// the two events out.
#ifndef EVENT_OBJECT_CLOAKED
#define EVENT_OBJECT_CLOAKED 0x8017
#define EVENT_OBJECT_UNCLOAKED 0x8018
#endif

#else

#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using SHORT = std::int16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using LSTATUS = LONG;
using REGSAM = DWORD;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using HRESULT = LONG;

struct HWND__;
struct HMENU__;
struct HKEY__;
struct HINSTANCE__;
struct HICON__;
struct HGLOBAL__;
struct HMONITOR__;
struct HWINEVENTHOOK__;
struct HDC__;
struct HBITMAP__;
using HWND = HWND__*;
using HMENU = HMENU__*;
using HKEY = HKEY__*;
using HINSTANCE = HINSTANCE__*;
using HICON = HICON__*;
using HCURSOR = HICON;
using HGLOBAL = HGLOBAL__*;
using HMONITOR = HMONITOR__*;
using HMODULE = HINSTANCE;
using HWINEVENTHOOK = HWINEVENTHOOK__*;
// The miniature's picture lives in AppState; the host never draws it.
using HDC = HDC__*;
using HBITMAP = HBITMAP__*;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
// The calling convention of a callback: stdcall on 32-bit Windows, nothing
// to say on the host.
#define CALLBACK
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
using WINEVENTPROC = void (*)(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD);

struct POINT {
    LONG x;
    LONG y;
};
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

// A union on Windows; the engine reads only the whole 64-bit count.
struct LARGE_INTEGER {
    std::int64_t QuadPart;
};

struct LASTINPUTINFO {
    UINT cbSize;
    DWORD dwTime;
};

// The fields of the tray record the engine fills in.
struct NOTIFYICONDATAA {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    char szTip[128];
};
constexpr DWORD NIM_MODIFY = 1;

// As Windows defines them: the 32-bit values 0x80000002 and 0x80000001,
// sign-extended.
inline HKEY const HKEY_LOCAL_MACHINE =
    reinterpret_cast<HKEY>(static_cast<UINT_PTR>(static_cast<INT_PTR>(static_cast<LONG>(0x80000002))));
inline HKEY const HKEY_CURRENT_USER =
    reinterpret_cast<HKEY>(static_cast<UINT_PTR>(static_cast<INT_PTR>(static_cast<LONG>(0x80000001))));

constexpr LSTATUS ERROR_SUCCESS = 0;
constexpr LSTATUS ERROR_FILE_NOT_FOUND = 2;
constexpr LSTATUS ERROR_ACCESS_DENIED = 5;
constexpr LSTATUS ERROR_INVALID_HANDLE = 6;
constexpr LSTATUS ERROR_MORE_DATA = 234;
constexpr LSTATUS ERROR_NO_MORE_ITEMS = 259;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_OPTION_VOLATILE = 1;
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;


constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;

constexpr int VK_LSHIFT = 0xA0;
constexpr int VK_RSHIFT = 0xA1;
constexpr int VK_LCONTROL = 0xA2;
constexpr int VK_RCONTROL = 0xA3;
constexpr int VK_LMENU = 0xA4;
constexpr int VK_RMENU = 0xA5;

constexpr int SM_CXSCREEN = 0;

constexpr UINT MB_OK = 0x0000;

constexpr UINT MOD_ALT = 0x0001;
constexpr UINT MOD_CONTROL = 0x0002;
constexpr UINT MOD_SHIFT = 0x0004;
constexpr UINT MOD_WIN = 0x0008;
constexpr int VK_LEFT = 0x25;
constexpr int VK_RIGHT = 0x27;
constexpr UINT WM_HOTKEY = 0x0312;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr UINT WM_APP = 0x8000;

constexpr UINT GA_ROOTOWNER = 3;

using HANDLE = void*;
using WCHAR = wchar_t;
constexpr DWORD PROCESS_QUERY_LIMITED_INFORMATION = 0x1000;

// The keyboard member of INPUT's union alone: the engine sends no other.
struct KEYBDINPUT {
    WORD wVk;
    WORD wScan;
    DWORD dwFlags;
    DWORD time;
    UINT_PTR dwExtraInfo;
};
struct INPUT {
    DWORD type;
    KEYBDINPUT ki;
};
constexpr DWORD INPUT_KEYBOARD = 1;
constexpr DWORD KEYEVENTF_KEYUP = 0x0002;

constexpr DWORD MONITOR_DEFAULTTONULL = 0;
constexpr DWORD DWMWA_CLOAKED = 14;

constexpr DWORD EVENT_SYSTEM_FOREGROUND = 0x0003;
constexpr DWORD EVENT_SYSTEM_MINIMIZESTART = 0x0016;
constexpr DWORD EVENT_SYSTEM_MINIMIZEEND = 0x0017;
constexpr DWORD EVENT_OBJECT_DESTROY = 0x8001;
constexpr DWORD EVENT_OBJECT_SHOW = 0x8002;
constexpr DWORD EVENT_OBJECT_HIDE = 0x8003;
constexpr DWORD EVENT_OBJECT_LOCATIONCHANGE = 0x800B;
constexpr DWORD EVENT_OBJECT_CLOAKED = 0x8017;
constexpr DWORD EVENT_OBJECT_UNCLOAKED = 0x8018;
constexpr DWORD WINEVENT_OUTOFCONTEXT = 0x0000;
constexpr DWORD WINEVENT_SKIPOWNPROCESS = 0x0002;
constexpr LONG OBJID_WINDOW = 0;
constexpr LONG OBJID_CARET = -8;
constexpr LONG CHILDID_SELF = 0;

// What stops the edge from switching.
struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
struct CURSORINFO {
    DWORD cbSize;
    DWORD flags;
    HCURSOR hCursor;
    POINT ptScreenPos;
};
enum QUERY_USER_NOTIFICATION_STATE {
    QUNS_NOT_PRESENT = 1,
    QUNS_BUSY = 2,
    QUNS_RUNNING_D3D_FULL_SCREEN = 3,
    QUNS_PRESENTATION_MODE = 4,
    QUNS_ACCEPTS_NOTIFICATIONS = 5,
};
constexpr HRESULT S_OK = 0;
constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
constexpr DWORD CURSOR_SHOWING = 0x0001;
constexpr int GWL_STYLE = -16;
constexpr LONG WS_CAPTION = 0x00C00000;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_XVIRTUALSCREEN = 76;
constexpr int SM_YVIRTUALSCREEN = 77;
constexpr int SM_CXVIRTUALSCREEN = 78;
constexpr int SM_CYVIRTUALSCREEN = 79;
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_XBUTTON1 = 0x05;
constexpr int VK_XBUTTON2 = 0x06;
#endif
