#include "engine_fixture.h"
#include "viewer/triggers.h"

#include <algorithm>
#include <functional>

using fake::Op;

namespace {

constexpr int Width = 1920;
constexpr SHORT Down = static_cast<SHORT>(0x8000);
constexpr SHORT DownAndPressedSince = static_cast<SHORT>(0x8001);
constexpr SHORT PressedSince = 0x0001;

}  // namespace

class TriggersTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        fake::setScreenWidth(Width);
        fake::setCursor(Width / 2, 500);
    }

    void poll() { pollSwitchTriggers(app.viewerWindow); }

    // One poll with the pointer on the right edge from desktop 1: did it switch?
    bool rightEdgeSwitches() {
        app.currentDesktop = 1;
        fake::setCursor(Width - 1, 500);
        fake::clearLog();
        poll();
        return app.currentDesktop == 2;
    }

    // A new touch: the pointer leaves the edge for a poll first.
    bool freshTouchSwitches() {
        fake::setCursor(Width / 2, 500);
        poll();
        const DesktopId before = app.currentDesktop;
        fake::setCursor(Width - 1, 500);
        fake::clearLog();
        poll();
        return app.currentDesktop != before;
    }

    static POINT at(LONG x, LONG y) { return POINT{x, y}; }

    // The trigger keys asked for; the mouse buttons are asked at an edge.
    static std::vector<int> keysQueried() {
        std::vector<int> keys;
        for (int vk : fake::queriedKeys()) {
            if (vk > VK_XBUTTON2) keys.push_back(vk);
        }
        return keys;
    }
};

bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }

TEST_F(TriggersTest, AllKeysModeNeedsEverySelectedKeyAndStopsAtTheFirstOneUp) {
    app.keyMask = 0x01;  // left Control
    EXPECT_FALSE(rightEdgeSwitches());
    EXPECT_EQ(keysQueried(), std::vector<int>{VK_LCONTROL});
    EXPECT_TRUE(fake::calls(Op::GetCursorPos).empty());  // the pointer is not looked at

    fake::setKeyState(VK_LCONTROL, Down);
    EXPECT_TRUE(rightEdgeSwitches());

    app.keyMask = 0x09;  // both Control keys
    fake::setKeyState(VK_LCONTROL, 0);
    fake::setKeyState(VK_RCONTROL, Down);
    EXPECT_FALSE(rightEdgeSwitches());
    EXPECT_EQ(keysQueried(), std::vector<int>{VK_LCONTROL});  // right Control never asked

    fake::setKeyState(VK_LCONTROL, Down);
    fake::setKeyState(VK_RCONTROL, 0);
    EXPECT_FALSE(rightEdgeSwitches());
    EXPECT_EQ(keysQueried(), (std::vector<int>{VK_LCONTROL, VK_RCONTROL}));

    fake::setKeyState(VK_RCONTROL, DownAndPressedSince);
    EXPECT_TRUE(rightEdgeSwitches());
}

TEST_F(TriggersTest, EveryBitSelectsItsKeyInTableOrder) {
    app.keyMask = 0x3F;
    for (int vk : {VK_LCONTROL, VK_LMENU, VK_LSHIFT, VK_RCONTROL, VK_RMENU, VK_RSHIFT}) {
        fake::setKeyState(vk, Down);
    }
    EXPECT_TRUE(rightEdgeSwitches());
    EXPECT_EQ(keysQueried(),
              (std::vector<int>{VK_LCONTROL, VK_LMENU, VK_LSHIFT, VK_RCONTROL, VK_RMENU, VK_RSHIFT}));
}

TEST_F(TriggersTest, AnyKeyModeTakesTheFirstSelectedKeyThatCounts) {
    app.keyMask = 0x49;  // both Control keys, any-key mode
    EXPECT_FALSE(rightEdgeSwitches());
    EXPECT_EQ(keysQueried(), (std::vector<int>{VK_LCONTROL, VK_RCONTROL}));

    fake::setKeyState(VK_LCONTROL, Down);
    EXPECT_TRUE(rightEdgeSwitches());
    EXPECT_EQ(keysQueried(), std::vector<int>{VK_LCONTROL});  // the rest are not asked

    fake::setKeyState(VK_LCONTROL, 0);
    fake::setKeyState(VK_RCONTROL, Down);
    EXPECT_TRUE(rightEdgeSwitches());
}

TEST_F(TriggersTest, NoKeySelectedMeansEdgesAloneInAllKeysModeAndNeverInAnyKeyMode) {
    app.keyMask = 0;
    EXPECT_TRUE(rightEdgeSwitches());
    EXPECT_TRUE(keysQueried().empty());

    app.keyMask = AnyKeyModeBit;
    fake::setKeyState(VK_LCONTROL, Down);
    EXPECT_FALSE(rightEdgeSwitches());
    EXPECT_TRUE(keysQueried().empty());
    EXPECT_TRUE(fake::calls(Op::GetCursorPos).empty());
}

TEST_F(TriggersTest, AKeyPressedAndReleasedBetweenPollsCountsOnce) {
    app.keyMask = 0x01;
    fake::setKeyState(VK_LCONTROL, PressedSince);
    EXPECT_TRUE(rightEdgeSwitches());
    EXPECT_FALSE(rightEdgeSwitches());  // the query cleared the bit
}

TEST_F(TriggersTest, EdgesWrapAndWarpThePointerOneColumnInsideTheOtherSide) {
    fake::setCursor(0, 500);
    poll();
    EXPECT_EQ(app.currentDesktop, 4u);
    EXPECT_EQ(fake::cursor(), at(Width - 2, 500));

    fake::setCursor(Width - 1, 300);
    poll();
    EXPECT_EQ(app.currentDesktop, 1u);
    EXPECT_EQ(fake::cursor(), at(1, 300));

    app.currentDesktop = 2;
    fake::setCursor(0, 10);
    poll();
    EXPECT_EQ(app.currentDesktop, 1u);
    poll();  // keys still held, mouse at rest: the pointer is off the trigger column
    poll();
    EXPECT_EQ(app.currentDesktop, 1u);
}

TEST_F(TriggersTest, TheWarpComesBeforeAnEdgeFormSwitch) {
    std::vector<HWND> desktop1 = fake::addWindows(OtherProcess, 2);
    captureDesktop();
    HWND late = fake::addWindow(OtherProcess, "opened since the last capture");
    fake::setCursor(Width - 1, 500);
    fake::clearLog();

    poll();

    auto& log = fake::log();
    ASSERT_GE(log.size(), 3u);
    std::vector<Op> first;
    for (std::size_t i = 0; i < 3; ++i) first.push_back(log[i].op);
    EXPECT_EQ(first, (std::vector<Op>{Op::GetCursorPos, Op::GetSystemMetrics, Op::MonitorFromPoint}));
    EXPECT_EQ(log[1].arg, SM_CXSCREEN);
    // Between them only what stops the edge is asked; the switch starts
    // right after the warp.
    auto warp = std::find_if(log.begin(), log.end(), [](const fake::Call& c) { return c.op == Op::SetCursorPos; });
    ASSERT_TRUE(warp != log.end() && warp + 1 != log.end());
    EXPECT_EQ((warp + 1)->op, Op::CheckMenuItem);
    EXPECT_TRUE(std::none_of(log.begin(), warp, [](const fake::Call& c) { return c.op == Op::ShowWindow; }));
    EXPECT_EQ(app.currentDesktop, 2u);
    desktop1.push_back(late);
    EXPECT_EQ(filed(1), desktop1);  // captured before hiding
    EXPECT_FALSE(fake::visibleAnswer(late));
}

TEST_F(TriggersTest, OnlyTheExactEdgeColumnsOfTheCurrentWidthSwitch) {
    for (LONG x : {LONG{-1}, LONG{1}, LONG{Width - 2}, LONG{Width}}) {
        fake::setCursor(x, 500);
        poll();
        EXPECT_EQ(app.currentDesktop, 1u) << "x = " << x;
    }
    EXPECT_TRUE(fake::calls(Op::SetCursorPos).empty());
    EXPECT_TRUE(fake::calls(Op::MonitorFromPoint).empty());  // off the edge columns, never asked
    EXPECT_EQ(fake::calls(Op::GetSystemMetrics).size(), 4u);  // asked on every poll

    fake::setScreenWidth(1280);
    fake::setCursor(1279, 500);
    poll();
    EXPECT_EQ(app.currentDesktop, 2u);
    EXPECT_EQ(fake::cursor(), at(1, 500));

    fake::setScreenWidth(Width);
    fake::setCursor(1279, 500);
    poll();
    EXPECT_EQ(app.currentDesktop, 2u);
}

TEST_F(TriggersTest, AMonitorJustPastAnEdgeBlocksThatEdgeAtTheHeightsItCovers) {
    fake::addMonitor(Width, 0, Width + 1280, 720);  // to the right, shorter than the primary
    fake::setCursor(Width - 1, 500);
    poll();
    EXPECT_EQ(app.currentDesktop, 1u);
    EXPECT_EQ(fake::cursor(), at(Width - 1, 500));  // on its way to the other monitor
    fake::setCursor(Width - 1, 900);                 // below that monitor: the desktop ends here
    poll();
    EXPECT_EQ(app.currentDesktop, 2u);
    fake::setCursor(0, 500);
    poll();
    EXPECT_EQ(app.currentDesktop, 1u);

    fake::addMonitor(-1920, 0, 0, 1080);  // and one to the left
    fake::setCursor(0, 500);
    poll();
    EXPECT_EQ(app.currentDesktop, 1u);
    EXPECT_EQ(fake::cursor(), at(0, 500));
}

TEST_F(TriggersTest, AFailedPointerReadEndsThePoll) {
    fake::setCursor(0, 500);
    fake::failCursorReads(true);
    poll();
    poll();
    EXPECT_EQ(app.currentDesktop, 1u);
    EXPECT_TRUE(fake::calls(Op::SetCursorPos).empty());

    fake::failCursorReads(false);
    poll();
    EXPECT_EQ(app.currentDesktop, 4u);
}

TEST_F(TriggersTest, AFullScreenProgramInFrontStopsTheEdgeOnceATouch) {
    HWND game = fake::addWindow(OtherProcess, "game");
    fake::setForeground(game);
    fake::setStyle(game, 0);  // a borderless popup
    fake::setWindowRect(game, RECT{0, 0, Width, 1080});
    EXPECT_FALSE(freshTouchSwitches());
    fake::setCursor(Width - 1, 700);  // along the edge: the same touch, not asked again
    poll();
    EXPECT_EQ(app.currentDesktop, 1u);
    EXPECT_EQ(fake::calls(Op::GetWindowRect).size(), 1u);

    // Maximised with a title bar (the taskbar set to hide), short of the
    // monitor, the shell's: none of them stops the edge.
    const std::vector<std::function<void()>> harmless = {
        [&] { fake::setStyle(game, WS_CAPTION); },
        [&] { fake::setWindowRect(game, RECT{0, 0, Width, 1040}); },
        [&] { fake::setClassName(game, "WorkerW"); },
    };
    for (const auto& change : harmless) {
        fake::setStyle(game, 0);
        fake::setWindowRect(game, RECT{-8, -8, Width + 8, 1088});
        fake::setForeground(game);  // a switch hid it, and the focus went on
        EXPECT_FALSE(freshTouchSwitches());
        change();
        EXPECT_TRUE(freshTouchSwitches());
    }
}

TEST_F(TriggersTest, TheShellsBusyD3dAndPresentationStatesStopTheEdge) {
    for (auto state : {QUNS_BUSY, QUNS_RUNNING_D3D_FULL_SCREEN, QUNS_PRESENTATION_MODE}) {
        fake::setNotificationState(state);
        EXPECT_FALSE(freshTouchSwitches()) << state;
    }
    fake::setNotificationState(QUNS_NOT_PRESENT);
    EXPECT_TRUE(freshTouchSwitches());
}

TEST_F(TriggersTest, ACursorConfinedOrHiddenStopsTheEdge) {
    fake::addMonitor(-1280, 0, 0, 1024);
    const RECT primary = {0, 0, Width, 1080};
    fake::clipCursor(&primary);  // less than the virtual screen
    EXPECT_FALSE(freshTouchSwitches());
    const RECT everything = {-1280, 0, Width, 1080};
    fake::clipCursor(&everything);
    EXPECT_TRUE(freshTouchSwitches());

    fake::showCursor(false);
    EXPECT_FALSE(freshTouchSwitches());
    fake::showCursor(true);
    EXPECT_TRUE(freshTouchSwitches());
}

TEST_F(TriggersTest, AMouseButtonHeldStopsTheEdgeUntilTheNextTouch) {
    for (int button : {VK_LBUTTON, VK_RBUTTON, VK_XBUTTON2}) {
        fake::setKeyState(button, Down);
        EXPECT_FALSE(freshTouchSwitches()) << button;
        const DesktopId stays = app.currentDesktop;
        fake::setKeyState(button, PressedSince);  // dropped at the edge
        poll();
        EXPECT_EQ(app.currentDesktop, stays);
        EXPECT_TRUE(freshTouchSwitches());  // a click since the last query is no drag
    }
}

TEST_F(TriggersTest, ARestSwitchesOnlyATouchThatLastsAndAsksWhatStopsTheEdgeWhenDue) {
    app.edgeDelay = 250;
    EXPECT_FALSE(freshTouchSwitches());
    fake::advanceClock(240);
    poll();
    EXPECT_EQ(app.currentDesktop, 1u);
    EXPECT_TRUE(fake::calls(Op::SHQueryUserNotificationState).empty());
    fake::advanceClock(10);
    poll();
    EXPECT_EQ(app.currentDesktop, 2u);
    EXPECT_EQ(fake::cursor(), at(1, 500));

    EXPECT_FALSE(freshTouchSwitches());
    fake::advanceClock(200);
    fake::setCursor(Width - 2, 500);  // away, and back: the rest starts again
    poll();
    fake::setCursor(Width - 1, 500);
    poll();
    fake::advanceClock(200);
    poll();
    EXPECT_EQ(app.currentDesktop, 2u);
    fake::advanceClock(50);
    poll();
    EXPECT_EQ(app.currentDesktop, 3u);

    app.edgeDelay = 1001;  // out of range: none
    EXPECT_TRUE(freshTouchSwitches());
}
