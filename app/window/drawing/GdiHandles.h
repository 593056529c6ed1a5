#pragma once

#include <windows.h>

#include <utility>

#include "platform/win32/ScopedHandle.h"

namespace tovask::app {

// GDI and USER objects the window creates and must give back. Cursors loaded
// with LoadCursorW are shared by the system and are never released here.
using ScopedFont = win32::ScopedHandle<HFONT, &DeleteObject>;
using ScopedBitmap = win32::ScopedHandle<HBITMAP, &DeleteObject>;
using ScopedIcon = win32::ScopedHandle<HICON, &DestroyIcon>;
using ScopedMemoryDC = win32::ScopedHandle<HDC, &DeleteDC>;

// A window's device context, given back to that window.
class WindowDC {
  public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context, with the previous one put back
// before the object can be deleted.
class ScopedSelection {
  public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;
    ~ScopedSelection() {
        if (previous_ != nullptr) {
            SelectObject(dc_, previous_);
        }
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace tovask::app
