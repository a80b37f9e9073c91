// Entry point, start-up and shutdown.
#include "app/app.h"
#include "desktops/desktops.h"
#include "settings/rules_store.h"
#include "settings/settings.h"
#include "viewer/viewer.h"

#include <commctrl.h>

namespace {

constexpr char ViewerTemplate[] = "LITTLE";
constexpr UINT StartupFailedExitCode = 1;

// Runs the viewer as a modal dialog: its message loop is the program's only
// one, and normally the process ends inside it (shutdown). The dialog call
// returns only when the viewer could not be created at all.
HINSTANCE runViewer(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    DialogBoxParamA(instance, ViewerTemplate, nullptr, ViewerDialogProc, 0);
    return instance;
}

// Without the window table nothing can be filed, and nothing has been
// hidden yet: leave at once, and say so in the exit code.
[[noreturn]] void abandonStartup(HWND viewer) {
    KillTimer(viewer, MiniatureTimerId);
    Shell_NotifyIconA(NIM_DELETE, &app.trayIconData);
    ExitProcess(StartupFailedExitCode);
}

}  // namespace

INT_PTR initViewer(HWND viewer) {
    app.handCursor = LoadCursorA(nullptr, IDC_HAND);
    app.viewerWindow = viewer;
    GetWindowThreadProcessId(viewer, &app.ownProcessId);
    SetTimer(viewer, MiniatureTimerId, MiniaturePeriodMs, nullptr);
    watchDisplayState(viewer);
    watchScreenChanges();
    addTrayIcon();
    app.windowTableMemory = GlobalAlloc(GHND, WindowTableBlockBytes);
    app.windowTable = static_cast<HWND*>(GlobalLock(app.windowTableMemory));
    if (app.windowTable == nullptr) abandonStartup(viewer);
    app.taskbarWindow = FindWindowA("Shell_TrayWnd", nullptr);
    app.progmanWindow = FindWindowA("progman", nullptr);
    loadSettings();
    loadWindowRules();
    // Before the viewer shows, so its shortcuts work once it is there. One
    // pressed meanwhile waits for the message loop, after the first capture.
    registerHotkeys(viewer);
    buildMenus();
    // The shell's answer to the tray is awaited, and messages sent to the
    // viewer meanwhile are handled: before anyone can see the viewer.
    startWhereAmI();
    placeViewer();
    captureDesktop();
    SetTimer(viewer, TriggerTimerId, TriggerPeriodMs, nullptr);
    // Where window events do not come, new windows are found by looking.
    if (app.windowRuleCount > 0) SetTimer(viewer, RulesTimerId, RulesPeriodMs, nullptr);
    // Last: the capture waits on other programs, and a script's verb taken
    // meanwhile would find the desktops half made.
    markViewer(viewer);
    return FALSE;  // the dialog manager sets no default focus
}

// Nothing is saved on the way out, and an open Options dialog simply ends
// with the process. The table block is freed while still locked.
void shutdown(HWND viewer) {
    KillTimer(viewer, TriggerTimerId);
    KillTimer(viewer, MiniatureTimerId);
    KillTimer(viewer, RulesTimerId);
    DestroyMenu(app.viewerMenu);  // takes recallMenu with it
    DestroyMenu(app.trayMenu);    // takes gotoMenu with it
    EndDialog(viewer, 0);
    unmarkViewer(viewer);
    DestroyWindow(viewer);
    GlobalFree(app.windowTableMemory);
    Shell_NotifyIconA(NIM_DELETE, &app.trayIconData);
    ExitProcess(0);
}

// The command line holds nothing or a script's verb; the environment is
// not read.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    installFaultGuard();
    // A verb goes to the running Panorel, and this process starts none.
    DWORD verbExitCode = 0;
    if (runScriptVerb(commandLine, verbExitCode)) ExitProcess(verbExitCode);
    if (!claimSingleInstance()) ExitProcess(0);
    loadSystemLibraries();
    // Before anything is filed: the windows a Panorel ended from outside
    // left hidden are visible again for the first capture to take.
    recoverParkedWindows();
    app.instance = GetModuleHandleA(nullptr);
    HINSTANCE result = runViewer(app.instance);
    ExitProcess(static_cast<UINT>(reinterpret_cast<UINT_PTR>(result)));
}
