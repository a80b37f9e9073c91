// When an operation may start, and the end of the session, which shows
// everything and may be called off.
#include "desktops/desktops.h"
#include "desktops/window_system.h"

namespace {

bool onOtherDesktop(unsigned slot) { return slot / SlotsPerDesktop != app.currentDesktop - 1; }

// A window of a group being put back, a dialog opened meanwhile included.
bool puttingBack(unsigned slot) { return onOtherDesktop(slot) && app.parkedSlots[slot]; }

// Parked and still hidden; inside a switch, a window marked and not yet
// hidden is one the switch was about to hide, and counts as hidden.
void noteWhatTheShowAllShows() {
    const bool midOperation = operationUnderWay();
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        app.shownForEndOfSession[slot] =
            app.parkedSlots[slot] && ownerUnchanged(slot) &&
            (midOperation || ws::IsWindowVisible(app.windowTable[slot]) == FALSE);
    }
}

// What the show-all showed is marked again; a window of another desktop
// that its own program showed before the query is on the screen by its
// program's doing, and leaves its slot for the next capture to file it
// where it is seen.
void markWhatTheShowAllShowed() {
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        if (!onOtherDesktop(slot)) continue;
        if (app.shownForEndOfSession[slot]) {
            markAboutToPark(slot);
        } else if (app.windowTable[slot] != nullptr) {
            emptySlot(slot);
        }
        app.shownForEndOfSession[slot] = false;
    }
    unsigned gathered[SlotsPerDesktop];
    const unsigned count = gatherGroups(puttingBack, gathered);
    for (unsigned i = 0; i < count; ++i) markAboutToPark(gathered[i]);
}

}  // namespace

bool operationUnderWay() { return app.operationDepth > 0; }

bool operationMayStart() { return !operationUnderWay() && !app.sessionEnding; }

void beginOperation() { ++app.operationDepth; }

// Every switch, recall and move ends here: the screen has changed under the
// miniature, which then follows it at the full rate for a while.
void endOperation() {
    --app.operationDepth;
    app.screenMayChange = true;
}

// The table is left as it was: every window stays filed, so the desktops
// can be put back if the session goes on.
void showAllForEndOfSession() {
    ++app.endSessionQuery;
    // A later query finds everything shown already: what the first showed
    // is still what a put-back hides.
    if (!app.sessionEnding) noteWhatTheShowAllShows();
    app.sessionEnding = true;
    showAllDesktops();
}

// The other desktops' windows go back into hiding: those the show-all showed
// that are on the screen now, since what their own programs hid meanwhile
// is theirs, each with its group. An
// answer to an earlier query, which a later query has overtaken, puts back
// nothing: the session may still be ending.
bool resumeDesktops(DWORD query) {
    if (operationUnderWay()) return false;
    if (!app.sessionEnding || query != app.endSessionQuery) return true;
    beginOperation();
    app.sessionEnding = false;
    markWhatTheShowAllShowed();
    writeParkedRecord();
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        if (app.parkedSlots[slot]) parkSlot(slot);
    }
    writeParkedRecord();
    endOperation();
    return true;
}
