#include "app/app_state.h"
#include "fake_registry.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using fakereg::Op;
using fakereg::Permission;

namespace {

const std::string SettingsPath = "HKLM\\Software\\Panorel";
const std::string RunPath = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string UserSettingsPath = "HKCU\\Software\\Panorel";
const std::string UserRunPath = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr DWORD RegQword = 11;
const std::vector<std::string> SaveOrder = {"xpos", "ypos", "flags", "sortflags", "listflags", "keycheck", "hotkeys"};

using Stored = std::vector<std::pair<std::string, DWORD>>;

void store(const Stored& values) {
    for (const auto& v : values) fakereg::setDword(SettingsPath, v.first, v.second);
}

// The seven values as a save left them; each must be a 4-byte REG_DWORD.
Stored saved(const std::string& key = SettingsPath) {
    Stored values;
    for (const std::string& name : SaveOrder) {
        const fakereg::Value* v = fakereg::value(key, name);
        if (v == nullptr) continue;
        EXPECT_EQ(v->type, REG_DWORD) << name;
        EXPECT_EQ(v->data.size(), 4u) << name;
        if (v->data.size() != 4) continue;
        values.push_back({name, DWORD{v->data[0]} | (DWORD{v->data[1]} << 8) | (DWORD{v->data[2]} << 16) |
                                    (DWORD{v->data[3]} << 24)});
    }
    return values;
}

std::vector<std::string> namesOf(Op op) {
    std::vector<std::string> names;
    for (const fakereg::Call& c : fakereg::log()) {
        if (c.op == op) names.push_back(c.name);
    }
    return names;
}

struct Loaded {
    DWORD flags, keyMask;
    std::int32_t xpos, ypos;
    DWORD sortColumn;
    BYTE sortDirection;
    DWORD hotkeys;
    bool operator==(const Loaded& o) const {
        return flags == o.flags && keyMask == o.keyMask && xpos == o.xpos && ypos == o.ypos &&
               sortColumn == o.sortColumn && sortDirection == o.sortDirection && hotkeys == o.hotkeys;
    }
};

std::ostream& operator<<(std::ostream& out, const Loaded& l) {
    return out << "flags " << l.flags << " keyMask " << l.keyMask << " xpos " << l.xpos << " ypos " << l.ypos
               << " sort " << l.sortColumn << "/" << int{l.sortDirection} << " hotkeys " << l.hotkeys;
}

Loaded loaded() {
    return {app.flags, app.keyMask, app.xpos, app.ypos, app.sortColumn, app.sortDirection, app.hotkeys};
}

const Loaded NothingStored = {127, 0, 0, 0, 0, 1, 0x0B};

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakereg::reset();
        app = AppState{};
    }
    // Every access closes the key it opened.
    void TearDown() override { EXPECT_EQ(fakereg::openHandles(), 0u); }
};

}  // namespace

TEST_F(SettingsTest, FirstStartCreatesTheEmptyKeyAndTheFirstSaveWritesAllSeven) {
    loadSettings();
    EXPECT_EQ(loaded(), NothingStored);
    EXPECT_TRUE(fakereg::keyExists(SettingsPath));
    EXPECT_TRUE(fakereg::valueNames(SettingsPath).empty());
    EXPECT_EQ(namesOf(Op::QueryValue), std::vector<std::string>{"xpos"});  // the probe, and nothing more
    EXPECT_EQ(fakereg::log()[0].access, KEY_READ);

    app.keyMask = 0x20;  // as the Option Keys page might leave it
    saveSettings();
    EXPECT_EQ(saved(), (Stored{{"xpos", 0}, {"ypos", 0}, {"flags", 127}, {"sortflags", 256}, {"listflags", 0},
                               {"keycheck", 0x20}, {"hotkeys", 0x0B}}));
}

TEST_F(SettingsTest, StoredXposOfMinusOneMeansNothingIsStored) {
    store({{"xpos", 0xFFFFFFFF}, {"ypos", 5}, {"flags", 0x1000}, {"keycheck", 0x41}, {"sortflags", 3}});
    loadSettings();
    EXPECT_EQ(loaded(), NothingStored);
}

TEST_F(SettingsTest, StoredValuesReachTheProgramAndSurviveTheRoundTrip) {
    // "hotkeys": no switch shortcuts, moving with Shift+Win, and bits that
    // mean nothing yet.
    store({{"xpos", 30000}, {"ypos", 0xFFFFFFF6}, {"flags", 0x1F07F}, {"sortflags", 0x00012A05},
           {"listflags", 9}, {"keycheck", 0x41}, {"hotkeys", 0xABCD3C00}});
    loadSettings();
    EXPECT_EQ(loaded(), (Loaded{0x1F07F, 0x41, 30000, -10, 5, 0x2A, 0xABCD3C00}));
    EXPECT_EQ(namesOf(Op::QueryValue),
              (std::vector<std::string>{"xpos", "sortflags", "xpos", "ypos", "keycheck", "flags", "hotkeys", "showflags",
                                        "desktopname1", "desktopname2", "desktopname3", "desktopname4",
                                        "edgedelay"}));

    saveSettings();
    EXPECT_EQ(saved(), (Stored{{"xpos", 30000}, {"ypos", 0xFFFFFFF6}, {"flags", 0x1F07F}, {"sortflags", 0x2A05},
                               {"listflags", 0}, {"keycheck", 0x41}, {"hotkeys", 0xABCD3C00}}));
}

TEST_F(SettingsTest, XposAbove30000UnsignedDropsBothPositionsWithoutReadingYpos) {
    for (DWORD xpos : {DWORD{30001}, DWORD{0xFFFFFFFB}}) {
        SCOPED_TRACE(xpos);
        fakereg::reset();
        app = AppState{};
        store({{"xpos", xpos}, {"ypos", 40}, {"flags", 0}, {"keycheck", 2}, {"sortflags", 0}});
        loadSettings();
        EXPECT_EQ(app.xpos, 0);
        EXPECT_EQ(app.ypos, 0);
        for (const std::string& name : namesOf(Op::QueryValue)) EXPECT_NE(name, "ypos");
        EXPECT_EQ(app.keyMask, 2u);  // the rest of the load goes on

        saveSettings();
        EXPECT_EQ(saved()[0], (std::pair<std::string, DWORD>{"xpos", 0}));
        EXPECT_EQ(saved()[1], (std::pair<std::string, DWORD>{"ypos", 0}));
    }
}

// Only "keycheck" and "hotkeys" have defaults; the others take the failed
// read's -1.
TEST_F(SettingsTest, MissingValuesBesideXpos) {
    store({{"xpos", 12}});
    loadSettings();
    EXPECT_EQ(loaded(), (Loaded{0xFFFFFFFF, 1, 12, -1, 255, 255, 0x0B}));

    saveSettings();
    EXPECT_EQ(saved(), (Stored{{"xpos", 12}, {"ypos", 0xFFFFFFFF}, {"flags", 0xFFFFFFFF}, {"sortflags", 0xFFFF},
                               {"listflags", 0}, {"keycheck", 1}, {"hotkeys", 0x0B}}));
}

// The type of the older six is never looked at; shorter values read their
// missing high bytes as zero, longer ones count as missing. "hotkeys" is a
// 4-byte REG_DWORD or missing.
TEST_F(SettingsTest, ValuesOfOtherSizesAndTypes) {
    fakereg::setValue(SettingsPath, "xpos", REG_SZ, {'a', 'b', 0});
    fakereg::setValue(SettingsPath, "ypos", REG_DWORD, {});
    fakereg::setValue(SettingsPath, "flags", REG_DWORD, {0x34, 0x12});
    fakereg::setValue(SettingsPath, "sortflags", REG_DWORD, {0x07});
    fakereg::setValue(SettingsPath, "keycheck", REG_DWORD, {1, 0, 0, 0, 0});
    fakereg::setValue(SettingsPath, "hotkeys", REG_BINARY, {0x00, 0x0F, 0, 0});
    loadSettings();
    EXPECT_EQ(loaded(), (Loaded{0x1234, 1, 0x006261, 0, 7, 0, 0x0B}));

    fakereg::setValue(SettingsPath, "hotkeys", REG_DWORD, {0x00, 0x0F});
    loadSettings();
    EXPECT_EQ(app.hotkeys, 0x0Bu);

    fakereg::reset();
    app = AppState{};
    fakereg::setValue(SettingsPath, "xpos", RegQword, {1, 0, 0, 0, 0, 0, 0, 0});
    fakereg::setDword(SettingsPath, "keycheck", 0x08);
    fakereg::setDword(SettingsPath, "hotkeys", 0x0F00);
    loadSettings();
    EXPECT_EQ(loaded(), NothingStored);
}

TEST_F(SettingsTest, AKeyThatCannotBeOpenedReadsAsNothingStoredAndTakesNoWrites) {
    store({{"xpos", 1}, {"keycheck", 4}});
    fakereg::setPermission(SettingsPath, Permission::None);
    loadSettings();
    EXPECT_EQ(loaded(), NothingStored);
    saveSettings();
    EXPECT_EQ(saved(), (Stored{{"xpos", 1}, {"keycheck", 4}}));
}

// A standard user, refused every write under HKEY_LOCAL_MACHINE: the
// machine's key is read where it exists and never created; OK saves all
// seven values to the per-user copy, which the next start reads in place of
// the machine's, and later saves go straight to it. No shortcuts at all is
// a choice too, kept as made.
TEST_F(SettingsTest, AStandardUserSavesToThePerUserCopyAndGetsItBack) {
    fakereg::refuseMachineWrites();
    loadSettings();
    EXPECT_EQ(loaded(), NothingStored);
    EXPECT_FALSE(fakereg::keyExists(SettingsPath));
    EXPECT_FALSE(fakereg::keyExists(UserSettingsPath));

    store({{"xpos", 1}, {"ypos", 2}, {"flags", 3}, {"sortflags", 4}, {"keycheck", 5}});  // by an administrator
    app = AppState{};
    loadSettings();
    EXPECT_EQ(loaded(), (Loaded{3, 5, 1, 2, 4, 0, 0x0B}));
    app.keyMask = 0x30;
    app.hotkeys = 0;
    saveSettings();
    EXPECT_EQ(saved(), (Stored{{"xpos", 1}, {"ypos", 2}, {"flags", 3}, {"sortflags", 4}, {"keycheck", 5}}));
    EXPECT_EQ(saved(UserSettingsPath), (Stored{{"xpos", 1}, {"ypos", 2}, {"flags", 3}, {"sortflags", 4},
                                               {"listflags", 0}, {"keycheck", 0x30}, {"hotkeys", 0}}));

    fakereg::setDword(SettingsPath, "keycheck", 6);
    fakereg::setDword(SettingsPath, "hotkeys", 0x0B00);
    app = AppState{};
    loadSettings();
    EXPECT_EQ(loaded(), (Loaded{3, 0x30, 1, 2, 4, 0, 0}));
    fakereg::clearLog();
    saveSettings();
    EXPECT_EQ(namesOf(Op::CreateKey), std::vector<std::string>(SaveOrder.size(), UserSettingsPath));
}

TEST_F(SettingsTest, SaveWritesSevenValuesInOrderEachWithItsOwnOpenAndClose) {
    saveSettings();
    std::vector<fakereg::Call> expected;
    for (const std::string& name : SaveOrder) {
        expected.push_back({Op::CreateKey, SettingsPath, KEY_WRITE, 0, 0, ERROR_SUCCESS});
        expected.push_back({Op::SetValue, name, 0, REG_DWORD, 4, ERROR_SUCCESS});
        expected.push_back({Op::CloseKey, "", 0, 0, 0, ERROR_SUCCESS});
    }
    const std::vector<fakereg::Call>& log = fakereg::log();
    ASSERT_EQ(log.size(), expected.size());
    for (size_t i = 0; i < log.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(log[i].op, expected[i].op);
        EXPECT_EQ(log[i].name, expected[i].name);
        EXPECT_EQ(log[i].access, expected[i].access);
        EXPECT_EQ(log[i].type, expected[i].type);
        EXPECT_EQ(log[i].size, expected[i].size);
    }
}

// The seven values are never split: what the machine's key did not take in
// full, the per-user copy takes whole.
TEST_F(SettingsTest, AFailingWriteDoesNotStopTheLaterOnesAndAllSevenGoToThePerUserCopy) {
    fakereg::failSetting("flags", SettingsPath);
    app.flags = 0x1000;
    app.keyMask = 3;
    app.hotkeys = 0x0300;
    saveSettings();
    EXPECT_EQ(saved(), (Stored{{"xpos", 0}, {"ypos", 0}, {"sortflags", 256}, {"listflags", 0}, {"keycheck", 3},
                               {"hotkeys", 0x0300}}));
    EXPECT_EQ(saved(UserSettingsPath), (Stored{{"xpos", 0}, {"ypos", 0}, {"flags", 0x1000}, {"sortflags", 256},
                                               {"listflags", 0}, {"keycheck", 3}, {"hotkeys", 0x0300}}));
}

TEST_F(SettingsTest, RunValueIsWrittenAndDeletedInTheExistingRunKey) {
    fakereg::createKey(RunPath);
    EXPECT_TRUE(writeRunValue("progman", "C:\\A\\B.EXE"));
    const fakereg::Value* v = fakereg::value(RunPath, "progman");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->type, REG_SZ);
    EXPECT_EQ(std::string(v->data.begin(), v->data.end()), std::string("C:\\A\\B.EXE", 11));  // the NUL counted

    EXPECT_TRUE(deleteRunValue("progman"));
    EXPECT_EQ(fakereg::value(RunPath, "progman"), nullptr);
    EXPECT_TRUE(deleteRunValue("progman"));  // nothing left to delete is what was asked for
    EXPECT_EQ(namesOf(Op::CreateKey), std::vector<std::string>{});
}

TEST_F(SettingsTest, RunValueChangesReportFailure) {
    fakereg::failSetting("progman", UserRunPath);
    EXPECT_FALSE(writeRunValue("progman", "C:\\A\\B.EXE"));  // no RunPath key: it is never created
    EXPECT_TRUE(deleteRunValue("progman"));  // and without it nothing starts with Windows
    EXPECT_FALSE(fakereg::keyExists(RunPath));

    fakereg::createKey(RunPath);
    fakereg::setValue(RunPath, "progman", REG_SZ, {'x', 0});
    fakereg::setPermission(RunPath, Permission::ReadOnly);
    EXPECT_FALSE(writeRunValue("progman", "C:\\A\\B.EXE"));
    EXPECT_FALSE(deleteRunValue("progman"));
    EXPECT_NE(fakereg::value(RunPath, "progman"), nullptr);

    fakereg::setPermission(RunPath, Permission::Full);
    fakereg::failSetting("progman");
    EXPECT_FALSE(writeRunValue("progman", "C:\\A\\B.EXE"));
}

namespace {

std::string runValue(const std::string& key = RunPath) {
    const fakereg::Value* v = fakereg::value(key, "progman");
    if (v == nullptr) return "(none)";
    EXPECT_EQ(v->type, REG_SZ);
    return std::string(v->data.begin(), v->data.end());
}

}  // namespace

// The example path has no space: written as it is, 10 characters and the NUL.
TEST_F(SettingsTest, StartWithWindowsWritesThePathAndDeletesItAtOnceKeepingTheOtherFlags) {
    fakereg::createKey(RunPath);
    app.flags = 0x7F;
    EXPECT_TRUE(toggleStartWithWindows("C:\\A\\B.EXE"));
    EXPECT_EQ(app.flags, 0x107Fu);
    EXPECT_EQ(runValue(), std::string("C:\\A\\B.EXE", 11));
    EXPECT_TRUE(fakereg::valueNames(SettingsPath).empty());  // "flags" waits for the next save

    EXPECT_FALSE(toggleStartWithWindows("C:\\A\\B.EXE"));
    EXPECT_EQ(app.flags, 0x7Fu);
    EXPECT_EQ(runValue(), "(none)");
}

TEST_F(SettingsTest, APathWithASpaceIsQuoted) {
    fakereg::createKey(RunPath);
    EXPECT_TRUE(toggleStartWithWindows("C:\\Program Files\\Panorel\\Panorel.exe"));
    EXPECT_EQ(runValue(), std::string("\"C:\\Program Files\\Panorel\\Panorel.exe\"", 39));  // 38 characters and the NUL
}

// 255 bytes hold 254 characters: a path of 254 without a space fits, one
// with a space fits only up to 252 with its quotes.
TEST_F(SettingsTest, ACommandThatDoesNotFitIsNotWrittenAtAll) {
    char command[RunCommandBytes];
    const std::string longest(254, 'a');
    EXPECT_TRUE(makeRunCommand(longest.c_str(), command));
    EXPECT_EQ(std::string(command), longest);
    EXPECT_FALSE(makeRunCommand((longest + "a").c_str(), command));
    const std::string spaced = "C:\\a b\\" + std::string(252 - 7, 'x');
    ASSERT_EQ(spaced.size(), 252u);
    EXPECT_TRUE(makeRunCommand(spaced.c_str(), command));
    EXPECT_EQ(std::string(command), '"' + spaced + '"');
    EXPECT_FALSE(makeRunCommand((spaced + "x").c_str(), command));
    EXPECT_FALSE(makeRunCommand("", command));

    fakereg::createKey(RunPath);
    app.flags = 0x7F;
    for (const std::string& path : {spaced + "x", std::string()}) {
        EXPECT_FALSE(toggleStartWithWindows(path.c_str()));
        EXPECT_EQ(app.flags, 0x7Fu);
        EXPECT_EQ(runValue(), "(none)");
    }
}

// "C:\Users\Łukasz\Panorel.exe" read through code page 1252, which has no "Ł".
TEST_F(SettingsTest, APathWithAQuestionMarkIsOneThatCouldNotBeHad) {
    fakereg::createKey(RunPath);
    app.flags = 0x7F;
    EXPECT_FALSE(toggleStartWithWindows("C:\\Users\\?ukasz\\Panorel.exe"));
    EXPECT_EQ(app.flags, 0x7Fu);
    EXPECT_EQ(runValue(), "(none)");
}

// A standard user, or a machine without the Run key: the choice shown is the
// one in force.
TEST_F(SettingsTest, StartWithWindowsKeepsTheOldChoiceWhenTheRunEntryCannotFollow) {
    fakereg::failSetting("progman", UserRunPath);
    app.flags = 0x7F;
    EXPECT_FALSE(toggleStartWithWindows("C:\\A\\B.EXE"));  // no machine Run key, and the user's refuses
    EXPECT_EQ(app.flags, 0x7Fu);
    EXPECT_FALSE(fakereg::keyExists(RunPath));

    fakereg::createKey(RunPath);
    fakereg::setValue(RunPath, "progman", REG_SZ, {'x', 0});
    fakereg::setPermission(RunPath, Permission::ReadOnly);
    app.flags = 0x107F;
    EXPECT_TRUE(toggleStartWithWindows("C:\\A\\B.EXE"));  // the delete is refused
    EXPECT_EQ(app.flags, 0x107Fu);
    EXPECT_EQ(runValue(), std::string("x", 2));

    fakereg::setPermission(RunPath, Permission::Full);
    fakereg::failSetting("progman");
    app.flags = 0x7F;
    EXPECT_FALSE(toggleStartWithWindows("C:\\A\\B.EXE"));
    EXPECT_EQ(app.flags, 0x7Fu);
}

// Where the machine's Run key refuses, the user's own starts the program;
// unticking clears it without asking for write access to the machine's.
TEST_F(SettingsTest, AStandardUserStartsWithWindowsFromTheUsersRunKey) {
    fakereg::refuseMachineWrites();
    fakereg::createKey(RunPath);
    app.flags = 0x7F;
    EXPECT_TRUE(toggleStartWithWindows("C:\\A\\B.EXE"));
    EXPECT_EQ(app.flags, 0x107Fu);
    EXPECT_EQ(runValue(UserRunPath), std::string("C:\\A\\B.EXE", 11));
    EXPECT_EQ(runValue(), "(none)");

    EXPECT_FALSE(toggleStartWithWindows("C:\\A\\B.EXE"));
    EXPECT_EQ(app.flags, 0x7Fu);
    EXPECT_EQ(runValue(UserRunPath), "(none)");
}

// "flags" says ticked, but no Run key holds the value: unticking must not
// ask for a write it would be refused.
TEST_F(SettingsTest, ABoxTickedWithoutARunValueUnticksForAStandardUser) {
    fakereg::refuseMachineWrites();
    fakereg::createKey(RunPath);
    app.flags = 0x107F;
    EXPECT_FALSE(toggleStartWithWindows("C:\\A\\B.EXE"));
    EXPECT_EQ(app.flags, 0x7Fu);
    for (const fakereg::Call& c : fakereg::log()) EXPECT_NE(c.result, ERROR_ACCESS_DENIED) << c.name;
}

// The rest at an edge goes into the store only once it was there or a rest
// was chosen; one out of range means none, and is kept as stored.
TEST_F(SettingsTest, EdgeDelayIsWrittenOnceItBelongsInTheStoreAndKeptAsStored) {
    auto edgedelay = [] {
        const fakereg::Value* v = fakereg::value(SettingsPath, "edgedelay");
        return v == nullptr ? SettingMissing : DWORD{v->data[0]} | (DWORD{v->data[1]} << 8);
    };
    store({{"xpos", 0}});
    loadSettings();
    saveSettings();
    EXPECT_EQ(edgedelay(), SettingMissing);

    app.edgeDelay = 250;
    saveSettings();
    EXPECT_EQ(edgedelay(), 250u);
    app.edgeDelay = 0;
    saveSettings();
    EXPECT_EQ(edgedelay(), 0u);

    for (DWORD stored : {DWORD{1000}, DWORD{1001}}) {
        store({{"edgedelay", stored}});
        app = AppState{};
        loadSettings();
        EXPECT_EQ(edgeRestMs(app.edgeDelay), stored == 1000 ? 1000u : 0u);
        saveSettings();
        EXPECT_EQ(edgedelay(), stored);
    }
}
