// The window table and capture: files the windows visible right now under
// the current desktop, each with its owner.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

namespace {

// The shell's own windows: the desktop behind the icons, the layer that takes
// the icons and wallpaper after a wallpaper change, and the taskbars. Hidden,
// they would be missing from every other desktop. A taskbar the shell makes
// anew after a restart has a new handle but the same class.
const char* const ShellClasses[] = {"Progman", "WorkerW", "Shell_TrayWnd", "Shell_SecondaryTrayWnd"};
// Well over the longest of them: a longer name, cut short by the read, still
// matches none.
constexpr int ClassNameSize = 32;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Class names are compared as Windows compares them: ignoring case.
bool sameClassName(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (lowerAscii(*a) != lowerAscii(*b)) return false;
    }
    return *a == *b;
}

// A name that cannot be read marks no window as the shell's.
bool isShellWindow(HWND w) {
    char name[ClassNameSize] = "";
    if (ws::GetClassNameA(w, name, ClassNameSize) == 0) return false;
    for (const char* shellClass : ShellClasses) {
        if (sameClassName(name, shellClass)) return true;
    }
    return false;
}

// The compositor keeps some windows visible but unseen: Start, search, the
// frames of suspended Store apps, the windows of the system's own virtual
// desktops. Hiding them can leave Start unable to open. Where the question
// cannot be answered (no compositor), the window is taken as seen.
bool isCloaked(HWND w) {
    DWORD cloaked = 0;
    const HRESULT result = ws::DwmGetWindowAttribute(w, DWMWA_CLOAKED, &cloaked, sizeof cloaked);
    return result >= 0 && cloaked != 0;
}

// The dialog of a window on every desktop is on every desktop with it,
// while the small list has room.
bool joinedEveryDesktop(HWND w, WindowOwner owner, bool& tookParked) {
    if (!everyDesktopListUsed() || !rootOnEveryDesktop(groupRoot(w))) return false;
    for (EveryDesktopWindow& entry : app.everyDesktopWindows) {
        if (entry.window != nullptr) continue;
        if (unfileWindow(w)) tookParked = true;
        entry = EveryDesktopWindow{w, owner};
        return true;
    }
    return false;
}

bool parkedElsewhere(unsigned slot) {
    return slot / SlotsPerDesktop != app.currentDesktop - 1 && app.parkedSlots[slot];
}

bool anyParkedElsewhere() {
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        if (parkedElsewhere(slot)) return true;
    }
    return false;
}

bool filedHere(HWND root) { return slotOf(root, app.currentDesktop) != NoSlot; }

}  // namespace

// A window that opened here while the window it belongs to is parked on
// another desktop stands on that desktop, hidden with it; a parked window
// whose owner its program showed here comes back to stand with it. Answers
// whether it showed any, which the record must then leave out.
bool parkMembersOfParkedWindows() {
    if (!anyParkedElsewhere()) return false;
    const bool released = releaseParkedMembers(filedHere) > 0;
    unsigned gathered[SlotsPerDesktop];
    const unsigned count = gatherGroups(parkedElsewhere, gathered);
    if (count == 0) return released;
    for (unsigned i = 0; i < count; ++i) markAboutToPark(gathered[i]);
    writeParkedRecord();
    for (unsigned i = 0; i < count; ++i) parkSlot(gathered[i]);
    return released;
}

namespace {

// One window of the snapshot, front-most first. Answering FALSE after the
// 64th ends the enumeration: no window below it is asked anything. The
// parameter points to whether a parked window was taken: its own program
// showed it again, so it belongs where it was seen now, and the record no
// longer names it.
BOOL CALLBACK takeWindow(HWND w, LPARAM parameter) {
    WindowOwner owner;
    if (!isFileable(w, owner) || isOnEveryDesktop(w, owner) || leftAloneByRules(w)) return TRUE;
    if (joinedEveryDesktop(w, owner, *reinterpret_cast<bool*>(parameter))) return TRUE;
    if (fileWindow(desktopRangeStart(app.currentDesktop) + app.captureCount, w, owner)) {
        *reinterpret_cast<bool*>(parameter) = true;
    }
    ++app.captureCount;
    return app.captureCount < SlotsPerDesktop ? TRUE : FALSE;
}

// The window behind all others, which may hold the focus when no other does.
constexpr char DesktopWindowClass[] = "#32769";

}  // namespace

bool isShellsOwn(HWND w) {
    if (w == app.progmanWindow || w == app.taskbarWindow || isShellWindow(w)) return true;
    char name[ClassNameSize] = "";
    return ws::GetClassNameA(w, name, ClassNameSize) != 0 && sameClassName(name, DesktopWindowClass);
}

// The rules in the order they must run: the three handle comparisons cost
// nothing, the process id is asked before visibility, and a window's
// visibility counts only when the answer is exactly TRUE. Only a window
// still in the running is asked its class and whether it is cloaked. The
// owner asked for is the one the window is filed with.
bool isFileable(HWND w, WindowOwner& owner) {
    if (w == app.viewerWindow || w == app.progmanWindow || w == app.taskbarWindow) return false;
    owner.threadId = ws::GetWindowThreadProcessId(w, &owner.processId);
    if (owner.processId == app.ownProcessId) return false;
    if (ws::IsWindowVisible(w) != TRUE) return false;
    return !isShellWindow(w) && !isCloaked(w);
}

void emptySlot(unsigned slot) {
    app.windowTable[slot] = nullptr;
    app.windowOwners[slot] = WindowOwner{};
    app.parkedSlots[slot] = false;
}

// The one place that says where a window stands: in one slot, or on the
// every-desktop list, or nowhere.
bool unfileWindow(HWND window) {
    bool wasParked = false;
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        if (app.windowTable[slot] != window) continue;
        wasParked = wasParked || app.parkedSlots[slot];
        emptySlot(slot);
    }
    for (EveryDesktopWindow& entry : app.everyDesktopWindows) {
        if (entry.window == window) entry = EveryDesktopWindow{};
    }
    return wasParked;
}

bool fileWindow(unsigned slot, HWND window, WindowOwner owner) {
    const bool wasParked = unfileWindow(window);
    app.windowTable[slot] = window;
    app.windowOwners[slot] = owner;
    return wasParked;
}

unsigned slotOf(HWND window, DesktopId d) {
    const unsigned first = desktopRangeStart(d);
    for (unsigned slot = first; slot < first + SlotsPerDesktop; ++slot) {
        if (window != nullptr && app.windowTable[slot] == window) return slot;
    }
    return NoSlot;
}

unsigned firstFreeSlot(DesktopId d) {
    const unsigned first = desktopRangeStart(d);
    for (unsigned slot = first; slot < first + SlotsPerDesktop; ++slot) {
        if (app.windowTable[slot] == nullptr) return slot;
    }
    return NoSlot;
}

bool stillOwnedBy(HWND window, WindowOwner owner) {
    WindowOwner now;
    now.threadId = ws::GetWindowThreadProcessId(window, &now.processId);
    return now.threadId != 0 && sameOwner(now, owner);
}

bool ownerUnchanged(unsigned slot) {
    HWND window = app.windowTable[slot];
    return window != nullptr && stillOwnedBy(window, app.windowOwners[slot]);
}

bool isOnEveryDesktop(HWND w, WindowOwner owner) {
    if (w == nullptr) return false;
    for (const EveryDesktopWindow& entry : app.everyDesktopWindows) {
        if (entry.window == w && sameOwner(entry.owner, owner)) return true;
    }
    return false;
}

void dropGoneEveryDesktopWindows() {
    for (EveryDesktopWindow& entry : app.everyDesktopWindows) {
        if (entry.window != nullptr && !stillOwnedBy(entry.window, entry.owner)) entry = EveryDesktopWindow{};
    }
}

// The windows are taken from one snapshot of the z-order: every hide and
// show of a switch restacks windows, and so do other programs, so a walk
// that asked for each next window as it went would skip windows or end
// early. A window destroyed after the snapshot answers no owner and is not
// visible, so it is skipped like any other. While the session may end every
// desktop's windows are on the screen: the range is kept as it was, or they
// would all be filed here.
void captureDesktop() {
    if (app.sessionEnding) {
        rebuildRecallMenu();
        return;
    }
    applyWindowRules();
    const unsigned first = desktopRangeStart(app.currentDesktop);
    for (unsigned slot = first; slot < first + SlotsPerDesktop; ++slot) emptySlot(slot);
    dropGoneEveryDesktopWindows();
    app.captureCount = 0;
    bool tookParked = false;
    ws::EnumWindows(takeWindow, reinterpret_cast<LPARAM>(&tookParked));
    if (parkMembersOfParkedWindows()) tookParked = true;
    rebuildRecallMenu();
    if (tookParked) writeParkedRecord();
}
