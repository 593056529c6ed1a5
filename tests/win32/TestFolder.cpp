#include "tests/win32/TestFolder.h"

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/win32/TestNames.h"

namespace tovask::testsupport {

TestFolder::TestFolder() {
    wchar_t temporary[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
    EXPECT_NE(length, 0u);
    root_ = std::wstring(temporary, length) + uniqueTestName();
    EXPECT_TRUE(std::filesystem::create_directory(root_));
}

TestFolder::~TestFolder() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root_, ignored)) {
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(root_, ignored);
}

std::wstring TestFolder::path(std::wstring_view name) const {
    return root_ + L"\\" + std::wstring(name);
}

std::vector<std::wstring> TestFolder::names() const {
    std::vector<std::wstring> found;
    for (const auto& entry : std::filesystem::directory_iterator(root_)) {
        found.push_back(entry.path().filename().wstring());
    }
    std::ranges::sort(found);
    return found;
}

void writeBytes(const std::wstring& path, std::string_view bytes) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good());
}

std::string readBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

win32::KernelHandle lockWithoutSharing(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    return win32::KernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

std::wstring accessListOf(const std::wstring& path) {
    win32::LocalMemory descriptor;
    const auto read =
        GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, nullptr, nullptr, descriptor.receive());
    EXPECT_EQ(read, static_cast<DWORD>(ERROR_SUCCESS));
    wchar_t* text = nullptr;
    if (read != ERROR_SUCCESS ||
        !ConvertSecurityDescriptorToStringSecurityDescriptorW(
            descriptor.get(), SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
        return {};
    }
    const win32::LocalMemory owner(text);
    return text;
}

void forgetRunSetsWhereNoAccessListIsKept(const std::wstring& setsFolder) {
    if (!systemKeepsAccessLists()) {
        std::error_code ignored;
        std::filesystem::remove_all(setsFolder, ignored);
    }
}

void removeFileCopies() {
    wchar_t system[MAX_PATH] = {};
    std::error_code ignored;
    std::filesystem::remove_all(std::wstring(system, GetSystemDirectoryW(system, MAX_PATH)) +
                                    L"\\drivers\\etc\\TovaskCopias",
                                ignored);
}

void forgetEarlierRunSets() {
    wchar_t system[MAX_PATH] = {};
    forgetRunSetsWhereNoAccessListIsKept(
        std::wstring(system, GetSystemDirectoryW(system, MAX_PATH)) +
        L"\\drivers\\etc\\TovaskEjecuciones");
}

bool systemKeepsAccessLists() {
    static const bool kept = [] {
        wchar_t temporary[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
        const auto probe = std::wstring(temporary, length) + L"tovask-access-probe-" +
                           std::to_wstring(GetCurrentProcessId());
        writeBytes(probe, "probe");
        win32::LocalMemory descriptor;
        const bool keeps =
            ConvertStringSecurityDescriptorToSecurityDescriptorW(
                kAdministratorsOnlyAccess.data(), SDDL_REVISION_1, descriptor.receive(), nullptr) &&
            SetFileSecurityW(probe.c_str(), DACL_SECURITY_INFORMATION, descriptor.get()) &&
            accessListOf(probe) == kAdministratorsOnlyAccess;
        DeleteFileW(probe.c_str());
        return keeps;
    }();
    return kept;
}

}  // namespace tovask::testsupport
