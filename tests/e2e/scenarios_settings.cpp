// The settings key in Wine's real registry.
#include "e2e.h"
#include "panorel_ids.h"
#include "scenarios.h"

#include <utility>

namespace {

using e2e::check;

// Leaves with Exit, which saves nothing, and waits for the process to end.
bool exitPanorel(const e2e::Process& panorel, HWND viewer) {
    PostMessageA(viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = STILL_ACTIVE;
    return check(e2e::waitExit(panorel, &code), "Exit ends Panorel");
}

}  // namespace

namespace scenarios {

// The first start leaves the empty key behind and writes nothing; values
// stored later are neither rewritten nor joined by others when Panorel
// starts and ends, since only the Options dialog's OK saves.
void settingsFirstStart() {
    if (!check(!e2e::settingsKeyExists(), "a fresh prefix has no settings key")) return;
    e2e::Process panorel = e2e::startPanorel();
    HWND viewer = e2e::waitViewer(panorel);
    if (!check(viewer != nullptr, "the viewer appears with nothing stored")) return;
    check(e2e::settingsKeyExists(), "start-up created HKLM\\Software\\Panorel");
    check(e2e::settingsValueCount() == 0, "and wrote no value into it");
    if (!exitPanorel(panorel, viewer)) return;
    check(e2e::settingsValueCount() == 0, "nothing is saved on the way out");

    const std::pair<const char*, DWORD> stored[] = {
        {"xpos", 40}, {"ypos", 50}, {"flags", 0x7F}, {"sortflags", 0x00012A05}, {"keycheck", 0x41}};
    for (const auto& s : stored) check(e2e::storeSetting(s.first, s.second), std::string("stored ") + s.first);
    panorel = e2e::startPanorel();
    viewer = e2e::waitViewer(panorel);
    if (!check(viewer != nullptr, "the viewer appears with settings stored") || !exitPanorel(panorel, viewer)) return;
    for (const auto& s : stored) {
        DWORD value = 0;
        check(e2e::readStoredSetting(s.first, &value) && value == s.second,
              std::string(s.first) + " is unchanged after a start and an Exit");
    }
    check(e2e::settingsValueCount() == 5, "and no value was added");
}

}  // namespace scenarios
