// Hostile inputs, a program that stops answering, and a planted DLL.
#include "e2e.h"
#include "panorel_ids.h"
#include "scenarios.h"

#include <psapi.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr LONG PointerY = 500;
constexpr DWORD QuietMs = 200;  // twenty polls of the edge trigger
constexpr DWORD MissingSetting = 0xFFFFFFFF;
constexpr DWORD AnyKeyModeBit = 0x40;
constexpr DWORD TriggerKeyBits = 0x3F;
constexpr DWORD MaxStoredPosition = 30000;

using e2e::allVisible;
using e2e::check;
using e2e::noneVisible;

bool exitPanorel(const e2e::Process& panorel, HWND viewer) {
    PostMessageA(viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = STILL_ACTIVE;
    return e2e::waitExit(panorel, &code) && code == 0;
}

// ---------------------------------------------------------------------------
// The registry: each of the six values of every type and size.

const char* const SettingNames[] = {"xpos", "ypos", "flags", "sortflags", "listflags", "keycheck"};
constexpr int SettingCount = 6;
constexpr int KeycheckIndex = 5;

struct Form {
    DWORD type;
    int size;
    bool allOnes;  // 0xFFFFFFFF as a REG_DWORD
};

constexpr int LargeSize = 4096;

// Every type in every size, and -1.
std::vector<Form> everyForm() {
    const DWORD types[] = {REG_DWORD, REG_SZ, REG_BINARY, REG_QWORD, REG_MULTI_SZ};
    const int sizes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, LargeSize};
    std::vector<Form> forms;
    for (DWORD type : types) {
        for (int size : sizes) forms.push_back({type, size, false});
    }
    forms.push_back({REG_DWORD, 4, true});
    return forms;
}

// The short run: every type, and every kind of size (none, short, exactly
// four bytes, too long, large) and -1, each under every value.
std::vector<Form> someForms() {
    return {{REG_DWORD, 0, false},   {REG_DWORD, 4, true},      {REG_SZ, 1, false},
            {REG_SZ, 4, false},      {REG_SZ, 7, false},        {REG_BINARY, 3, false},
            {REG_BINARY, 8, false},  {REG_BINARY, LargeSize, false}, {REG_QWORD, 4, false},
            {REG_QWORD, 5, false},   {REG_MULTI_SZ, 2, false},  {REG_MULTI_SZ, LargeSize, false}};
}

const char* typeName(DWORD type) {
    switch (type) {
    case REG_DWORD:
        return "REG_DWORD";
    case REG_SZ:
        return "REG_SZ";
    case REG_BINARY:
        return "REG_BINARY";
    case REG_QWORD:
        return "REG_QWORD";
    default:
        return "REG_MULTI_SZ";
    }
}

// The key masks the stored data spells, chosen so that every outcome of the
// trigger shows: the edge alone, left Ctrl needed, both Ctrl keys needed,
// either Ctrl key, never.
const BYTE KeycheckPatterns[] = {0x01, 0x41, 0x09, 0x40, 0x49};

std::vector<BYTE> formData(const Form& form, BYTE first) {
    if (form.allOnes) return {0xFF, 0xFF, 0xFF, 0xFF};
    std::vector<BYTE> data(form.size, 0);
    if (!data.empty()) data[0] = first;
    return data;
}

// The settings rules applied to what Panorel's own read gets: "xpos" is the
// probe, and only a missing "keycheck" beside it becomes left Ctrl.
DWORD expectedKeyMask() {
    DWORD xpos = 0;
    if (!e2e::readSettingAsPanorel("xpos", &xpos) || xpos == MissingSetting) return 0;
    DWORD keycheck = 0;
    if (!e2e::readSettingAsPanorel("keycheck", &keycheck) || keycheck == MissingSetting) return 1;
    return keycheck;
}

// Whether a trigger with this mask switches while just these Ctrl keys are
// held (bit 0 left Ctrl, bit 3 right Ctrl).
bool switchesWith(DWORD mask, bool leftCtrl, bool rightCtrl) {
    DWORD held = (leftCtrl ? 0x01u : 0u) | (rightCtrl ? 0x08u : 0u);
    DWORD selected = mask & TriggerKeyBits;
    if ((mask & AnyKeyModeBit) != 0) return (selected & held) != 0;
    return (selected & ~held) == 0;
}

// The right-hand Ctrl is the extended one: without the flag the platform
// takes it for the left.
void pressKey(WORD key, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = (down ? 0 : KEYEVENTF_KEYUP) | (key == VK_RCONTROL ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &input, sizeof input);
}

// A key pressed since the last query counts as held at the next query,
// whoever asks: ask now, so no press is left over for the next start.
void forgetKeyPresses() {
    GetAsyncKeyState(VK_LCONTROL);
    GetAsyncKeyState(VK_RCONTROL);
}

// Puts the pointer on the right edge with the keys held and says whether
// the trigger switched (the pointer jumps to x = 1). A switch is waited
// for; no switch is watched for twenty polls.
bool edgeSwitches(bool leftCtrl, bool rightCtrl, bool expected) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    SetCursorPos(width / 2, PointerY);
    if (leftCtrl) pressKey(VK_LCONTROL, true);
    if (rightCtrl) pressKey(VK_RCONTROL, true);
    SetCursorPos(width - 1, PointerY);
    auto jumped = [] {
        POINT p = {};
        return GetCursorPos(&p) && p.x == 1;
    };
    bool switched = e2e::waitUntil(jumped, expected ? e2e::DefaultDeadlineMs : QuietMs);
    if (leftCtrl) pressKey(VK_LCONTROL, false);
    if (rightCtrl) pressKey(VK_RCONTROL, false);
    SetCursorPos(width / 2, PointerY);
    forgetKeyPresses();
    return switched;
}

struct StoredValue {
    DWORD type;
    std::vector<BYTE> data;
};

StoredValue readRaw(const char* name) {
    StoredValue v = {REG_NONE, std::vector<BYTE>(LargeSize)};
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Panorel", 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    std::wstring wideName(name, name + std::strlen(name));
    DWORD size = LargeSize;
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &v.type, v.data.data(), &size) != ERROR_SUCCESS) {
        v.type = REG_NONE;
        size = 0;
    }
    RegCloseKey(key);
    v.data.resize(size);
    return v;
}

// One start of Panorel over the six values in the given forms: it starts,
// its trigger follows the key mask the rules make of them, and it leaves
// every value as it found it.
bool startWithForms(const std::vector<Form>& forms, const int formOf[SettingCount], BYTE keycheckPattern,
                    std::string* why) {
    e2e::deleteSettingsKey();
    forgetKeyPresses();
    StoredValue before[SettingCount];
    for (int v = 0; v < SettingCount; ++v) {
        BYTE first = v == KeycheckIndex ? keycheckPattern : 0x01;
        e2e::storeRawSetting(SettingNames[v], forms[formOf[v]].type, formData(forms[formOf[v]], first));
        before[v] = readRaw(SettingNames[v]);
    }
    DWORD mask = expectedKeyMask();
    char buffer[200];
    const Form& x = forms[formOf[0]];
    const Form& k = forms[formOf[KeycheckIndex]];
    std::snprintf(buffer, sizeof buffer, "xpos %s/%d%s, keycheck %s/%d%s: mask 0x%02lX", typeName(x.type), x.size,
                  x.allOnes ? " -1" : "", typeName(k.type), k.size, k.allOnes ? " -1" : "", mask & 0xFF);
    *why = buffer;

    e2e::Process panorel = e2e::startPanorel();
    HWND viewer = e2e::waitViewer(panorel);
    if (viewer == nullptr) {
        *why += ": no viewer";
        return false;
    }
    // Tried in this order, each only while no switch has happened yet; the
    // first that should switch must, and every one before it must not.
    const bool tries[][2] = {{false, false}, {true, false}, {true, true}};
    for (const auto& t : tries) {
        bool expected = switchesWith(mask, t[0], t[1]);
        if (edgeSwitches(t[0], t[1], expected) != expected) {
            *why += expected ? ": did not switch" : ": switched";
            *why += t[1] ? " with both Ctrl keys" : t[0] ? " with left Ctrl" : " with no key";
            exitPanorel(panorel, viewer);
            return false;
        }
        if (expected) break;
    }
    if (!exitPanorel(panorel, viewer)) {
        *why += ": no clean Exit";
        return false;
    }
    for (int v = 0; v < SettingCount; ++v) {
        StoredValue after = readRaw(SettingNames[v]);
        if (after.type != before[v].type || after.data != before[v].data) {
            *why += std::string(": ") + SettingNames[v] + " was rewritten";
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Titles.

struct HostileTitle {
    const wchar_t* label;
    std::wstring text;
};

std::vector<HostileTitle> hostileTitleSet() {
    return {
        {L"empty", L""},
        {L"one character", L"x"},
        {L"127 characters", std::wstring(126, L'a') + L"|"},
        {L"128 characters", std::wstring(127, L'b') + L"|"},
        {L"1,000 characters", std::wstring(999, L'c') + L"|"},
        {L"ampersands", L"Save && &Quit & Co &"},
        {L"tabs", L"Tab\there\tand\tthere\t"},
        {L"non-ASCII", L"Gr\u00FC\u00DFe \u2013 na\u00EFve caf\u00E9 \u65E5\u672C\u8A9E \u2713"},
    };
}

// Each start stores all six values, each in a different form, so that over
// the run every value meets every form, and the forms of "xpos" and
// "keycheck" meet in many combinations.
void runHostileRegistry(const std::vector<Form>& forms) {
    constexpr int Spread = 7;  // prime to both form counts: six different forms in each start
    int n = static_cast<int>(forms.size());
    int failed = 0;
    for (int start = 0; start < n; ++start) {
        int formOf[SettingCount];
        for (int v = 0; v < SettingCount; ++v) formOf[v] = (start + v * Spread) % n;
        std::string why;
        BYTE pattern = KeycheckPatterns[start % (sizeof KeycheckPatterns)];
        bool passed = startWithForms(forms, formOf, pattern, &why);
        if (!passed) ++failed;
        std::printf("%s - start %d: %s\n", passed ? "ok" : "FAILED", start + 1, why.c_str());
    }
    char what[160];
    std::snprintf(what, sizeof what, "%d starts, each value in %d forms: Panorel started, followed its key mask and "
                  "rewrote nothing", n, n);
    check(failed == 0, what);

    // A position above the limit throws both positions away but keeps the
    // settings: "keycheck" still counts.
    e2e::deleteSettingsKey();
    e2e::storeSetting("xpos", MaxStoredPosition + 1);
    e2e::storeSetting("ypos", MissingSetting);
    e2e::storeSetting("keycheck", 0x41);
    e2e::Process panorel = e2e::startPanorel();
    HWND viewer = e2e::waitViewer(panorel);
    check(viewer != nullptr && !edgeSwitches(false, false, false) && edgeSwitches(true, false, true),
          "an \"xpos\" over 30000 still lets \"keycheck\" 0x41 ask for left Ctrl");
    exitPanorel(panorel, viewer);
}

// Whether the process has this DLL loaded from the system folder.
bool loadedFromSystemFolder(const e2e::Process& process, const char* dll) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string wanted = std::string(system) + "\\" + dll;
    HMODULE modules[256] = {};
    DWORD bytes = 0;
    if (!EnumProcessModules(process.handle, modules, sizeof modules, &bytes)) return false;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < sizeof modules / sizeof(HMODULE); ++i) {
        char path[MAX_PATH] = {};
        GetModuleFileNameExA(process.handle, modules[i], path, MAX_PATH);
        if (lstrcmpiA(path, wanted.c_str()) == 0) return true;
    }
    return false;
}

}  // namespace

namespace scenarios {

void hostileRegistry() { runHostileRegistry(someForms()); }
void hostileRegistryFull() { runHostileRegistry(everyForm()); }

// Listed and recalled whatever their titles: the list holds exactly the
// titled windows, which the recall of its last item proves step by step.
void hostileTitles() {
    std::vector<HostileTitle> titles = hostileTitleSet();
    e2e::Pool pool = e2e::openPool("hostile", static_cast<int>(titles.size()));
    std::vector<HWND> windows = pool.windows;
    for (size_t i = 0; i < titles.size(); ++i) SetWindowTextW(windows[i], titles[i].text.c_str());
    e2e::Process panorel = e2e::startPanorel();
    HWND viewer = e2e::waitViewer(panorel);
    if (!check(viewer != nullptr, "the viewer appears beside windows with hostile titles")) return;
    e2e::sendCommand(viewer, GotoId[2]);
    if (!check(noneVisible(windows), "Goto Desktop 2 hides all of them")) return;

    // The menu draws every item: long, tabbed, with ampersands, non-ASCII.
    RECT v;
    GetWindowRect(viewer, &v);
    e2e::rightClickAt({(v.left + v.right) / 2, (v.top + v.bottom) / 2});
    HWND menu = nullptr;
    e2e::waitUntil([&] { return (menu = e2e::openMenuOf(panorel)) != nullptr; });
    if (check(menu != nullptr, "the viewer's menu opens")) {
        e2e::pressMenuKey(menu, VK_DOWN);
        e2e::pressMenuKey(menu, VK_DOWN);
        e2e::pressMenuKey(menu, VK_RIGHT);
        check(e2e::waitUntil([&] { return e2e::openMenuOf(panorel, 1) != nullptr; }),
              "\"Show Window\" opens with the hostile titles in it");
        e2e::pressMenuKey(menu, VK_ESCAPE);
        e2e::pressMenuKey(menu, VK_ESCAPE);
        check(e2e::waitUntil([&] { return e2e::openMenuOf(panorel) == nullptr; }), "and closes");
    }

    int titled = static_cast<int>(titles.size()) - 1;  // all but the empty one
    int listed = titled;
    bool consistent = true;
    std::vector<bool> recalled(titles.size(), false);
    while (listed > 0 && consistent) {
        auto visibleNow = [&] {
            std::vector<int> shown;
            for (size_t i = 0; i < windows.size(); ++i) {
                if (IsWindowVisible(windows[i]) && !recalled[i]) shown.push_back(static_cast<int>(i));
            }
            return shown;
        };
        e2e::sendCommand(viewer, static_cast<WORD>(RecallFirstId + listed));  // one past the last item
        consistent = visibleNow().empty();
        e2e::sendCommand(viewer, static_cast<WORD>(RecallFirstId + listed - 1));
        std::vector<int> back = visibleNow();
        consistent = consistent && back.size() == 1 && !titles[back[0]].text.empty();
        if (consistent) recalled[back[0]] = true;
        --listed;
    }
    check(consistent && listed == 0, "the list held exactly the seven titled windows, and each item brought one back");
    for (size_t i = 1; i < titles.size(); ++i) {
        char what[80];
        std::snprintf(what, sizeof what, "recalled: %ls", titles[i].label);
        check(recalled[i], what);
    }
    check(!IsWindowVisible(windows[0]), "the untitled window is not listed and stays parked");
    e2e::sendCommand(viewer, static_cast<WORD>(RecallFirstId));
    check(!IsWindowVisible(windows[0]) && e2e::isRunning(panorel), "with nothing listed the first id does nothing");

    e2e::sendCommand(viewer, GotoId[1]);
    check(IsWindowVisible(windows[0]) != FALSE, "back on desktop 1 the untitled window returns");
    check(exitPanorel(panorel, viewer) && allVisible(windows), "Exit ends Panorel with every window shown");
}

// A switch asks each window's program to hide or show its window and waits
// for the answer, with no time-out: while a program does not answer, the
// switch waits, and with it the viewer's timers and menus (messages sent to
// the viewer are still answered meanwhile: it waits inside the window
// system, it is not stuck). Nothing sent to it meanwhile starts another
// switch inside the waiting one: the tray icon's menu does not open, the
// edge does nothing, a Goto waits its turn. Once the program answers, the
// switch finishes and no window is lost.
void hungWindow() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, PointerY);
    e2e::Pool pool = e2e::openPool("hung", 3);
    // In front of the pool, so hidden before the switch reaches the program
    // that stops answering.
    HWND front = e2e::openWindows("front", 1)[0];
    std::vector<HWND> all = pool.windows;
    all.push_back(front);
    e2e::Process panorel = e2e::startPanorel();
    HWND viewer = e2e::waitViewer(panorel);
    if (!check(viewer != nullptr && allVisible(all), "the viewer appears beside four windows")) return;

    e2e::poolHang(pool.windows[1]);
    DWORD_PTR result = 0;
    bool answered = SendMessageTimeoutA(viewer, WM_COMMAND, GotoId[2], 0, SMTO_NORMAL, QuietMs * 5, &result) != 0;
    check(!answered && e2e::isRunning(panorel),
          "Goto Desktop 2 does not return while their program does not answer; Panorel keeps running");
    check(!IsWindowVisible(front) && IsWindowVisible(pool.windows[1]),
          "the window in front is hidden, the unanswering program's window is still shown");
    answered = SendMessageTimeoutA(viewer, WM_NULL, 0, 0, SMTO_NORMAL, e2e::DefaultDeadlineMs, &result) != 0;
    check(answered, "a message sent to the viewer is still answered: Panorel waits, it is not stuck");

    // What the shell sends for a right click on the tray icon, handled
    // inside the wait; meanwhile the pointer touches the edge, which needs
    // no key here.
    SendNotifyMessageA(viewer, TrayNotifyMessage, TrayIconId, WM_RBUTTONDOWN);
    int width = GetSystemMetrics(SM_CXSCREEN);
    SetCursorPos(width - 1, PointerY);
    POINT pointer = {};
    check(!e2e::waitUntil([&] { return GetCursorPos(&pointer) && pointer.x != width - 1; }, QuietMs),
          "the edge trigger does not run inside the waiting switch");
    HWND menu = e2e::openMenuOf(panorel);
    check(menu == nullptr, "the tray icon's menu does not open inside it");
    SetCursorPos(width / 2, PointerY);
    SendNotifyMessageA(viewer, WM_COMMAND, GotoId[1], 0);  // another program's Goto

    e2e::resumeHungPrograms();
    if (menu != nullptr) e2e::pressMenuKey(menu, VK_ESCAPE);
    check(e2e::waitUntil([&] { return allVisible(all); }),
          "when the program answers again the switch completes, then the Goto Desktop 1 sent meanwhile runs");
    // Whatever a switch hides is filed under some desktop, so Exit shows it.
    check(e2e::sendCommand(viewer, GotoId[2]), "Panorel answers commands again");
    check(exitPanorel(panorel, viewer) && allVisible(all), "Exit leaves every window shown");
}

// A dwmapi.dll lying beside Panorel.exe, as in a Downloads folder, is never
// loaded: the system's is, from the system folder.
void plantedDll() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "Downloads\\";
    const std::string planted = folder + "dwmapi.dll", marker = folder + "dwmapi-loaded";
    CreateDirectoryA(folder.c_str(), nullptr);
    check(CopyFileA((e2e::driverFolder() + "planted\\dwmapi.dll").c_str(), planted.c_str(), FALSE) &&
              CopyFileA((e2e::driverFolder() + "Panorel.exe").c_str(), (folder + "Panorel.exe").c_str(), FALSE),
          "Panorel.exe and a dwmapi.dll side by side in " + folder);
    std::vector<HWND> windows = e2e::openWindows("beside", 1);
    e2e::Process panorel = e2e::start("\"" + folder + "Panorel.exe\"", folder);
    HWND viewer = e2e::waitViewer(panorel);
    if (!check(viewer != nullptr, "that copy starts")) return;

    // Every capture asks the compositor whether the windows are cloaked.
    e2e::sendCommand(viewer, GotoId[2]);
    check(noneVisible(windows), "Goto Desktop 2 hides desktop 1's window");
    e2e::sendCommand(viewer, GotoId[1]);
    check(allVisible(windows), "Goto Desktop 1 shows it again");
    check(GetFileAttributesA(marker.c_str()) == INVALID_FILE_ATTRIBUTES, "the dwmapi.dll beside it was never loaded");
    check(loadedFromSystemFolder(panorel, "dwmapi.dll"), "the system's dwmapi.dll is");

    HMODULE standIn = LoadLibraryA(planted.c_str());
    check(GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES, "(the stand-in does record a load)");
    FreeLibrary(standIn);
}

}  // namespace scenarios
