#include "engine_fixture.h"
#include "viewer/triggers.h"

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

    static POINT at(LONG x, LONG y) { return POINT{x, y}; }
};

bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }

TEST_F(TriggersTest, AllKeysModeNeedsEverySelectedKeyAndStopsAtTheFirstOneUp) {
    app.keyMask = 0x01;  // left Control
    EXPECT_FALSE(rightEdgeSwitches());
    EXPECT_EQ(fake::queriedKeys(), std::vector<int>{VK_LCONTROL});
    EXPECT_TRUE(fake::calls(Op::GetCursorPos).empty());  // the pointer is not looked at

    fake::setKeyState(VK_LCONTROL, Down);
    EXPECT_TRUE(rightEdgeSwitches());

    app.keyMask = 0x09;  // both Control keys
    fake::setKeyState(VK_LCONTROL, 0);
    fake::setKeyState(VK_RCONTROL, Down);
    EXPECT_FALSE(rightEdgeSwitches());
    EXPECT_EQ(fake::queriedKeys(), std::vector<int>{VK_LCONTROL});  // right Control never asked

    fake::setKeyState(VK_LCONTROL, Down);
    fake::setKeyState(VK_RCONTROL, 0);
    EXPECT_FALSE(rightEdgeSwitches());
    EXPECT_EQ(fake::queriedKeys(), (std::vector<int>{VK_LCONTROL, VK_RCONTROL}));

    fake::setKeyState(VK_RCONTROL, DownAndPressedSince);
    EXPECT_TRUE(rightEdgeSwitches());
}

TEST_F(TriggersTest, EveryBitSelectsItsKeyInTableOrder) {
    app.keyMask = 0x3F;
    for (int vk : {VK_LCONTROL, VK_LMENU, VK_LSHIFT, VK_RCONTROL, VK_RMENU, VK_RSHIFT}) {
        fake::setKeyState(vk, Down);
    }
    EXPECT_TRUE(rightEdgeSwitches());
    EXPECT_EQ(fake::queriedKeys(),
              (std::vector<int>{VK_LCONTROL, VK_LMENU, VK_LSHIFT, VK_RCONTROL, VK_RMENU, VK_RSHIFT}));
}

TEST_F(TriggersTest, AnyKeyModeTakesTheFirstSelectedKeyThatCounts) {
    app.keyMask = 0x49;  // both Control keys, any-key mode
    EXPECT_FALSE(rightEdgeSwitches());
    EXPECT_EQ(fake::queriedKeys(), (std::vector<int>{VK_LCONTROL, VK_RCONTROL}));

    fake::setKeyState(VK_LCONTROL, Down);
    EXPECT_TRUE(rightEdgeSwitches());
    EXPECT_EQ(fake::queriedKeys(), std::vector<int>{VK_LCONTROL});  // the rest are not asked

    fake::setKeyState(VK_LCONTROL, 0);
    fake::setKeyState(VK_RCONTROL, Down);
    EXPECT_TRUE(rightEdgeSwitches());
}

TEST_F(TriggersTest, NoKeySelectedMeansEdgesAloneInAllKeysModeAndNeverInAnyKeyMode) {
    app.keyMask = 0;
    EXPECT_TRUE(rightEdgeSwitches());
    EXPECT_TRUE(fake::queriedKeys().empty());

    app.keyMask = AnyKeyModeBit;
    fake::setKeyState(VK_LCONTROL, Down);
    EXPECT_FALSE(rightEdgeSwitches());
    EXPECT_TRUE(fake::queriedKeys().empty());
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
    ASSERT_FALSE(log.empty());
    std::vector<Op> first;
    for (std::size_t i = 0; i < 5 && i < log.size(); ++i) first.push_back(log[i].op);
    EXPECT_EQ(first, (std::vector<Op>{Op::GetCursorPos, Op::GetSystemMetrics, Op::MonitorFromPoint,
                                      Op::SetCursorPos, Op::CheckMenuItem}));
    EXPECT_EQ(log[1].arg, SM_CXSCREEN);
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
