// The running Panorel's side of a script's verb (app/verbs.h): checked,
// carried out or queued, and answered.
#pragma once

#include "app/verbs.h"

// Posted to itself for a verb that arrives while an operation waits: wParam
// the verb's number, lParam its desktop. Apart from the viewer's other
// private messages, so that they can grow without meeting it.
constexpr UINT QueuedVerbMessage = WM_APP + 0x40;

// WM_COPYDATA's tag, data and size. The result to give back, or 0 for a
// record that is not one to act on: nothing has changed then.
std::uintptr_t answerVerb(HWND viewer, std::uintptr_t tag, const void* data, std::size_t bytes);
void onQueuedVerb(HWND viewer, WPARAM verb, LPARAM desktop);
