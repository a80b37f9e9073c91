#include "engine_fixture.h"
#include "viewer/frame_pacing.h"

#include <algorithm>

using fake::Op;

namespace {

bool asked(Op op, HWND w) {
    auto c = fake::calls(op);
    return std::any_of(c.begin(), c.end(), [w](const fake::Call& call) { return call.target == w; });
}

}  // namespace

class CaptureTest : public EngineTest {};

TEST_F(CaptureTest, TakesVisibleWindowsFrontMostFirstAndSkipsTheProgramAndTheShell) {
    HWND own = fake::addWindow(OwnProcess, "Options");
    HWND a = fake::addWindow(OtherProcess, "a");
    HWND hidden = fake::addWindow(OtherProcess, "hidden", FALSE);
    HWND b = fake::addWindow(OtherProcess, "");  // untitled windows are filed too

    captureDesktop();

    EXPECT_EQ(filed(1), (std::vector<HWND>{a, b}));
    EXPECT_EQ(app.captureCount, 2u);
    // The viewer, taskbar and "progman" are recognised by handle alone.
    for (HWND shell : {app.viewerWindow, app.taskbarWindow, app.progmanWindow}) {
        EXPECT_FALSE(asked(Op::GetWindowThreadProcessId, shell));
        EXPECT_FALSE(asked(Op::IsWindowVisible, shell));
    }
    // The program's own windows are left out before visibility is asked.
    EXPECT_TRUE(asked(Op::GetWindowThreadProcessId, own));
    EXPECT_FALSE(asked(Op::IsWindowVisible, own));
    EXPECT_FALSE(asked(Op::ShowWindow, hidden));
}

TEST_F(CaptureTest, AsksProcessThenVisibilityThenClassThenCloakingOfEachWindow) {
    HWND a = fake::addWindow(OtherProcess, "a");
    captureDesktop();
    std::vector<Op> forA;
    for (const fake::Call& c : fake::log()) {
        if (c.target == a) forA.push_back(c.op);
    }
    EXPECT_EQ(forA, (std::vector<Op>{Op::GetWindowThreadProcessId, Op::IsWindowVisible, Op::GetClassNameA,
                                     Op::DwmGetWindowAttribute}));
}

TEST_F(CaptureTest, NeverFilesAWindowOfTheShellsClassesWhateverItsHandle) {
    std::vector<HWND> shell;
    for (const char* name : {"Progman", "workerw", "SHELL_TRAYWND", "Shell_SecondaryTrayWnd"}) {
        shell.push_back(fake::addWindow(ShellProcess));
        fake::setClassName(shell.back(), name);
    }
    HWND lookalike = fake::addWindow(OtherProcess, "lookalike");
    fake::setClassName(lookalike, "Shell_TrayWnd2");
    HWND unreadable = fake::addWindow(OtherProcess, "unreadable");
    fake::setClassName(unreadable, "");
    HWND hidden = fake::addWindow(OtherProcess, "hidden", FALSE);

    captureDesktop();

    EXPECT_EQ(filed(1), (std::vector<HWND>{lookalike, unreadable}));
    EXPECT_FALSE(asked(Op::GetClassNameA, hidden));  // out of the running already
}

TEST_F(CaptureTest, SkipsCloakedWindowsButNotWhenTheCompositorCannotSay) {
    HWND cloaked = fake::addWindow(OtherProcess, "cloaked");
    fake::setCloaked(cloaked, 0, 2);
    HWND shown = fake::addWindow(OtherProcess, "shown");
    HWND unanswered = fake::addWindow(OtherProcess, "no compositor");
    fake::setCloaked(unanswered, static_cast<HRESULT>(0x80004001), 1);
    HWND own = fake::addWindow(OwnProcess, "Options");

    captureDesktop();

    EXPECT_EQ(filed(1), (std::vector<HWND>{shown, unanswered}));
    EXPECT_FALSE(asked(Op::DwmGetWindowAttribute, own));
}

TEST_F(CaptureTest, CountsVisibilityOnlyWhenTheAnswerIsExactlyOne) {
    fake::addWindow(OtherProcess, "two", 2);
    fake::addWindow(OtherProcess, "minus one", -1);
    HWND one = fake::addWindow(OtherProcess, "one", TRUE);
    captureDesktop();
    EXPECT_EQ(filed(1), std::vector<HWND>{one});
}

TEST_F(CaptureTest, StopsAtSixtyFourWithoutAskingForTheNextWindow) {
    std::vector<HWND> windows = fake::addWindows(OtherProcess, 70);
    HWND lastHanded = nullptr;
    fake::onEnumerate([&](HWND next) { lastHanded = next; });
    captureDesktop();

    EXPECT_EQ(filed(1), std::vector<HWND>(windows.begin(), windows.begin() + 64));
    EXPECT_EQ(app.captureCount, 64u);
    EXPECT_EQ(lastHanded, windows[63]);  // the enumeration was ended there
    EXPECT_FALSE(asked(Op::GetWindowThreadProcessId, windows[64]));
}

TEST_F(CaptureTest, RewritesOnlyTheCurrentRangeAndPacksItFromItsFirstSlot) {
    HWND a = fake::addWindow(OtherProcess, "a");
    HWND b = fake::addWindow(OtherProcess, "b", FALSE);
    const HWND stale[] = {reinterpret_cast<HWND>(std::uintptr_t{0xdead0}),
                          reinterpret_cast<HWND>(std::uintptr_t{0xdeae0})};
    table[3] = stale[0];  // desktop 1: a stale handle
    table[130] = b;       // desktop 3
    table[200] = stale[1];
    table[64 + 10] = a;   // a hole-ridden range of desktop 2, about to be rewritten
    app.currentDesktop = 2;

    captureDesktop();

    EXPECT_EQ(filed(2), std::vector<HWND>{a});
    EXPECT_EQ(table[64], a);
    EXPECT_EQ(table[3], stale[0]);
    EXPECT_EQ(table[130], b);
    EXPECT_EQ(table[200], stale[1]);
}

TEST_F(CaptureTest, EmptyZOrderEmptiesTheRangeAndStillRebuildsTheRecallMenu) {
    fake::reset();  // not even the viewer: the root has no child
    app.recallMenu = fake::createMenu();
    table[0] = reinterpret_cast<HWND>(std::uintptr_t{0xdead0});
    captureDesktop();
    EXPECT_TRUE(filed(1).empty());
    EXPECT_EQ(app.captureCount, 0u);
}

// Every hide and show of a switch restacks windows, and so do other
// programs: the walk keeps to the snapshot it began with.
TEST_F(CaptureTest, TakesOneSnapshotHoweverTheZOrderMovesDuringTheWalk) {
    HWND a = fake::addWindow(OtherProcess, "a");
    HWND b = fake::addWindow(OtherProcess, "b");
    HWND c = fake::addWindow(OtherProcess, "c");
    HWND d = fake::addWindow(OtherProcess, "d");
    fake::onEnumerate([&](HWND next) {
        if (next == a) fake::moveToBottom(a);  // a goes behind d while the walk runs
        if (next == b) fake::destroy(c);
        if (next == d) fake::moveToBottom(b);
    });
    captureDesktop();
    EXPECT_EQ(filed(1), (std::vector<HWND>{a, b, d}));  // each once, c asked and found dead
    EXPECT_EQ(fake::calls(Op::EnumWindows).size(), 1u);
}

// A parked window that its own program shows again belongs where the user
// sees it: it counts as a window opened there, and leaves the desktop it was
// parked on, and the record, at the capture that files it.
TEST_F(CaptureTest, AParkedWindowReshownByItsOwnProgramStandsOnOneDesktopOnly) {
    HWND parked = fake::addWindow(OtherProcess, "parked");
    captureDesktop();
    switchDesktop(2, false);
    fake::setVisibleAnswer(parked, TRUE);  // a notification clicked on desktop 2

    switchDesktop(3, false);  // moves with a Goto, as a window opened since would
    EXPECT_EQ(filed(3), std::vector<HWND>{parked});
    EXPECT_TRUE(filed(1).empty());
    expectInvariants();
    for (DesktopId d : {1u, 2u, 4u, 3u}) switchDesktop(d, false);
    EXPECT_TRUE(fake::visibleAnswer(parked));
    EXPECT_EQ(filed(3), std::vector<HWND>{parked});

    switchDesktop(1, true);
    fake::setVisibleAnswer(parked, TRUE);  // shown again on desktop 1
    switchDesktop(4, true);                // stays behind with an edge switch
    EXPECT_EQ(filed(1), std::vector<HWND>{parked});
    EXPECT_TRUE(filed(3).empty());
    EXPECT_FALSE(fake::visibleAnswer(parked));
    expectInvariants();

    // Seen by a capture, then hidden by its program again: off the record.
    fake::setVisibleAnswer(parked, TRUE);
    captureDesktop();
    fake::setVisibleAnswer(parked, FALSE);
    expectInvariants();
}

TEST_F(CaptureTest, ADestroyedWindowStaysUntilItsDesktopIsCapturedAgain) {
    HWND a = fake::addWindow(OtherProcess, "a");
    HWND b = fake::addWindow(OtherProcess, "b");
    captureDesktop();
    switchDesktop(2, false);
    fake::destroy(a);
    EXPECT_EQ(filed(1), (std::vector<HWND>{a, b}));
    switchDesktop(1, false);  // its dead handle goes to ShowWindow harmlessly
    EXPECT_EQ(filed(1), std::vector<HWND>{b});
}

// Where the system sends window events, the table follows at once: a parked
// window its program shows leaves its slot, so it is never Panorel's to
// show again once its program hides it; a destroyed window frees its slot.
TEST_F(CaptureTest, WindowEventsKeepTheTableTrueBetweenCaptures) {
    watchScreenChanges();
    HWND shown = fake::addWindow(OtherProcess, "shown");
    HWND closed = fake::addWindow(OtherProcess, "closed");
    HWND dialog = fake::addWindow(OtherProcess, "its dialog");
    fake::setOwner(dialog, shown);
    captureDesktop();
    switchDesktop(2, false);
    fake::setVisibleAnswer(shown, TRUE);
    fake::raiseWinEvent(EVENT_OBJECT_SHOW, shown);
    EXPECT_TRUE(fake::visibleAnswer(dialog));  // shown with it: the two are one
    fake::destroy(closed);
    fake::raiseWinEvent(EVENT_OBJECT_DESTROY, closed);
    EXPECT_TRUE(filed(1).empty());
    fake::setVisibleAnswer(shown, FALSE);
    fake::setVisibleAnswer(dialog, FALSE);
    switchDesktop(1, false);
    EXPECT_FALSE(fake::visibleAnswer(shown));
}
