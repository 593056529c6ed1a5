#pragma once

#include <utility>

namespace tovask::win32 {

// Owns one handle of a kind and releases it with that kind's own function.
// Move-only; an empty handle is the kind's "none" value.
template <typename Handle, auto Release, Handle None = Handle{}>
class ScopedHandle {
  public:
    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, None)) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        reset(std::exchange(other.handle_, None));
        return *this;
    }
    ~ScopedHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != None; }
    void reset(Handle handle = None) {
        if (handle_ != None) {
            Release(handle_);
        }
        handle_ = handle;
    }
    // For APIs that hand a new handle back through a pointer.
    Handle* receive() {
        reset();
        return &handle_;
    }

  private:
    Handle handle_ = None;
};

}  // namespace tovask::win32
