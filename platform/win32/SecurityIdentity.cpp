#include "platform/win32/SecurityIdentity.h"

#include <windows.h>

#include <sddl.h>

#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"

namespace tovask::win32 {
namespace {

Result<std::wstring> sidText(PSID sid) {
    LocalMemory text;
    if (!ConvertSidToStringSidW(sid, reinterpret_cast<LPWSTR*>(text.receive()))) {
        return lastError();
    }
    return std::wstring(static_cast<const wchar_t*>(text.get()));
}

Result<std::wstring> tokenUserSid(HANDLE process) {
    KernelHandle token;
    if (!OpenProcessToken(process, TOKEN_QUERY, token.receive())) {
        return lastError();
    }
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) {
        return lastError();
    }
    // new[] aligns the bytes for any type, TOKEN_USER included.
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
        return lastError();
    }
    return sidText(reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid);
}

Result<KernelHandle> openProcessToQuery(DWORD processId) {
    // The limited right is enough for the token and is granted more widely,
    // for other users' processes too; where it is refused anyway the full
    // right is asked for.
    KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        process.reset(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    }
    if (!process) {
        return lastError();
    }
    return process;
}

}  // namespace

Result<std::wstring> programUserSid() {
    return tokenUserSid(GetCurrentProcess());
}

Result<std::wstring> desktopUserSid() {
    const HWND shell = GetShellWindow();
    if (shell == nullptr) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    DWORD processId = 0;
    if (GetWindowThreadProcessId(shell, &processId) == 0) {
        return lastError();
    }
    const auto process = openProcessToQuery(processId);
    if (!process.ok()) {
        return process.error();
    }
    return tokenUserSid(process.value().get());
}

}  // namespace tovask::win32
