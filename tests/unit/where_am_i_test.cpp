#include "engine_fixture.h"
#include "settings/settings.h"
#include "viewer/desktop_cues.h"

#include <cstring>
#include <string>

using fake::Op;

namespace {

const std::string SettingsPath = "HKLM\\Software\\Panorel";

std::vector<BYTE> bytes(const std::string& text) { return std::vector<BYTE>(text.begin(), text.end()); }
std::vector<BYTE> terminated(const std::string& text) {
    std::vector<BYTE> data = bytes(text);
    data.push_back(0);
    return data;
}

HICON digitIcon(DesktopId d) { return reinterpret_cast<HICON>(static_cast<std::uintptr_t>(0x7000 + d)); }

}  // namespace

class WhereAmITest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        app.programIcon = reinterpret_cast<HICON>(static_cast<std::uintptr_t>(0x7005));
        for (DesktopId d = 1; d <= DesktopCount; ++d) app.trayDigitIcons[d - 1] = digitIcon(d);
        app.noticeWindow = fake::addWindow(OwnProcess);
    }

    static unsigned noticesPosted() {
        unsigned count = 0;
        for (const fake::Call& c : fake::calls(Op::PostMessageA)) count += c.target == app.noticeWindow;
        return count;
    }
};

TEST_F(WhereAmITest, AHostileNameReadsAsBlankAndStaysAsStoredUntilTheUserNamesThatDesktop) {
    fakereg::setDword(SettingsPath, "xpos", 0);
    const std::string longest = "Bür" + std::string(28, 'o') + "\xE2\x82\xAC";  // 32 characters, 35 bytes
    fakereg::setValue(SettingsPath, "desktopname1", REG_SZ, terminated(longest));
    fakereg::setValue(SettingsPath, "desktopname2", REG_SZ, terminated(longest + "x"));  // 33 characters
    fakereg::setValue(SettingsPath, "desktopname3", REG_SZ, bytes("Mail"));               // unterminated
    fakereg::setValue(SettingsPath, "desktopname4", REG_DWORD, {'M', 0, 0, 0});
    loadSettings();
    EXPECT_EQ(std::string(desktopName(1)), longest);
    for (DesktopId d = 2; d <= 4; ++d) EXPECT_STREQ(desktopName(d), "") << d;
    fakereg::setValue(SettingsPath, "desktopname2", REG_SZ, terminated("\xC3\x28"));  // broken UTF-8
    loadSettings();
    EXPECT_STREQ(desktopName(2), "");

    std::strcpy(app.desktopNames[3 - 1], "Work");
    app.editedDesktopSettings = editedName(3);
    saveSettings();
    EXPECT_EQ(fakereg::value(SettingsPath, "desktopname3")->data, terminated("Work"));
    EXPECT_EQ(fakereg::value(SettingsPath, "desktopname2")->data, terminated("\xC3\x28"));
    EXPECT_EQ(fakereg::value(SettingsPath, "desktopname4")->type, REG_DWORD);
    EXPECT_EQ(fakereg::value(SettingsPath, "showflags"), nullptr);
}

TEST_F(WhereAmITest, TheTrayShowsTheCurrentDesktopsDigitAndNameAndWithoutItTheProgramsIcon) {
    switchDesktop(3, false);
    ASSERT_EQ(fake::calls(Op::Shell_NotifyIconA).size(), 1u);
    EXPECT_EQ(fake::calls(Op::Shell_NotifyIconA)[0].target, digitIcon(3));
    EXPECT_EQ(fake::calls(Op::Shell_NotifyIconA)[0].arg, static_cast<std::intptr_t>(NIM_MODIFY));
    EXPECT_STREQ(fake::trayIcon().szTip, "Change Panorel\nDesktop 3");
    EXPECT_STREQ(app.desktopLabel, "Desktop #3");

    std::strcpy(app.desktopNames[1], "Mail");
    switchDesktop(2, false);
    EXPECT_EQ(fake::trayIcon().hIcon, digitIcon(2));
    EXPECT_STREQ(fake::trayIcon().szTip, "Change Panorel\nDesktop 2 - Mail");
    EXPECT_STREQ(app.desktopLabel, "Desktop #2 - Mail");

    app.showFlags = NoTrayDigitFlag;
    fake::clearLog();
    switchDesktop(1, false);
    EXPECT_TRUE(fake::calls(Op::Shell_NotifyIconA).empty());
    fillTrayPicture();
    EXPECT_EQ(app.trayIconData.hIcon, app.programIcon);
    EXPECT_STREQ(app.trayIconData.szTip, "Change Panorel");
}

TEST_F(WhereAmITest, AQuickRunOfSwitchesRestartsTheOneNoticeOnTheLatestDesktop) {
    onViewerWheel(-120);
    ASSERT_EQ(app.currentDesktop, 2u);
    for (unsigned t = 0; t < NoticeHoldTicks + 2; ++t) noticeTick();
    EXPECT_LT(noticeTick(), NoticeOpaque);  // fading
    onViewerWheel(-120);
    EXPECT_EQ(app.noticeDesktop, 3u);
    EXPECT_EQ(noticesPosted(), 2u);
    for (unsigned t = 0; t < NoticeHoldTicks; ++t) EXPECT_EQ(noticeTick(), NoticeOpaque) << t;
    for (unsigned t = 1; t < NoticeFadeTicks; ++t) EXPECT_GT(noticeTick(), 0) << t;
    EXPECT_EQ(noticeTick(), 0);

    switchDesktop(1, false);  // chosen from a menu: no notice
    app.showFlags = NoSwitchNoticeFlag;
    onViewerWheel(-120);
    EXPECT_EQ(app.currentDesktop, 2u);
    EXPECT_EQ(noticesPosted(), 2u);
}

TEST_F(WhereAmITest, TheWheelTowardsTheUserIsTheNextDesktopAndFineStepsAddUpToANotch) {
    onViewerWheel(120);
    EXPECT_EQ(app.currentDesktop, 4u);  // away from the user, wrapping
    for (int step = 0; step < 3; ++step) onViewerWheel(-30);
    EXPECT_EQ(app.currentDesktop, 4u);
    onViewerWheel(-30);
    EXPECT_EQ(app.currentDesktop, 1u);
    onViewerWheel(-90);
    onViewerWheel(60);  // turned back: the fine steps so far count for nothing
    onViewerWheel(60);
    EXPECT_EQ(app.currentDesktop, 4u);
}
