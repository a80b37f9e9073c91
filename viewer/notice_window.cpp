// The notice after a switch: a box in the middle of the screen with the
// desktop's digit and name. It is topmost and layered, takes no clicks and
// never the focus, and belongs to Panorel, so no capture files it.
#include "desktops/desktops.h"
#include "viewer/desktop_cues.h"
#include "viewer/viewer.h"

namespace {

constexpr char NoticeClass[] = "PanorelNotice";
constexpr UINT_PTR NoticeTimerId = 1;
constexpr int UnscaledDpi = 96;
constexpr int UnscaledWidth = 220;
constexpr int UnscaledHeight = 130;
constexpr int UnscaledDigitHeight = 72;
constexpr int UnscaledNameHeight = 20;
constexpr int UnscaledMargin = 8;
constexpr COLORREF NoticeBackground = RGB(0x15, 0x47, 0xA6);
constexpr COLORREF NoticeText = RGB(0xFF, 0xFF, 0xFF);
constexpr char NoticeFont[] = "Segoe UI";

struct NoticeLook {
    int width;
    int height;
    int margin;
    int nameBand;  // the strip under the digit that holds the name
    HFONT digitFont;
    HFONT nameFont;
    HBRUSH background;
};
NoticeLook look = {};

int scaled(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), UnscaledDpi); }

HFONT makeFont(int height, int weight) {
    return CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, NoticeFont);
}

// "title → 2 - Mail" for a window a rule sent away, in UTF-16: the title is
// in the ANSI code page, the desktop's name in UTF-8.
constexpr wchar_t RuleArrow[] = L" \u2192 ";
constexpr int RuleLineChars = NoticeTitleBytes + sizeof RuleArrow / sizeof RuleArrow[0] + DesktopLabelBytes;

void drawRuleLine(HDC dc, RECT* box) {
    wchar_t line[RuleLineChars] = {};
    int length = MultiByteToWideChar(CP_ACP, 0, app.noticeTitle, -1, line, NoticeTitleBytes) - 1;
    if (length < 0) length = 0;
    lstrcpyW(line + length, RuleArrow);
    length += lstrlenW(RuleArrow);
    char desktop[DesktopLabelBytes];
    makeDesktopText(app.noticeDesktop, desktop, sizeof desktop);
    MultiByteToWideChar(CP_UTF8, 0, desktop, -1, line + length, RuleLineChars - length);
    DrawTextW(dc, line, -1, box, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void paintNotice(HWND notice) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(notice, &paint);
    RECT all;
    GetClientRect(notice, &all);
    FillRect(dc, &all, look.background);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, NoticeText);
    const char digit[] = {static_cast<char>('0' + app.noticeDesktop), '\0'};
    const char* name = desktopName(app.noticeDesktop);
    const bool band = name[0] != '\0' || app.noticeTitle[0] != '\0';
    RECT digitBox = all;
    if (band) digitBox.bottom -= look.nameBand;
    HGDIOBJ old = SelectObject(dc, look.digitFont);
    DrawTextA(dc, digit, 1, &digitBox, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (band) {
        RECT nameBox = {all.left + look.margin, digitBox.bottom, all.right - look.margin, all.bottom - look.margin};
        SelectObject(dc, look.nameFont);
        if (app.noticeTitle[0] != '\0') {
            drawRuleLine(dc, &nameBox);
        } else {
            DrawTextA(dc, name, -1, &nameBox, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
    }
    SelectObject(dc, old);
    EndPaint(notice, &paint);
}

// Shown afresh at full strength in the middle of the screen, the hold
// counted again from now.
void restartNotice(HWND notice) {
    SetLayeredWindowAttributes(notice, 0, NoticeOpaque, LWA_ALPHA);
    InvalidateRect(notice, nullptr, TRUE);
    SetWindowPos(notice, HWND_TOPMOST, (app.screenWidth - look.width) / 2, (app.screenHeight - look.height) / 2,
                 look.width, look.height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetTimer(notice, NoticeTimerId, NoticeTickMs, nullptr);
}

void onNoticeTimer(HWND notice) {
    const BYTE alpha = noticeTick();
    if (alpha == 0) {
        KillTimer(notice, NoticeTimerId);
        ShowWindow(notice, SW_HIDE);
        return;
    }
    SetLayeredWindowAttributes(notice, 0, alpha, LWA_ALPHA);
}

LRESULT CALLBACK NoticeProc(HWND notice, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case NoticeRestartMessage:
        restartNotice(notice);
        return 0;
    case WM_TIMER:
        onNoticeTimer(notice);
        return 0;
    case WM_PAINT:
        paintNotice(notice);
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefWindowProcA(notice, message, wParam, lParam);
    }
}

}  // namespace

void makeNoticeWindow() {
    const UINT dpi = viewerDpi(app.viewerWindow);
    look.width = scaled(UnscaledWidth, dpi);
    look.height = scaled(UnscaledHeight, dpi);
    look.margin = scaled(UnscaledMargin, dpi);
    look.nameBand = scaled(UnscaledNameHeight + 2 * UnscaledMargin, dpi);
    look.digitFont = makeFont(scaled(UnscaledDigitHeight, dpi), FW_BOLD);
    look.nameFont = makeFont(scaled(UnscaledNameHeight, dpi), FW_NORMAL);
    look.background = CreateSolidBrush(NoticeBackground);
    WNDCLASSA type = {};
    type.lpfnWndProc = NoticeProc;
    type.hInstance = app.instance;
    type.lpszClassName = NoticeClass;
    type.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    RegisterClassA(&type);
    const DWORD extended = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT;
    app.noticeWindow = CreateWindowExA(extended, NoticeClass, "", WS_POPUP, 0, 0, look.width, look.height, nullptr,
                                       nullptr, app.instance, nullptr);
}
