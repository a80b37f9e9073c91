// The "Show Window" submenu: windows parked on the other desktops.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

// Filled in with the recall menu; every capture already ends here.
void rebuildRecallMenu() {}
