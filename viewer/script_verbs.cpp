// A script's verb in the running Panorel.
#include "viewer/script_verbs.h"

#include "desktops/desktops.h"
#include "desktops/window_system.h"
#include "viewer/desktop_cues.h"
#include "viewer/triggers.h"

namespace {

// Every switch a script asks for passes here, and works as the keyboard's:
// the desktop left is captured first, and the current one is left alone.
// Nobody chose it from a menu, so the notice says where the user is now.
void switchForScript(DesktopId d) {
    const DesktopId from = app.currentDesktop;
    switchDesktopByKeyboard(d);
    announceSwitch(from);
}

void carryOut(HWND viewer, const VerbRecord& record) {
    switch (static_cast<Verb>(record.verb)) {
    case Verb::Goto:
        switchForScript(record.desktop);
        break;
    case Verb::Next:
        switchForScript(nextDesktop(app.currentDesktop));
        break;
    case Verb::Previous:
        switchForScript(previousDesktop(app.currentDesktop));
        break;
    case Verb::Move:
        moveForegroundWindow(record.desktop);
        break;
    case Verb::Exit:
        // After the answer has gone back, and in its turn as Alt+F4's Exit:
        // the viewer takes no WM_COMMAND as Exit.
        ws::PostMessageA(viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case Verb::Current:
        break;
    }
}

// A switch or move waits, as a menu command does, while another operation
// waits on a program: the next and previous desktops are then the ones of
// its turn. Queued verbs are checked again when their turn comes, since any
// program may post the message.
void carryOutInTurn(HWND viewer, const VerbRecord& record) {
    if (operationUnderWay()) {
        ws::PostMessageA(viewer, QueuedVerbMessage, record.verb, static_cast<LPARAM>(record.desktop));
    } else {
        carryOut(viewer, record);
    }
}

// Age by the performance counter, as the sender stamped it.
bool fresh(const VerbRecord& record) {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    ws::QueryPerformanceCounter(&now);
    ws::QueryPerformanceFrequency(&frequency);
    const std::int64_t age = now.QuadPart - sentAt(record);
    constexpr std::int64_t MsPerSecond = 1000;
    return age >= 0 && frequency.QuadPart > 0 && age <= frequency.QuadPart * VerbAnswerTimeoutMs / MsPerSecond;
}

}  // namespace

// Exit and current are answered even while the session may end; a switch or
// move could not be done then, since nothing may be hidden.
std::uintptr_t answerVerb(HWND viewer, std::uintptr_t tag, const void* data, std::size_t bytes) {
    VerbRecord record;
    if (!checkVerbRecord(tag, data, bytes, record) || !fresh(record)) return 0;
    switch (static_cast<Verb>(record.verb)) {
    case Verb::Current:
        return verbAnswer(app.currentDesktop);
    case Verb::Exit:
        carryOut(viewer, record);
        return verbAnswer(VerbDone);
    default:
        if (app.sessionEnding) return verbAnswer(VerbNotNow);
        carryOutInTurn(viewer, record);
        return verbAnswer(VerbDone);
    }
}

void onQueuedVerb(HWND viewer, WPARAM verb, LPARAM desktop) {
    if (verb > LastVerbNumber || desktop < 0 || desktop > LPARAM{DesktopCount}) return;
    const VerbRecord sent = {VerbRecordVersion, static_cast<std::uint32_t>(verb), static_cast<std::uint32_t>(desktop),
                             0, 0};
    VerbRecord record;
    if (!checkVerbRecord(VerbRecordTag, &sent, sizeof sent, record)) return;
    carryOutInTurn(viewer, record);
}
