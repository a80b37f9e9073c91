// Capture: files the windows visible right now under the current desktop.
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

// The rules in the order they must run: the three handle comparisons cost
// nothing, the process id is asked before visibility, and a window's
// visibility counts only when the answer is exactly TRUE. Only a window
// still in the running is asked its class and whether it is cloaked.
bool skipsWindow(HWND w) {
    if (w == app.viewerWindow || w == app.progmanWindow || w == app.taskbarWindow) return true;
    DWORD processId = 0;
    ws::GetWindowThreadProcessId(w, &processId);
    if (processId == app.ownProcessId) return true;
    if (ws::IsWindowVisible(w) != TRUE) return true;
    return isShellWindow(w) || isCloaked(w);
}

}  // namespace

void captureDesktop() {
    HWND* range = app.windowTable + desktopRangeStart(app.currentDesktop);
    for (unsigned i = 0; i < SlotsPerDesktop; ++i) range[i] = nullptr;
    app.captureCount = 0;

    // Follow the sibling chain as it stands from one call to the next: other
    // processes may reorder it meanwhile, and a destroyed window answers null.
    HWND w = ws::GetWindow(ws::GetDesktopWindow(), GW_CHILD);
    while (w != nullptr) {
        if (!skipsWindow(w)) {
            range[app.captureCount++] = w;
            if (app.captureCount == SlotsPerDesktop) break;  // never ask past the 64th
        }
        w = ws::GetWindow(w, GW_HWNDNEXT);
    }
    rebuildRecallMenu();
}
