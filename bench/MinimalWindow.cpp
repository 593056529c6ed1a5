// The floors of the start-up benchmark: the least a window program with a
// focused edit box does, built with the same compiler, flags and libraries.
// Built with TOVASK_COMMON_CONTROL, it also creates one common control, so
// that it loads the common controls library as the program must: the fair
// floor. Built with TOVASK_PROGRAM_CONTROLS as well, it also holds bare
// system controls in the place of each of the program's, so that the
// benchmark shows what those windows cost on their own.
#include <windows.h>

#ifdef TOVASK_COMMON_CONTROL
#include <commctrl.h>
#endif

#ifdef TOVASK_PROGRAM_CONTROLS
#include <string>

#include "app/window/design/DesignTable.h"
#endif

namespace {

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

#ifdef TOVASK_PROGRAM_CONTROLS
// The edit box stands for the program's own; every other control becomes a
// bare system control of its kind (a static control for the labels, the
// pictures and the panel), at its place at 96 dpi and with its caption, but
// with no fonts, pictures or subclasses.
bool createProgramControls(HWND window, HINSTANCE instance) {
    using tovask::app::ControlKind;
    constexpr int kTwipsPerPixel = tovask::app::kTwipsPerInch / USER_DEFAULT_SCREEN_DPI;
    HWND panel = nullptr;
    for (const auto& design : tovask::app::kDesignTable) {
        if (design.kind == ControlKind::TextBox) {
            continue;
        }
        const wchar_t* className = design.kind == ControlKind::Button    ? L"Button"
                                   : design.kind == ControlKind::ListBox ? L"ListBox"
                                                                         : L"Static";
        const DWORD visible = design.has(tovask::app::kHidden) ? 0 : WS_VISIBLE;
        HWND parent = design.container == tovask::app::Container::Window ? window : panel;
        const std::wstring caption(design.text);
        HWND control = CreateWindowExW(
            0, className, caption.c_str(), WS_CHILD | visible, design.rect.left / kTwipsPerPixel,
            design.rect.top / kTwipsPerPixel, design.rect.width / kTwipsPerPixel,
            design.rect.height / kTwipsPerPixel, parent, nullptr, instance, nullptr);
        if (!control) {
            return false;
        }
        if (design.kind == ControlKind::Panel) {
            panel = control;
        }
    }
    return true;
}
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"MinimalWindow";
    if (!RegisterClassExW(&windowClass)) {
        return 1;
    }
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Minimal",
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 400, 330, nullptr, nullptr, instance, nullptr);
    if (!window) {
        return 1;
    }
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                10, 10, 200, 20, window, nullptr, instance, nullptr);
#ifdef TOVASK_COMMON_CONTROL
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    if (!InitCommonControlsEx(&classes) ||
        !CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 10, 40, 200, 20, window,
                         nullptr, instance, nullptr)) {
        return 1;
    }
#endif
#ifdef TOVASK_PROGRAM_CONTROLS
    if (!createProgramControls(window, instance)) {
        return 1;
    }
#endif
    ShowWindow(window, show);
    SetFocus(edit);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
