#include "app/window/controls/ControlFactory.h"

#include <commctrl.h>

#include <string>

#include "app/window/controls/WindowClasses.h"

namespace tovask::app {
namespace {

struct WindowKind {
    const wchar_t* className;
    DWORD style;
    DWORD extendedStyle;
};

// Every control clips the siblings above it, so that where two overlap the
// one in front is never painted over.
constexpr DWORD kChild = WS_CHILD | WS_CLIPSIBLINGS;

// Static labels wrap at blanks and start a new line at CR LF. Only the ones
// that react to the pointer say so: the others let the pointer through to
// what lies behind them.
WindowKind labelKind(const ControlDesign& design) {
    DWORD style = kChild | SS_LEFT | SS_NOPREFIX;
    if (design.has(kHand)) {
        style |= SS_NOTIFY;
    }
    // A transparent label is painted after the siblings beneath it, which
    // therefore show through between its letters.
    const DWORD extendedStyle = design.has(kTransparent) ? WS_EX_TRANSPARENT : 0;
    return {WC_STATICW, style, extendedStyle};
}

WindowKind windowKindOf(const ControlDesign& design) {
    switch (design.kind) {
        case ControlKind::Button:
            return {WC_BUTTONW, kChild | WS_TABSTOP | BS_PUSHBUTTON, 0};
        case ControlKind::Label:
            return labelKind(design);
        case ControlKind::TextBox:
            return {WC_EDITW, kChild | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::ListBox:
            return {
                WC_LISTBOXW,
                kChild | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                WS_EX_CLIENTEDGE};
        case ControlKind::Panel:
            // Its controls join the window's keyboard navigation.
            return {kPanelClassName, kChild | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
        case ControlKind::Image:
            // Drawn by the window, so that a picture's transparent pixels show
            // the container behind it.
            return {WC_STATICW, kChild | SS_OWNERDRAW | SS_NOTIFY, 0};
    }
    return {WC_STATICW, kChild, 0};
}

}  // namespace

HWND createControl(const ControlDesign& design, HWND container, int dpi, HINSTANCE instance) {
    const WindowKind kind = windowKindOf(design);
    const DWORD visibility = design.has(kHidden) ? 0 : WS_VISIBLE;
    const RECT place = toPixels(design.rect, dpi);
    const std::wstring text(design.text);
    HWND control = CreateWindowExW(
        kind.extendedStyle, kind.className, text.c_str(), kind.style | visibility, place.left,
        place.top, place.right - place.left, place.bottom - place.top, container,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), instance, nullptr);
    if (control != nullptr && design.kind == ControlKind::TextBox) {
        // The start page may be as long as the user likes.
        SendMessageW(control, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    }
    return control;
}

}  // namespace tovask::app
