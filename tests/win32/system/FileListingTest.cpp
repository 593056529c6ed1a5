#include <windows.h>

#include <aclapi.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/files/FolderListing.h"
#include "platform/win32/files/PrivateFolder.h"
#include "tests/win32/TestFolder.h"

namespace tovask {
namespace {

// A junction from the new folder to the target, made as the shell makes
// one; false when the file system here cannot hold it.
bool makeJunction(const std::wstring& junction, const std::wstring& target) {
    if (!CreateDirectoryW(junction.c_str(), nullptr)) {
        return false;
    }
    const win32::KernelHandle folder(
        CreateFileW(junction.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    // The mount point layout of REPARSE_DATA_BUFFER, which only the driver
    // headers declare: the target's NT name and an empty display name.
    const std::wstring names = L"\\??\\" + target + L'\0' + L'\0';
    const auto namesBytes = static_cast<WORD>(names.size() * sizeof(wchar_t));
    std::vector<WORD> buffer(8 + names.size());
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(buffer.data(), &tag, sizeof(tag));
    buffer[2] = static_cast<WORD>(8 + namesBytes);
    buffer[5] = static_cast<WORD>((target.size() + 4) * sizeof(wchar_t));
    buffer[6] = static_cast<WORD>(buffer[5] + sizeof(wchar_t));
    std::copy(names.begin(), names.end(), buffer.begin() + 8);
    DWORD returned = 0;
    return folder &&
           DeviceIoControl(folder.get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                           static_cast<DWORD>(16 + namesBytes), nullptr, 0, &returned, nullptr) &&
           (GetFileAttributesW(junction.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

class FileListingTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryW(folder_.path(L"Programas").c_str(), nullptr));
        for (const auto* name : {L"Navegador.lnk", L"Programas\\Correo.LNK", L"notas.txt"}) {
            testsupport::writeBytes(folder_.path(name), "x");
        }
    }

    std::vector<std::wstring> list(const ListingLimits& limits) {
        const auto listing = win32::listFiles(folder_.path(L"."), L".lnk", limits);
        EXPECT_TRUE(listing.ok()) << listing.error().message();
        std::vector<std::wstring> files = listing.value().files;
        std::ranges::sort(files);
        return files;
    }

    const testsupport::TestFolder folder_;
};

TEST_F(FileListingTest, DepthAndCountLimitTheListing) {
    const std::wstring top = folder_.path(L".\\Navegador.lnk");
    const std::wstring nested = folder_.path(L".\\Programas\\Correo.LNK");
    EXPECT_EQ(list({.maxDepth = 1, .maxFiles = 10, .maxEntries = 10}),
              (std::vector<std::wstring>{top, nested}));
    EXPECT_EQ(list({.maxDepth = 0, .maxFiles = 10, .maxEntries = 10}),
              std::vector<std::wstring>{top});
    EXPECT_EQ(list({.maxDepth = 1, .maxFiles = 1, .maxEntries = 10}).size(), 1u);
}

TEST_F(FileListingTest, ReachedLimitMarksTheListingCut) {
    const ListingLimits limits{.maxDepth = 1, .maxFiles = 10, .maxEntries = 2};
    const auto listing = win32::listFiles(folder_.path(L"."), L".lnk", limits);
    ASSERT_TRUE(listing.ok()) << listing.error().message();
    EXPECT_TRUE(listing.value().truncated);
}

TEST_F(FileListingTest, MissingFolderIsNotFound) {
    const ListingLimits limits{.maxDepth = 1, .maxFiles = 10, .maxEntries = 10};
    EXPECT_TRUE(isNotFound(win32::listFiles(folder_.path(L"Falta"), L".lnk", limits).error()));
}

TEST_F(FileListingTest, JunctionIsNeitherFollowedNorListed) {
    const std::wstring junction = folder_.path(L"Programas\\Vuelta");
    if (!makeJunction(junction, folder_.path(L""))) {
        GTEST_SKIP() << "this file system holds no junction";
    }
    EXPECT_EQ(list({.maxDepth = 8, .maxFiles = 100, .maxEntries = 100}).size(), 2u);
    // Removes the link alone, before the folder's clean-up could walk into it.
    EXPECT_TRUE(RemoveDirectoryW(junction.c_str()));
}

struct AccessList {
    bool found = false;
    bool ownedByAdministrators = false;
    bool isProtected = false;
    std::vector<WELL_KNOWN_SID_TYPE> allowed;
};

AccessList readAccessList(const std::wstring& path) {
    AccessList result;
    PSID owner = nullptr;
    PACL list = nullptr;
    win32::LocalMemory descriptor;
    if (GetNamedSecurityInfoW(
            path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
            &owner, nullptr, &list, nullptr,
            reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.receive())) != ERROR_SUCCESS ||
        list == nullptr) {
        return result;
    }
    result.found = true;
    result.ownedByAdministrators = IsWellKnownSid(owner, WinBuiltinAdministratorsSid);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor.get(), &control, &revision);
    result.isProtected = (control & SE_DACL_PROTECTED) != 0;
    for (DWORD i = 0; i < list->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* entry = nullptr;
        GetAce(list, i, reinterpret_cast<void**>(&entry));
        PSID account = &entry->SidStart;
        result.allowed.push_back(IsWellKnownSid(account, WinBuiltinAdministratorsSid)
                                     ? WinBuiltinAdministratorsSid
                                 : IsWellKnownSid(account, WinLocalSystemSid) ? WinLocalSystemSid
                                                                              : WinNullSid);
    }
    return result;
}

TEST(PrivateFolderTest, CreatedForAdministratorsAndSystemOnlyAndTheirFileToo) {
    const testsupport::TestFolder parent;
    const std::wstring folder = parent.path(L"Copias");
    ASSERT_FALSE(win32::preparePrivateFolder(folder).error);
    const auto folderList = readAccessList(folder);
    if (!folderList.ownedByAdministrators) {
        GTEST_SKIP() << "the system keeps no security descriptor given to a new folder "
                        "(Wine 8 shows one made from the Unix modes)";
    }
    EXPECT_TRUE(folderList.isProtected);
    const std::vector<WELL_KNOWN_SID_TYPE> expected{WinBuiltinAdministratorsSid, WinLocalSystemSid};
    EXPECT_EQ(folderList.allowed, expected);
    // Found again, as the next run finds it, it is used.
    ASSERT_FALSE(win32::writePrivateFile(folder, L"manifiesto.txt", "copia"));
    EXPECT_EQ(readAccessList(folder + L"\\manifiesto.txt").allowed, expected);
    EXPECT_EQ(testsupport::readBytes(folder + L"\\manifiesto.txt"), "copia");
}

TEST(PrivateFolderTest, FolderSomeoneElseMadeIsRefused) {
    const testsupport::TestFolder parent;
    const std::wstring folder = parent.path(L"Copias");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const auto check = win32::preparePrivateFolder(folder);
    EXPECT_EQ(check.error, std::errc::permission_denied);
    EXPECT_NE(check.problem, win32::PrivateFolderProblem::None);
}

}  // namespace
}  // namespace tovask
