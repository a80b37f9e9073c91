// The end-to-end toolkit: starts Panorel and other programs under the real
// window system, drives the viewer and checks what a user would see.
// Everything waits for a condition with a deadline; nothing sleeps to
// synchronise.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace e2e {

constexpr DWORD DefaultDeadlineMs = 20000;

struct Process {
    HANDLE handle = nullptr;
    DWORD id = 0;
};

// Starts a program; it is ended when the scenario ends, if still running.
// An empty folder starts it in the driver's current directory.
Process start(const std::string& commandLine, const std::string& folder = "");
// As start, for a command line or folder the driver's code page cannot hold.
Process startWide(const std::wstring& commandLine, const std::wstring& folder);
// Panorel.exe from the driver's own folder.
Process startPanorel(const std::string& folder = "");
// Runs Panorel.exe from the driver's folder with these arguments to its end,
// its standard output going to `output`; its exit code, or STILL_ACTIVE when
// it has not ended by the deadline.
DWORD runPanorel(const std::string& arguments, std::string* output = nullptr);
// The folder the driver and Panorel.exe are in, with a trailing backslash.
std::string driverFolder();
// The other build's Panorel.exe (the 64-bit one for the 32-bit driver),
// named by PANOREL_OTHER_BUILD as a Linux path; empty when it is unset.
std::string otherBuildPanorel();
// Whether this driver, and the Panorel.exe beside it, is the 32-bit build.
constexpr bool ThirtyTwoBit = sizeof(void*) == 4;
// Another copy of this driver that opens `count` visible windows titled
// "<prefix> 1" ... "<prefix> <count>" and keeps them until it is ended.
// Returns the windows once all of them are shown.
std::vector<HWND> openWindows(const std::string& prefix, int count);
// Likewise, one window of each class, "<prefix> 1" of the first and so on.
std::vector<HWND> openWindowsOfClasses(const std::string& prefix, const std::vector<std::string>& classes);
// Another copy of this driver whose windows live and die one at a time, as
// a real program's do: each can be made, hidden by the program itself,
// destroyed, or made to stop answering. The pool's windows are titled
// "<prefix> <n>"; the pool itself is found by its prefix.
struct Pool {
    Process process;
    std::string prefix;
    std::vector<HWND> windows;  // the first `count`, shown
};
Pool openPool(const std::string& prefix, int count);
// A new shown window "<prefix> <n>" of the pool's program; null on failure.
HWND poolCreate(const Pool& pool, int n);
// The window's own program hides it, shows it again, or destroys it. Each
// returns once that program has done it.
bool poolHide(HWND window);
bool poolShow(HWND window);
bool poolDestroy(HWND window);
// The window's program stops answering (its one thread waits) until
// resumeHungPrograms.
void poolHang(HWND window);
void resumeHungPrograms();

// One of Wine's own programs (notepad, regedit, ...) and its main window.
HWND openProgram(const std::string& commandLine);

// Another copy of this driver with a window that fills the screen with four
// coloured quadrants (palette 0 or 1), and a small topmost window it can
// put over the viewer's corner of the screen.
HWND openQuadrants(int palette);
void setQuadrants(HWND quadrants, int palette);
void coverViewer(HWND quadrants, bool covered);
COLORREF quadrantColour(int palette, int quadrant);  // quadrants 0..3: top left, top right, bottom left, bottom right

// The viewer: the visible dialog window of the Panorel process.
HWND waitViewer(const Process& panorel);

constexpr DWORD DefaultPollMs = 10;
bool waitUntil(const std::function<bool()>& condition, DWORD deadlineMs = DefaultDeadlineMs,
               DWORD pollMs = DefaultPollMs);
// Waits for the process to end; false if it is still running at the deadline.
bool waitExit(const Process& process, DWORD* exitCode, DWORD deadlineMs = DefaultDeadlineMs);

// Sends WM_COMMAND with the id to the viewer and returns once it is handled.
bool sendCommand(HWND viewer, WORD id);
bool isRunning(const Process& process);

// A popup menu (class #32768) that a process shows; null when none is open.
HWND openMenuOf(const Process& process, int nth = 0);
// Presses a key in the menu loop of the process that shows `menu`.
void pressMenuKey(HWND menu, WORD virtualKey);
// Selects the item at a position of an open menu by keyboard (Home, then
// Down), whatever was selected before, e.g. by the pointer.
void selectMenuItem(HWND menu, int position);
// Holds a key down or lets it go, as the keyboard would.
void holdKey(WORD virtualKey, bool down);
// Presses the right mouse button at a point of the screen, as a user would.
void rightClickAt(POINT at);

// Whether the shell has a notification-area icon of this window and id.
bool hasTrayIcon(HWND owner, UINT id);

// Resident anonymous memory in KB of the Unix process that runs the named
// program in this Wine prefix, read from /proc; -1 where there is none (on
// Windows, or no such program running). Wine answers neither GetGuiResources
// nor another process's memory counters, so this is the count a test can see.
long unixResidentKb(const std::string& programName);

// The screen's pixels in a rectangle, row by row from the top.
std::vector<COLORREF> screenPixels(const RECT& area);

// A visible top-level window whose title contains the text.
HWND windowTitled(const std::string& part);

// A visible top-level window that `owner` owns; null when there is none.
HWND ownedWindowOf(HWND owner);

bool allVisible(const std::vector<HWND>& windows);
bool noneVisible(const std::vector<HWND>& windows);

// Panorel's settings key, HKEY_LOCAL_MACHINE\Software\Panorel, seen from the
// driver: Wine gives every process of a prefix the same registry, so values
// stored here before Panorel starts are what it reads. HKEY_CURRENT_USER
// for the per-user copy.
bool storeSetting(const std::string& name, DWORD value, HKEY root = HKEY_LOCAL_MACHINE);
// False when the value is missing or not a 4-byte REG_DWORD.
bool readStoredSetting(const std::string& name, DWORD* value, HKEY root = HKEY_LOCAL_MACHINE);
bool settingsKeyExists();
// The number of values under the key; -1 when there is no key. A view
// (KEY_WOW64_64KEY, KEY_WOW64_32KEY) reads that one instead of the driver's
// own: a 32-bit process's HKLM\Software is HKLM\Software\WOW6432Node.
int settingsValueCount(REGSAM view = 0);

// A visible top-level window of the process, of this class and with exactly
// this title; null when there is none.
HWND windowOf(const Process& process, const char* className, const std::string& title);
// The front-most visible dialog (class #32770) of the process; null when
// there is none.
HWND visibleDialogOf(const Process& process);
// The window among all descendants of `root` with this control id.
HWND controlOf(HWND root, int id);
// The centre of a window, in screen coordinates.
POINT centreOf(HWND window);
// Moves the pointer to a point and waits until it stays there.
bool placePointer(POINT at);
// Presses and releases the left button at a point of the screen.
void leftClickAt(POINT at);
// Moves the pointer onto a point as a mouse would: the window under it sees
// the move.
void moveMouseTo(POINT at);
// Holds a key down, or lets it go, as the keyboard would.
void pressKey(WORD virtualKey, bool down);
// A key pressed and let go with the modifiers held around it.
void typeShortcut(WORD key, std::initializer_list<WORD> modifiers);
// Whether a check box of another process is ticked.
bool isChecked(HWND box);
// The window with the keyboard focus in the thread of `window`.
HWND focusOf(HWND window);

// The machine's Run key, HKEY_LOCAL_MACHINE\...\CurrentVersion\Run, or
// the user's with HKEY_CURRENT_USER.
// False when the value is missing or not a REG_SZ.
bool readRunValue(const std::string& name, std::string* data, HKEY root = HKEY_LOCAL_MACHINE);
// The same value as the registry holds it, in UTF-16, the NUL included.
bool readRunValueWide(const std::string& name, std::wstring* data);
bool runKeyExists();
bool deleteRunKey();
bool createRunKey();

// Points the shell's http and https associations at this driver's recorder,
// which notes every address it is started with; openedAddresses lists them
// in the order they were opened.
bool recordOpenedAddresses();
std::vector<std::string> openedAddresses();

// Stores raw data of any type under a value of Panorel's settings key, as a
// careless tool or a hostile user might.
bool storeRawSetting(const std::string& name, DWORD type, const std::vector<BYTE>& data);
// What Panorel's own read of a value gets: the same call into a 4-byte
// buffer; false when that read fails.
bool readSettingAsPanorel(const std::string& name, DWORD* value);
bool deleteSettingsKey();

// The process's kernel handle count; 0 where the platform does not say.
DWORD handleCount(const Process& process);

// Records one check and prints it; the scenario fails if any check failed.
bool check(bool passed, const std::string& what);
int failures();

// Ends every process the scenario started that is still running.
void endStartedProcesses();

// The helper sides of openWindows and openQuadrants, run in a second copy
// of the driver.
// `classes`: comma-separated, one for each window; empty for the helper's own.
int runWindowsHelper(const std::string& prefix, int count, const std::string& classes = "");
int runQuadrantsHelper(int palette);
int runRecorder(const std::string& address);
int runPoolHelper(const std::string& prefix, int count);

}  // namespace e2e
