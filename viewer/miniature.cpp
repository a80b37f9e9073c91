// The live miniature of the screen, drawn on the ticks of its timer that the
// pacing allows: into a picture kept for the life of the viewer, which the
// pacing compares with the one before, then onto the viewer. A fresh screen
// context each time costs little beside reading the whole screen; the
// picture is made once, and again only when the screen changes size.
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

// Top-down, so that the picture (the top half) and the one before it (the
// bottom half) each lie in one run of pixels.
void makeMiniaturePicture() {
    if (app.pictureDc == nullptr) {
        app.pictureDc = CreateCompatibleDC(nullptr);
        SetStretchBltMode(app.pictureDc, HALFTONE);  // average each block, don't drop pixels
        SetBrushOrgEx(app.pictureDc, 0, 0, nullptr);
    }
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = app.viewerWidth;
    format.bmiHeader.biHeight = -2 * app.viewerHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(app.pictureDc, &format, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap == nullptr) pixels = nullptr;
    SelectObject(app.pictureDc, bitmap);
    if (app.pictureBitmap != nullptr) DeleteObject(app.pictureBitmap);
    app.pictureBitmap = bitmap;
    app.picturePixels = static_cast<std::uint32_t*>(pixels);
    app.picturePixelCount = pixels == nullptr ? 0 : static_cast<std::size_t>(app.viewerWidth) * app.viewerHeight;
}

void showMiniature(HDC target) {
    BitBlt(target, 0, 0, app.viewerWidth, app.viewerHeight, app.pictureDc, 0, 0, SRCCOPY);
}

// GDI may batch its drawing: the pixels are read only once it is done.
void drawMiniature(HWND viewer) {
    HDC screenDc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    StretchBlt(app.pictureDc, 0, 0, app.viewerWidth, app.viewerHeight, screenDc, 0, 0, app.screenWidth,
               app.screenHeight, SRCCOPY);
    DeleteDC(screenDc);
    GdiFlush();
    HDC viewerDc = GetDC(viewer);
    showMiniature(viewerDc);
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
