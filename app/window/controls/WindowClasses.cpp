#include "app/window/controls/WindowClasses.h"

#include "platform/win32/SystemError.h"

namespace tovask::app {
namespace {

// The panel is only a container: what its controls report, and how they ask
// to be painted, goes to the window that owns them.
LRESULT CALLBACK panelProcedure(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
        case WM_DRAWITEM:
            return SendMessageW(GetParent(panel), message, wParam, lParam);
        default:
            return DefWindowProcW(panel, message, wParam, lParam);
    }
}

}  // namespace

std::error_code registerWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return win32::lastError();
    }
    return {};
}

std::error_code registerPanelClass(HINSTANCE instance) {
    return registerWindowClass(instance, kPanelClassName, panelProcedure);
}

}  // namespace tovask::app
