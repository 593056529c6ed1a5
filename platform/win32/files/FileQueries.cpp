#include "platform/win32/files/FileQueries.h"

#include <windows.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "platform/win32/SystemError.h"
#include "platform/win32/files/FileAccess.h"

namespace tovask::win32 {

Result<bool> fileExists(std::wstring_view path) {
    const DWORD attributes = GetFileAttributesW(std::wstring(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const auto error = lastError();
        if (isNotFound(error)) {
            return false;
        }
        return error;
    }
    // A folder where a file is expected is an obstacle, not an absent file:
    // the caller must not carry on as if there were nothing to look after.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    return true;
}

namespace {

Result<unsigned long long> sizeOf(HANDLE file) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        return lastError();
    }
    return static_cast<unsigned long long>(size.QuadPart);
}

}  // namespace

Result<bool> isLocalFixedDrive(wchar_t letter) {
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    return GetDriveTypeW(root) == DRIVE_FIXED;
}

Result<std::wstring> longPathName(std::wstring_view path) {
    const std::wstring shortPath(path);
    std::wstring longPath(MAX_PATH, L'\0');
    // The answer may need a larger buffer, and the file may be renamed in
    // between: ask again with what the system said it needs.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD length = GetLongPathNameW(shortPath.c_str(), longPath.data(),
                                              static_cast<DWORD>(longPath.size()));
        if (length == 0) {
            return lastError();
        }
        if (length < longPath.size()) {
            longPath.resize(length);
            return longPath;
        }
        longPath.resize(length);
    }
    return std::make_error_code(std::errc::filename_too_long);
}

Result<bool> fileHasContent(std::wstring_view path, std::string_view content) {
    KernelHandle file;
    if (const auto error = openSharedForReading(std::wstring(path), file)) {
        return error;
    }
    const auto size = sizeOf(file.get());
    if (!size.ok()) {
        return size.error();
    }
    if (size.value() != content.size()) {
        return false;
    }
    // One byte more than expected, so that a file that grew is noticed.
    std::vector<char> buffer(std::min(content.size(), kReadSlice) + 1);
    for (;;) {
        const auto read = readSome(file.get(), buffer);
        if (!read.ok()) {
            return read.error();
        }
        if (read.value() == 0) {
            return content.empty();
        }
        // The file may have grown or changed since its size was taken.
        if (read.value() > content.size() ||
            !std::equal(buffer.begin(), buffer.begin() + read.value(), content.begin())) {
            return false;
        }
        content.remove_prefix(read.value());
    }
}

std::error_code clearAttributes(std::wstring_view path) {
    if (!SetFileAttributesW(std::wstring(path).c_str(), FILE_ATTRIBUTE_NORMAL)) {
        return lastError();
    }
    return {};
}

Result<std::string> readFileContent(std::wstring_view path, std::size_t limit) {
    KernelHandle file;
    if (const auto error = openUnchangingForReading(std::wstring(path), file)) {
        return error;
    }
    const auto size = sizeOf(file.get());
    if (!size.ok()) {
        return size.error();
    }
    if (size.value() > limit) {
        return std::make_error_code(std::errc::file_too_large);
    }
    // Nobody can write the file while it is open, so its size holds.
    std::string content(static_cast<std::size_t>(size.value()), '\0');
    std::span<char> rest(content);
    while (!rest.empty()) {
        const auto read = readSome(file.get(), rest.subspan(0, std::min(rest.size(), kReadSlice)));
        if (!read.ok()) {
            return read.error();
        }
        if (read.value() == 0) {
            break;
        }
        rest = rest.subspan(read.value());
    }
    content.resize(content.size() - rest.size());
    return content;
}

// Read from the folder's entry: the file is not opened, so a file held open
// without sharing still tells its time.
Result<CalendarTime> fileWrittenAt(std::wstring_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(std::wstring(path).c_str(), GetFileExInfoStandard, &data)) {
        return lastError();
    }
    SYSTEMTIME universal{};
    SYSTEMTIME local{};
    if (!FileTimeToSystemTime(&data.ftLastWriteTime, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
        return lastError();
    }
    return CalendarTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute};
}

}  // namespace tovask::win32
