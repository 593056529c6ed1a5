#include "tests/ui/HijackedPrefix.h"

#include <gtest/gtest.h>

#include <ranges>

#include "platform/win32/Handles.h"
#include "tests/win32/TestFolder.h"

namespace tovask::testsupport {
namespace {

std::wstring folderFrom(UINT(WINAPI* query)(LPWSTR, UINT)) {
    wchar_t folder[MAX_PATH + 1] = {};
    return std::wstring(folder, query(folder, MAX_PATH + 1));
}

// The HOSTS files and the backups a repair keeps beside them.
std::vector<std::wstring> guardedFiles() {
    const auto system = folderFrom(GetSystemDirectoryW) + L"\\drivers\\etc\\";
    const auto windows = folderFrom(GetWindowsDirectoryW) + L"\\";
    return {system + L"hosts", system + L"BackupHosts.bak", system + L"BackupRegistro.reg",
            windows + L"drivers\\etc\\hosts", windows + L"BackupHosts.bak"};
}

// The user's keys have one view; the machine's are hijacked in both.
std::vector<REGSAM> viewsOf(HKEY root) {
    if (root == HKEY_LOCAL_MACHINE) {
        return {KEY_WOW64_32KEY, KEY_WOW64_64KEY};
    }
    return {0};
}

std::optional<std::string> fileContent(const std::wstring& path) {
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return readBytes(path);
}

void putBack(const std::wstring& path, const std::optional<std::string>& content) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (content) {
        writeBytes(path, *content);
    } else {
        DeleteFileW(path.c_str());
    }
}

void putBack(const HijackSeed& seed, REGSAM view, const std::optional<StoredValue>& value) {
    win32::RegistryKey key;
    if (RegCreateKeyExW(seed.root, seed.key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                        key.receive(), nullptr) != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot put back a seeded value";
        return;
    }
    if (!value) {
        RegDeleteValueW(key.get(), seed.name.c_str());
    } else if (value->type == REG_DWORD) {
        RegSetValueExW(key.get(), seed.name.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&value->number), sizeof value->number);
    } else {
        RegSetValueExW(key.get(), seed.name.c_str(), 0, value->type,
                       reinterpret_cast<const BYTE*>(value->text.c_str()),
                       static_cast<DWORD>((value->text.size() + 1) * sizeof(wchar_t)));
    }
}

template <typename Visit>
void forEachSeedView(Visit visit) {
    for (const auto& seed : HijackedPrefix::seeds()) {
        for (const REGSAM view : viewsOf(seed.root)) {
            visit(seed, view);
        }
    }
}

}  // namespace

HijackedPrefix::HijackedPrefix() {
    for (const auto& path : guardedFiles()) {
        restores_.push_back([path, content = fileContent(path)] { putBack(path, content); });
    }
    forEachSeedView([&](const HijackSeed& seed, REGSAM view) {
        restores_.push_back([&seed, view, value = readValue(seed.root, seed.key, seed.name, view)] {
            putBack(seed, view, value);
        });
        writeStringDirectly(seed.root, seed.key, seed.name, seed.text, view);
    });
    writeBytes(systemHosts(), hijackedHostsContent());
}

HijackedPrefix::~HijackedPrefix() {
    for (const auto& restore : std::views::reverse(restores_)) {
        restore();
    }
}

const std::vector<HijackSeed>& HijackedPrefix::seeds() {
    static const std::vector<HijackSeed> kSeeds = {
        {HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Main", L"Start Page",
         L"http://secuestro.example",
         "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page"},
        {HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Main", L"window Title",
         L"Secuestrado",
         "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main\\window Title"},
        {HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Internet Explorer\\Main", L"Start Page",
         L"http://secuestro.example",
         "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page"},
    };
    return kSeeds;
}

std::string HijackedPrefix::hijackedHostsContent() {
    return "127.0.0.1 localhost\r\n10.66.66.66 www.banco.example\r\n";
}

std::wstring HijackedPrefix::systemHosts() {
    return guardedFiles().front();
}

PrefixState HijackedPrefix::observe() const {
    PrefixState state;
    forEachSeedView([&](const HijackSeed& seed, REGSAM view) {
        state.values.push_back(readValue(seed.root, seed.key, seed.name, view));
    });
    for (const auto& path : guardedFiles()) {
        state.files.push_back(fileContent(path));
    }
    return state;
}

void HijackedPrefix::expectHijack(Hijack state) const {
    const bool inPlace = state == Hijack::InPlace;
    forEachSeedView([&](const HijackSeed& seed, REGSAM view) {
        EXPECT_EQ(readValue(seed.root, seed.key, seed.name, view) == stringValue(seed.text),
                  inPlace)
            << seed.reportedAs << " in view " << view;
    });
    EXPECT_EQ(readBytes(systemHosts()) == hijackedHostsContent(), inPlace);
}

}  // namespace tovask::testsupport
