#pragma once

#include <windows.h>

namespace tovask::win32 {

// While it lives, this thread of a 32-bit program on a 64-bit Windows reaches
// the real System32 rather than SysWOW64, so that a path an administrator typed
// means what it says; elsewhere it changes nothing. Nothing that loads a
// library may run meanwhile: the 64-bit System32 holds no 32-bit ones. Not a
// ScopedHandle: the state it keeps is null whenever redirection was on.
class NativeSystemFolder {
  public:
    NativeSystemFolder() : turnedOff_(Wow64DisableWow64FsRedirection(&previous_) != FALSE) {}
    ~NativeSystemFolder() {
        if (turnedOff_) {
            Wow64RevertWow64FsRedirection(previous_);
        }
    }
    NativeSystemFolder(const NativeSystemFolder&) = delete;
    NativeSystemFolder& operator=(const NativeSystemFolder&) = delete;

  private:
    PVOID previous_ = nullptr;
    bool turnedOff_;
};

}  // namespace tovask::win32
