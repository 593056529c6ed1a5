#pragma once

#include <objbase.h>

namespace tovask::win32 {

enum class ComThreading : DWORD {
    Apartment = COINIT_APARTMENTTHREADED,
    // For a thread without a message loop: Wine gives every apartment-threaded
    // thread a hidden window, which loads the display driver.
    Multithreaded = COINIT_MULTITHREADED,
};

// Initialises COM for the calling thread, apartment-threaded unless asked,
// for as long as it lives. A thread that already chose the other model keeps
// it (in-process objects such as the shell's and the Task Scheduler's work in
// both) and is not uninitialised here.
class ComApartment {
  public:
    explicit ComApartment(ComThreading threading = ComThreading::Apartment)
        : result_(CoInitializeEx(nullptr, static_cast<DWORD>(threading))) {}
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
