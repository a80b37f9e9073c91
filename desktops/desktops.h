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

void rebuildRecallMenu();
