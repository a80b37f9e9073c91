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
// The shell's windows (the desktop, the taskbars) and the window behind
// them all: one of them in front is no program of the user's.
bool isShellsOwn(HWND w);
// Whether the window, with this owner, is shown on every desktop.
bool isOnEveryDesktop(HWND w, WindowOwner owner);
// Entries whose handle has since gone to another owner, or to none, give up
// their place.
void dropGoneEveryDesktopWindows();

constexpr unsigned NoSlot = WindowTableSlots;
// The first slot of desktop d's range that holds the window, or NoSlot.
unsigned slotOf(HWND window, DesktopId d);
// The first empty slot of desktop d's range, or NoSlot.
unsigned firstFreeSlot(DesktopId d);

// A window stands on one desktop at most: filed into a slot, it leaves every
// other slot and the every-desktop list. Answers whether it left a slot
// where Panorel had parked it, which changes what the record must say.
bool fileWindow(unsigned slot, HWND window, WindowOwner owner);
// Takes the window out of every slot and off the every-desktop list; the
// same answer as fileWindow.
bool unfileWindow(HWND window);
void emptySlot(unsigned slot);
// Whether the handle still names a window of that owner: Windows gives a
// destroyed window's handle to later windows.
bool stillOwnedBy(HWND window, WindowOwner owner);
// Whether the slot's handle still names the window filed there, with the
// owner it had then.
bool ownerUnchanged(unsigned slot);

// One guard for every operation that hides or shows other programs'
// windows. While one waits on another program, messages sent to the viewer
// are handled: an operation started from them would work on a half-done
// table. Once the session may end, nothing more may be hidden.
bool operationMayStart();
// Whether one is under way: a request arriving now waits its turn.
bool operationUnderWay();
// Operations nest: showing everything at the end of the session may run
// inside a switch.
void beginOperation();
void endOperation();

// A desktop that is not current is the set of windows Panorel hid when the
// user left it; only those are ever shown again, and only they go on the
// record a restart recovers.
//
// Marks the slot's window as about to be hidden if it is on the screen now;
// a slot whose window its own program has hidden, or that is gone, is
// emptied instead.
void markAboutToPark(unsigned slot);
// Hides a marked slot's window. One its program hid meanwhile, or that stays
// on the screen (Windows does not let a program hide the window of one with
// higher rights), is not parked: its slot is emptied.
void parkSlot(unsigned slot);
// Shows a parked slot's window if it is still hidden; the slot is no longer
// parked either way.
void unparkSlot(unsigned slot, int showCommand);

void hideDesktop();
void showDesktop();
void showAllDesktops();
// The session may end: every parked window is shown and stays so until
// resumeDesktops, when the session goes on and the other desktops' windows
// are hidden again. Each query has a number of its own (app.endSessionQuery),
// and a put-back answers the query it names only. It answers false when an
// operation is under way: it must wait for that one.
void showAllForEndOfSession();
bool resumeDesktops(DWORD query);
void setCurrentDesktop(DesktopId d);

// The texts that name a desktop: its digit, then its name when it has one
// ("2 - Mail"); with no names each is the digit alone, as it always was.
const char* desktopName(DesktopId d);
void makeDesktopText(DesktopId d, char* text, std::size_t size);
// The viewer menu's first item, "Desktop #2 - Mail", into app.desktopLabel.
void makeDesktopLabel(DesktopId d);
void showDesktopNamesInGotoMenu();
// The tray record's icon and tip for the current desktop, and the same
// given to the shell while the digit is shown. Without the digit they are
// icon 5 and "Change Panorel".
void fillTrayPicture();
void showDesktopInTray();
void switchDesktop(DesktopId d, bool captureFirst);

// The list changes its version only when its items change.
void rebuildRecallMenu();
// The item at the position of the list of that version; a list that has
// changed since brings back nothing.
void recallWindow(unsigned position, DWORD listVersion);

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

// A window's group is its root owner (GetAncestor, GA_ROOTOWNER) and every
// visible window that root owns, directly or not: it stands on one desktop,
// or on every desktop, as one. The root of a window that has no owner is
// the window itself.
HWND groupRoot(HWND window);
bool sameGroup(HWND a, HWND b);
// The slot of any desktop's range that holds the window under the owner it
// was filed with, or NoSlot.
unsigned slotHolding(HWND window);
bool rootOnEveryDesktop(HWND root);
bool everyDesktopListUsed();
// Files each visible window whose root stands in a slot that `joins`
// accepts into the first free slot of that slot's desktop, unless it stands
// there already; one snapshot of the stacking order. Writes the slots it
// filed (at most a range's worth) and answers how many.
unsigned gatherGroups(bool (*joins)(unsigned rootSlot), unsigned* slots);
// Shows, and takes out of their slots, the parked windows whose root
// `rootHere` accepts; answers how many.
unsigned releaseParkedMembers(bool (*rootHere)(HWND root));

// A window shown, hidden or destroyed, as the system's window events tell:
// a parked window its program shows leaves its slot, a destroyed one frees
// its slot.
void noteWindowEvent(DWORD event, HWND window);

// Gives the window the foreground, with one retry that Windows' foreground
// lock may ask for.
void giveForeground(HWND window);
// With no window of the desktop to take it, the focus goes to the shell's
// desktop window: left with the viewer, typing would reach Panorel.
void focusShell();

// Window rules (app.windowRules). Each window without an owner that a
// capture would file is looked at once: the first rule it matches parks it
// on its desktop, puts it on every desktop, or leaves it unmanaged. The look
// runs at the start of every capture; between them, lookForNewWindows runs
// it unless an operation is under way. Both answer the first window sent to
// another desktop, if any.
HWND applyWindowRules();
HWND lookForNewWindows();
// The user moved, recalled or toggled the window: no rule acts on it again.
void markPlacedByUser(HWND window, WindowOwner owner);
// Whether a rule said to leave the window's group alone: no capture files it.
bool leftAloneByRules(HWND window);
// The windows of a group whose root is parked on another desktop join it
// there, hidden; answers whether a parked one was shown again meanwhile.
bool parkMembersOfParkedWindows();
