// The end-to-end driver: one scenario per run, named on the command line.
//   panorel-e2e SCENARIO          runs a scenario and exits non-zero on failure
//   panorel-e2e windows PREFIX N [CLASS,...]  the helper that opens titled windows
//   panorel-e2e quadrants PALETTE the helper that fills the screen with four colours
//   panorel-e2e record ADDRESS    the browser stand-in: notes the address it was asked to open
//   panorel-e2e pool PREFIX N     the helper whose windows come and go one by one
#include "e2e.h"
#include "scenarios.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Scenario {
    const char* name;
    void (*run)();
    bool leavesProgramsRunning;  // for scripts/run and scripts/screenshots: Panorel stays up after the driver ends
};

const Scenario Scenarios[] = {
    {"start-and-goto", scenarios::startAndGoto, false},
    {"window-rules", scenarios::windowRules, false},
    {"goto-moves-new-windows", scenarios::gotoMovesNewWindows, false},
    {"exit-shows-parked", scenarios::exitShowsParked, false},
    {"close-leaves-parked", scenarios::closeLeavesParked, false},
    {"fault-shows-parked", scenarios::faultShowsParked, false},
    {"restart-recovers-parked", scenarios::restartRecoversParked, false},
    {"edge-switches-right", scenarios::edgeSwitchesRight, false},
    {"edge-wraps-left", scenarios::edgeWrapsLeft, false},
    {"recall-restores-maximised", scenarios::recallRestoresMaximised, false},
    {"stored-left-control", scenarios::storedLeftControl, false},
    {"stored-any-key-right-control", scenarios::storedAnyKeyRightControl, false},
    {"recall-by-keyboard", scenarios::recallByKeyboard, false},
    {"keyboard-moves-windows", scenarios::keyboardMovesWindows, false},
    {"settings-first-start", scenarios::settingsFirstStart, false},
    {"script-verbs", scenarios::scriptVerbs, false},
    {"show", scenarios::show, true},
    {"viewer-placement", scenarios::viewerPlacement, false},
    {"viewer-menu", scenarios::viewerMenu, false},
    {"tray-menu", scenarios::trayMenu, false},
    {"unknown-commands", scenarios::unknownCommands, false},
    {"tray-icon-returns", scenarios::trayIconReturns, false},
    {"miniature", scenarios::miniature, false},
    {"miniature-resources", scenarios::miniatureResources, false},
    {"help", scenarios::help, false},
    {"icon-resource", scenarios::iconResource, false},
    {"options-discard-keys", scenarios::optionsDiscardKeys, false},
    {"options-commit-keys", scenarios::optionsCommitKeys, false},
    {"options-start-with-windows", scenarios::optionsStartWithWindows, false},
    {"options-tabs", scenarios::optionsTabs, false},
    {"about-links", scenarios::aboutLinks, false},
    {"show-options", scenarios::showOptions, true},
    {"show-shortcuts", scenarios::showShortcuts, true},
    {"show-about", scenarios::showAbout, true},
    {"show-desktops", scenarios::showDesktops, true},
    {"soak", scenarios::soak, false},
    {"soak-long", scenarios::soakLong, false},
    {"hostile-registry", scenarios::hostileRegistry, false},
    {"hostile-registry-full", scenarios::hostileRegistryFull, false},
    {"hostile-titles", scenarios::hostileTitles, false},
    {"hung-window", scenarios::hungWindow, false},
    {"planted-dll", scenarios::plantedDll, false},
    {"one-panorel-across-builds", scenarios::onePanorelAcrossBuilds, false},
};

int usage() {
    std::printf("usage: panorel-e2e SCENARIO | windows PREFIX COUNT\nscenarios:");
    for (const Scenario& s : Scenarios) std::printf(" %s", s.name);
    std::printf("\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "windows") == 0) {
        return e2e::runWindowsHelper(argv[2], std::atoi(argv[3]), argc == 5 ? argv[4] : "");
    }
    if (argc == 3 && std::strcmp(argv[1], "quadrants") == 0) return e2e::runQuadrantsHelper(std::atoi(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "record") == 0) return e2e::runRecorder(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "pool") == 0) return e2e::runPoolHelper(argv[2], std::atoi(argv[3]));
    if (argc != 2) return usage();
    for (const Scenario& s : Scenarios) {
        if (std::strcmp(argv[1], s.name) != 0) continue;
        s.run();
        if (!s.leavesProgramsRunning) e2e::endStartedProcesses();
        std::printf("%s: %s\n", s.name, e2e::failures() == 0 ? "passed" : "FAILED");
        return e2e::failures() == 0 ? 0 : 1;
    }
    return usage();
}
