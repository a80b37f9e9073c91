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
