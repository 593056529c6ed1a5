#pragma once

#include <objbase.h>

namespace tovask::win32 {

// Initialises COM for the calling thread, apartment-threaded, for as long as
// it lives. A thread that already chose the multithreaded apartment keeps it
// (in-process objects such as the shell's work in both) and is not
// uninitialised here.
class ComApartment {
  public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }

    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
    HRESULT result() const { return result_; }

  private:
    HRESULT result_;
};

}  // namespace tovask::win32
