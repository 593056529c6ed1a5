#include <windows.h>

#include "app/window/Form1.h"
#include "app/window/MousePoint.h"

// The pointer messages of the window and its controls, turned into the
// events the handlers know: moves, mouse buttons pressed and released, and
// the clicks of the labels and logos.
namespace tovask::app {
namespace {

constexpr WPARAM kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

// Labels and logos are static controls: a click on them is made here from
// the press and the release, in that order, as on a push button.
bool clicksOnRelease(const Control& control) {
    return control.design->kind == ControlKind::Label || control.design->kind == ControlKind::Image;
}

bool isInside(HWND window, POINT point) {
    RECT client{};
    GetClientRect(window, &client);
    return PtInRect(&client, point) != FALSE;
}

}  // namespace

// Child controls receive their own pointer messages, which the window would
// never see. They are all posted, so they pass through the message loop:
// they are taken from there, before they go on to the control, and no
// control needs a subclass for them.
void Form1::notePointer(const MSG& message) {
    if (controls_.find(message.hwnd) == nullptr) {
        return;
    }
    const POINT point = pointOf(message.lParam);
    switch (message.message) {
        case WM_MOUSEMOVE:
            onMouseMove(message.hwnd, point);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            onMouseDown(message.hwnd, message.message);
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            onMouseUp(message.hwnd, message.message, message.wParam, point);
            break;
        default:
            break;
    }
}

// The window and the panel also receive the moves over the labels that let
// the pointer through to them: such a move belongs to the label under the
// pointer, and only a move over neither is one over the bare background.
void Form1::onMouseMove(HWND target, POINT point) {
    const bool container = target == window_ || target == control(ControlId::Picture1);
    HWND under = container ? ChildWindowFromPointEx(target, point, CWP_SKIPINVISIBLE) : target;
    if (under == window_) {
        Form_MouseMove();
        return;
    }
    if (const Control* found = controls_.find(under)) {
        runMouseMove(found->design->id);
    }
}

void Form1::onMouseDown(HWND target, UINT message) {
    const Control* pressed = controls_.find(target);
    if (pressed == nullptr || !clicksOnRelease(*pressed)) {
        return;
    }
    // Kept until the last button comes up, so that the release is seen
    // wherever the pointer has gone by then.
    SetCapture(target);
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        // The second press of a double-click starts no second click.
        clickStartedOn_ = message == WM_LBUTTONDOWN ? target : nullptr;
    }
    runMouseButton(pressed->design->id, true);
}

void Form1::onMouseUp(HWND target, UINT message, WPARAM buttonsDown, POINT point) {
    const Control* released = controls_.find(target);
    if (released == nullptr || !clicksOnRelease(*released)) {
        return;
    }
    const bool leftButton = message == WM_LBUTTONUP;
    const bool clicked = leftButton && clickStartedOn_ == target && isInside(target, point);
    if (leftButton) {
        clickStartedOn_ = nullptr;
    }
    if ((buttonsDown & kAnyButton) == 0 && GetCapture() == target) {
        ReleaseCapture();
    }
    runMouseButton(released->design->id, false);
    if (clicked) {
        runClick(released->design->id);
    }
}

}  // namespace tovask::app
