// The miniature's pacing on a substitute clock: the timer ticks every 40 ms,
// a picture takes as long as the test says, and of the ticks that fall due
// while one is drawn only one waits, as with the real timer. The screen is a
// row of pixels that the test paints.
#include "engine_fixture.h"
#include "viewer/frame_pacing.h"

#include <functional>

namespace {

constexpr std::size_t PicturePixels = 64;
constexpr LONG PictureWidth = 8;
constexpr double CountsPerMs = 10000;  // the simulated counter runs at 10 MHz

double pictureMs = 0;
int pictures = 0;
std::vector<std::uint32_t> screen;
bool screenMoving = false;  // a video: every picture differs from the one before

std::vector<std::uint32_t> sampled;
std::vector<double> lookTimes;  // when each look began, in ms of the counter

}  // namespace

// The stand-in for the quiet look: it takes a tenth of a picture's time and
// sees any change of the screen since the last look.
bool screenSampleChanged() {
    LARGE_INTEGER counter = {};
    ws::QueryPerformanceCounter(&counter);
    lookTimes.push_back(static_cast<double>(counter.QuadPart) / CountsPerMs);
    fake::advanceClock(pictureMs / 10);
    const bool changed = sampled != screen;
    sampled = screen;
    return changed;
}

// The stand-in for the real picture: it takes its time and copies the screen.
void drawMiniature(HWND) {
    fake::advanceClock(pictureMs);
    ++pictures;
    if (screenMoving) {
        for (std::uint32_t& pixel : screen) ++pixel;
    }
    std::copy(screen.begin(), screen.end(), app.picturePixels);
}

class PacingTest : public EngineTest {
protected:
    double now = 0;
    double nextTick = 0;
    std::vector<double> began;  // when each picture began

    std::vector<std::uint32_t> picture = std::vector<std::uint32_t>(2 * PicturePixels);

    void SetUp() override {
        EngineTest::SetUp();
        pictures = 0;
        lookTimes.clear();
        sampled.clear();
        screen.assign(PicturePixels, 0);
        screenMoving = true;
        app.picturePixels = picture.data();
        app.picturePixelCount = PicturePixels;
        app.viewerWidth = PictureWidth;  // eight rows of eight, the viewer in the last two
        app.viewerSelfImage = RECT{0, PictureWidth - 2, PictureWidth, PictureWidth};
        watchScreenChanges();
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

    // Ticks until `done` (at most the longest quiet wait).
    void tickUntil(double cost, const std::function<bool()>& done) {
        for (double end = now + QuietLongestMs + MiniaturePeriodMs; nextTick < end && !done();) tick(cost);
    }
    void nextLook(double cost) {
        tickUntil(cost, [this, n = lookTimes.size()] { return lookTimes.size() > n; });
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

// On a still screen only a look at a sample of it is taken, spaced by the
// look's own cost; the whole screen is read once a look sees a change.
TEST_F(PacingTest, AStillScreenIsOnlyLookedAtSeldomAndPicturedOnceALookSeesAChange) {
    for (const double cost : {400.0, 120.0, 40.0}) {
        SCOPED_TRACE(cost);
        screenMoving = true;
        run(FrameFloorMs, cost);
        screenMoving = false;
        run(LiveSpellMs + QuietLongestMs, cost);
        lookTimes.clear();
        EXPECT_EQ(run(20000, cost), 0);
        const double spacing =
            std::max(std::min(QuietBudgetFactor * cost / 10, double{QuietLongestMs}), double{QuietShortestMs});
        for (size_t i = 1; i < lookTimes.size(); ++i) {
            EXPECT_GE(lookTimes[i] - lookTimes[i - 1], spacing);
            EXPECT_LE(lookTimes[i] - lookTimes[i - 1], spacing + MiniaturePeriodMs);
        }
        screen[0] ^= 1;  // the seconds of a clock
        EXPECT_EQ(run(spacing + MiniaturePeriodMs, cost), 1);
    }
    // One look held up by something else does not push the next one out.
    run(QuietLongestMs, 40);
    nextLook(600);
    const double heldUp = lookTimes.back();
    nextLook(40);
    EXPECT_LE(lookTimes.back() - heldUp, QuietShortestMs + MiniaturePeriodMs);
}

TEST_F(PacingTest, InputWindowEventsMovesAndVisibleChangesBringTheFullRateBackForASpell) {
    const HWND other = fake::addWindow(OtherProcess);
    auto event = [other](DWORD e, LONG object = OBJID_WINDOW) {
        return [=] { fake::raiseWinEvent(e, other, object); };
    };
    auto paint = [](std::size_t pixels) {
        return [=] {
            for (std::size_t i = 0; i < pixels; ++i) screen[i] ^= 0xFFFFFF;
        };
    };
    struct Signal {
        const char* name;
        std::function<void()> raise;
        bool fullRate;
    };
    const std::vector<Signal> signals = {
        {"input", [] { fake::input(); }, true},
        {"a window moved or sized", event(EVENT_OBJECT_LOCATIONCHANGE), true},
        {"a switch, a recall or a move",
         [] {
             beginOperation();
             endOperation();
         },
         true},
        {"a picture that differs visibly", paint(CaretPixels + 1), true},
        {"a caret's blink", paint(CaretPixels), false},
        {"the viewer's own image in the picture",
         [] {
             for (std::size_t i = PicturePixels - 2 * PictureWidth; i < PicturePixels; ++i) screen[i] ^= 0xFFFFFF;
         },
         false},
        {"the caret moved", event(EVENT_OBJECT_LOCATIONCHANGE, OBJID_CARET), false},
    };
    screenMoving = false;
    for (const Signal& signal : signals) {
        SCOPED_TRACE(signal.name);
        run(LiveSpellMs + QuietLongestMs, 8);
        ASSERT_LE(run(FrameFloorMs, 8), 1);
        signal.raise();
        tickUntil(8, [n = pictures] { return pictures > n; });
        EXPECT_EQ(run(FrameFloorMs, 8) >= 20, signal.fullRate);
        run(LiveSpellMs, 8);
        EXPECT_LE(run(FrameFloorMs, 8), 1);
    }
}
