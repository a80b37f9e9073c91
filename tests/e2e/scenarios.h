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

}  // namespace scenarios
