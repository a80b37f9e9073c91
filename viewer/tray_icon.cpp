// The notification-area icon.
#include "viewer/viewer.h"

// The icon arrives with the viewer's tray support; start-up already calls here.
void addTrayIcon() {}
