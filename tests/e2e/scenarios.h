// The end-to-end scenarios, one function each.
#pragma once

namespace scenarios {

void startAndGoto();
void windowRules();
void gotoMovesNewWindows();
void exitShowsParked();
void closeLeavesParked();
void faultShowsParked();
void restartRecoversParked();
void settingsFirstStart();
void scriptVerbs();
void show();

void viewerPlacement();
void viewerMenu();
void trayMenu();
void unknownCommands();
void trayIconReturns();
void miniature();
void miniatureResources();
void help();
void iconResource();
void edgeSwitchesRight();
void edgeWrapsLeft();
void recallRestoresMaximised();
void storedLeftControl();
void storedAnyKeyRightControl();
void recallByKeyboard();
void keyboardMovesWindows();

void optionsDiscardKeys();
void optionsCommitKeys();
void optionsStartWithWindows();
void optionsTabs();
void aboutLinks();
void showOptions();
void showShortcuts();
void showAbout();
void showDesktops();

void soak();
void soakLong();
void hostileRegistry();
void hostileRegistryFull();
void hostileTitles();
void hungWindow();
void plantedDll();
void onePanorelAcrossBuilds();

}  // namespace scenarios
