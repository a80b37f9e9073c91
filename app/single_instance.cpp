// One Panorel per session. Two would each file and hide the other's windows,
// and whichever ended first would strand the windows the other had parked.
#include "app/app.h"

namespace {

// The 32-bit and the 64-bit program use the same names, so they exclude
// each other too.
constexpr char InstanceMutexName[] = "Local\\Panorel.Instance";
constexpr char ShowViewerMessageName[] = "Panorel.ShowViewer";

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
