#include "engine_fixture.h"
#include "fake_registry.h"

#include <utility>

using fake::Op;

namespace {

const std::string RecordKey = "HKCU\\Software\\Panorel\\Session";
const std::string ParentKey = "HKCU\\Software\\Panorel";
constexpr char RecordValue[] = "parked";
constexpr DWORD ThirdProcess = 400;

// Each window as its handle and process id, two little-endian 32-bit words.
std::vector<BYTE> recordOf(const std::vector<std::pair<HWND, DWORD>>& windows) {
    std::vector<BYTE> data;
    for (const auto& w : windows) {
        auto handle = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(w.first));
        for (DWORD word : {handle, w.second}) {
            for (int i = 0; i < 4; ++i) data.push_back(static_cast<BYTE>(word >> (8 * i)));
        }
    }
    return data;
}

std::vector<BYTE> stored() {
    const fakereg::Value* v = fakereg::value(RecordKey, RecordValue);
    if (v == nullptr || v->type != REG_BINARY) return {0xBA, 0xD0};
    return v->data;
}

}  // namespace

class ParkedRecordTest : public EngineTest {};

TEST_F(ParkedRecordTest, ListsTheOtherDesktopsLiveWindowsAfterEverySwitchAndRecall) {
    HWND a = fake::addWindow(OtherProcess, "a");
    HWND b = fake::addWindow(ThirdProcess, "b");
    HWND toTray = fake::addWindow(OtherProcess, "closed to the tray");
    captureDesktop();
    fake::setVisibleAnswer(toTray, FALSE);  // its own program hid it: not Panorel's to bring back
    switchDesktop(2, false);
    HWND c = fake::addWindow(OtherProcess, "c");
    switchDesktop(2, false);  // files c under desktop 2, which is current: not parked
    EXPECT_EQ(stored(), recordOf({{a, OtherProcess}, {b, ThirdProcess}}));
    EXPECT_TRUE(fakereg::isVolatile(RecordKey));
    EXPECT_FALSE(fakereg::isVolatile(ParentKey));
    EXPECT_TRUE(fakereg::valueNames(ParentKey).empty());

    switchDesktop(3, true);
    EXPECT_EQ(stored(), recordOf({{a, OtherProcess}, {b, ThirdProcess}, {c, OtherProcess}}));

    fake::destroy(a);
    rebuildRecallMenu();  // as the menu opens
    recallWindow(0, app.recallListVersion);  // b: a is gone and no longer listed
    EXPECT_EQ(stored(), recordOf({{c, OtherProcess}}));

    fake::reuseHandle(c, ThirdProcess);  // the record keeps the owner c was filed with
    recallWindow(0, app.recallListVersion);
    EXPECT_TRUE(stored().empty());

    showAllDesktops();
    EXPECT_FALSE(fakereg::keyExists(RecordKey));
    EXPECT_TRUE(fakereg::keyExists(ParentKey));
    EXPECT_EQ(fakereg::openHandles(), 0u);
}

TEST_F(ParkedRecordTest, ASwitchCutShortLeavesEveryWindowItHidOnRecord) {
    HWND a = fake::addWindow(OtherProcess, "a");
    HWND toTray = fake::addWindow(OtherProcess, "closed to the tray since");
    captureDesktop();
    fake::setVisibleAnswer(toTray, FALSE);
    std::vector<BYTE> midSwitch;
    fake::onShowWindow([&](HWND window, int) {  // the viewer's restore: desktop 1 is hidden by now
        if (window == app.viewerWindow && midSwitch.empty()) midSwitch = stored();
    });
    switchDesktop(2, false);
    EXPECT_EQ(midSwitch, recordOf({{a, OtherProcess}}));
}

TEST_F(ParkedRecordTest, RecoveryShowsOnlyHiddenWindowsOfTheRecordedProcess) {
    HWND parked = fake::addWindow(OtherProcess, "parked", FALSE);
    HWND destroyed = fake::addWindow(OtherProcess, "destroyed", FALSE);
    fake::destroy(destroyed);
    HWND reused = fake::addWindow(ThirdProcess, "another program's, under a reused handle", FALSE);
    HWND visible = fake::addWindow(OtherProcess, "shown again by its program");
    HWND neverParked = fake::addWindow(OtherProcess, "hidden by its program", FALSE);
    fakereg::setValue(RecordKey, RecordValue, REG_BINARY,
                      recordOf({{parked, OtherProcess}, {destroyed, OtherProcess}, {reused, OtherProcess},
                                {visible, OtherProcess}}));

    recoverParkedWindows();

    EXPECT_EQ(fake::calls(Op::ShowWindow).size(), 1u);
    EXPECT_EQ(fake::shown(SW_SHOW), std::vector<HWND>{parked});
    EXPECT_FALSE(fake::visibleAnswer(reused));
    EXPECT_FALSE(fake::visibleAnswer(neverParked));
    EXPECT_FALSE(fakereg::keyExists(RecordKey));
    captureDesktop();
    EXPECT_EQ(filed(1), (std::vector<HWND>{parked, visible}));
}

TEST_F(ParkedRecordTest, AMalformedRecordIsIgnoredAndDeleted) {
    HWND parked = fake::addWindow(OtherProcess, "parked", FALSE);
    const std::vector<BYTE> good = recordOf({{parked, OtherProcess}});
    std::vector<BYTE> tooLong;
    for (unsigned i = 0; i <= WindowTableSlots; ++i) tooLong.insert(tooLong.end(), good.begin(), good.end());
    const std::pair<DWORD, std::vector<BYTE>> malformed[] = {
        {REG_DWORD, good}, {REG_BINARY, std::vector<BYTE>(good.begin(), good.end() - 1)}, {REG_BINARY, tooLong}};
    for (const auto& record : malformed) {
        fakereg::setValue(RecordKey, RecordValue, record.first, record.second);
        recoverParkedWindows();
        EXPECT_FALSE(fakereg::keyExists(RecordKey));
    }
    EXPECT_TRUE(fake::calls(Op::ShowWindow).empty());
    EXPECT_EQ(fakereg::openHandles(), 0u);
}

// Once the session was asked to end, everything is shown and nothing more
// is hidden, not even by the switch that the question interrupted; if the
// session goes on, each window goes back to its own desktop, on record. The
// put-back is an operation like a switch, and answers its own query only: a
// second query may have come while it waited.
TEST_F(ParkedRecordTest, AnEndOfSessionInsideASwitchHidesNothingMoreAndACancelPutsTheDesktopsBack) {
    std::vector<HWND> desktop1 = fake::addWindows(OtherProcess, 3);
    captureDesktop();
    DWORD firstQuery = 0;
    fake::onShowWindow([&](HWND window, int showCommand) {
        if (window != desktop1[1] || showCommand != SW_HIDE) return;
        showAllForEndOfSession();
        firstQuery = app.endSessionQuery;
        EXPECT_FALSE(resumeDesktops(firstQuery));  // cancelled: it must wait for the switch
        showAllForEndOfSession();                  // and the session is asked to end again
    });
    switchDesktop(2, false);
    fake::onShowWindow(nullptr);
    EXPECT_TRUE(fake::visibleAnswer(desktop1[0]));
    EXPECT_TRUE(fake::visibleAnswer(desktop1[2]));
    EXPECT_FALSE(fakereg::keyExists(RecordKey));
    switchDesktop(3, false);  // nothing switches until the session is known to go on
    EXPECT_EQ(app.currentDesktop, 2u);
    EXPECT_TRUE(resumeDesktops(firstQuery));  // overtaken by the second query
    for (HWND w : desktop1) EXPECT_TRUE(fake::visibleAnswer(w));

    fake::onShowWindow([&](HWND window, int showCommand) {
        if (window == desktop1[0] && showCommand == SW_HIDE) switchDesktop(1, false);
    });
    resumeDesktops(app.endSessionQuery);
    fake::onShowWindow(nullptr);

    EXPECT_EQ(app.currentDesktop, 2u);
    for (HWND w : desktop1) EXPECT_FALSE(fake::visibleAnswer(w));
    EXPECT_EQ(stored(), recordOf({{desktop1[0], OtherProcess}, {desktop1[1], OtherProcess},
                                  {desktop1[2], OtherProcess}}));
    EXPECT_TRUE(filed(2).empty());
    switchDesktop(1, false);
    for (HWND w : desktop1) EXPECT_TRUE(fake::visibleAnswer(w));
}
