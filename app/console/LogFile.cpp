#include "app/console/LogFile.h"

#include <windows.h>

#include <lmcons.h>

#include <algorithm>
#include <string>

#include "app/console/LineEnds.h"
#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/files/FileAccess.h"
#include "platform/win32/files/NativeSystemFolder.h"
#include "repair/commandline/CommandLineTexts.h"
#include "text/DecimalText.h"
#include "text/Utf8.h"
#include "values/Result.h"

namespace tovask::app {
namespace {

// The log may be in a folder that users can write to. A link put there would
// make this elevated program write to a file of a user's choosing: the path
// is refused as unwritable.
std::error_code refusedLink() {
    return win32::errorFromCode(ERROR_ACCESS_DENIED);
}

// The drive or share the path starts with, whose own links are the system's.
std::size_t rootLength(const std::wstring& path) {
    if (!path.starts_with(L"\\\\")) {
        return std::min<std::size_t>(path.size(), 3);  // "C:\"
    }
    // "\\server\share\": the separator after the share.
    const auto share = path.find(L'\\', 2);
    const auto end = share == std::wstring::npos ? share : path.find(L'\\', share + 1);
    return end == std::wstring::npos ? path.size() : end + 1;
}

// A relative path is taken from the current folder, as the system would.
Result<std::wstring> fullPathOf(std::wstring_view path) {
    const std::wstring given(path);
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return win32::lastError();
        }
        // Too small a buffer gives the size needed, with the null.
        const bool fitted = length < full.size();
        full.resize(length);
        if (fitted) {
            return full;
        }
    }
}

// Every folder on the way to the file, below its drive or share.
std::error_code checkFolders(const std::wstring& path) {
    for (auto separator = path.find(L'\\', rootLength(path)); separator != std::wstring::npos;
         separator = path.find(L'\\', separator + 1)) {
        const DWORD attributes = GetFileAttributesW(path.substr(0, separator).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            return win32::lastError();
        }
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            return refusedLink();
        }
    }
    return {};
}

// The file itself is checked through the handle that writes it, so it cannot
// be swapped between the check and the write.
std::error_code checkOpenedFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file, &information)) {
        return win32::lastError();
    }
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        information.nNumberOfLinks > 1) {
        return refusedLink();
    }
    return {};
}

// Only FILE_APPEND_DATA, never FILE_WRITE_DATA: the system then puts every
// write at the end of the file as it is at that moment. Runs on many computers
// may log to one shared file at once; each writes its whole block with one
// WriteFile, so blocks never interleave and none is left half written. A link
// as the last name is opened itself, not followed, and then refused.
std::error_code openForAppending(std::wstring_view path, win32::KernelHandle& file) {
    const auto full = fullPathOf(path);
    if (!full.ok()) {
        return full.error();
    }
    // "C:\Windows\System32\LogFiles" is that folder, not SysWOW64's, for every
    // check and for the file itself.
    const win32::NativeSystemFolder nativeSystemFolder;
    if (const auto error = checkFolders(full.value())) {
        return error;
    }
    const HANDLE opened =
        CreateFileW(full.value().c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return win32::lastError();
    }
    win32::KernelHandle candidate(opened);
    if (const auto error = checkOpenedFile(candidate.get())) {
        return error;
    }
    file = std::move(candidate);
    return {};
}

std::wstring padded(WORD number, std::size_t width) {
    auto digits = decimalText(number);
    return std::wstring(width - std::min(width, digits.size()), L'0') + digits;
}

// yyyy-mm-dd hh:mm:ss, the order that sorts and that no locale misreads.
std::wstring localDateAndTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return padded(now.wYear, 4) + L"-" + padded(now.wMonth, 2) + L"-" + padded(now.wDay, 2) + L" " +
           padded(now.wHour, 2) + L":" + padded(now.wMinute, 2) + L":" + padded(now.wSecond, 2);
}

template <auto GetName, DWORD Capacity>
std::wstring nameOrUnknown() {
    wchar_t name[Capacity] = {};
    DWORD size = Capacity;
    if (!GetName(name, &size)) {
        return std::wstring(texts::kLogUnknownName);
    }
    return name;
}

// Each write whole, so that blocks of runs on several computers never interleave.
std::error_code appendBytes(std::wstring_view path, std::string_view bytes) {
    win32::KernelHandle file;
    if (const auto error = openForAppending(path, file)) {
        return error;
    }
    return win32::writeAll(file.get(), bytes);
}

std::wstring blockHeader(std::wstring_view whatRan) {
    return localDateAndTime() + std::wstring(texts::kLogComputerLabel) + computerName() +
           std::wstring(texts::kLogUserLabel) + nameOrUnknown<&GetUserNameW, UNLEN + 1>() +
           std::wstring(whatRan);
}

}  // namespace

std::error_code checkLogFile(std::wstring_view path) {
    win32::KernelHandle file;
    return openForAppending(path, file);
}

std::error_code appendLogBlock(std::wstring_view path, std::wstring_view whatRan,
                               std::span<const std::wstring> lines) {
    std::wstring block = asCrLfLines(blockHeader(whatRan));
    for (const auto& line : lines) {
        block += asCrLfLines(line);
    }
    block += asCrLfLines({});
    return appendBytes(path, utf8FromWide(block));
}

std::error_code appendLogDocument(std::wstring_view path, std::string_view document) {
    return appendBytes(path, std::string(document) + "\r\n");
}

std::wstring computerName() {
    return nameOrUnknown<&GetComputerNameW, MAX_COMPUTERNAME_LENGTH + 1>();
}

}  // namespace tovask::app
