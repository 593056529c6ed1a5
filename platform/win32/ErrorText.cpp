#include "platform/win32/ErrorText.h"

#include <windows.h>

#include <string_view>

#include "platform/win32/Handles.h"
#include "values/Result.h"

namespace tovask::win32 {
namespace {

std::wstring systemText(DWORD code) {
    LocalMemory text;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPWSTR>(text.receive()), 0, nullptr);
    if (length == 0) {
        return {};
    }
    std::wstring_view message(static_cast<const wchar_t*>(text.get()), length);
    const auto end = message.find_last_not_of(L"\r\n \t");
    return std::wstring(message.substr(0, end == std::wstring_view::npos ? 0 : end + 1));
}

// The C library's texts are in the ANSI code page.
std::wstring widen(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

}  // namespace

std::wstring describeError(std::error_code error) {
    std::wstring text;
    if (error.category() == std::system_category()) {
        text = systemText(static_cast<DWORD>(error.value()));
    } else if (isNotFound(error)) {
        // Our own "not found" stands for the system's; the user gets its text.
        text = systemText(ERROR_FILE_NOT_FOUND);
    }
    return text.empty() ? widen(error.message()) : text;
}

}  // namespace tovask::win32
