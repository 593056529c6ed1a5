#include "app/window/Form1.h"

#include "app/window/MousePoint.h"
#include "app/window/controls/ControlFactory.h"
#include "app/window/controls/Controls.h"
#include "app/window/controls/Labels.h"
#include "app/window/controls/TabOrder.h"
#include "app/window/controls/WindowClasses.h"
#include "app/window/drawing/Twips.h"
#include "platform/win32/SystemError.h"
#include "repair/texts/ProgramTexts.h"
#include "resources/ResourceIds.h"

namespace tovask::app {
namespace {

// A fixed single border: a title bar with the system menu and the minimise
// box, but nothing that resizes or maximises the window.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr TwipsRect kClientArea{0, 0, 6015, 4980};

ScopedIcon loadIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return ScopedIcon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TOVASK),
                                                    IMAGE_ICON, GetSystemMetrics(widthMetric),
                                                    GetSystemMetrics(heightMetric), 0)));
}

bool isTabKey(const MSG& message) {
    return message.message == WM_KEYDOWN && message.wParam == VK_TAB;
}

}  // namespace

Form1::Form1(PlatformOps& platform, WindowOps& windowOps, HINSTANCE instance)
    : platform_(platform),
      windowOps_(windowOps),
      instance_(instance),
      repair_(platform, *this,
              [this](const FindingsOffer& offer) { return chooseFindings(offer); }),
      dpi_(screenDpi()),
      fonts_(dpi_),
      logoInfo1_(loadBitmapPicture(instance, IDB_LOGO_INFO1)),
      bigIcon_(loadIcon(instance, SM_CXICON, SM_CYICON)),
      smallIcon_(loadIcon(instance, SM_CXSMICON, SM_CYSMICON)),
      handCursor_(LoadCursorW(instance, MAKEINTRESOURCEW(IDC_HAND_POINTER))) {}

Form1::~Form1() {
    if (window_ != nullptr) {
        // Detached first: a window closed by its owner object is not the user
        // closing the program.
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

std::error_code Form1::create() {
    windowOps_.InitCommonControls();
    if (const auto error = createWindow()) {
        return error;
    }
    if (const auto error = createControls()) {
        return error;
    }
    Form_Load();
    return {};
}

std::error_code Form1::createWindow() {
    if (const auto error = registerWindowClass(instance_, kMainWindowClassName, windowProcedure)) {
        return error;
    }
    if (const auto error = registerPanelClass(instance_)) {
        return error;
    }
    const RECT client = toPixels(kClientArea, dpi_);
    const RECT frame = centredFrame({client.right, client.bottom}, kWindowStyle, 0);
    const std::wstring caption(texts::kWindowCaption);
    if (CreateWindowExW(0, kMainWindowClassName, caption.c_str(), kWindowStyle | WS_CLIPCHILDREN,
                        frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                        nullptr, nullptr, instance_, this) == nullptr) {
        return win32::lastError();
    }
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    return {};
}

// In design-table order, front to back: each new control goes below the ones
// before it, and the panel comes first so that its own controls have it.
std::error_code Form1::createControls() {
    for (const ControlDesign& design : kDesignTable) {
        HWND container =
            design.container == Container::Window ? window_ : controls_[ControlId::Picture1].window;
        HWND control = createControl(design, container, dpi_, instance_);
        if (control == nullptr) {
            return win32::lastError();
        }
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts_.fontFor(fontRoleOf(design))), FALSE);
        controls_.add(design, control);
    }
    return {};
}

void Form1::Form_Load() {
    repair_.loadPaths();
    setCaption(ControlId::Label1, texts::kWelcome);
    setCaption(ControlId::Label2, texts::kSafeModeAdvice);
}

void Form1::show() {
    ShowWindow(window_, SW_SHOW);
    lastFocus_ = control(ControlId::Text1);
    SetFocus(lastFocus_);
    UpdateWindow(window_);
}

bool Form1::translateKeyboard(MSG& message) {
    if (window_ == nullptr) {
        return false;
    }
    if (isTabKey(message) && (message.hwnd == window_ || IsChild(window_, message.hwnd))) {
        if (HWND next = nextReachableTabStop(GetKeyState(VK_SHIFT) < 0)) {
            SetFocus(next);
        }
        return true;
    }
    // A key can still be on its way to a control that has just been hidden:
    // the panel's button closes the panel when Space comes up, and the
    // character of that key may follow. Wine's dialog navigation never stops
    // looking for such a control, so the key goes straight to it.
    if (!IsWindowVisible(message.hwnd)) {
        return false;
    }
    return IsDialogMessageW(window_, &message) != FALSE;
}

// The tab stops that the shown panel covers are passed over; going round the
// cycle once finds the next one that is not, if any.
HWND Form1::nextReachableTabStop(bool backwards) const {
    HWND next = GetFocus();
    for (std::size_t stop = 0; stop < kDesignTable.size(); ++stop) {
        next = nextTabStop(controls_, next, backwards);
        if (next == nullptr || !liesUnderPanel(next, control(ControlId::Picture1))) {
            return next;
        }
    }
    return nullptr;
}

LRESULT CALLBACK Form1::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->handleMessage(message, wParam, lParam);
}

LRESULT Form1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
            return 0;
        case WM_MOUSEMOVE:
            onMouseMove(window_, pointOf(lParam));
            return 0;
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<LRESULT>(
                onColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
        case WM_DRAWITEM:
            onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_SETCURSOR:
            return onSetCursor(reinterpret_cast<HWND>(wParam)) ||
                   DefWindowProcW(window_, message, wParam, lParam);
        case WM_ACTIVATE:
            onActivate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_DESTROY:
            onDestroy();
            return 0;
        case WM_NCDESTROY:
            onWindowGone();
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

// A button reports its click here. A label or logo reports STN_CLICKED as
// soon as the mouse button goes down, which is not yet a click: its clicks
// come from the release instead (onMouseUp).
void Form1::onCommand(HWND sender, UINT notification) {
    const Control* control = controls_.find(sender);
    if (notification == BN_CLICKED && control != nullptr &&
        control->design->kind == ControlKind::Button) {
        runClick(control->design->id);
    }
}

HBRUSH Form1::onColourStatic(HDC dc, HWND label) {
    const Control* control = controls_.find(label);
    return control != nullptr ? prepareLabelColours(dc, *control) : GetSysColorBrush(COLOR_BTNFACE);
}

// The logos: the container's face first, for the picture's transparent
// pixels to show, then the picture at its natural size.
void Form1::onDrawItem(const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    const bool second = static_cast<ControlId>(item.CtlID) == ControlId::LogoInfo2;
    drawPicture(item.hDC, second ? logoInfo2_ : logoInfo1_);
}

// Asked by the control under the pointer before it sets its own pointer.
bool Form1::onSetCursor(HWND target) {
    const Control* control = controls_.find(target);
    if (control == nullptr || !control->design->has(kHand)) {
        return false;
    }
    SetCursor(handCursor_);
    return true;
}

// Like a dialog, the window gives the focus back to the control that had it
// when the user returns from another window or a message box.
void Form1::onActivate(bool active) {
    if (active) {
        SetFocus(lastFocus_);
        return;
    }
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(window_, focus)) {
        lastFocus_ = focus;
    }
}

void Form1::onDestroy() {
    PostQuitMessage(0);
}

void Form1::onWindowGone() {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
}

}  // namespace tovask::app
