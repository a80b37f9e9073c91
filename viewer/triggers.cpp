// The switch triggers: modifier keys plus a screen edge.
#include "viewer/triggers.h"

void pollSwitchTriggers(HWND) {}
