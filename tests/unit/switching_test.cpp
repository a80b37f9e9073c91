#include "engine_fixture.h"
#include "viewer/triggers.h"

#include <algorithm>

using fake::Op;

class SwitchingTest : public EngineTest {
protected:
    std::vector<HWND> desktop1;

    // Three windows filed under desktop 1, as at start-up.
    void SetUp() override {
        EngineTest::SetUp();
        desktop1 = fake::addWindows(OtherProcess, 3);
        captureDesktop();
        fake::clearLog();
    }

    static std::string label() { return fake::menuItems(app.viewerMenu)[0].text; }
};

TEST_F(SwitchingTest, GotoRunsEveryStepInOrder) {
    switchDesktop(3, false);

    // Check marks, gather each group, hide the left desktop, relabel, show
    // the entered one, restore the viewer, then capture (which starts with
    // the z-order walk).
    std::vector<Op> ops;
    for (const fake::Call& c : fake::log()) {
        // The owners asked before each hide and show and for the record, the
        // window with the focus,
        // and whether each window is on the screen; what the group walk asks.
        if (c.op == Op::GetWindowThreadProcessId || c.op == Op::GetForegroundWindow ||
            c.op == Op::IsWindowVisible || c.op == Op::GetClassNameA || c.op == Op::DwmGetWindowAttribute ||
            c.op == Op::GetAncestor) {
            continue;
        }
        if (ops.empty() || ops.back() != c.op) ops.push_back(c.op);
    }
    std::vector<Op> expected = {Op::CheckMenuItem, Op::EnumWindows, Op::ShowWindow, Op::ModifyMenuA,
                                Op::ShowWindow,    Op::EnumWindows};
    ASSERT_GE(ops.size(), expected.size());
    EXPECT_EQ(std::vector<Op>(ops.begin(), ops.begin() + 6), expected);

    auto checks = fake::calls(Op::CheckMenuItem);
    ASSERT_EQ(checks.size(), 2u);
    EXPECT_EQ(checks[0].arg, 49);
    EXPECT_EQ(checks[1].arg, 51);
    EXPECT_EQ(fake::shown(SW_HIDE), desktop1);
    EXPECT_EQ(fake::shown(SW_SHOWNOACTIVATE), std::vector<HWND>{app.viewerWindow});
    auto relabel = fake::calls(Op::ModifyMenuA);
    ASSERT_EQ(relabel.size(), 1u);
    EXPECT_EQ(relabel[0].arg, 0);  // position 0
    EXPECT_EQ(fake::menuItems(app.viewerMenu)[0].flags, MF_BYPOSITION | MF_GRAYED | MF_STRING);
    EXPECT_EQ(label(), "Desktop #3");
    EXPECT_EQ(app.currentDesktop, 3u);
    EXPECT_EQ(checkedGotoIds(), std::vector<UINT_PTR>{51});
    for (HWND w : desktop1) EXPECT_FALSE(fake::visibleAnswer(w));
    EXPECT_EQ(filed(1), desktop1);  // hiding leaves the slots as they were
    EXPECT_TRUE(filed(3).empty());
}

TEST_F(SwitchingTest, EdgeFormCapturesTheDesktopBeingLeftFirst) {
    switchDesktop(4, true);
    auto ops = fake::log();
    ASSERT_GE(ops.size(), 3u);
    EXPECT_EQ(ops[0].op, Op::CheckMenuItem);
    EXPECT_EQ(ops[1].op, Op::CheckMenuItem);
    EXPECT_EQ(ops[2].op, Op::EnumWindows);  // the capture before hiding
    EXPECT_EQ(label(), "Desktop #4");
    EXPECT_EQ(checkedGotoIds(), std::vector<UINT_PTR>{52});
}

TEST_F(SwitchingTest, ExactlyOneCheckMarkFollowsTheCurrentDesktop) {
    switchDesktop(2, true);
    EXPECT_EQ(checkedGotoIds(), std::vector<UINT_PTR>{50});
    switchDesktop(3, false);
    EXPECT_EQ(checkedGotoIds(), std::vector<UINT_PTR>{51});
    switchDesktop(1, false);
    EXPECT_EQ(checkedGotoIds(), std::vector<UINT_PTR>{49});
    EXPECT_EQ(label(), "Desktop #1");
}

TEST_F(SwitchingTest, GotoTheCurrentDesktopHidesAndShowsItAgain) {
    switchDesktop(1, false);
    EXPECT_EQ(fake::shown(SW_HIDE), desktop1);
    EXPECT_EQ(fake::shown(SW_SHOWNA), std::vector<HWND>(desktop1.rbegin(), desktop1.rend()));
    EXPECT_EQ(fake::shown(SW_SHOWNOACTIVATE), std::vector<HWND>{app.viewerWindow});
    EXPECT_EQ(label(), "Desktop #1");
    EXPECT_EQ(checkedGotoIds(), std::vector<UINT_PTR>{49});
    EXPECT_EQ(filed(1), desktop1);
}

// A window activated as it is shown goes on top: shown front-most first, the
// desktop would come back upside down with the back-most focused.
TEST_F(SwitchingTest, ReturningKeepsTheOrderAndStateAndFocusesTheWindowThatHadIt) {
    fake::setShowState(desktop1[2], fake::ShowState::Minimized);
    fake::setForeground(desktop1[1]);  // the user works in it: it is on top
    switchDesktop(2, true);
    fake::setForeground(app.viewerWindow);  // as the tray menu leaves it
    fake::clearLog();
    switchDesktop(1, false);

    EXPECT_EQ(fake::shown(SW_SHOWNA), (std::vector<HWND>{desktop1[2], desktop1[0], desktop1[1]}));
    EXPECT_EQ(fake::foreground(), desktop1[1]);
    std::vector<HWND> order;
    for (HWND w : fake::zOrder()) {
        if (std::count(desktop1.begin(), desktop1.end(), w) > 0) order.push_back(w);
    }
    EXPECT_EQ(order, (std::vector<HWND>{desktop1[1], desktop1[0], desktop1[2]}));
    for (HWND w : desktop1) EXPECT_TRUE(fake::visibleAnswer(w));
    EXPECT_EQ(fake::showState(desktop1[2]), fake::ShowState::Minimized);
}

// Left with the viewer, Enter or a typed key would reach Panorel.
TEST_F(SwitchingTest, EnteringAnEmptyDesktopFocusesTheShellNeverTheViewer) {
    fake::setForeground(app.viewerWindow);  // as the tray menu leaves it
    switchDesktop(2, false);
    EXPECT_EQ(fake::foreground(), app.progmanWindow);
}

TEST_F(SwitchingTest, AWindowOpenedSinceTheLastCaptureStaysBehindOnAnEdgeSwitch) {
    HWND late = fake::addWindow(OtherProcess, "late");
    switchDesktop(2, true);
    EXPECT_FALSE(fake::visibleAnswer(late));
    EXPECT_EQ(filed(1).back(), late);
    EXPECT_TRUE(filed(2).empty());
}

TEST_F(SwitchingTest, AWindowOpenedSinceTheLastCaptureMovesWithAGotoSwitch) {
    HWND late = fake::addWindow(OtherProcess, "late");
    switchDesktop(2, false);
    EXPECT_TRUE(fake::visibleAnswer(late));
    EXPECT_EQ(filed(1), desktop1);
    EXPECT_EQ(filed(2), std::vector<HWND>{late});

    switchDesktop(1, false);  // and it is parked with desktop 2
    EXPECT_FALSE(fake::visibleAnswer(late));
}

// A desktop is what Panorel hid: a window its own program hid (closed to its
// tray icon) is its program's to bring back, whichever way the user leaves.
TEST_F(SwitchingTest, AWindowItsProgramHidStaysHiddenThroughSwitchesAndExit) {
    HWND hiddenByOwner = desktop1[0];
    fake::setVisibleAnswer(hiddenByOwner, FALSE);
    switchDesktop(2, false);
    switchDesktop(1, false);
    EXPECT_FALSE(fake::visibleAnswer(hiddenByOwner));
    EXPECT_EQ(filed(1), std::vector<HWND>(desktop1.begin() + 1, desktop1.end()));

    fake::setVisibleAnswer(desktop1[1], FALSE);
    showAllDesktops();  // Exit
    EXPECT_FALSE(fake::visibleAnswer(hiddenByOwner));
    EXPECT_FALSE(fake::visibleAnswer(desktop1[1]));
}

// Windows does not let a program hide the window of one with higher rights,
// yet answers as if it had: such a window is not parked, and the next
// capture files it where the user is.
TEST_F(SwitchingTest, AWindowThatStaysOnTheScreenIsNotParked) {
    fake::refuseHides(desktop1[1]);
    fake::setForeground(desktop1[1]);
    moveForegroundWindow(3);
    EXPECT_TRUE(filed(3).empty());
    expectInvariants();
    switchDesktop(2, false);
    EXPECT_EQ(filed(1), (std::vector<HWND>{desktop1[0], desktop1[2]}));
    EXPECT_EQ(filed(2), std::vector<HWND>{desktop1[1]});
    expectInvariants();
}

TEST_F(SwitchingTest, EverySwitchRestoresAHiddenViewer) {
    ws::ShowWindow(app.viewerWindow, SW_HIDE);
    switchDesktop(2, true);
    EXPECT_TRUE(fake::visibleAnswer(app.viewerWindow));
}

TEST_F(SwitchingTest, ShowAllDesktopsShowsEveryParkedWindowInSlotOrder) {
    switchDesktop(2, false);
    HWND on2 = fake::addWindow(OtherProcess, "on 2");
    switchDesktop(3, true);
    HWND on3 = fake::addWindow(OtherProcess, "on 3");
    switchDesktop(4, true);
    fake::clearLog();

    showAllDesktops();

    std::vector<HWND> expected = desktop1;
    expected.push_back(on2);
    expected.push_back(on3);
    EXPECT_EQ(fake::shown(SW_SHOW), expected);
    EXPECT_EQ(app.currentDesktop, 4u);
    for (HWND w : expected) EXPECT_TRUE(fake::visibleAnswer(w));
}

// Windows gives a destroyed window's handle to a later window, here a tray
// program's hidden one: no switch or Exit may show it.
TEST_F(SwitchingTest, AHandleGivenToAnotherProgramsWindowIsDroppedAndNeverShown) {
    switchDesktop(2, false);
    fake::reuseHandle(desktop1[1], OtherProcess + 1, "tray program");
    switchDesktop(1, false);
    showAllDesktops();
    EXPECT_FALSE(fake::visibleAnswer(desktop1[1]));
    EXPECT_EQ(filed(1), (std::vector<HWND>{desktop1[0], desktop1[2]}));
}

TEST_F(SwitchingTest, MovingSendsTheForegroundWindowHiddenToAnotherDesktopUnlessItMayNot) {
    fake::setForeground(desktop1[0]);
    moveForegroundWindow(3);
    EXPECT_FALSE(fake::visibleAnswer(desktop1[0]));
    EXPECT_EQ(filed(3), std::vector<HWND>{desktop1[0]});
    EXPECT_EQ(filed(1), (std::vector<HWND>{desktop1[1], desktop1[2]}));
    EXPECT_EQ(fake::foreground(), desktop1[1]);  // the user stays, working in the next window
    EXPECT_EQ(fake::menuItems(app.recallMenu)[0].text, "window 0");

    for (unsigned slot = desktopRangeStart(4); slot < desktopRangeStart(4) + SlotsPerDesktop; ++slot) {
        file(slot, fake::addWindow(OtherProcess, "full", FALSE));
    }
    fake::clearLog();
    moveForegroundWindow(4);  // full
    moveForegroundWindow(1);  // already here
    fake::setForeground(app.viewerWindow);
    moveForegroundWindow(2);  // Panorel's own
    EXPECT_EQ(fake::calls(Op::MessageBeep).size(), 1u);
    EXPECT_TRUE(fake::calls(Op::ShowWindow).empty());

    switchDesktop(3, false);
    EXPECT_TRUE(fake::visibleAnswer(desktop1[0]));
}

// The user worked in C, opened since the last capture, then in B, and moves
// B away: the focus goes to C, not to A, front-most at that capture; never
// to the viewer or to a window of another desktop its program showed.
TEST_F(SwitchingTest, AfterAMoveTheFocusGoesToTheNextWindowHereInTheStackingOrder) {
    HWND c = fake::addWindow(OtherProcess, "C");
    HWND elsewhere = fake::addWindow(OtherProcess, "on desktop 2");
    file(desktopRangeStart(2), elsewhere);
    fake::setForeground(c);
    fake::setForeground(elsewhere);
    fake::setForeground(app.viewerWindow);
    fake::setForeground(desktop1[1]);
    moveForegroundWindow(3);
    EXPECT_EQ(fake::foreground(), c);
    EXPECT_EQ(fake::calls(Op::EnumWindows).size(), 2u);  // the group's, then the focus's
}

// A dialog active when the keys are pressed takes its owner along, with
// everything the owner owns, directly or not, and visible: hidden together,
// filed together, shown together. "Every desktop" takes the same group.
TEST_F(SwitchingTest, AMoveTakesTheWholeWindowGroup) {
    HWND owner = desktop1[0];
    HWND palette = fake::addWindow(OtherProcess, "palette");
    HWND dialog = fake::addWindow(OtherProcess, "Save As");
    HWND hiddenTip = fake::addWindow(OtherProcess, "tip", FALSE);
    HWND findBox = fake::addWindow(OtherProcess, "Find");
    fake::setOwner(palette, owner);
    fake::setOwner(dialog, owner);
    fake::setOwner(hiddenTip, owner);
    fake::setOwner(findBox, dialog);
    fake::setForeground(owner);
    fake::setForeground(dialog);
    const std::vector<HWND> group = {dialog, owner, palette, findBox};  // front-most first

    moveForegroundWindow(2);
    EXPECT_EQ(filed(2), group);
    EXPECT_EQ(filed(1), (std::vector<HWND>{desktop1[1], desktop1[2]}));
    for (HWND w : group) EXPECT_FALSE(fake::visibleAnswer(w));
    EXPECT_EQ(fake::foreground(), desktop1[1]);

    switchDesktop(2, false);
    for (HWND w : group) EXPECT_TRUE(fake::visibleAnswer(w));
    fake::setForeground(findBox);
    toggleForegroundOnEveryDesktop();
    switchDesktop(1, true);
    for (HWND w : group) EXPECT_TRUE(fake::visibleAnswer(w));
    EXPECT_TRUE(filed(2).empty());
}

// The foreground lock of an edge switch: Windows refuses, one key event of
// an unassigned key makes Panorel the last to have sent input, and the
// second try lands. A first try that lands sends nothing.
TEST_F(SwitchingTest, ARefusedForegroundIsRetriedOnceAfterOneInputEvent) {
    switchDesktop(2, true);
    EXPECT_TRUE(fake::sentInput().empty());
    fake::armForegroundLock();
    fake::clearLog();
    switchDesktop(1, true);
    EXPECT_EQ(fake::foreground(), desktop1[0]);
    ASSERT_EQ(fake::sentInput().size(), 1u);
    const INPUT& sent = fake::sentInput()[0];
    EXPECT_EQ(sent.type, INPUT_KEYBOARD);
    EXPECT_EQ(sent.ki.dwFlags, KEYEVENTF_KEYUP);
    EXPECT_EQ(fake::calls(Op::SetForegroundWindow).size(), 2u);
}

TEST_F(SwitchingTest, AWindowOnEveryDesktopStaysThroughSwitchesUntilToggledBack) {
    fake::setForeground(desktop1[1]);
    toggleForegroundOnEveryDesktop();
    switchDesktop(2, true);
    EXPECT_TRUE(fake::visibleAnswer(desktop1[1]));
    EXPECT_TRUE(filed(2).empty());
    EXPECT_EQ(fake::menuItems(app.recallMenu).size(), 2u);  // the other two only
    fake::setForeground(desktop1[1]);
    toggleForegroundOnEveryDesktop();  // back on desktop 2 alone
    switchDesktop(1, false);
    EXPECT_FALSE(fake::visibleAnswer(desktop1[1]));

    std::vector<HWND> many = fake::addWindows(OtherProcess, EveryDesktopCapacity + 1);
    for (HWND w : many) {
        fake::setForeground(w);
        toggleForegroundOnEveryDesktop();
    }
    EXPECT_EQ(fake::calls(Op::MessageBeep).size(), 1u);  // the list holds 16
    fake::destroy(many[0]);
    toggleForegroundOnEveryDesktop();  // a destroyed one has given up its place
    switchDesktop(2, true);            // which files what is not on every desktop, and hides it
    for (auto w = many.begin() + 1; w != many.end(); ++w) EXPECT_TRUE(fake::visibleAnswer(*w));
}

// While a hide waits for another program, messages sent to the viewer run:
// an edge poll or a Goto started there would capture a half-hidden desktop
// and leave the windows already hidden filed nowhere.
TEST_F(SwitchingTest, NothingStartsInsideAStalledSwitch) {
    constexpr int ScreenWidth = 1920;  // the simulated screen's
    bool stalled = false;
    fake::onShowWindow([&](HWND window, int showCommand) {
        if (stalled || window != desktop1[1] || showCommand != SW_HIDE) return;
        stalled = true;
        fake::setCursor(ScreenWidth - 1, 500);  // key mask 0: the edge alone switches
        pollSwitchTriggers(app.viewerWindow);
        switchDesktop(3, false);
    });
    switchDesktop(2, false);

    ASSERT_TRUE(stalled);
    EXPECT_TRUE(fake::calls(Op::SetCursorPos).empty());
    EXPECT_EQ(app.currentDesktop, 2u);
    for (HWND w : desktop1) {
        EXPECT_TRUE(fake::visibleAnswer(w) || std::count(table, table + WindowTableSlots, w) > 0);
    }
    EXPECT_EQ(filed(1), desktop1);
}
