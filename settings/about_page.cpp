// The About page and its two links.
#include "settings/options_dialog.h"

#include <shellapi.h>

namespace {

constexpr int WebSiteLinkId = 9;
constexpr int ReferralLinkId = 12;
// The referral link shows the payment service's address but opens this page
// of its referral programme.
constexpr char ReferralAddress[] = "https://pay.example.com/referral/panorel";

constexpr COLORREF LinkTextColour = RGB(0, 0, 255);
constexpr COLORREF LinkBackColour = RGB(255, 255, 255);
constexpr int LinkTextBytes = 256;

// The open page's links and their font; empty while no page exists.
struct AboutLinks {
    HWND webSite;
    HWND referral;
    HFONT font;
};
AboutLinks links = {};

bool isLink(HWND control) { return control != nullptr && (control == links.webSite || control == links.referral); }

// Both links are statics, so both had the same procedure before.
void subclassLink(HWND link) {
    app.previousLinkProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HyperlinkProc)));
}

// The page's own font, underlined; made once per page and deleted with it.
HFONT createLinkFont(HWND page) {
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(page, WM_GETFONT, 0, 0)), sizeof font, &font);
    font.lfUnderline = TRUE;
    return CreateFontIndirectA(&font);
}

// The links carry the underlined font as their own: a static control may
// select its font before or after it asks its parent for colours, and this
// way the underline is there either way.
void initAboutPage(HWND page) {
    links.webSite = GetDlgItem(page, WebSiteLinkId);
    links.referral = GetDlgItem(page, ReferralLinkId);
    subclassLink(links.webSite);
    subclassLink(links.referral);
    app.handCursor = LoadCursorA(nullptr, IDC_HAND);
    links.font = createLinkFont(page);
    SendMessageA(links.webSite, WM_SETFONT, reinterpret_cast<WPARAM>(links.font), FALSE);
    SendMessageA(links.referral, WM_SETFONT, reinterpret_cast<WPARAM>(links.font), FALSE);
}

// Blue on white whether or not the mouse is over the link; every other text
// fills nothing behind itself.
INT_PTR controlColours(HDC dc, HWND control) {
    if (!isLink(control)) return noBackgroundBrush(reinterpret_cast<LPARAM>(control));
    SetTextColor(dc, LinkTextColour);
    SetBkColor(dc, LinkBackColour);
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

// Called after the page's controls are gone, so no link still draws with
// the font.
void releaseAboutPage() {
    DeleteObject(links.font);
    links = {};
}

// The web-site link opens the address it shows, the referral link its fixed
// page. The shell opens the browser and returns at once.
void openLink(HWND link) {
    char text[LinkTextBytes] = {};
    GetWindowTextA(link, text, sizeof text);
    const char* target = link == links.referral ? ReferralAddress : text;
    if (target[0] != '\0') ShellExecuteA(nullptr, "open", target, nullptr, nullptr, SW_SHOWMAXIMIZED);
    InvalidateRect(link, nullptr, FALSE);
}

}  // namespace

INT_PTR CALLBACK AboutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        initAboutPage(page);
        return FALSE;
    case WM_CTLCOLORSTATIC:
        return controlColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ERASEBKGND:
        return eraseNoBackground(page);
    case WM_NCDESTROY:
        releaseAboutPage();
        return FALSE;
    default:
        return FALSE;
    }
}

// A static without SS_NOTIFY lets the mouse through to the page; a link
// takes it. The hand is set for WM_SETCURSOR too, so the class's arrow never
// shows between two moves.
LRESULT CALLBACK HyperlinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_SETCURSOR:
        SetCursor(app.handCursor);
        return TRUE;
    case WM_MOUSEMOVE:
        SetCursor(app.handCursor);
        return 0;
    case WM_LBUTTONDOWN:  // the link acts on the button going down
        openLink(link);
        return 0;
    default:
        return CallWindowProcA(app.previousLinkProc, link, message, wParam, lParam);
    }
}
