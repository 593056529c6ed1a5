#pragma once

#include <objbase.h>
#include <oleauto.h>

#include <string_view>

#include "platform/win32/ScopedHandle.h"

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

// A string of COM's own kind, freed by COM's allocator.
using SystemText = ScopedHandle<BSTR, &SysFreeString>;

// The text as COM's string; empty when no memory was left for it.
inline SystemText systemText(std::wstring_view text) {
    return SystemText(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

// A VARIANT that holds a copy of a text, or nothing when no memory was left
// for it, and frees what it holds.
class TextVariant {
  public:
    explicit TextVariant(std::wstring_view text) {
        VariantInit(&variant_);
        variant_.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (variant_.bstrVal != nullptr) {
            variant_.vt = VT_BSTR;
        }
    }
    TextVariant(const TextVariant&) = delete;
    TextVariant& operator=(const TextVariant&) = delete;
    ~TextVariant() { VariantClear(&variant_); }

    bool holdsText() const { return variant_.vt == VT_BSTR; }
    // A shallow copy, for a method that takes a VARIANT by value and only reads it.
    VARIANT get() const { return variant_; }

  private:
    VARIANT variant_;
};

}  // namespace tovask::win32
