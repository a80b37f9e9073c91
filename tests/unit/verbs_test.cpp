#include "app/verbs.h"
#include "engine_fixture.h"
#include "desktops/window_system.h"
#include "viewer/script_verbs.h"

#include <cstring>

using fake::Op;

namespace {

constexpr std::uint32_t V(Verb v) { return static_cast<std::uint32_t>(v); }

}  // namespace

TEST(VerbLineTest, ReadsEachVerbInEveryFormAndRefusesTheRest) {
    struct Case {
        const char* line;
        VerbLine result;
        std::uint32_t verb;
        std::uint32_t desktop;
    };
    const Case cases[] = {
        {"", VerbLine::None, 0, 0},
        {"  \t ", VerbLine::None, 0, 0},
        {"goto 3", VerbLine::Verb, V(Verb::Goto), 3},
        {"/GoTo 4", VerbLine::Verb, V(Verb::Goto), 4},
        {"--goto\t\"1\"", VerbLine::Verb, V(Verb::Goto), 1},
        {" /PREVIOUS ", VerbLine::Verb, V(Verb::Previous), 0},
        {"\"move\" 02", VerbLine::Verb, V(Verb::Move), 2},
        {"--current", VerbLine::Verb, V(Verb::Current), 0},
        {"Exit", VerbLine::Verb, V(Verb::Exit), 0},
        {"goto 0", VerbLine::Bad, 0, 0},
        {"goto 5", VerbLine::Bad, 0, 0},
        {"goto 99999999999999999999", VerbLine::Bad, 0, 0},
        {"goto 2x", VerbLine::Bad, 0, 0},
        {"goto 2 3", VerbLine::Bad, 0, 0},
        {"next 2", VerbLine::Bad, 0, 0},
        {"-goto 2", VerbLine::Bad, 0, 0},
        {"//goto 2", VerbLine::Bad, 0, 0},
        {"currentdesktopnumberplease", VerbLine::Bad, 0, 0},
    };
    for (const Case& c : cases) {
        VerbRecord record = {};
        EXPECT_EQ(parseVerbLine(c.line, record), c.result) << c.line;
        if (c.result != VerbLine::Verb) continue;
        EXPECT_EQ(record.version, VerbRecordVersion) << c.line;
        EXPECT_EQ(record.verb, c.verb) << c.line;
        EXPECT_EQ(record.desktop, c.desktop) << c.line;
    }
}

TEST(VerbRecordTest, OnlyAWholeRecordOfThisVersionWithAKnownVerbInRangeIsRead) {
    const VerbRecord good = {VerbRecordVersion, V(Verb::Move), 4, 0, 0};
    VerbRecord read = {};
    EXPECT_TRUE(checkVerbRecord(VerbRecordTag, &good, sizeof good, read));
    EXPECT_EQ(std::memcmp(&read, &good, sizeof good), 0);

    const VerbRecord bad[] = {
        {VerbRecordVersion + 1, V(Verb::Next), 0, 0, 0},         {VerbRecordVersion, 0, 0, 0, 0},
        {VerbRecordVersion, LastVerbNumber + 1, 0, 0, 0},        {VerbRecordVersion, V(Verb::Goto), 0, 0, 0},
        {VerbRecordVersion, V(Verb::Goto), DesktopCount + 1, 0, 0}, {VerbRecordVersion, V(Verb::Current), 1, 0, 0},
    };
    for (const VerbRecord& r : bad) {
        VerbRecord untouched = {};
        EXPECT_FALSE(checkVerbRecord(VerbRecordTag, &r, sizeof r, untouched)) << r.version << " " << r.verb;
        EXPECT_EQ(untouched.verb, 0u);
    }
    EXPECT_FALSE(checkVerbRecord(VerbRecordTag + 1, &good, sizeof good, read)) << "another program's data";
    EXPECT_FALSE(checkVerbRecord(VerbRecordTag, &good, sizeof good - 1, read)) << "short";
    EXPECT_FALSE(checkVerbRecord(VerbRecordTag, &good, sizeof good + 1, read)) << "long";
    EXPECT_FALSE(checkVerbRecord(VerbRecordTag, nullptr, sizeof good, read)) << "no data";

    EXPECT_EQ(exitCodeOfAnswer(verbAnswer(3)), 3u);
    EXPECT_EQ(exitCodeOfAnswer(0), VerbNotNow) << "a window that ignored the message";
    EXPECT_EQ(exitCodeOfAnswer(1), VerbNotNow);
    EXPECT_EQ(exitCodeOfAnswer(verbAnswer(VerbUnknown)), VerbNotNow) << "Panorel never answers that";
}

class ScriptVerbTest : public EngineTest {
protected:
    std::vector<HWND> desktop1;

    void SetUp() override {
        EngineTest::SetUp();
        fake::advanceClock(VerbAnswerTimeoutMs * 2);
        desktop1 = fake::addWindows(OtherProcess, 2);
        captureDesktop();
        fake::clearLog();
    }

    // Sent `ageMs` before it arrives.
    static std::uintptr_t send(Verb verb, std::uint32_t desktop = 0, std::size_t bytes = sizeof(VerbRecord),
                               double ageMs = 0) {
        VerbRecord record = {VerbRecordVersion, V(verb), desktop, 0, 0};
        LARGE_INTEGER now;
        LARGE_INTEGER frequency;
        ws::QueryPerformanceCounter(&now);
        ws::QueryPerformanceFrequency(&frequency);
        stamp(record, now.QuadPart - static_cast<std::int64_t>(ageMs * static_cast<double>(frequency.QuadPart) / 1000));
        return answerVerb(app.viewerWindow, VerbRecordTag, &record, bytes);
    }
};

TEST_F(ScriptVerbTest, AMalformedRecordIsIgnoredAndChangesNothing) {
    EXPECT_EQ(send(Verb::Goto, 2, sizeof(VerbRecord) - 1), 0u);
    EXPECT_EQ(send(Verb::Goto, DesktopCount + 1), 0u);
    EXPECT_EQ(send(static_cast<Verb>(LastVerbNumber + 1)), 0u);
    EXPECT_EQ(send(Verb::Exit, 1), 0u);
    EXPECT_EQ(send(Verb::Next, 0, sizeof(VerbRecord), VerbAnswerTimeoutMs + 1), 0u) << "its sender gave up on it";
    EXPECT_EQ(send(Verb::Next, 0, sizeof(VerbRecord), -1), 0u) << "stamped after it arrived";
    onQueuedVerb(app.viewerWindow, V(Verb::Goto) + (WPARAM{1} << 32), 2);  // not Goto cut to 32 bits
    EXPECT_TRUE(fake::log().empty());
    EXPECT_EQ(app.currentDesktop, 1u);
}

// Exit goes through the command path, after the answer; a switch waits for
// the operation under way, and cannot be done while the session may end.
TEST_F(ScriptVerbTest, QueuesDuringAnOperationAndRefusesWhileTheSessionMayEnd) {
    beginOperation();
    EXPECT_EQ(send(Verb::Goto, 2), verbAnswer(VerbDone));
    EXPECT_EQ(app.currentDesktop, 1u);
    std::vector<fake::Call> posted = fake::calls(Op::PostMessageA);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].arg, static_cast<std::intptr_t>(QueuedVerbMessage));
    onQueuedVerb(app.viewerWindow, V(Verb::Goto), 2);
    EXPECT_EQ(fake::calls(Op::PostMessageA).size(), 2u) << "still waiting";
    endOperation();
    onQueuedVerb(app.viewerWindow, V(Verb::Goto), 2);
    EXPECT_EQ(app.currentDesktop, 2u) << "runs in its turn";

    fake::clearLog();
    EXPECT_EQ(send(Verb::Exit), verbAnswer(VerbDone));
    posted = fake::calls(Op::PostMessageA);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].arg, static_cast<std::intptr_t>(WM_SYSCOMMAND));
    EXPECT_EQ(posted[0].arg2, static_cast<std::intptr_t>(SC_CLOSE));

    app.sessionEnding = true;
    EXPECT_EQ(send(Verb::Move, 3), verbAnswer(VerbNotNow));
    EXPECT_EQ(send(Verb::Next), verbAnswer(VerbNotNow));
    EXPECT_EQ(send(Verb::Current), verbAnswer(2));
}
