#include "engine_fixture.h"
#include "settings/settings.h"
#include "viewer/hotkeys.h"

#include <string>

using fake::Op;

namespace {

const std::string SettingsPath = "HKLM\\Software\\Panorel";

// The rows of the table the viewer holds, by hot key id.
std::vector<int> heldIds() {
    std::vector<int> ids;
    for (const fake::Hotkey& h : fake::hotkeys()) {
        if (h.window == app.viewerWindow) ids.push_back(h.id);
    }
    return ids;
}

std::string described(DWORD hotkeys) {
    char text[ShortcutsTextBytes];
    describeShortcuts(hotkeys, text);
    return text;
}

}  // namespace

using HotkeysTest = EngineTest;

// Shift alone, and Ctrl+Alt (AltGr) with or without Shift, would take keys
// that type text; Win makes any combination safe. A stored value asking for
// them turns that group off and is kept as stored.
TEST_F(HotkeysTest, ModifiersThatTypeTextAreNeverRegistered) {
    for (DWORD modifiers = 1; modifiers <= HotkeyModifierMask; ++modifiers) {
        app.hotkeys = modifiers << HotkeyGroupShift;
        registerHotkeys(app.viewerWindow);
        const bool refused = modifiers == MOD_SHIFT || modifiers == (MOD_CONTROL | MOD_ALT) ||
                             modifiers == (MOD_CONTROL | MOD_ALT | MOD_SHIFT);
        EXPECT_EQ(heldIds().empty(), refused) << modifiers;
        EXPECT_EQ(described(app.hotkeys).empty(), !refused) << modifiers;
    }
    EXPECT_EQ(described(0x0700), "Moving is off: Ctrl+Alt+Shift with a digit types text on many keyboards.");

    fakereg::setDword(SettingsPath, "xpos", 0);
    fakereg::setDword(SettingsPath, "hotkeys", 0x0304);
    loadSettings();
    fake::clearLog();
    registerHotkeys(app.viewerWindow);
    EXPECT_TRUE(fake::calls(Op::RegisterHotKey).empty());
    EXPECT_EQ(described(app.hotkeys), "Switching is off: Shift with a digit types text on many keyboards.\n"
                                      "Moving is off: Ctrl+Alt with a digit types text on many keyboards.");
    saveSettings();
    EXPECT_EQ(fakereg::value(SettingsPath, "hotkeys")->data, (std::vector<BYTE>{0x04, 0x03, 0, 0}));
}

// The switch digits have the combinations; the arrows and +0 still work.
TEST_F(HotkeysTest, BothRowsWithTheSameModifiersClashWithEachOtherNotWithAnotherProgram) {
    app.hotkeys = 0x0E0E;
    registerHotkeys(app.viewerWindow);
    EXPECT_EQ(heldIds(), (std::vector<int>{1, 2, 3, 4, 5, 6, 11}));
    EXPECT_EQ(app.refusedHotkeys, 0u);
    EXPECT_EQ(described(app.hotkeys),
              "Both rows have Ctrl+Shift+Win: 1, 2, 3, 4 switch desktops and do not move a window.");
}

// A new choice may give switching the keys moving had: asked for row by
// row, they would still be held by the old rows.
TEST_F(HotkeysTest, RegistrationReleasesEveryCombinationBeforeAskingForAny) {
    app.hotkeys = 0x0E0B;
    registerHotkeys(app.viewerWindow);
    fake::holdHotkey(MOD_CONTROL | MOD_ALT | MOD_WIN, '3');  // taken meanwhile by another program
    fake::clearLog();
    app.hotkeys = 0x000E;
    registerHotkeys(app.viewerWindow);
    EXPECT_EQ(heldIds(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(app.refusedHotkeys, 0u);
    const std::vector<fake::Call>& log = fake::log();
    ASSERT_EQ(log.size(), 17u);
    for (std::size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].op, i < 11 ? Op::UnregisterHotKey : Op::RegisterHotKey);
    }

    app.hotkeys = 0x0B;
    registerHotkeys(app.viewerWindow);
    EXPECT_EQ(described(0x0B), "Not registered, in use by Windows or another program: Ctrl+Alt+Win+3");
    EXPECT_EQ(described(0x0E), "");  // no longer asked for
}
