// Virtual desktops: the window table, capture, switching and recall.
#pragma once

#include "app/app_state.h"

// The first slot of desktop d's range in the window table.
constexpr unsigned desktopRangeStart(DesktopId d) { return (d - 1) * SlotsPerDesktop; }

void captureDesktop();

// Whether a capture would file the window if it were not on every desktop:
// not Panorel's own, not the shell's, visible and not cloaked. Gives the
// owner asked for.
bool isFileable(HWND w, WindowOwner& owner);
// Whether the window, with this owner, is shown on every desktop; an entry
// whose handle has gone to another owner is dropped.
bool isOnEveryDesktop(HWND w, WindowOwner owner);

// The first slot of desktop d's range that holds the window (a null window:
// the first free slot), or NoSlot.
constexpr unsigned NoSlot = WindowTableSlots;
unsigned slotOf(HWND window, DesktopId d);

// The slots of the table, each with the owner its window had when filed.
void fileWindow(unsigned slot, HWND window, WindowOwner owner);
void emptySlot(unsigned slot);
// Whether the handle still names a window of that owner: Windows gives a
// destroyed window's handle to later windows.
bool stillOwnedBy(HWND window, WindowOwner owner);
// Whether the slot's handle still names the window filed there, with the
// owner it had then.
bool ownerUnchanged(unsigned slot);
// Whether the slot still holds the window that was filed there: a slot whose
// handle has since gone to another window, or to none, is emptied.
bool stillFiled(unsigned slot);
// Hides the slot's window, unless it is no longer the one filed or the
// session may be ending, and notes whether Panorel is what hid it.
void parkSlot(unsigned slot);
// Shows the slot's window, unless it is no longer the one filed; it is then
// parked in no slot.
void unparkSlot(unsigned slot, int showCommand);

void hideDesktop();
void showDesktop();
void showAllDesktops();
// The session may end: every window is shown and stays so until
// resumeDesktops, when the session goes on and the other desktops' windows
// are hidden again.
void showAllForEndOfSession();
void resumeDesktops();
void setCurrentDesktop(DesktopId d);
void switchDesktop(DesktopId d, bool captureFirst);

void rebuildRecallMenu();
void recallWindow(unsigned position);

// The record of the windows Panorel has hidden, which lets a restart bring
// them back after this process was ended from outside. It is written after
// every change of what is parked, and just before anything is hidden with
// the windows about to be hidden already on it; read and deleted once at
// start-up, and deleted once everything is shown.
void writeParkedRecord();
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

// Gives the window the foreground, with one retry that Windows' foreground
// lock may ask for.
void giveForeground(HWND window);
