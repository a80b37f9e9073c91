// The numbers Panorel answers to from outside: the viewer's commands, as
// its menus post them and other programs may send them, and its tray icon.
// Written out here rather than taken from the program's own headers, so a
// wrong number there shows up as a failing scenario.
#pragma once

#include <windows.h>

constexpr WORD ExitId = 1;
constexpr WORD AboutId = 4;
constexpr WORD GotoId[] = {0, 49, 50, 51, 52};  // by desktop number
constexpr WORD HelpId = 1045;
constexpr WORD OptionsId = 1048;
constexpr WORD HideViewerId = 1049;
constexpr WORD ShowViewerId = 1050;
constexpr WORD RecallFirstId = 2400;

constexpr UINT TrayIconId = 1;
constexpr UINT TrayNotifyMessage = WM_USER + 5;
