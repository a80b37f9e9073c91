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
    captureDesktop();
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
    recallWindow(0);  // b: a is gone and no longer listed
    EXPECT_EQ(stored(), recordOf({{c, OtherProcess}}));

    showAllDesktops();
    EXPECT_FALSE(fakereg::keyExists(RecordKey));
    EXPECT_TRUE(fakereg::keyExists(ParentKey));
    EXPECT_EQ(fakereg::openHandles(), 0u);
}

TEST_F(ParkedRecordTest, ASwitchCutShortLeavesEveryWindowItHidOnRecord) {
    HWND a = fake::addWindow(OtherProcess, "a");
    captureDesktop();
    std::vector<BYTE> midSwitch;
    fake::onNextQuery([&](HWND) {  // the final capture: desktop 1 is hidden by now
        if (midSwitch.empty()) midSwitch = stored();
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
