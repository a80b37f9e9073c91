// One Panorel per session. Two would each file and hide the other's windows,
// and whichever ended first would strand the windows the other had parked.
#include "app/app.h"

namespace {

// The 32-bit and the 64-bit program use the same names, so they exclude
// each other too.
constexpr char InstanceMutexName[] = "Local\\Panorel.Instance";
constexpr char ShowViewerMessageName[] = "Panorel.ShowViewer";
// Marks the running Panorel's viewer among the session's windows, for a
// script's verb to be sent to.
constexpr char ViewerPropertyName[] = "Panorel.Viewer";

UINT showViewerMessage = 0;

}  // namespace

// The mutex stays held until the process ends. Access is denied when a
// Panorel at a higher integrity level holds it, which is a Panorel all the
// same. Any other failure cannot tell, and a Panorel that does not start
// would be worse than a second one.
bool claimSingleInstance() {
    showViewerMessage = RegisterWindowMessageA(ShowViewerMessageName);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, InstanceMutexName);
    DWORD error = GetLastError();
    bool another = mutex != nullptr ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
    if (!another) {
        // An elevated Panorel must still hear a second start that is not.
        ChangeWindowMessageFilter(showViewerMessage, MSGFLT_ADD);
        return true;
    }
    // The running Panorel's viewer may be hidden, and the message reaches
    // hidden top-level windows too; every other window ignores it.
    PostMessageA(HWND_BROADCAST, showViewerMessage, 0, 0);
    return false;
}

bool isShowViewerRequest(UINT message) { return message != 0 && message == showViewerMessage; }

// Asks without taking the mutex: a script's process must never pass for a
// Panorel. Denied access is a Panorel at a higher integrity level.
bool panorelRunning() {
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, InstanceMutexName);
    if (mutex == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
    CloseHandle(mutex);
    return true;
}

void markViewer(HWND viewer) { SetPropA(viewer, ViewerPropertyName, viewer); }

void unmarkViewer(HWND viewer) { RemovePropA(viewer, ViewerPropertyName); }

namespace {

BOOL CALLBACK findMarkedViewer(HWND window, LPARAM found) {
    if (GetPropA(window, ViewerPropertyName) == nullptr) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

// Hidden windows count: the viewer may be hidden.
HWND findRunningViewer() {
    HWND viewer = nullptr;
    EnumWindows(findMarkedViewer, reinterpret_cast<LPARAM>(&viewer));
    return viewer;
}
