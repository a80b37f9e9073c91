#include "engine_fixture.h"

#include <string>

using fake::Op;

class RecallTest : public EngineTest {
protected:
    // A titled window filed straight into a slot and parked there, on record.
    HWND park(unsigned slot, const std::string& title) {
        HWND w = fake::addWindow(OtherProcess, title);
        file(slot, w);
        markAboutToPark(slot);
        parkSlot(slot);
        writeParkedRecord();
        return w;
    }

    static void recall(unsigned position) { recallWindow(position, app.recallListVersion); }

    static std::vector<std::string> titles() {
        std::vector<std::string> texts;
        for (const fake::MenuItem& item : fake::menuItems(app.recallMenu)) texts.push_back(item.text);
        return texts;
    }

    static std::vector<UINT_PTR> ids() {
        std::vector<UINT_PTR> found;
        for (const fake::MenuItem& item : fake::menuItems(app.recallMenu)) found.push_back(item.id);
        return found;
    }
};

TEST_F(RecallTest, ListsTitledWindowsOfTheOtherDesktopsInSlotOrder) {
    app.currentDesktop = 3;
    park(200, "four");
    park(5, "one");
    park(130, "three, but current");
    park(70, "two");
    park(71, "");  // untitled windows are filed but never listed
    park(6, std::string(200, 'x'));
    park(7, std::string(126, 'x') + "\xC3\xA9");  // cut inside its last character
    park(8, "R&D\tnotes");

    rebuildRecallMenu();

    EXPECT_EQ(titles(), (std::vector<std::string>{"one", std::string(127, 'x'), std::string(126, 'x'),
                                                  "R&&D notes", "two", "four"}));
    EXPECT_EQ(ids(), (std::vector<UINT_PTR>{2400, 2401, 2402, 2403, 2404, 2405}));
    EXPECT_EQ(app.recallItemCount, 6u);
    for (const fake::MenuItem& item : fake::menuItems(app.recallMenu)) EXPECT_EQ(item.flags, MF_STRING);
    for (const fake::Call& c : fake::calls(Op::GetWindowTextA)) EXPECT_EQ(c.arg, 128);
}

TEST_F(RecallTest, NoWindowsStandsAloneAndEachRebuildRemovesExactlyWhatTheLastAdded) {
    park(64 + 3, "");
    rebuildRecallMenu();
    EXPECT_EQ(titles(), std::vector<std::string>{"No Windows"});
    EXPECT_EQ(ids(), std::vector<UINT_PTR>{2399});
    EXPECT_EQ(app.recallItemCount, 1u);
    EXPECT_TRUE(fake::calls(Op::RemoveMenu).empty());

    park(64, "a");
    park(128, "b");
    park(192, "c");
    fake::clearLog();
    rebuildRecallMenu();
    EXPECT_EQ(fake::calls(Op::RemoveMenu).size(), 1u);
    EXPECT_EQ(titles(), (std::vector<std::string>{"a", "b", "c"}));

    for (unsigned slot : {64u, 128u, 192u}) emptySlot(slot);
    fake::clearLog();
    rebuildRecallMenu();
    auto removals = fake::calls(Op::RemoveMenu);
    EXPECT_EQ(removals.size(), 3u);
    for (const fake::Call& c : removals) EXPECT_EQ(c.arg, 0);  // always the first item
    EXPECT_EQ(titles(), std::vector<std::string>{"No Windows"});
}

// A window its program showed again, or a handle that now names another
// program's window, would be an item that brings back nothing.
TEST_F(RecallTest, ListsOnlyWindowsStillParked) {
    HWND shownAgain = park(64, "shown again");
    HWND reused = park(65, "reused");
    park(66, "parked");
    fake::setVisibleAnswer(shownAgain, TRUE);
    fake::reuseHandle(reused, OtherProcess + 1, "another program's");
    rebuildRecallMenu();
    EXPECT_EQ(titles(), std::vector<std::string>{"parked"});
    emptySlot(64);  // as the next capture would
    writeParkedRecord();
}

TEST_F(RecallTest, AStaleTitleNeverLeaksIntoALaterRead) {
    park(64, "titled");
    HWND gone = park(65, "destroyed since");
    fake::destroy(gone);  // a dead handle leaves the buffer untouched
    rebuildRecallMenu();
    EXPECT_EQ(titles(), std::vector<std::string>{"titled"});

    recall(1);  // the dead window is not counted, so there is no second one
    EXPECT_TRUE(fake::shown(SW_RESTORE).empty());
    EXPECT_EQ(table[65], gone);
}

TEST_F(RecallTest, RecallRestoresTheWindowOntoTheCurrentDesktopAndRenumbers) {
    HWND a = park(64, "a");
    HWND b = park(65, "b");
    HWND c = park(66, "c");
    fake::setShowState(b, fake::ShowState::Maximized);
    rebuildRecallMenu();
    fake::clearLog();

    recall(1);

    EXPECT_EQ(fake::shown(SW_RESTORE), std::vector<HWND>{b});
    EXPECT_TRUE(fake::visibleAnswer(b));
    EXPECT_EQ(fake::showState(b), fake::ShowState::Normal);
    EXPECT_EQ(filed(2), (std::vector<HWND>{a, c}));
    EXPECT_EQ(table[65], nullptr);  // a hole, left until desktop 2 is captured again
    EXPECT_EQ(titles(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(ids(), (std::vector<UINT_PTR>{2400, 2401}));

    fake::clearLog();
    recall(2);  // past the last listed window
    EXPECT_TRUE(fake::shown(SW_RESTORE).empty());
    EXPECT_TRUE(fake::calls(Op::RemoveMenu).empty());  // and no rebuild
}

// An item names the slot, window and owner it was built from, never a
// position among whatever is listable when it is chosen.
TEST_F(RecallTest, AnItemBringsBackTheWindowItNamesOrNothing) {
    HWND a = park(64, "a");
    HWND b = park(65, "b");
    HWND c = park(66, "c");
    park(67, "d");
    rebuildRecallMenu();  // a b c d

    fake::destroy(a);
    recall(1);  // still "b"
    EXPECT_EQ(fake::shown(SW_RESTORE), std::vector<HWND>{b});
    EXPECT_EQ(titles(), (std::vector<std::string>{"c", "d"}));

    fake::reuseHandle(c, OtherProcess + 1, "another program's");  // c's handle, a new owner
    fake::clearLog();
    recall(0);
    EXPECT_TRUE(fake::calls(Op::ShowWindow).empty());
    EXPECT_EQ(table[66], nullptr);  // dropped, and the list built afresh
    EXPECT_EQ(titles(), std::vector<std::string>{"d"});
}

// A choice that waited behind a switch carries the list it was chosen from:
// once the switch has changed the list, its position names another window.
TEST_F(RecallTest, AChoiceFromAListThatHasChangedBringsBackNothing) {
    park(64, "a");
    HWND b = park(65, "b");
    rebuildRecallMenu();
    const DWORD chosenFrom = app.recallListVersion;
    rebuildRecallMenu();  // the same items: still the same list
    EXPECT_EQ(app.recallListVersion, chosenFrom);

    fake::addWindow(OtherProcess, "opened on desktop 1");
    switchDesktop(3, true);  // desktop 1's window is listed first now
    fake::clearLog();
    recallWindow(1, chosenFrom);
    EXPECT_TRUE(fake::calls(Op::ShowWindow).empty());
    recall(2);
    EXPECT_EQ(fake::shown(SW_RESTORE), std::vector<HWND>{b});
}

TEST_F(RecallTest, EveryCaptureRebuildsTheMenu) {
    fake::addWindow(OtherProcess, "on desktop 1");
    captureDesktop();
    EXPECT_EQ(titles(), std::vector<std::string>{"No Windows"});
    switchDesktop(2, true);
    EXPECT_EQ(titles(), std::vector<std::string>{"on desktop 1"});
}
