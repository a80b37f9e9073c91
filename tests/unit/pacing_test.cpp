// The miniature's frame budget on a substitute clock: the timer ticks every
// 40 ms, a picture takes as long as the test says, and of the ticks that
// fall due while one is drawn only one waits, as with the real timer.
#include "engine_fixture.h"
#include "viewer/frame_pacing.h"

#include <functional>

namespace {

double pictureMs = 0;
int pictures = 0;

}  // namespace

// The stand-in for the real picture: it only takes its time.
void drawMiniature(HWND) {
    fake::advanceClock(pictureMs);
    ++pictures;
}

class PacingTest : public EngineTest {
protected:
    double now = 0;
    double nextTick = 0;
    std::vector<double> began;  // when each picture began

    void SetUp() override {
        EngineTest::SetUp();
        pictures = 0;
    }

    // The tick at `at` (or as soon as the thread is free): was a picture drawn?
    bool tickAt(double at, double cost) {
        if (at > now) fake::advanceClock(at - now);
        now = std::max(now, at);
        pictureMs = cost;
        const int before = pictures;
        onMiniatureTimer(app.viewerWindow);
        if (pictures == before) return false;
        began.push_back(now);
        now += cost;
        return true;
    }

    // The timer's next tick: was a picture drawn?
    bool tick(double cost) {
        const bool drawn = tickAt(nextTick, cost);
        do nextTick += MiniaturePeriodMs;
        while (nextTick + MiniaturePeriodMs <= now);
        return drawn;
    }

    // The timer running for `ms`: the pictures drawn meanwhile.
    int run(double ms, double cost) {
        const int before = pictures;
        for (const double end = now + ms; nextTick < end;) tick(cost);
        return pictures - before;
    }

    double longestGap() const {
        double gap = 0;
        for (size_t i = 1; i < began.size(); ++i) gap = std::max(gap, began[i] - began[i - 1]);
        return gap;
    }
};

TEST_F(PacingTest, CheapPicturesComeOnEveryTickEvenAfterALateOne) {
    EXPECT_EQ(run(1000, 8), 25);
    // Handled 8 ms late behind something else, the tick after it is on time.
    EXPECT_TRUE(tickAt(nextTick + 8, 2));
    EXPECT_TRUE(tickAt(nextTick + MiniaturePeriodMs, 2));
    nextTick += 2 * MiniaturePeriodMs;
}

TEST_F(PacingTest, DearPicturesTakeAtMostAFifthOfTheThreadAndStillComeOnceASecond) {
    const int drawn = run(6000, 60);
    EXPECT_LE(drawn * 60.0 / 6000, 0.2);
    EXPECT_GE(drawn, 15);  // one every 320 ms: the budget, rounded up to a tick
    for (size_t i = 1; i < began.size(); ++i) EXPECT_GE(began[i] - began[i - 1], 5 * 60.0);

    began.clear();
    EXPECT_GE(run(6000, 400), 6);
    EXPECT_LE(longestGap(), FrameFloorMs);
}

TEST_F(PacingTest, NothingIsReadWhileNothingCanBeSeenAndThePictureAfterComesAtOnce) {
    const HWND viewer = app.viewerWindow;
    const std::vector<std::pair<const char*, std::function<void(bool)>>> pauses = {
        {"viewer hidden", [&](bool on) { fake::setVisibleAnswer(viewer, on ? FALSE : TRUE); }},
        {"viewer minimised",
         [&](bool on) { fake::setShowState(viewer, on ? fake::ShowState::Minimized : fake::ShowState::Normal); }},
        {"input on another desktop", [](bool on) { fake::failCursorReads(on); }},
        {"display off", [](bool on) { app.displayState = on ? DisplayStateOff : DisplayStateOn; }},
    };
    for (const auto& [name, pause] : pauses) {
        SCOPED_TRACE(name);
        run(FrameFloorMs, 100);
        pause(true);
        EXPECT_EQ(run(2 * FrameFloorMs, 100), 0);
        pause(false);
        EXPECT_TRUE(tick(100));  // the next would be due 500 ms after this one
        pause(true);
        run(2 * MiniaturePeriodMs, 100);
        pause(false);
        EXPECT_TRUE(tick(100));
    }
    app.displayState = DisplayStateDimmed;  // dimmed is still seen
    EXPECT_GE(run(2 * FrameFloorMs, 100), 3);
}
