// When an operation may start, and the end of the session, which shows
// everything and may be called off.
#include "desktops/desktops.h"

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
    app.sessionEnding = true;
    showAllDesktops();
}

// The other desktops' windows go back into hiding: those that are on the
// screen now, since what their own programs hid meanwhile is theirs. An
// answer to an earlier query, which a later query has overtaken, puts back
// nothing: the session may still be ending.
bool resumeDesktops(DWORD query) {
    if (operationUnderWay()) return false;
    if (!app.sessionEnding || query != app.endSessionQuery) return true;
    beginOperation();
    app.sessionEnding = false;
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        if (slot / SlotsPerDesktop != app.currentDesktop - 1) markAboutToPark(slot);
    }
    writeParkedRecord();
    for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
        if (app.parkedSlots[slot]) parkSlot(slot);
    }
    writeParkedRecord();
    endOperation();
    return true;
}
