#include "tests/win32/TestWindows.h"

#include <gtest/gtest.h>

namespace tovask::testsupport {

TestWindowClass::TestWindowClass(std::wstring name) : name_(std::move(name)) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name_.c_str();
    EXPECT_NE(RegisterClassExW(&windowClass), 0) << GetLastError();
}

TestWindowClass::~TestWindowClass() {
    UnregisterClassW(name_.c_str(), GetModuleHandleW(nullptr));
}

TestWindow TestWindowClass::createWindow() const {
    TestWindow window(CreateWindowExW(0, name_.c_str(), L"Test window", WS_OVERLAPPEDWINDOW,
                                      CW_USEDEFAULT, CW_USEDEFAULT, 300, 200, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
    EXPECT_TRUE(window) << GetLastError();
    return window;
}

}  // namespace tovask::testsupport
