#include "platform/win32/files/PrivateFolder.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/ScopedHandle.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/files/FileReplacement.h"
#include "platform/win32/session/ProcessUser.h"

namespace tovask::win32 {
namespace {

// Owner Administrators; a protected access list (nothing inherited from the
// parent, which users may be able to write) giving full control to
// Administrators and SYSTEM, passed on to every file and subfolder.
constexpr const wchar_t* kPrivateFolderSecurity = L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";

bool isAdministratorsOrSystem(PSID sid) {
    return IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ||
           IsWellKnownSid(sid, WinLocalSystemSid);
}

PrivateFolderCheck failed(std::error_code error) {
    return {error, PrivateFolderProblem::None, {}};
}

PrivateFolderCheck refused(PrivateFolderProblem problem, PSID account = nullptr) {
    std::wstring accountText;
    if (account != nullptr) {
        if (const auto text = sidText(account); text.ok()) {
            accountText = text.value();
        }
    }
    return {std::make_error_code(std::errc::permission_denied), problem, accountText};
}

// Only allowing entries matter: a denying one keeps people out. An entry of
// another kind (object or callback) cannot be judged and is refused.
PrivateFolderCheck checkAccessList(const ACL* list) {
    for (DWORD i = 0; i < list->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(const_cast<ACL*>(list), i, &entry)) {
            return failed(lastError());
        }
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        if (header->AceType == ACCESS_DENIED_ACE_TYPE) {
            continue;
        }
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) {
            return refused(PrivateFolderProblem::OtherAccountAllowed);
        }
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        PSID account = const_cast<DWORD*>(&allowed->SidStart);
        // Waiting on the folder lets nobody read or write it.
        if ((allowed->Mask & ~SYNCHRONIZE) != 0 && !isAdministratorsOrSystem(account)) {
            return refused(PrivateFolderProblem::OtherAccountAllowed, account);
        }
    }
    return {};
}

PrivateFolderCheck checkExistingFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return failed(lastError());
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return refused(PrivateFolderProblem::NotAPlainFolder);
    }
    PSID owner = nullptr;
    PACL list = nullptr;
    LocalMemory descriptor;
    const DWORD result = GetNamedSecurityInfoW(
        path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
        &owner, nullptr, &list, nullptr,
        reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.receive()));
    if (result != ERROR_SUCCESS) {
        return failed(errorFromCode(result));
    }
    if (owner == nullptr || !isAdministratorsOrSystem(owner)) {
        return refused(PrivateFolderProblem::ForeignOwner, owner);
    }
    if (list == nullptr) {
        return refused(PrivateFolderProblem::NoAccessList);
    }
    return checkAccessList(list);
}

}  // namespace

PrivateFolderCheck preparePrivateFolder(std::wstring_view path) {
    LocalMemory descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            kPrivateFolderSecurity, SDDL_REVISION_1,
            reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.receive()), nullptr)) {
        return failed(lastError());
    }
    SECURITY_ATTRIBUTES security{sizeof(security), descriptor.get(), FALSE};
    const std::wstring folder(path);
    if (CreateDirectoryW(folder.c_str(), &security)) {
        return {};
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
        return failed(lastError());
    }
    // Whoever made it, it is checked as found now, not trusted by its name.
    return checkExistingFolder(folder);
}

std::error_code writePrivateFile(std::wstring_view folder, std::wstring_view name,
                                 std::string_view content) {
    if (const auto check = preparePrivateFolder(folder); check.error) {
        return check.error;
    }
    // The file holds what users' files held, so it is as private as its folder.
    return replaceFileContent(std::wstring(folder) + L"\\" + std::wstring(name), content,
                              FileProtection::AdministratorsOnly);
}

namespace {

// "None" is nullptr: a failed FindFirstFileExW is turned into an error first.
using FolderSearch = ScopedHandle<HANDLE, &FindClose>;

// A set of backups holds a few dozen files; more is not looked at.
constexpr std::size_t kMostEntries = 4096;

struct FolderEntry {
    std::wstring name;
    DWORD attributes;
};

Result<std::vector<FolderEntry>> entriesOf(std::wstring_view folder) {
    WIN32_FIND_DATAW entry;
    const std::wstring pattern = std::wstring(folder) + L"\\*";
    const HANDLE found = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                          FindExSearchNameMatch, nullptr, 0);
    if (found == INVALID_HANDLE_VALUE) {
        return lastError();
    }
    const FolderSearch search(found);
    std::vector<FolderEntry> entries;
    do {
        const std::wstring_view name = entry.cFileName;
        if (name != L"." && name != L"..") {
            entries.push_back({std::wstring(name), entry.dwFileAttributes});
        }
    } while (entries.size() < kMostEntries && FindNextFileW(search.get(), &entry));
    return entries;
}

bool isLinkOrFolder(DWORD attributes) {
    return (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

}  // namespace

Result<std::vector<std::wstring>> foldersIn(std::wstring_view folder) {
    const auto entries = entriesOf(folder);
    if (!entries.ok()) {
        return entries.error();
    }
    std::vector<std::wstring> folders;
    for (const auto& entry : entries.value()) {
        if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            folders.push_back(std::wstring(folder) + L"\\" + entry.name);
        }
    }
    return folders;
}

std::error_code removePrivateFolder(std::wstring_view path) {
    const std::wstring folder(path);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return lastError();
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return std::make_error_code(std::errc::too_many_symbolic_link_levels);
    }
    const auto entries = entriesOf(folder);
    if (!entries.ok()) {
        return entries.error();
    }
    for (const auto& entry : entries.value()) {
        if (isLinkOrFolder(entry.attributes)) {
            return std::make_error_code(std::errc::too_many_symbolic_link_levels);
        }
    }
    for (const auto& entry : entries.value()) {
        const std::wstring file = folder + L"\\" + entry.name;
        if (!DeleteFileW(file.c_str())) {
            return lastError();
        }
    }
    return RemoveDirectoryW(folder.c_str()) ? std::error_code{} : lastError();
}

}  // namespace tovask::win32
