#include "platform/win32/session/ProcessOwners.h"

#include <windows.h>

#include <tlhelp32.h>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/session/ProcessUser.h"

namespace tovask::win32 {
namespace {

constexpr const wchar_t* kUnknownOwner = L"<desconocido>";

bool sameFileName(std::wstring_view a, std::wstring_view b) {
    // Ordinal, as the file system compares names, whatever the user's language.
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

Result<std::wstring> accountName(PSID sid) {
    DWORD nameLength = 0;
    DWORD domainLength = 0;
    SID_NAME_USE use{};
    LookupAccountSidW(nullptr, sid, nullptr, &nameLength, nullptr, &domainLength, &use);
    if (nameLength == 0) {
        return lastError();
    }
    std::wstring name(nameLength, L'\0');
    std::wstring domain(domainLength, L'\0');
    if (!LookupAccountSidW(nullptr, sid, name.data(), &nameLength, domain.data(), &domainLength,
                           &use)) {
        return lastError();
    }
    // On success the lengths no longer count the terminating null.
    name.resize(nameLength);
    domain.resize(domainLength);
    return domain + L"\\" + name;
}

std::wstring ownerOf(DWORD processId) {
    const auto process = openProcessToQuery(processId);
    if (!process.ok()) {
        return kUnknownOwner;
    }
    const auto user = ProcessUser::of(process.value().get());
    if (!user.ok()) {
        return kUnknownOwner;
    }
    if (const auto name = accountName(user.value().sid()); name.ok()) {
        return name.value();
    }
    // An account deleted since, or of a domain out of reach.
    const auto sid = sidText(user.value().sid());
    return sid.ok() ? sid.value() : kUnknownOwner;
}

}  // namespace

Result<std::vector<std::wstring>> processOwners(std::wstring_view executableName) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return lastError();
    }
    const KernelHandle processes(snapshot);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    if (!Process32FirstW(snapshot, &entry)) {
        return lastError();
    }
    std::vector<std::wstring> owners;
    do {
        if (sameFileName(entry.szExeFile, executableName)) {
            owners.push_back(ownerOf(entry.th32ProcessID));
        }
    } while (Process32NextW(snapshot, &entry));
    if (GetLastError() != ERROR_NO_MORE_FILES) {
        return lastError();
    }
    return owners;
}

}  // namespace tovask::win32
