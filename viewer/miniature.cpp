// The live miniature of the screen, drawn straight onto the viewer on the
// ticks of its timer that the frame budget allows. Nothing is kept from one
// picture to the next: a fresh screen context each time costs little beside
// reading the whole screen, and a covered part of the viewer is simply right
// again at the next picture.
#include "viewer/viewer.h"

#include <cstring>

namespace {

// The console display state (Windows 8 and later), and the monitor's power
// state that Windows Vista and 7 report instead, with the same 0 for off
// and 1 for on. Their own values here, so nothing need be linked for them.
constexpr GUID ConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID MonitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

bool isDisplaySetting(const GUID& setting) {
    return IsEqualGUID(setting, ConsoleDisplayState) || IsEqualGUID(setting, MonitorPowerOn);
}

}  // namespace

void drawMiniature(HWND viewer) {
    HDC viewerDc = GetDC(viewer);
    SetStretchBltMode(viewerDc, HALFTONE);  // average each block, don't drop pixels
    HDC screenDc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    StretchBlt(viewerDc, 0, 0, app.viewerWidth, app.viewerHeight, screenDc, 0, 0, app.screenWidth,
               app.screenHeight, SRCCOPY);
    DeleteDC(screenDc);
    ReleaseDC(viewer, viewerDc);
}

// The registrations last as long as the viewer; each notification also
// comes once at once with the present state. Where a system knows neither
// setting, the display simply counts as on.
void watchDisplayState(HWND viewer) {
    RegisterPowerSettingNotification(viewer, &ConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
    RegisterPowerSettingNotification(viewer, &MonitorPowerOn, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void onPowerBroadcast(WPARAM event, LPARAM data) {
    if (event != PBT_POWERSETTINGCHANGE || data == 0) return;
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
    if (!isDisplaySetting(setting->PowerSetting) || setting->DataLength < sizeof(DWORD)) return;
    DWORD state = 0;
    std::memcpy(&state, setting->Data, sizeof state);
    app.displayState = state;
}
