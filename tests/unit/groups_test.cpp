// A window and the windows it owns stand, hide and come back as one.
#include "engine_fixture.h"

using fake::Op;

class GroupTest : public EngineTest {
protected:
    HWND owner = nullptr;
    HWND other = nullptr;

    // Two windows filed under desktop 1, as at start-up.
    void SetUp() override {
        EngineTest::SetUp();
        owner = fake::addWindow(OtherProcess, "owner");
        other = fake::addWindow(OtherProcess, "other");
        captureDesktop();
        fake::clearLog();
    }

    HWND openDialog(HWND of, const char* title = "Save As") {
        HWND dialog = fake::addWindow(OtherProcess, title);
        fake::setOwner(dialog, of);
        return dialog;
    }
};

// A Goto takes new windows along, but not the new dialog of a window that
// stays behind: that one would leave its owner disabled behind nothing.
TEST_F(GroupTest, AGotoLeavesALateDialogBehindWithItsOwner) {
    HWND dialog = openDialog(owner);
    HWND late = fake::addWindow(OtherProcess, "late");
    switchDesktop(2, false);
    EXPECT_FALSE(fake::visibleAnswer(dialog));
    EXPECT_TRUE(fake::visibleAnswer(late));
    std::size_t hidden = 0, relabelled = 0;  // hidden with its owner, before desktop 2 begins
    for (std::size_t i = 0; i < fake::log().size(); ++i) {
        const fake::Call& c = fake::log()[i];
        if (c.op == Op::ShowWindow && c.target == dialog && c.arg == SW_HIDE) hidden = i;
        if (c.op == Op::ModifyMenuA) relabelled = i;
    }
    EXPECT_LT(hidden, relabelled);
    EXPECT_EQ(filed(2), std::vector<HWND>{late});
    switchDesktop(1, false);
    EXPECT_TRUE(fake::visibleAnswer(dialog) && fake::visibleAnswer(owner));
}

TEST_F(GroupTest, TheDialogOfAWindowOnEveryDesktopIsOnEveryDesktop) {
    fake::setForeground(owner);
    toggleForegroundOnEveryDesktop();
    HWND dialog = openDialog(owner);
    switchDesktopByKeyboard(2);
    switchDesktopByKeyboard(3);
    EXPECT_TRUE(fake::visibleAnswer(dialog) && fake::visibleAnswer(owner));
    EXPECT_FALSE(fake::visibleAnswer(other));
    EXPECT_EQ(filed(1), std::vector<HWND>{other});
}

// Its program opens a dialog for a window parked on desktop 1 while the
// user is on desktop 2: the dialog stands on desktop 1, hidden with it.
TEST_F(GroupTest, ADialogOfAParkedWindowStandsOnThatWindowsDesktop) {
    switchDesktop(2, false);
    HWND dialog = openDialog(owner, "Download finished");
    switchDesktopByKeyboard(3);
    EXPECT_FALSE(fake::visibleAnswer(dialog));
    EXPECT_NE(slotOf(dialog, 1), NoSlot);
    switchDesktop(1, false);
    EXPECT_TRUE(fake::visibleAnswer(dialog) && fake::visibleAnswer(owner));
}

TEST_F(GroupTest, ShowWindowBringsBackTheWholeGroup) {
    HWND dialog = openDialog(owner);
    captureDesktop();
    switchDesktop(2, false);
    rebuildRecallMenu();
    ASSERT_EQ(app.recallItems[0].window, owner);
    recallWindow(0, app.recallListVersion);
    EXPECT_TRUE(fake::visibleAnswer(dialog) && fake::visibleAnswer(owner));
    EXPECT_FALSE(fake::visibleAnswer(other));
    EXPECT_EQ(fake::shown(SW_RESTORE), std::vector<HWND>{owner});  // last, and on top
}

// Its program shows a parked window again, where the user is: the dialog
// Panorel hid with it comes too, and the two stand together from then on.
TEST_F(GroupTest, AParkedWindowItsProgramShowsBringsItsDialogsAlong) {
    HWND dialog = openDialog(owner);
    captureDesktop();
    switchDesktop(2, false);
    fake::setVisibleAnswer(owner, TRUE);
    switchDesktopByKeyboard(3);
    switchDesktop(2, false);
    EXPECT_TRUE(fake::visibleAnswer(owner) && fake::visibleAnswer(dialog));
    EXPECT_EQ(filed(1), std::vector<HWND>{other});
}

// Put back: what the show-all showed, with a dialog opened meanwhile ("Save
// changes?"); not a window its program had shown before the query.
TEST_F(GroupTest, ACancelledEndOfSessionPutsBackOnlyWhatTheShowAllShowed) {
    switchDesktop(2, false);
    fake::setVisibleAnswer(other, TRUE);
    showAllForEndOfSession();
    HWND question = openDialog(owner, "Save changes?");
    EXPECT_TRUE(resumeDesktops(app.endSessionQuery));
    EXPECT_FALSE(fake::visibleAnswer(owner));
    EXPECT_FALSE(fake::visibleAnswer(question));
    EXPECT_TRUE(fake::visibleAnswer(other));
}

// Each show activates: an owner shown after its dialog would come in front
// of the dialog that holds it disabled.
TEST_F(GroupTest, ARestartShowsEachGroupRootFirst) {
    HWND dialog = openDialog(other);
    captureDesktop();
    switchDesktop(2, false);
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) emptySlot(slot);
    fake::clearLog();
    recoverParkedWindows();
    EXPECT_EQ(fake::shown(SW_SHOW), (std::vector<HWND>{owner, other, dialog}));
}
