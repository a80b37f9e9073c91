// If Panorel itself faults, the windows parked on other desktops must not
// die hidden with it: a hidden window of another program has no taskbar
// button, and its user would have no way to get it back.
#include "app/app.h"
#include "desktops/desktops.h"

namespace {

LONG WINAPI showParkedWindowsOnFault(EXCEPTION_POINTERS*) {
    if (app.windowTable != nullptr) showAllDesktops();
    Shell_NotifyIconA(NIM_DELETE, &app.trayIconData);
    // Let the platform go on to report the fault as it would without us.
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void installFaultGuard() { SetUnhandledExceptionFilter(showParkedWindowsOnFault); }
