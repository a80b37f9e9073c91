// The Options dialog, driven as a user would: real clicks on its controls,
// real keys and pointer for the switch trigger, the registry as it is left.
#include "e2e.h"
#include "panorel_ids.h"
#include "scenarios.h"

#include <commctrl.h>

#include <cstdio>
#include <initializer_list>
#include <utility>

namespace {

constexpr int TabControlId = 1011;
constexpr int OkId = 3003;
constexpr int CancelId = 3002;
constexpr int LeftControlBox = 1001;
constexpr int LeftShiftBox = 1003;
constexpr int RightControlBox = 1004;
constexpr int RightAltBox = 1005;
constexpr int RightShiftBox = 1006;
constexpr int KeyBoxCount = 6;
constexpr int StartWithWindowsBox = 1059;
constexpr int EdgeDelayList = 1060;
constexpr WPARAM HalfSecondChoice = 2;  // at once, 0.25 s, 0.5 s, 1 s
constexpr int WebSiteLink = 9;
constexpr int ReferralLink = 12;
constexpr int OptionKeysTab = 0;
constexpr int ShortcutsTab = 1;
constexpr int DesktopsTab = 2;
constexpr int AboutTab = 4;
constexpr int TabCount = 5;
constexpr int FirstNameEdit = 1201;
constexpr int RuleList = 1301;
constexpr int TrayDigitBox = 1205;
constexpr int SwitchNoticeBox = 1206;
// Ctrl, Alt, Shift, Win for switching, then the same for moving.
constexpr int SwitchControlBox = 1101;
constexpr int SwitchShiftBox = 1103;
constexpr int MoveWinBox = 1108;
constexpr int ShortcutBoxCount = 8;
constexpr int RefusedLine = 1110;
// Ctrl+Alt+Win, the switch shortcuts' modifiers when "hotkeys" is missing.
constexpr DWORD DefaultHotkeys = 0x0B;
// The default switching, and moving with Ctrl+Alt.
constexpr DWORD MovingWithAltGr = 0x030B;
constexpr char AltGrLine[] = "Moving is off: Ctrl+Alt with a digit types text on many keyboards.\n";
constexpr char RefusedLine3[] = "Not registered, in use by Windows or another program: Ctrl+Alt+Win+3";

constexpr char WebSiteAddress[] = "https://panorel.example.com/";
constexpr char ReferralAddress[] = "https://pay.example.com/referral/panorel";
constexpr char ReferralShown[] = "https://pay.example.com/";
constexpr char Purpose[] =
    "It helps in Managing Windows on a Single Monitor with the help of Virtual Desktops. You can Navigate between "
    "Virtual Desktops and work on your Windows.";
constexpr COLORREF LinkBlue = RGB(0, 0, 255);

constexpr LONG PointerY = 500;
// How long the trigger is given to show that it does not fire: many polls.
constexpr DWORD NoSwitchMs = 600;
// How long a link is given to show that it opened nothing.
constexpr DWORD NothingOpenedMs = 1500;
// Between two looks at the screen while the dialog paints.
constexpr DWORD PaintSettleMs = 200;

using e2e::check;
using e2e::typeShortcut;
using Stored = std::initializer_list<std::pair<const char*, DWORD>>;

struct Running {
    e2e::Process panorel;
    HWND viewer = nullptr;
};

int screenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
void centrePointer() { e2e::placePointer({screenWidth() / 2, PointerY}); }

Running startWith(Stored values) {
    for (const auto& v : values) e2e::storeSetting(v.first, v.second);
    centrePointer();
    Running r;
    r.panorel = e2e::startPanorel();
    r.viewer = e2e::waitViewer(r.panorel);
    check(r.viewer != nullptr, "the viewer appears");
    return r;
}

struct Dialog {
    HWND window = nullptr;
    HWND tabs = nullptr;
    HWND keysPage = nullptr;
    HWND shortcutsPage = nullptr;
    HWND desktopsPage = nullptr;
    HWND rulesPage = nullptr;
    HWND aboutPage = nullptr;
    HWND control(int id) const { return e2e::controlOf(window, id); }
};

// The command returns once the dialog has been created.
Dialog openDialog(const Running& r, WORD command) {
    Dialog d;
    e2e::sendCommand(r.viewer, command);
    e2e::waitUntil([&] { return (d.window = e2e::windowOf(r.panorel, "#32770", "Options")) != nullptr; });
    if (d.window == nullptr) return d;
    d.tabs = d.control(TabControlId);
    d.keysPage = GetParent(d.control(LeftControlBox));
    d.shortcutsPage = GetParent(d.control(SwitchControlBox));
    d.desktopsPage = GetParent(d.control(FirstNameEdit));
    d.rulesPage = GetParent(d.control(RuleList));
    d.aboutPage = GetParent(d.control(WebSiteLink));
    return d;
}

int selectedTab(const Dialog& d) {
    DWORD_PTR tab = static_cast<DWORD_PTR>(-1);
    SendMessageTimeoutA(d.tabs, TCM_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, e2e::DefaultDeadlineMs, &tab);
    return static_cast<int>(tab);
}

bool showsTab(const Dialog& d, int tab) {
    const HWND pages[] = {d.keysPage, d.shortcutsPage, d.desktopsPage, d.rulesPage, d.aboutPage};
    static_assert(sizeof pages / sizeof pages[0] == TabCount, "a page for every tab");
    for (int page = 0; page < TabCount; ++page) {
        if ((IsWindowVisible(pages[page]) != FALSE) != (page == tab)) return false;
    }
    return selectedTab(d) == tab;
}

// The tab control answers with a rectangle in its own process's memory.
RECT tabItemRect(const e2e::Process& panorel, const Dialog& d, int tab) {
    RECT rect = {};
    void* remote = VirtualAllocEx(panorel.handle, nullptr, sizeof rect, MEM_COMMIT, PAGE_READWRITE);
    if (remote == nullptr) return rect;
    DWORD_PTR ok = 0;
    SendMessageTimeoutA(d.tabs, TCM_GETITEMRECT, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(remote),
                        SMTO_ABORTIFHUNG, e2e::DefaultDeadlineMs, &ok);
    SIZE_T read = 0;
    ReadProcessMemory(panorel.handle, remote, &rect, sizeof rect, &read);
    VirtualFreeEx(panorel.handle, remote, 0, MEM_RELEASE);
    MapWindowPoints(d.tabs, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool selectTab(const e2e::Process& panorel, const Dialog& d, int tab) {
    RECT item = tabItemRect(panorel, d, tab);
    e2e::leftClickAt({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    return e2e::waitUntil([&] { return showsTab(d, tab); });
}

// A click on a check box, and the box showing the other state.
bool toggle(HWND box) {
    const bool was = e2e::isChecked(box);
    e2e::leftClickAt(e2e::centreOf(box));
    return e2e::waitUntil([&] { return e2e::isChecked(box) != was; });
}

bool clickToClose(const Dialog& d, int button) {
    e2e::leftClickAt(e2e::centreOf(d.control(button)));
    return e2e::waitUntil([&] { return !IsWindow(d.window); });
}

std::string boxStates(const Dialog& d, int first = LeftControlBox, int count = KeyBoxCount) {
    std::string states;
    for (int i = 0; i < count; ++i) states += e2e::isChecked(d.control(first + i)) ? '1' : '0';
    return states;
}

bool storedIs(const char* name, DWORD expected) {
    DWORD value = 0;
    return e2e::readStoredSetting(name, &value) && value == expected;
}

// Holds the keys and pushes the pointer against the right edge: the trigger
// switches exactly when it moves the pointer to x = 1.
bool edgeSwitches(std::initializer_list<WORD> keys, DWORD deadlineMs = e2e::DefaultDeadlineMs) {
    e2e::placePointer({screenWidth() - 2, PointerY});
    for (WORD key : keys) e2e::pressKey(key, true);
    SetCursorPos(screenWidth() - 1, PointerY);
    const bool switched = e2e::waitUntil(
        [] {
            POINT p = {};
            return GetCursorPos(&p) && p.x == 1;
        },
        deadlineMs);
    for (WORD key : keys) e2e::pressKey(key, false);
    centrePointer();
    return switched;
}

bool exitPanorel(const Running& r) {
    PostMessageA(r.viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = STILL_ACTIVE;
    return check(e2e::waitExit(r.panorel, &code), "Exit ends Panorel");
}

std::string withNul(const std::string& text) { return text + '\0'; }

// Desktop d is current exactly when its one window is visible.
bool onDesktop(const std::vector<HWND>& windows, int d) {
    for (int i = 0; i < static_cast<int>(windows.size()); ++i) {
        if ((IsWindowVisible(windows[i]) != FALSE) != (i == d - 1)) return false;
    }
    return true;
}

// A key pressed and let go with any modifiers held around it; answers true
// so it can lead a check.
bool typeKey(WORD key, WORD modifier = 0, WORD secondModifier = 0) {
    if (secondModifier != 0) {
        typeShortcut(key, {modifier, secondModifier});
    } else if (modifier != 0) {
        typeShortcut(key, {modifier});
    } else {
        typeShortcut(key, {});
    }
    return true;
}

// Whether some row of the area holds a run of at least `length` blue pixels:
// an underline, since no letter of an address has a stroke that long.
bool hasBlueRun(const RECT& area, int length) {
    const int width = area.right - area.left;
    std::vector<COLORREF> pixels = e2e::screenPixels(area);
    for (size_t row = 0; row * width < pixels.size(); ++row) {
        int run = 0;
        for (int x = 0; x < width; ++x) {
            run = pixels[row * width + x] == LinkBlue ? run + 1 : 0;
            if (run >= length) return true;
        }
    }
    return false;
}

RECT rectOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

HCURSOR currentCursor() {
    CURSORINFO info = {};
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    return info.hCursor;
}

// For the pictures in the README: the dialog open on one tab (the one the
// command opens, or another clicked), painted, the pointer out of the way;
// its place on the screen goes to the output as "dialog WIDTHxHEIGHT+X+Y",
// and Panorel keeps running.
void showDialog(WORD command, int tab = -1) {
    Running r = startWith({{"xpos", 0}, {"ypos", 0}, {"flags", 0x7F}, {"sortflags", 0x100}, {"keycheck", 0x01}});
    if (r.viewer == nullptr) return;
    Dialog d = openDialog(r, command);
    if (!check(d.window != nullptr, "the dialog opens")) return;
    if (tab >= 0) check(selectTab(r.panorel, d, tab), "on the tab asked for");
    e2e::placePointer({screenWidth() / 2, 0});
    RECT area = rectOf(d.window);
    std::vector<COLORREF> last;
    check(e2e::waitUntil([&] {
              std::vector<COLORREF> now = e2e::screenPixels(area);
              const bool settled = now == last;
              last = std::move(now);
              if (!settled) Sleep(PaintSettleMs);
              return settled;
          }),
          "and is painted");
    std::printf("dialog %ldx%ld+%ld+%ld\n", area.right - area.left, area.bottom - area.top, area.left, area.top);
}

}  // namespace

namespace scenarios {

// Edits the keys and leaves without OK, three ways; the trigger keeps the
// keys in force throughout. A desktop switch meanwhile leaves the dialog
// alone. Finally OK writes back the bits no box shows.
void optionsDiscardKeys() {
    const DWORD storedMask = 0x12340041;  // any-key mode, left Ctrl, bits beyond the page's
    std::vector<HWND> desktop1 = e2e::openWindows("one", 1);
    Running r = startWith({{"xpos", 0}, {"ypos", 0}, {"flags", 0x7F}, {"sortflags", 0x100}, {"keycheck", storedMask}});
    if (r.viewer == nullptr) return;
    Dialog d = openDialog(r, OptionsId);
    if (!check(d.window != nullptr, "\"Options\" opens the dialog")) return;
    check(showsTab(d, OptionKeysTab), "on the Option Keys tab");
    check(boxStates(d) == "100000", "only \"Left Control Key\" is ticked");
    check(!e2e::isChecked(d.control(StartWithWindowsBox)), "\"Start with Windows\" is not");

    check(toggle(d.control(LeftControlBox)), "a click unticks \"Left Control Key\"");
    check(edgeSwitches({VK_LCONTROL}), "left Ctrl at the right edge still switches: the edit is not in force");
    check(e2e::noneVisible(desktop1) && IsWindowVisible(d.window), "the switch hid desktop 1 but not the dialog");
    e2e::sendCommand(r.viewer, GotoId[1]);  // runs once the edge switch is over
    check(e2e::waitUntil([&] { return e2e::allVisible(desktop1); }) && IsWindowVisible(d.window),
          "back on desktop 1 the dialog is still there");

    check(clickToClose(d, CancelId), "Cancel closes the dialog");
    check(e2e::settingsValueCount() == 5 && storedIs("keycheck", storedMask), "and saves nothing");
    check(edgeSwitches({VK_LCONTROL}), "left Ctrl still switches after Cancel");
    e2e::sendCommand(r.viewer, GotoId[1]);

    d = openDialog(r, OptionsId);
    check(boxStates(d) == "100000", "reopened, the dialog shows \"Left Control Key\" ticked again");
    check(toggle(d.control(LeftControlBox)), "untick it again");
    PostMessageA(d.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    check(e2e::waitUntil([&] { return !IsWindow(d.window); }), "the close box closes the dialog");
    check(e2e::settingsValueCount() == 5, "and saves nothing");

    d = openDialog(r, OptionsId);
    check(boxStates(d) == "100000", "reopened, the box is ticked once more");
    check(toggle(d.control(LeftControlBox)), "untick it yet again");
    typeShortcut(VK_F4, {VK_LMENU});
    check(e2e::waitUntil([&] { return !IsWindow(d.window); }), "Alt+F4 closes the dialog");
    check(e2e::settingsValueCount() == 5, "and saves nothing");

    d = openDialog(r, OptionsId);
    check(e2e::waitUntil([&] { return e2e::focusOf(d.window) == d.control(LeftControlBox); }),
          "reopened, the focus is on \"Left Control Key\"");
    check(typeKey(VK_SPACE) && e2e::waitUntil([&] { return boxStates(d) == "000000"; }), "Space unticks it");
    typeKey(VK_ESCAPE);
    check(e2e::waitUntil([&] { return !IsWindow(d.window); }), "Escape closes the dialog");
    check(e2e::settingsValueCount() == 5 && e2e::isRunning(r.panorel), "and saves nothing");

    d = openDialog(r, OptionsId);
    check(boxStates(d) == "100000", "reopened once more, the box is ticked");
    check(toggle(d.control(RightAltBox)) && toggle(d.control(RightAltBox)), "\"Right Alt Key\" ticked and unticked");
    check(clickToClose(d, OkId), "OK closes the dialog");
    check(e2e::settingsValueCount() == 7, "and writes all seven values");
    char what[96];
    std::snprintf(what, sizeof what, "\"keycheck\" comes back as 0x%08lX, mode bit and high bits included",
                  static_cast<unsigned long>(storedMask));
    check(storedIs("keycheck", storedMask), what);

    // The keyboard alone: Tab to "Right Control Key", Space, over to the
    // Shortcuts tab for a box there, round the tabs both ways, Enter.
    d = openDialog(r, OptionsId);
    check(e2e::waitUntil([&] { return e2e::focusOf(d.window) == d.control(LeftControlBox); }) && typeKey(VK_TAB) &&
              e2e::waitUntil([&] { return e2e::focusOf(d.window) == d.control(RightControlBox); }),
          "Tab moves from \"Left Control Key\" to \"Right Control Key\"");
    check(typeKey(VK_SPACE) && e2e::waitUntil([&] { return boxStates(d) == "100100"; }), "Space ticks it");
    check(typeKey(VK_TAB, VK_CONTROL) && e2e::waitUntil([&] { return showsTab(d, ShortcutsTab); }) &&
              e2e::waitUntil([&] { return e2e::focusOf(d.window) == d.control(SwitchControlBox); }),
          "Ctrl+Tab shows the Shortcuts tab, the focus on its first \"Ctrl\"");
    check(typeKey(VK_SPACE) && e2e::waitUntil([&] { return !e2e::isChecked(d.control(SwitchControlBox)); }),
          "Space unticks it");
    check(typeKey(VK_TAB, VK_CONTROL, VK_SHIFT) && e2e::waitUntil([&] { return showsTab(d, OptionKeysTab); }),
          "Ctrl+Shift+Tab the Option Keys tab again");
    check(typeKey(VK_TAB, VK_CONTROL, VK_SHIFT) && e2e::waitUntil([&] { return showsTab(d, AboutTab); }),
          "and once more the About tab, round the end");
    check(typeKey(VK_TAB, VK_CONTROL) && e2e::waitUntil([&] { return showsTab(d, OptionKeysTab); }),
          "Ctrl+Tab from About is Option Keys");
    typeKey(VK_RETURN);
    check(e2e::waitUntil([&] { return !IsWindow(d.window); }), "Enter closes the dialog");
    check(e2e::waitUntil([&] { return storedIs("keycheck", storedMask | 0x08); }) &&
              storedIs("hotkeys", DefaultHotkeys & ~DWORD{MOD_CONTROL}) && e2e::isRunning(r.panorel),
          "and saves both ticked boxes; Panorel keeps running");
}

// OK commits: all seven values are written, with the rest at the edge once
// one is chosen, and the trigger asks for the new combination from its next
// poll, the shortcuts for theirs at once.
void optionsCommitKeys() {
    std::vector<HWND> desktop1 = e2e::openWindows("one", 1);
    Running r = startWith({{"xpos", 0}, {"ypos", 0}, {"flags", 0x7F}, {"sortflags", 0x100}, {"keycheck", 0x01}});
    if (r.viewer == nullptr) return;
    Dialog d = openDialog(r, OptionsId);
    if (!check(d.window != nullptr, "\"Options\" opens the dialog")) return;
    check(toggle(d.control(RightShiftBox)), "a click ticks \"Right Shift Key\"");
    check(boxStates(d) == "100001", "left Ctrl and right Shift are ticked");
    check(selectTab(r.panorel, d, ShortcutsTab) && toggle(d.control(SwitchShiftBox)),
          "on the Shortcuts tab, \"Shift\" ticked for switching");
    // The rest at the edge, chosen as the list tells the page of a choice.
    check(selectTab(r.panorel, d, OptionKeysTab), "back on the Option Keys tab");
    const HWND restList = d.control(EdgeDelayList);
    SendMessageA(restList, CB_SETCURSEL, HalfSecondChoice, 0);
    SendMessageA(GetParent(restList), WM_COMMAND, MAKEWPARAM(EdgeDelayList, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(restList));
    check(e2e::settingsValueCount() == 5, "nothing is written before OK");
    check(clickToClose(d, OkId), "OK closes the dialog");
    const std::pair<const char*, DWORD> Saved[] = {{"xpos", 0},      {"ypos", 0},        {"flags", 0x7F},
                                                   {"sortflags", 0x100}, {"listflags", 0},   {"keycheck", 0x21},
                                                   {"hotkeys", DefaultHotkeys | MOD_SHIFT}, {"edgedelay", 500}};
    for (const auto& s : Saved) check(storedIs(s.first, s.second), std::string("OK wrote ") + s.first);
    if (e2e::ThirtyTwoBit) {
        check(e2e::settingsValueCount(KEY_WOW64_32KEY) == 8 && e2e::settingsValueCount(KEY_WOW64_64KEY) == -1,
              "under HKLM\\Software\\WOW6432Node, apart from the 64-bit program's settings");
    }

    check(!edgeSwitches({VK_LCONTROL}, NoSwitchMs), "left Ctrl alone no longer switches");
    check(edgeSwitches({VK_LCONTROL, VK_RSHIFT}), "left Ctrl with right Shift does");
    e2e::sendCommand(r.viewer, GotoId[1]);

    typeShortcut(VK_RIGHT, {VK_LCONTROL, VK_LMENU, VK_LWIN});
    check(!e2e::waitUntil([&] { return e2e::noneVisible(desktop1); }, NoSwitchMs),
          "Ctrl+Alt+Win+Right no longer switches");
    typeShortcut(VK_RIGHT, {VK_LCONTROL, VK_LMENU, VK_LSHIFT, VK_LWIN});
    check(e2e::waitUntil([&] { return e2e::noneVisible(desktop1); }), "Ctrl+Alt+Shift+Win+Right does");
}

// The Run entry follows the box at once and stays whatever closes the
// dialog; where it cannot follow, the box does not claim it.
void optionsStartWithWindows() {
    Running r = startWith({{"xpos", 0}, {"ypos", 0}, {"flags", 0x7F}, {"sortflags", 0x100}, {"keycheck", 0x01}});
    if (r.viewer == nullptr) return;
    const std::string program = e2e::driverFolder() + "Panorel.exe";
    Dialog d = openDialog(r, OptionsId);
    if (!check(d.window != nullptr, "\"Options\" opens the dialog")) return;
    std::string run;
    check(toggle(d.control(StartWithWindowsBox)), "a click ticks \"Start with Windows\"");
    check(e2e::readRunValue("progman", &run) && run == withNul(program),
          "at once the Run value \"progman\" holds " + program);
    check(clickToClose(d, CancelId), "Cancel closes the dialog");
    check(e2e::readRunValue("progman", &run) && storedIs("flags", 0x7F),
          "the Run value stays; \"flags\" is not written");

    d = openDialog(r, OptionsId);
    check(e2e::isChecked(d.control(StartWithWindowsBox)), "reopened, the box is ticked");
    check(toggle(d.control(StartWithWindowsBox)), "a click unticks it");
    check(!e2e::readRunValue("progman", &run) && e2e::runKeyExists(), "at once the value is deleted");
    check(clickToClose(d, CancelId) && !e2e::readRunValue("progman", &run), "and stays deleted after Cancel");

    // Without the machine's Run key (it is opened, never created) the
    // user's own takes the value, as it does for a user refused the
    // machine's; unticking clears it.
    check(e2e::deleteRunKey(), "the machine's Run key is removed");
    d = openDialog(r, OptionsId);
    check(toggle(d.control(StartWithWindowsBox)), "\"Start with Windows\" is ticked all the same");
    check(e2e::readRunValue("progman", &run, HKEY_CURRENT_USER) && run == withNul(program),
          "the user's Run value \"progman\" holds " + program);
    check(!e2e::runKeyExists(), "and no machine Run key was made");
    check(toggle(d.control(StartWithWindowsBox)) && !e2e::readRunValue("progman", &run, HKEY_CURRENT_USER),
          "unticked, the user's value is deleted");
    check(toggle(d.control(LeftShiftBox)), "\"Left Shift Key\" ticked");
    check(clickToClose(d, OkId) && storedIs("flags", 0x7F) && storedIs("keycheck", 0x05),
          "OK saves \"flags\" without the start-up bit");
    if (!exitPanorel(r)) return;

    // A program under a folder with a space in its name is quoted, or
    // Windows would try "C:\Panorel" first. The folder's Cyrillic name is
    // beyond code page 1252, this prefix's, so only the UTF-8 code page
    // Panorel asks for brings it to the Run value whole.
    check(e2e::createRunKey(), "the Run key is back");
    const std::wstring folder = L"C:\\Panorel \u0422\u0435\u0441\u0442\\";  // "Test" in Russian
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring wideProgram(program.begin(), program.end());  // the driver's folder is ASCII
    check(CopyFileW(wideProgram.c_str(), (folder + L"Panorel.exe").c_str(), FALSE) != FALSE,
          "a copy of Panorel.exe in C:\\Panorel <Cyrillic>\\");
    Running copy;
    copy.panorel = e2e::startWide(L"\"" + folder + L"Panorel.exe\"", folder);
    copy.viewer = e2e::waitViewer(copy.panorel);
    if (!check(copy.viewer != nullptr, "the copy starts")) return;
    d = openDialog(copy, OptionsId);
    check(toggle(d.control(StartWithWindowsBox)), "\"Start with Windows\" ticked in the copy");
    std::wstring wideRun;
    check(e2e::readRunValueWide("progman", &wideRun) && wideRun == L"\"" + folder + L"Panorel.exe\"" + L'\0',
          "the Run value is the quoted path, every letter of it whole");
}

// The default switch shortcuts, one of them taken by another program before
// Panorel starts: every desktop is reached all the same, and the Shortcuts
// tab names the one refused. Moving with Ctrl+Alt, AltGr on many keyboards,
// is stored but takes no key. The two rows with the same modifiers are a
// clash of their own; OK says once what cannot be had. Then which tab
// opens, switching tabs, and the viewer's commands while open.
void optionsTabs() {
    check(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT | MOD_WIN, '3') != FALSE,
          "another program holds Ctrl+Alt+Win+3");
    std::vector<HWND> desktops = e2e::openWindows("one", 1);
    Running r = startWith({{"xpos", 0}, {"ypos", 0}, {"flags", 0x7F}, {"sortflags", 0x100}, {"keycheck", 0x01},
                           {"hotkeys", MovingWithAltGr}});
    if (r.viewer == nullptr) return;
    bool noneTaken = true;
    for (WORD digit : {'0', '1', '2', '3', '4'}) {
        noneTaken = RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_ALT, digit) != FALSE && noneTaken;
        UnregisterHotKey(nullptr, 2);
    }
    check(noneTaken, "Ctrl+Alt+0 to 4 are left to other programs");
    auto typeWithDefaults = [](WORD key) {
        typeShortcut(key, {VK_LCONTROL, VK_LMENU, VK_LWIN});
        return true;
    };
    check(typeWithDefaults(VK_LEFT) && e2e::waitUntil([&] { return e2e::noneVisible(desktops); }),
          "Ctrl+Alt+Win+Left leaves desktop 1 for desktop 4");
    desktops.push_back(e2e::openWindows("four", 1)[0]);
    check(typeWithDefaults(VK_RIGHT) && e2e::waitUntil([&] { return onDesktop({desktops[0], desktops[1]}, 1); }),
          "Ctrl+Alt+Win+Right from desktop 4 is desktop 1");
    check(typeWithDefaults(VK_RIGHT) && e2e::waitUntil([&] { return e2e::noneVisible(desktops); }),
          "and again desktop 2");
    desktops.insert(desktops.begin() + 1, e2e::openWindows("two", 1)[0]);
    check(typeWithDefaults(VK_RIGHT) && e2e::waitUntil([&] { return e2e::noneVisible(desktops); }),
          "and again desktop 3");
    desktops.insert(desktops.begin() + 2, e2e::openWindows("three", 1)[0]);
    for (int digit : {1, 4, 2}) {
        check(typeWithDefaults(static_cast<WORD>('0' + digit)) &&
                  e2e::waitUntil([&] { return onDesktop(desktops, digit); }),
              "Ctrl+Alt+Win+" + std::to_string(digit) + " is desktop " + std::to_string(digit));
    }
    check(typeWithDefaults('3') && !e2e::waitUntil([&] { return !onDesktop(desktops, 2); }, NoSwitchMs),
          "Ctrl+Alt+Win+3 does nothing: another program has it");

    Dialog d = openDialog(r, AboutId);
    if (!check(d.window != nullptr, "\"About\" opens the dialog")) return;
    check(showsTab(d, AboutTab), "on the About tab, with the key page hidden");
    char text[256] = {};
    GetWindowTextA(d.control(WebSiteLink), text, sizeof text);
    check(std::string(text) == WebSiteAddress, std::string("the web-site link shows ") + WebSiteAddress);
    GetWindowTextA(d.control(ReferralLink), text, sizeof text);
    check(std::string(text) == ReferralShown, std::string("the referral link shows ") + ReferralShown);
    check(FindWindowExA(d.aboutPage, nullptr, "Static", "Panorel\xAE") != nullptr, "the name line is there");
    check(FindWindowExA(d.aboutPage, nullptr, "Static", Purpose) != nullptr, "and the purpose text");

    check(selectTab(r.panorel, d, ShortcutsTab), "clicking \"Shortcuts\" shows the Shortcuts page alone");
    check(boxStates(d, SwitchControlBox, ShortcutBoxCount) == "11011100",
          "Ctrl, Alt and Win ticked for switching, Ctrl and Alt for moving");
    GetWindowTextA(d.control(RefusedLine), text, sizeof text);
    check(std::string(text) == std::string(AltGrLine) + RefusedLine3,
          std::string("the page says why moving is off and names the one refused: \"") + text + "\"");
    const std::string clash = "Both rows have Ctrl+Alt+Win: 1, 2, 3, 4 switch desktops and do not move a window.\n";
    check(toggle(d.control(MoveWinBox)) && e2e::waitUntil([&] {
              GetWindowTextA(d.control(RefusedLine), text, sizeof text);
              return std::string(text) == clash + RefusedLine3;
          }),
          "\"Win\" ticked for moving too: the page names a clash of its two rows");

    check(selectTab(r.panorel, d, DesktopsTab) && e2e::isChecked(d.control(TrayDigitBox)) &&
              e2e::isChecked(d.control(SwitchNoticeBox)),
          "clicking \"Desktops\" shows the Desktops page alone, the digit and the notice on");
    check(selectTab(r.panorel, d, OptionKeysTab), "clicking \"Option Keys\" shows the key page and hides About");
    check(toggle(d.control(LeftControlBox)), "\"Left Control Key\" unticked");
    check(selectTab(r.panorel, d, AboutTab), "clicking \"About\" shows the About page again");

    HWND first = d.window;
    d = openDialog(r, OptionsId);
    check(!IsWindow(first), "\"Options\" closes the open dialog");
    check(d.window != nullptr && showsTab(d, OptionKeysTab), "and opens a fresh one on Option Keys");
    check(boxStates(d) == "100000" && e2e::settingsValueCount() == 6, "the edit was discarded, nothing saved");

    // Resizing moves none of the controls.
    RECT before = rectOf(d.control(OkId));
    RECT frame = rectOf(d.window);
    SetWindowPos(d.window, nullptr, 0, 0, frame.right - frame.left + 120, frame.bottom - frame.top + 90,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    check(e2e::waitUntil([&] { return rectOf(d.window).right == frame.right + 120; }), "the dialog grows");
    RECT after = rectOf(d.control(OkId));
    check(after.left == before.left && after.top == before.top, "and OK stays where it was");

    first = d.window;
    d = openDialog(r, AboutId);
    check(!IsWindow(first) && d.window != nullptr && showsTab(d, AboutTab),
          "\"About\" replaces it with a fresh one on About");
    check(clickToClose(d, CancelId), "Cancel closes it");
    d = openDialog(r, OptionsId);
    check(d.window != nullptr && showsTab(d, OptionKeysTab), "and \"Options\" opens a new one afterwards");

    check(selectTab(r.panorel, d, AboutTab) && typeKey(VK_RETURN), "Enter on the About tab is OK");
    HWND warning = nullptr;
    check(e2e::waitUntil([&] { return (warning = e2e::ownedWindowOf(d.window)) != nullptr; }) &&
              showsTab(d, ShortcutsTab),
          "it warns of what cannot be had and shows the Shortcuts tab");
    check(typeKey(VK_RETURN) && e2e::waitUntil([&] { return !IsWindow(warning); }) && IsWindow(d.window),
          "Enter takes the warning away; the dialog stays open");
    check(clickToClose(d, OkId) && storedIs("hotkeys", MovingWithAltGr), "a second OK accepts the rest");
}

// The links: blue and underlined, the hand under the mouse, the left button
// opens, the right one does not.
void aboutLinks() {
    check(e2e::recordOpenedAddresses(), "web addresses open in the recorder");
    Running r = startWith({});
    if (r.viewer == nullptr) return;
    Dialog d = openDialog(r, AboutId);
    if (!check(d.window != nullptr, "\"About\" opens the dialog")) return;
    HWND webSite = d.control(WebSiteLink);
    HWND referral = d.control(ReferralLink);
    check(e2e::waitUntil([&] { return hasBlueRun(rectOf(webSite), 40) && hasBlueRun(rectOf(referral), 40); }),
          "both links are drawn blue and underlined");

    // Wine cannot show another process's cursor to the driver, only its
    // handle: the link's cursor is one the page shows nowhere else.
    e2e::moveMouseTo(e2e::centreOf(d.control(OkId)));
    HCURSOR arrow = nullptr;
    e2e::waitUntil([&] { return (arrow = currentCursor()) != nullptr; });
    e2e::moveMouseTo(e2e::centreOf(webSite));
    HCURSOR hand = nullptr;
    check(e2e::waitUntil([&] { return (hand = currentCursor()) != arrow; }),
          "over the web-site link the cursor changes from the arrow");
    e2e::moveMouseTo(e2e::centreOf(d.control(OkId)));
    check(e2e::waitUntil([&] { return currentCursor() == arrow; }), "back over OK it is the arrow");
    e2e::moveMouseTo(e2e::centreOf(referral));
    check(e2e::waitUntil([&] { return currentCursor() == hand; }), "over the referral link it is the same hand");
    e2e::moveMouseTo(e2e::centreOf(FindWindowExA(d.aboutPage, nullptr, "Static", Purpose)));
    check(e2e::waitUntil([&] { return currentCursor() == arrow; }), "over the purpose text, the arrow");

    e2e::rightClickAt(e2e::centreOf(referral));
    e2e::leftClickAt(e2e::centreOf(webSite));
    check(e2e::waitUntil([] { return !e2e::openedAddresses().empty(); }), "a left click on the web-site link opens");
    check(e2e::openedAddresses() == std::vector<std::string>{WebSiteAddress},
          std::string("exactly ") + WebSiteAddress + ", and the right click opened nothing");
    e2e::leftClickAt(e2e::centreOf(referral));
    check(e2e::waitUntil([] { return e2e::openedAddresses().size() == 2; }) &&
              e2e::openedAddresses()[1] == ReferralAddress,
          std::string("the referral link opens ") + ReferralAddress);

    d = openDialog(r, AboutId);
    e2e::leftClickAt(e2e::centreOf(d.control(WebSiteLink)));
    check(e2e::waitUntil([] { return e2e::openedAddresses().size() == 3; }) &&
              e2e::openedAddresses()[2] == WebSiteAddress,
          "the links of a dialog opened again work too");
    check(!e2e::waitUntil([] { return e2e::openedAddresses().size() > 3; }, NothingOpenedMs),
          "nothing else was opened");
}

void showOptions() { showDialog(OptionsId); }
void showShortcuts() { showDialog(OptionsId, ShortcutsTab); }
void showAbout() { showDialog(AboutId); }
void showDesktops() { showDialog(OptionsId, DesktopsTab); }

}  // namespace scenarios
