#include "platform/win32/files/FileAccess.h"

#include "platform/win32/SystemError.h"

namespace tovask::win32 {

namespace {

std::error_code openForReading(const std::wstring& path, DWORD sharing, KernelHandle& file) {
    const HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return lastError();
    }
    file.reset(opened);
    return {};
}

}  // namespace

std::error_code openSharedForReading(const std::wstring& path, KernelHandle& file) {
    return openForReading(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, file);
}

std::error_code openUnchangingForReading(const std::wstring& path, KernelHandle& file) {
    return openForReading(path, FILE_SHARE_READ, file);
}

Result<std::size_t> readSome(HANDLE file, std::span<char> buffer) {
    DWORD read = 0;
    if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
        return lastError();
    }
    return std::size_t{read};
}

std::error_code writeAll(HANDLE file, std::string_view bytes) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        return lastError();
    }
    // A disk file takes all of it or fails; a short write is a failure all the same.
    return written == bytes.size() ? std::error_code{} : errorFromCode(ERROR_WRITE_FAULT);
}

}  // namespace tovask::win32
