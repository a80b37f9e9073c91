// The desktop viewer: its dialog procedure, menus, tray icon, placement and
// miniature (Windows only; the switch triggers are in triggers.h, the
// keyboard shortcuts in hotkeys.h).
#pragma once

#include "app/app_state.h"
#include "viewer/frame_pacing.h"
#include "viewer/hotkeys.h"
#include "viewer/script_verbs.h"
#include "viewer/triggers.h"

INT_PTR CALLBACK ViewerDialogProc(HWND viewer, UINT message, WPARAM wParam, LPARAM lParam);
// Runs a command chosen from one of the menus.
INT_PTR runMenuCommand(HWND viewer, WORD id);

void addTrayIcon();
bool isTaskbarCreated(UINT message);
void readdTrayIcon();
void onTrayNotify(HWND viewer, WPARAM iconId, LPARAM mouseMessage);

// The digit's pictures for the taskbar's theme and scaling, made again when
// Windows announces a change of either, and the record given to the shell.
void makeTrayDigitIcons();
void redrawTrayDigits();
void onSettingChange(WPARAM action, LPARAM area);
// The notice after a switch: a window of its own, made once at start-up.
void makeNoticeWindow();
// Names, digit and notice once the settings are read at start-up, and the
// texts and tray again after the Options dialog changed them.
void startWhereAmI();
void showWhereAmI();

void buildMenus();
void placeViewer();
// The scaling of the viewer's monitor, in dots per inch.
UINT viewerDpi(HWND viewer);
// The screen changed size or scaling: the viewer goes where placeViewer
// would put it now, as shown or hidden as it was.
void replaceViewer(UINT dpi);
// The miniature's picture, for the viewer's size (placement calls it), and
// the last one drawn onto a context of the viewer.
void makeMiniaturePicture();
// A top-down 32-bit bitmap of that size, not selected anywhere, and its
// pixels (null when it could not be made).
HBITMAP makeTopDownBitmap(HDC dc, std::int32_t width, std::int32_t height, void** pixels);
void showMiniature(HDC target);
// Asks to be told when the display goes off and on again: the miniature
// reads nothing meanwhile.
void watchDisplayState(HWND viewer);
void onPowerBroadcast(WPARAM event, LPARAM data);
