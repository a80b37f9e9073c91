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

HBITMAP makeTopDownBitmap(HDC dc, std::int32_t width, std::int32_t height, void** pixels) {
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    *pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &format, DIB_RGB_COLORS, pixels, nullptr, 0);
    if (bitmap == nullptr) *pixels = nullptr;
    return bitmap;
}

namespace {

// A top-down 32-bit bitmap, selected into the context.
HBITMAP makeBitmap(HDC dc, std::int32_t width, std::int32_t height, void** pixels) {
    HBITMAP bitmap = makeTopDownBitmap(dc, width, height, pixels);
    SelectObject(dc, bitmap);
    return bitmap;
}

// One row of the screen's width, and the fingerprints at the miniature's
// size: one word for each of its pixels.
void makeSample() {
    if (app.sampleDc == nullptr) app.sampleDc = CreateCompatibleDC(nullptr);
    void* pixels = nullptr;
    HBITMAP bitmap = makeBitmap(app.sampleDc, app.screenWidth, 1 + app.viewerHeight, &pixels);
    if (app.sampleBitmap != nullptr) DeleteObject(app.sampleBitmap);
    app.sampleBitmap = bitmap;
    app.sampleRow = static_cast<std::uint32_t*>(pixels);
    app.sampleFingerprints = app.sampleRow == nullptr ? nullptr : app.sampleRow + app.screenWidth;
}

constexpr std::uint32_t FingerprintPrime = 16777619u;
constexpr std::uint32_t FingerprintStart = 2166136261u;

// The colours of the row's pixels that one pixel of the miniature covers.
std::uint32_t fingerprint(const std::uint32_t* from, const std::uint32_t* to) {
    std::uint32_t print = FingerprintStart;
    for (; from < to; ++from) print = (print ^ (*from & 0x00FFFFFFu)) * FingerprintPrime;
    return print;
}

// Compares one sampled row with the last look's and keeps it: the count of
// the miniature's pixels, outside the viewer's own image, that differ.
unsigned compareSampledRow(std::int32_t row) {
    unsigned changed = 0;
    std::uint32_t* prints = app.sampleFingerprints + static_cast<std::size_t>(row) * app.viewerWidth;
    for (std::int32_t column = 0; column < app.viewerWidth; ++column) {
        const std::int32_t left = MulDiv(column, app.screenWidth, app.viewerWidth);
        const std::int32_t right = MulDiv(column + 1, app.screenWidth, app.viewerWidth);
        const std::uint32_t print = fingerprint(app.sampleRow + left, app.sampleRow + right);
        const std::size_t pixel = static_cast<std::size_t>(row) * app.viewerWidth + column;
        if (print != prints[column] && !inViewersOwnImage(pixel)) ++changed;
        prints[column] = print;
    }
    return changed;
}

}  // namespace

// Top-down, so that the picture (the top half) and the one before it (the
// bottom half) each lie in one run of pixels.
void makeMiniaturePicture() {
    makeSample();
    if (app.pictureDc == nullptr) {
        app.pictureDc = CreateCompatibleDC(nullptr);
        SetStretchBltMode(app.pictureDc, HALFTONE);  // average each block, don't drop pixels
        SetBrushOrgEx(app.pictureDc, 0, 0, nullptr);
    }
    void* pixels = nullptr;
    HBITMAP bitmap = makeBitmap(app.pictureDc, app.viewerWidth, 2 * app.viewerHeight, &pixels);
    if (app.pictureBitmap != nullptr) DeleteObject(app.pictureBitmap);
    app.pictureBitmap = bitmap;
    app.picturePixels = static_cast<std::uint32_t*>(pixels);
    app.picturePixelCount = pixels == nullptr ? 0 : static_cast<std::size_t>(app.viewerWidth) * app.viewerHeight;
}

void showMiniature(HDC target) {
    BitBlt(target, 0, 0, app.viewerWidth, app.viewerHeight, app.pictureDc, 0, 0, SRCCOPY);
}

// A row at a time: reading a part of the screen costs in proportion to its
// pixels, so a ninth of the rows costs about a ninth of a picture. A change
// that falls wholly between two sampled rows waits for the next picture.
bool screenSampleChanged() {
    if (app.sampleFingerprints == nullptr) return true;
    HDC screenDc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    unsigned changed = 0;
    for (std::int32_t row = 0; row < app.viewerHeight; ++row) {
        const int y = MulDiv(2 * row + 1, app.screenHeight, 2 * app.viewerHeight);
        BitBlt(app.sampleDc, 0, 0, app.screenWidth, 1, screenDc, 0, y, SRCCOPY);
        GdiFlush();
        changed += compareSampledRow(row);
    }
    DeleteDC(screenDc);
    return changed > 0;
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
