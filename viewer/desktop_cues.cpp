// What tells the user where they landed after a switch they did not choose
// from a menu (the notice), and the wheel over the viewer.
#include "viewer/desktop_cues.h"

#include "desktops/desktops.h"
#include "desktops/window_system.h"
#include "viewer/triggers.h"

namespace {

constexpr int WheelNotch = 120;  // WHEEL_DELTA

void restartNotice(DesktopId d) {
    app.noticeDesktop = d;
    app.noticeTicksLeft = NoticeHoldTicks + NoticeFadeTicks;
    ws::PostMessageA(app.noticeWindow, NoticeRestartMessage, 0, 0);
}

}  // namespace

// A run of quick switches restarts the one notice on the latest desktop, so
// it never lags behind with an older number.
void announceSwitch(DesktopId from) {
    if (app.currentDesktop == from || (app.showFlags & NoSwitchNoticeFlag) != 0) return;
    if (app.noticeWindow == nullptr) return;
    app.noticeTitle[0] = '\0';
    restartNotice(app.currentDesktop);
}

// The desktop is the window's slot's; a window gone meanwhile is not named.
void announceRuleMove(HWND window) {
    if (window == nullptr || (app.showFlags & NoSwitchNoticeFlag) != 0 || app.noticeWindow == nullptr) return;
    const unsigned slot = slotHolding(window);
    if (slot == NoSlot) return;
    if (ws::GetWindowTextA(window, app.noticeTitle, NoticeTitleBytes) == 0) app.noticeTitle[0] = '\0';
    restartNotice(slot / SlotsPerDesktop + 1);
}

BYTE noticeTick() {
    if (app.noticeTicksLeft == 0) return 0;
    --app.noticeTicksLeft;
    if (app.noticeTicksLeft >= NoticeFadeTicks) return NoticeOpaque;
    return static_cast<BYTE>(NoticeOpaque * app.noticeTicksLeft / NoticeFadeTicks);
}

// Towards the user (a negative delta) is the next desktop. A fine wheel's
// small steps add up to a notch; turning back starts the count again.
void onViewerWheel(int delta) {
    if ((delta < 0) != (app.wheelTurn < 0)) app.wheelTurn = 0;
    app.wheelTurn += delta;
    int notches = app.wheelTurn / WheelNotch;
    if (notches == 0 || operationUnderWay()) return;
    app.wheelTurn -= notches * WheelNotch;
    DesktopId target = app.currentDesktop;
    for (; notches < 0; ++notches) target = nextDesktop(target);
    for (; notches > 0; --notches) target = previousDesktop(target);
    const DesktopId from = app.currentDesktop;
    switchDesktopByKeyboard(target);
    announceSwitch(from);
}
