#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/ScopedHandle.h"

namespace tovask::testsupport {

using TestWindow = win32::ScopedHandle<HWND, &DestroyWindow>;

// A window class of the test's own, registered for as long as it lives.
class TestWindowClass {
  public:
    explicit TestWindowClass(std::wstring name);
    TestWindowClass(const TestWindowClass&) = delete;
    TestWindowClass& operator=(const TestWindowClass&) = delete;
    ~TestWindowClass();

    const std::wstring& name() const { return name_; }
    // A top-level window of this class, not shown.
    TestWindow createWindow() const;

  private:
    std::wstring name_;
};

}  // namespace tovask::testsupport
