// Virtual desktops: the window table, capture, switching and recall.
#pragma once

#include "app/app_state.h"

// The first slot of desktop d's range in the window table.
constexpr unsigned desktopRangeStart(DesktopId d) { return (d - 1) * SlotsPerDesktop; }

void captureDesktop();

void hideDesktop();
void showDesktop();
void showAllDesktops();
void setCurrentDesktop(DesktopId d);
void switchDesktop(DesktopId d, bool captureFirst);

// At most the three other desktops' ranges are listed.
constexpr unsigned MaxRecallItems = (DesktopCount - 1) * SlotsPerDesktop;

void rebuildRecallMenu();
void recallWindow(unsigned position);

// The record of the windows parked on the other desktops, which lets a
// restart bring them back after this process was ended from outside. It is
// written after every change of what is parked, read and deleted once at
// start-up, and deleted once everything is shown. A switch also writes it
// with the current desktop's windows just before hiding them.
void writeParkedRecord(bool withCurrentDesktop = false);
void recoverParkedWindows();
void deleteParkedRecord();

// The keyboard's operations. A shortcut switch works as the edge switch does
// (the desktop left is captured first) and does nothing for the desktop
// already current.
void switchDesktopByKeyboard(DesktopId d);
// Moves the foreground window to desktop d, hidden, and keeps the user here.
void moveForegroundWindow(DesktopId d);
// Shows the foreground window on every desktop, or files it under the
// current one again.
void toggleForegroundOnEveryDesktop();
