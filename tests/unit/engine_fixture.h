// A world for the engine: the program's own process with its viewer, a
// shell with taskbar and "progman", and menus shaped as the viewer builds them.
#pragma once

#include "app/app_state.h"
#include "desktops/desktops.h"
#include "fake_registry.h"
#include "fake_window_system.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

constexpr DWORD OwnProcess = 100;
constexpr DWORD ShellProcess = 200;
constexpr DWORD OtherProcess = 300;

class EngineTest : public ::testing::Test {
protected:
    HWND table[WindowTableSlots] = {};

    void SetUp() override {
        fake::reset();
        fakereg::reset();
        app = AppState{};
        app.windowTable = table;
        app.ownProcessId = OwnProcess;
        app.viewerWindow = fake::addWindow(OwnProcess);
        app.taskbarWindow = fake::addWindow(ShellProcess);
        app.progmanWindow = fake::addWindow(ShellProcess);
        fake::setShellWindow(app.progmanWindow);
        app.gotoMenu = fake::createMenu();
        for (DesktopId d = 1; d <= DesktopCount; ++d) {
            ws::AppendMenuA(app.gotoMenu, MF_STRING, GotoFirstId - 1 + d, "d");
        }
        ws::CheckMenuItem(app.gotoMenu, GotoFirstId, MF_CHECKED);
        app.viewerMenu = fake::createMenu();
        ws::AppendMenuA(app.viewerMenu, MF_STRING | MF_GRAYED, static_cast<UINT_PTR>(-1), app.desktopLabel);
        app.recallMenu = fake::createMenu();
        fake::clearLog();
    }

    void TearDown() override { expectInvariants(); }

    // What every operation leaves true: a window stands in one desktop's
    // range at most, or on the every-desktop list; no group stands in two
    // places; and the record names exactly the windows the engine hid that
    // are still hidden.
    static void expectInvariants() {
        std::set<HWND> placed;
        for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
            HWND w = app.windowTable[slot];
            if (w != nullptr) {
                EXPECT_TRUE(placed.insert(w).second) << "filed twice: " << w;
            }
        }
        for (const EveryDesktopWindow& entry : app.everyDesktopWindows) {
            if (entry.window != nullptr) {
                EXPECT_EQ(placed.count(entry.window), 0u) << "also on every desktop";
            }
        }
        expectGroupsWhole();
        std::set<HWND> hidden;
        for (HWND w : fake::zOrder()) {
            if (fake::hiddenByEngine(w)) hidden.insert(w);
        }
        EXPECT_EQ(recorded(), hidden) << "the record names what the engine hid";
    }

    // Each living window's place: its desktop, or 0 for every desktop.
    static void expectGroupsWhole() {
        std::map<HWND, DesktopId> placeOfGroup;
        auto place = [&](HWND w, DesktopId d) {
            if (!fake::isAlive(w)) return;
            const auto taken = placeOfGroup.emplace(groupRoot(w), d);
            EXPECT_EQ(taken.first->second, d) << "a group on two desktops: " << w;
        };
        for (unsigned slot = 0; slot < WindowTableSlots; ++slot) {
            if (app.windowTable[slot] != nullptr) place(app.windowTable[slot], slot / SlotsPerDesktop + 1);
        }
        for (const EveryDesktopWindow& entry : app.everyDesktopWindows) {
            if (entry.window != nullptr) place(entry.window, 0);
        }
    }

    // The living windows on the record, each a 32-bit handle and then a
    // process id: a destroyed one leaves at the next write, and a restart
    // would not find it anyway.
    static std::set<HWND> recorded() {
        std::set<HWND> windows;
        const fakereg::Value* v = fakereg::value("HKCU\\Software\\Panorel\\Session", "parked");
        if (v == nullptr) return windows;
        for (std::size_t at = 0; at + 8 <= v->data.size(); at += 8) {
            std::uint32_t word = 0;
            for (int i = 0; i < 4; ++i) word |= std::uint32_t{v->data[at + i]} << (8 * i);
            HWND w = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(word));
            if (fake::isAlive(w)) windows.insert(w);
        }
        return windows;
    }

    // Files a window straight into a slot, with its owner as the window
    // system tells it now.
    static void file(unsigned slot, HWND w) {
        WindowOwner owner;
        owner.threadId = ws::GetWindowThreadProcessId(w, &owner.processId);
        fileWindow(slot, w, owner);
    }

    // The non-empty slots of desktop d's range, in slot order.
    std::vector<HWND> filed(DesktopId d) const {
        std::vector<HWND> windows;
        for (unsigned i = 0; i < SlotsPerDesktop; ++i) {
            if (table[desktopRangeStart(d) + i] != nullptr) windows.push_back(table[desktopRangeStart(d) + i]);
        }
        return windows;
    }

    static std::vector<UINT_PTR> checkedGotoIds() {
        std::vector<UINT_PTR> ids;
        for (const fake::MenuItem& item : fake::menuItems(app.gotoMenu)) {
            if (item.checked) ids.push_back(item.id);
        }
        return ids;
    }
};
