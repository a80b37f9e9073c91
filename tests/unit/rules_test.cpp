// Window rules: stored by hand or by the tab, matched once per window, and
// never over what the user chose.
#include "engine_fixture.h"
#include "settings/rules_store.h"
#include "viewer/desktop_cues.h"

#include <string>

using fake::Op;

namespace {

const std::string RulesPath = "HKLM\\Software\\Panorel\\Rules";
constexpr DWORD NotepadProcess = 400;

void storeRule(const std::string& name, const std::string& text, DWORD type = REG_SZ) {
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    fakereg::setValue(RulesPath, name, type, data);
}

}  // namespace

class RulesTest : public EngineTest {
protected:
    static void useRules(const std::vector<std::string>& texts) {
        for (std::size_t i = 0; i < texts.size(); ++i) storeRule("0" + std::to_string(i + 1), texts[i]);
        loadWindowRules();
    }

    HWND notepad = nullptr;
    HWND other = nullptr;

    void SetUp() override {
        EngineTest::SetUp();
        fake::setProcessImage(NotepadProcess, L"C:\\windows\\system32\\NotePad.EXE");
        fake::setProcessImage(OtherProcess, L"C:\\Program Files\\other.exe");
        notepad = fake::addWindow(NotepadProcess, "Untitled - Notepad");
        fake::setClassName(notepad, "Notepad");
        other = fake::addWindow(OtherProcess, "Notes about Notepad");
    }
};

TEST_F(RulesTest, HostileValuesAreIgnoredAndKeptAsStored) {
    const std::string longest = "||" + std::string(WindowRuleCharacters - 4, 'a') + "|1";
    const std::string tooLong = "||" + std::string(WindowRuleCharacters - 3, 'a') + "|1";
    storeRule("a1", "notepad.exe|||2", REG_EXPAND_SZ);
    storeRule("a2", "notepad.exe||2");
    storeRule("a3", "notepad.exe||||2");
    storeRule("a4", "notepad.exe|||5");
    storeRule("a5", "|||2");
    storeRule("a6", tooLong);
    storeRule("a7", "|Notepad||ALL");
    storeRule("a8", longest);
    loadWindowRules();
    ASSERT_EQ(app.windowRuleCount, 2u);
    EXPECT_EQ(app.windowRules[0].place, RulePlace::EveryDesktop);
    EXPECT_STREQ(app.windowRules[1].name, "a8");
    EXPECT_EQ(fakereg::valueNames(RulesPath).size(), 8u);
    EXPECT_EQ(fakereg::value(RulesPath, "a6")->data.size(), tooLong.size() + 1);
    EXPECT_EQ(fakereg::openHandles(), 0u);
}

// The registry hands values out in no order: the names give it, and only
// the first 64 count.
TEST_F(RulesTest, RulesAreTakenInTheOrderOfTheirNamesAtMost64) {
    for (unsigned i = 0; i < MaxWindowRules + 1; ++i) {
        storeRule("r" + std::string(i < 10 ? "0" : "") + std::to_string(i), "x.exe|||" + std::to_string(i % 4 + 1));
    }
    storeRule("R00", "|Notepad||none");
    loadWindowRules();
    ASSERT_EQ(app.windowRuleCount, MaxWindowRules);
    EXPECT_STREQ(app.windowRules[0].name, "r00");
    EXPECT_STREQ(app.windowRules[1].name, "R00");
    EXPECT_STREQ(app.windowRules[MaxWindowRules - 1].name, "r62");
}

// Program by its image's file name, class whole, title by a piece; all
// ignoring case. A process that cannot be asked matches no program rule.
TEST_F(RulesTest, ProgramClassAndTitleMatchIgnoringCase) {
    HWND unknown = fake::addWindow(OtherProcess + 1, "notepad.exe");
    HWND partClass = fake::addWindow(OtherProcess, "x");
    fake::setClassName(partClass, "Notepad2");
    HWND titled = fake::addWindow(OtherProcess, "my NOTES");
    useRules({"NOTEPAD.exe|||2", "|notepad||3", "||notes|4", "other.exe||Calendar|2"});
    captureDesktop();
    EXPECT_EQ(filed(2), std::vector<HWND>{notepad});
    EXPECT_EQ(filed(4), (std::vector<HWND>{other, titled}));
    EXPECT_TRUE(filed(3).empty());
    EXPECT_EQ(filed(1), (std::vector<HWND>{unknown, partClass}));
    EXPECT_FALSE(fake::visibleAnswer(notepad));
    EXPECT_EQ(fake::openProcessHandles(), 0u);
}

TEST_F(RulesTest, TheFirstRuleThatMatchesWins) {
    useRules({"||notepad|1", "notepad.exe|||3"});
    captureDesktop();
    EXPECT_EQ(filed(1), (std::vector<HWND>{notepad, other}));
}

// Once sent away, a window its program shows here again stays here; the
// light look between captures acts on a new window alone, and a handle
// reused by another window counts as a new window.
TEST_F(RulesTest, ARuleActsOncePerWindow) {
    useRules({"notepad.exe|||2"});
    captureDesktop();
    fake::setVisibleAnswer(notepad, TRUE);
    HWND later = fake::addWindow(NotepadProcess, "second");
    lookForNewWindows();
    EXPECT_TRUE(fake::visibleAnswer(notepad));
    EXPECT_FALSE(fake::visibleAnswer(later));
    captureDesktop();
    EXPECT_EQ(filed(1), (std::vector<HWND>{notepad, other}));
    fake::destroy(other);
    fake::reuseHandle(other, NotepadProcess);
    fake::setVisibleAnswer(other, TRUE);
    lookForNewWindows();
    EXPECT_EQ(filed(2), (std::vector<HWND>{other, later}));
}

// The user moved it before the rules looked at it, then brought it back
// from "Show Window": no rule takes it away again.
TEST_F(RulesTest, TheUserWins) {
    useRules({"other.exe|||1", "notepad.exe|||2"});
    captureDesktop();
    switchDesktop(2, false);
    HWND late = fake::addWindow(OtherProcess, "late");
    fake::setForeground(late);
    moveForegroundWindow(3);
    rebuildRecallMenu();
    ASSERT_EQ(app.recallItems[1].window, late);
    recallWindow(1, app.recallListVersion);
    lookForNewWindows();
    EXPECT_TRUE(fake::visibleAnswer(late));
    EXPECT_EQ(filed(1), std::vector<HWND>{other});
}

// A dialog is never matched by itself; one whose owner a rule sends away
// goes with it.
TEST_F(RulesTest, OwnedWindowsStandWithTheirOwner) {
    HWND find = fake::addWindow(NotepadProcess, "Find");
    fake::setOwner(find, notepad);
    HWND notesDialog = fake::addWindow(OtherProcess, "Notepad settings");
    fake::setOwner(notesDialog, other);
    useRules({"notepad.exe|||2", "||settings|3"});
    captureDesktop();
    EXPECT_EQ(filed(2), (std::vector<HWND>{notepad, find}));
    EXPECT_FALSE(fake::visibleAnswer(find));
    EXPECT_EQ(filed(1), (std::vector<HWND>{other, notesDialog}));
}

// "all" is the every-desktop list; "none" is never filed, so never hidden.
TEST_F(RulesTest, EveryDesktopAndUnmanagedWindowsStayOnTheScreen) {
    useRules({"notepad.exe|||all", "other.exe|||none"});
    captureDesktop();
    switchDesktopByKeyboard(2);
    EXPECT_TRUE(fake::visibleAnswer(notepad) && fake::visibleAnswer(other));
    EXPECT_TRUE(isOnEveryDesktop(notepad, app.everyDesktopWindows[0].owner));
    for (DesktopId d = 1; d <= DesktopCount; ++d) EXPECT_TRUE(filed(d).empty());
}

// A window that opens later is sent away with a notice naming it and where
// it went; the user stays here.
TEST_F(RulesTest, TheNoticeNamesAWindowARuleSentAway) {
    useRules({"notepad.exe|||3"});
    app.noticeWindow = fake::addWindow(OwnProcess);
    captureDesktop();
    fake::clearLog();
    HWND later = fake::addWindow(NotepadProcess, "Readme - Notepad");
    announceRuleMove(lookForNewWindows());
    EXPECT_EQ(app.currentDesktop, 1u);
    EXPECT_EQ(app.noticeDesktop, 3u);
    EXPECT_STREQ(app.noticeTitle, "Readme - Notepad");
    EXPECT_EQ(fake::calls(Op::PostMessageA).size(), 1u);
    EXPECT_FALSE(fake::visibleAnswer(later));
}

// OK writes the list as 01, 02, ...: the rules it replaces go, a value
// that never was a rule stays as it is stored.
TEST_F(RulesTest, SavingReplacesTheRulesAndKeepsWhatWasNotUnderstood) {
    storeRule("zz", "notepad.exe|||2");
    storeRule("bad", "notepad.exe|||9");
    storeRule("02", "not a rule");
    loadWindowRules();
    const char* const texts[] = {"|Notepad||none", "other.exe|||all"};
    EXPECT_TRUE(saveWindowRules(texts, 2));
    // A value not understood keeps its name and its data; the rules go round it.
    EXPECT_EQ(fakereg::valueNames(RulesPath), (std::vector<std::string>{"01", "02", "03", "bad"}));
    ASSERT_EQ(app.windowRuleCount, 2u);
    EXPECT_EQ(app.windowRulesNotUnderstood, 2u);
    EXPECT_EQ(app.windowRules[1].place, RulePlace::EveryDesktop);
    EXPECT_EQ(fakereg::openHandles(), 0u);
}
