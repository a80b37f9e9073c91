// The end-to-end scenarios, one function each.
#pragma once

namespace scenarios {

void startAndGoto();
void gotoMovesNewWindows();
void exitShowsParked();
void closeLeavesParked();
void faultShowsParked();
void settingsFirstStart();
void show();

void viewerPlacement();
void viewerMenu();
void trayMenu();
void unknownCommands();
void trayIconReturns();
void miniature();
void help();
void iconResource();
void edgeSwitchesRight();
void edgeWrapsLeft();
void recallRestoresMaximised();

void soak();
void soakLong();
void hostileRegistry();
void hostileRegistryFull();
void hostileTitles();
void hungWindow();

}  // namespace scenarios
