// The floors of the start-up benchmark: the least a window program with a
// focused edit box does, built with the same compiler, flags and libraries.
// Built with TOVASK_COMMON_CONTROL, it also creates one common control, so
// that it loads the common controls library as the program must: the fair
// floor.
#include <windows.h>

#ifdef TOVASK_COMMON_CONTROL
#include <commctrl.h>
#endif

namespace {

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

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
    ShowWindow(window, show);
    SetFocus(edit);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
