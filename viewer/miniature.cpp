// The live miniature of the screen, drawn straight onto the viewer on every
// tick of its timer. Nothing is kept from one picture to the next: a fresh
// screen context each time costs little beside reading the whole screen, and
// a covered part of the viewer is simply right again at the next tick.
#include "viewer/viewer.h"

void drawMiniature(HWND viewer) {
    HDC viewerDc = GetDC(viewer);
    SetStretchBltMode(viewerDc, HALFTONE);  // average each block, don't drop pixels
    HDC screenDc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    StretchBlt(viewerDc, 0, 0, app.viewerWidth, app.viewerHeight, screenDc, 0, 0, app.screenWidth,
               app.screenHeight, SRCCOPY);
    DeleteDC(screenDc);
    ReleaseDC(viewer, viewerDc);
}
