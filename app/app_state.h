// The one process-wide record and the constants several folders share.
//
// Every part of the program reads and writes `app` directly: there is one
// thread, so there are no accessors and no locks.
#pragma once

#include "platform/win32.h"

#include <cstddef>
#include <cstdint>

using DesktopId = std::uint32_t;  // 1..DesktopCount

constexpr DesktopId DesktopCount = 4;
constexpr unsigned SlotsPerDesktop = 64;
constexpr unsigned WindowTableSlots = DesktopCount * SlotsPerDesktop;

// The table block is 1,600 bytes where handles are 4 bytes wide; with 8-byte
// handles 256 of them need 2,048, so the block grows to fit them.
constexpr unsigned WindowTableBlockBytes4 = 1600;
constexpr unsigned WindowTableBlockBytes =
    WindowTableSlots * sizeof(HWND) > WindowTableBlockBytes4 ? WindowTableSlots * sizeof(HWND)
                                                             : WindowTableBlockBytes4;
static_assert(sizeof(HWND) != 4 || WindowTableBlockBytes == 1600, "the 32-bit block is 1,600 bytes");
static_assert(WindowTableBlockBytes >= WindowTableSlots * sizeof(HWND), "the block holds every slot");

// Timers of the viewer window.
constexpr UINT_PTR TriggerTimerId = 99;
constexpr UINT_PTR MiniatureTimerId = 100;
constexpr UINT TriggerPeriodMs = 10;
constexpr UINT MiniaturePeriodMs = 40;

// The pictures of the miniature whose costs are kept.
constexpr unsigned RecentPictureCount = 8;

// The console display state, as the power notification reports it.
constexpr DWORD DisplayStateOff = 0;
constexpr DWORD DisplayStateOn = 1;
constexpr DWORD DisplayStateDimmed = 2;

// Command ids carried by the two popup menus. "Goto Desktop" d is 48 + d,
// the character code of its digit.
constexpr WORD ExitId = 1;
constexpr WORD AboutId = 4;
constexpr WORD GotoFirstId = 49;
constexpr WORD GotoLastId = GotoFirstId + DesktopCount - 1;
constexpr WORD HelpId = 1045;
constexpr WORD OptionsId = 1048;
constexpr WORD HideViewerId = 1049;
constexpr WORD ShowViewerId = 1050;
constexpr WORD NoWindowsId = 2399;
constexpr WORD RecallFirstId = 2400;

constexpr UINT TrayIconId = 1;
constexpr UINT TrayNotifyMessage = 0x0400 + 5;  // WM_USER + 5

// At most the three other desktops' ranges are listed in "Show Window".
constexpr unsigned MaxRecallItems = (DesktopCount - 1) * SlotsPerDesktop;

constexpr char InitialDesktopLabel[] = "Desktop #1";
constexpr unsigned DesktopLabelDigit = sizeof(InitialDesktopLabel) - 2;

// A desktop's name: up to 32 characters of UTF-8, four bytes at most each.
constexpr unsigned DesktopNameCharacters = 32;
constexpr unsigned DesktopNameBytes = 4 * DesktopNameCharacters + 1;
// What goes between a desktop's digit and its name in every text.
constexpr char DesktopNameSeparator[] = " - ";
constexpr unsigned DesktopLabelBytes = sizeof(InitialDesktopLabel) + sizeof(DesktopNameSeparator) + DesktopNameBytes;
// "showflags": what tells the user where they are, one bit to turn each off.
constexpr DWORD NoTrayDigitFlag = 0x1;
constexpr DWORD NoSwitchNoticeFlag = 0x2;
// What the Desktops page changed, for OK to write: a bit for each name, one
// for "showflags".
constexpr DWORD editedName(DesktopId d) { return 1u << (d - 1); }
constexpr DWORD EditedShowFlags = 1u << DesktopCount;

// Who owned a window when it was filed. Windows gives a destroyed window's
// handle to a window made later, perhaps another program's: a handle is
// trusted only while its owner is still the one taken here.
struct WindowOwner {
    DWORD processId = 0;
    DWORD threadId = 0;  // 0: no owner, which no live window has
};

inline bool sameOwner(WindowOwner a, WindowOwner b) { return a.processId == b.processId && a.threadId == b.threadId; }

// What a "Show Window" item was built from: the slot, and the window and
// owner standing in it then.
struct RecallItem {
    unsigned slot = 0;
    HWND window = nullptr;  // null for "No Windows"
    WindowOwner owner;
};

// A window shown on every desktop: it stands in no range.
struct EveryDesktopWindow {
    HWND window = nullptr;
    WindowOwner owner;
};
constexpr unsigned EveryDesktopCapacity = 16;

// Window rules: what a rule names (program, class, piece of title, each
// empty for any) and where its windows go.
constexpr unsigned MaxWindowRules = 64;
constexpr unsigned WindowRuleCharacters = 1024;
// A value's name: longer ones are not taken as rules.
constexpr unsigned RuleNameBytes = 32;
enum class RulePlace : BYTE { Desktop, EveryDesktop, Unmanaged };
struct WindowRule {
    char name[RuleNameBytes] = "";
    // "program|class|title" with each '|' made a NUL: three strings.
    char fields[WindowRuleCharacters + 1] = "";
    unsigned short classAt = 0;
    unsigned short titleAt = 0;
    RulePlace place = RulePlace::Desktop;
    DesktopId desktop = 1;
};
// A window the rules have looked at, by handle and owner: Windows gives a
// destroyed window's handle to later windows. Unmanaged, a capture leaves it
// and its group alone.
struct SeenWindow {
    HWND window = nullptr;
    WindowOwner owner;
    bool unmanaged = false;
};
constexpr unsigned SeenWindowCapacity = 512;
// The light look for new windows, while rules exist.
constexpr UINT_PTR RulesTimerId = 101;
constexpr UINT RulesPeriodMs = 1000;
constexpr unsigned NoticeTitleBytes = 128;

struct AppState {
    // Made at start-up rather than stored in the program file: the record is
    // mostly tables of zeros, which would otherwise fill the file.
    AppState();

    // Process and windows.
    HINSTANCE instance = nullptr;
    HWND viewerWindow = nullptr;
    DWORD ownProcessId = 0;
    HWND taskbarWindow = nullptr;
    HWND progmanWindow = nullptr;
    HCURSOR handCursor = nullptr;

    // Virtual desktops.
    DesktopId currentDesktop = 1;
    HGLOBAL windowTableMemory = nullptr;
    HWND* windowTable = nullptr;  // WindowTableSlots handles; desktop d owns 64 from 64*(d-1)
    DWORD captureCount = 0;
    // Beside each slot: the owner taken when its window was filed, and
    // whether Panorel hid that window and has not shown it since: only such
    // windows are shown again, and only they go on the record a restart
    // recovers.
    WindowOwner windowOwners[WindowTableSlots] = {};
    bool parkedSlots[WindowTableSlots] = {};
    EveryDesktopWindow everyDesktopWindows[EveryDesktopCapacity] = {};
    // The window that had the keyboard focus when each desktop was left.
    HWND desktopFocus[DesktopCount] = {};
    char desktopLabel[DesktopLabelBytes] = "Desktop #1";
    // How many operations are under way: a switch, a recall, a move, a
    // show-all or a put-back waits on other programs' windows, and messages
    // sent to the viewer meanwhile must not start another.
    unsigned operationDepth = 0;
    // From the query that the session may end until it is known to go on:
    // everything is shown then, and nothing may be hidden again. Each query
    // is counted, so that a put-back answers its own query.
    bool sessionEnding = false;
    DWORD endSessionQuery = 0;
    // The slots whose windows that show-all showed: parked and still hidden
    // at the query. If the session goes on, only they are hidden again.
    bool shownForEndOfSession[WindowTableSlots] = {};

    // Menus and tray icon.
    NOTIFYICONDATAA trayIconData = {};
    HMENU trayMenu = nullptr;
    HMENU gotoMenu = nullptr;
    HMENU viewerMenu = nullptr;
    HMENU recallMenu = nullptr;
    DWORD recallItemCount = 0;
    RecallItem recallItems[MaxRecallItems] = {};
    // Changes whenever the list's items change, so a choice made from an
    // older list can be told from one made from this one.
    DWORD recallListVersion = 0;

    // Options.
    HWND optionsDialog = nullptr;
    int optionsTab = 0;
    DWORD keyMask = 0;
    DWORD editKeyMask = 0;
    // The keyboard shortcuts' modifiers in force ("hotkeys", laid out in
    // viewer/hotkeys.h), the Shortcuts page's working copy, and the
    // shortcuts that could not be had, one bit each by table row.
    DWORD hotkeys = 0;
    DWORD editHotkeys = 0;
    DWORD refusedHotkeys = 0;
    WNDPROC previousLinkProc = nullptr;
    // The rest a pointer takes against an edge before it switches, in ms, as
    // the store held it ("edgedelay"; out of range it means none, but is
    // kept), whether it belongs in the store (it was there, or a rest was
    // chosen), and the Option Keys page's working copy.
    DWORD edgeDelay = 0;
    bool edgeDelaySaved = false;
    DWORD editEdgeDelay = 0;
    // The touch under way: the edge column the pointer stands on (-1: none),
    // since when (ms of the performance counter), and whether it is spent,
    // because something stopped the edge when it was due to switch.
    std::int32_t edgeTouchColumn = -1;
    std::int64_t edgeTouchStartMs = 0;
    bool edgeTouchSpent = false;

    // Settings carried between the registry and the next save.
    DWORD flags = 0;
    std::int32_t xpos = 0;
    std::int32_t ypos = 0;
    DWORD sortColumn = 0;
    BYTE sortDirection = 1;
    // The settings come from, and go to, the per-user copy of the key.
    bool userSettings = false;

    // "Hide Desktop Viewer" was chosen, and neither a switch nor "Show
    // Desktop Viewer" has brought the viewer back since. The dialog manager
    // shows the viewer once more when its queue first goes empty, which on
    // a busy machine can come after such a hide: no show but those two may
    // undo it.
    bool viewerHiddenByUser = false;

    // Viewer geometry, set by the placement at start-up and again when the
    // screen changes size or scaling.
    std::int32_t screenWidth = 0;
    std::int32_t screenHeight = 0;
    std::int32_t viewerWidth = 0;
    std::int32_t viewerHeight = 0;
    // Where the miniature shows the viewer itself, in the picture's pixels.
    RECT viewerSelfImage = {};

    // The miniature's frame budget, in counts of the performance counter:
    // when the last picture began and how long it took to draw. Set while
    // nothing could be seen, so that the next picture comes at once.
    std::int64_t frameStart = 0;
    std::int64_t frameCost = 0;
    bool miniaturePaused = true;
    DWORD displayState = DisplayStateOn;
    // Until when the screen may be changing, so that pictures come at the
    // full rate (a count of the performance counter); whether something
    // said so since the last tick; the time of the last input seen.
    std::int64_t liveUntil = 0;
    bool screenMayChange = false;
    DWORD lastInputTime = 0;
    // The costs of the last few pictures, the oldest overwritten first: the
    // cheapest of them is what a picture costs when nothing else holds it
    // up, and spaces the quiet pictures.
    std::int64_t recentCosts[RecentPictureCount] = {};
    unsigned nextRecentCost = 0;

    // The miniature's picture, kept from start-up and made again when the
    // screen changes size: a bitmap of the viewer's size twice over, in a
    // memory context. The picture is drawn into the top half; the bottom
    // half holds the one before it, for the comparison.
    HDC pictureDc = nullptr;
    HBITMAP pictureBitmap = nullptr;
    std::uint32_t* picturePixels = nullptr;
    std::size_t picturePixelCount = 0;  // in each half
    // The quiet look at the screen: one row of the screen at a time, read
    // into a bitmap of the screen's width, and a fingerprint of each of the
    // miniature's pixels as the last look saw its middle row.
    HDC sampleDc = nullptr;
    HBITMAP sampleBitmap = nullptr;
    std::uint32_t* sampleRow = nullptr;
    std::uint32_t* sampleFingerprints = nullptr;
    bool picturedSinceLook = false;

    // Where the user is: the desktops' names (blank for none), the bits of
    // "showflags", what the Desktops page changed and OK must write;
    // the tray's digit pictures, one a desktop, made for the taskbar's theme
    // and scaling; the notice after a switch, the desktop it shows and the
    // timer ticks it has left; the wheel's turn short of a notch.
    char desktopNames[DesktopCount][DesktopNameBytes] = {};
    DWORD showFlags = 0;
    DWORD editedDesktopSettings = 0;
    HICON programIcon = nullptr;
    HICON trayDigitIcons[DesktopCount] = {};
    HWND noticeWindow = nullptr;
    DesktopId noticeDesktop = 1;
    unsigned noticeTicksLeft = 0;
    int wheelTurn = 0;

    // Window rules in the order they are tried, and the windows they have
    // looked at (or the user placed): a rule acts once on a window.
    WindowRule windowRules[MaxWindowRules] = {};
    unsigned windowRuleCount = 0;
    // Values under the rules' key that are not rules, kept as they are stored.
    unsigned windowRulesNotUnderstood = 0;
    SeenWindow seenWindows[SeenWindowCapacity] = {};
    // The window a rule just sent away, which the notice names (empty when
    // the notice is a switch's).
    char noticeTitle[NoticeTitleBytes] = "";
};

extern AppState app;
