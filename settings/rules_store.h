// The window rules' store: one REG_SZ value a rule under the settings' own
// root, "program|class|title|where", read once at start-up.
#pragma once

#include "app/app_state.h"

constexpr char RulesKey[] = "Software\\Panorel\\Rules";

// Reads the data of one value into a rule: false, leaving nothing usable,
// for anything but four fields of at most WindowRuleCharacters in all, at
// least one of the first three given, and a `where` of 1 to 4, "all" or
// "none". `size` counts the bytes read, a final NUL included or not.
bool parseWindowRule(const char* data, DWORD size, WindowRule& rule);
// The rules into app.windowRules, in the order of their values' names; the
// first MaxWindowRules of them. A value that is not a rule is left as it is.
void loadWindowRules();
// The Rules tab's OK: the rules taken at start-up (or at the last save) give
// way to `count` texts, written as "01", "02", ... in the order given; a
// value that was never taken as a rule stays. Then the rules are read
// again. Answers whether every value was written.
bool saveWindowRules(const char* const* texts, unsigned count);
