#include "platform/win32/session/ProcessUser.h"

#include <sddl.h>

#include "platform/win32/SystemError.h"

namespace tovask::win32 {

Result<ProcessUser> ProcessUser::of(HANDLE process) {
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
    return ProcessUser(std::move(buffer));
}

PSID ProcessUser::sid() const {
    return reinterpret_cast<const TOKEN_USER*>(tokenUser_.data())->User.Sid;
}

Result<std::wstring> sidText(PSID sid) {
    LocalMemory text;
    if (!ConvertSidToStringSidW(sid, reinterpret_cast<LPWSTR*>(text.receive()))) {
        return lastError();
    }
    return std::wstring(static_cast<const wchar_t*>(text.get()));
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

}  // namespace tovask::win32
