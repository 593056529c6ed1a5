#include "app/LogFile.h"

#include <windows.h>

#include <lmcons.h>

#include <algorithm>
#include <string>

#include "app/LineEnds.h"
#include "app/Utf8.h"
#include "platform/DecimalText.h"
#include "platform/win32/FileAccess.h"
#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"
#include "repair/CommandLineTexts.h"

namespace tovask::app {
namespace {

// Only FILE_APPEND_DATA, never FILE_WRITE_DATA: the system then puts every
// write at the end of the file as it is at that moment. Runs on many computers
// may log to one shared file at once; each writes its whole block with one
// WriteFile, so blocks never interleave and none is left half written.
std::error_code openForAppending(std::wstring_view path, win32::KernelHandle& file) {
    const HANDLE opened = CreateFileW(std::wstring(path).c_str(), FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return win32::lastError();
    }
    file.reset(opened);
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

std::wstring blockHeader() {
    return localDateAndTime() + std::wstring(texts::kLogComputerLabel) +
           nameOrUnknown<&GetComputerNameW, MAX_COMPUTERNAME_LENGTH + 1>() +
           std::wstring(texts::kLogUserLabel) + nameOrUnknown<&GetUserNameW, UNLEN + 1>();
}

}  // namespace

std::error_code checkLogFile(std::wstring_view path) {
    win32::KernelHandle file;
    return openForAppending(path, file);
}

std::error_code appendLogBlock(std::wstring_view path, std::span<const std::wstring> lines) {
    std::wstring block = asCrLfLines(blockHeader());
    for (const auto& line : lines) {
        block += asCrLfLines(line);
    }
    block += asCrLfLines({});
    win32::KernelHandle file;
    if (const auto error = openForAppending(path, file)) {
        return error;
    }
    return win32::writeAll(file.get(), toUtf8(block));
}

}  // namespace tovask::app
