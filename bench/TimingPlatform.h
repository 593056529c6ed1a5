#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/ForwardingPlatform.h"

namespace tovask::bench {

// Passes every operation on to the real platform, and times the ones a
// repair run and an undo spend their time in: the registry's reads and
// writes, the files', the resolver cache's and the listening-socket table's.
// Any other operation, and one added later, passes on untimed.
class TimingPlatform final : public ForwardingPlatform {
  public:
    explicit TimingPlatform(PlatformOps& real) : ForwardingPlatform(real), real_(real) {}

    std::error_code RegWrite(std::wstring_view path, RegistryData value,
                             RegistryType type) override {
        return timed("RegWrite", [&] { return real_.RegWrite(path, value, type); });
    }
    std::error_code RegDelete(std::wstring_view path) override {
        return timed("RegDelete", [&] { return real_.RegDelete(path); });
    }
    Result<RegistryValue> RegReadValue(std::wstring_view path, RegistryView view) override {
        return timed("RegReadValue", [&] { return real_.RegReadValue(path, view); });
    }
    Result<bool> RegKeyExists(std::wstring_view keyPath, RegistryView view) override {
        return timed("RegKeyExists", [&] { return real_.RegKeyExists(keyPath, view); });
    }
    Result<RegistryKeyContent> RegReadTree(std::wstring_view keyPath, RegistryView view) override {
        return timed("RegReadTree", [&] { return real_.RegReadTree(keyPath, view); });
    }
    std::error_code RegCreateKeyIn(std::wstring_view keyPath, RegistryView view) override {
        return timed("RegCreateKeyIn", [&] { return real_.RegCreateKeyIn(keyPath, view); });
    }
    std::error_code RegWriteRaw(std::wstring_view keyPath, std::wstring_view valueName,
                                const RegistryValue& value, RegistryView view) override {
        return timed("RegWriteRaw",
                     [&] { return real_.RegWriteRaw(keyPath, valueName, value, view); });
    }
    std::error_code RegDeleteValueIn(std::wstring_view keyPath, std::wstring_view valueName,
                                     RegistryView view) override {
        return timed("RegDeleteValueIn",
                     [&] { return real_.RegDeleteValueIn(keyPath, valueName, view); });
    }
    std::error_code RegDeleteIn(std::wstring_view path, RegistryView view) override {
        return timed("RegDeleteIn", [&] { return real_.RegDeleteIn(path, view); });
    }
    std::error_code RegRemoveKeyAsRead(std::wstring_view keyPath, RegistryView view,
                                       const BeforeKeyRemoval& beforeRemoval) override {
        return timed("RegRemoveKeyAsRead",
                     [&] { return real_.RegRemoveKeyAsRead(keyPath, view, beforeRemoval); });
    }
    std::error_code RegRemoveValueAsRead(std::wstring_view keyPath, std::wstring_view valueName,
                                         RegistryView view,
                                         const BeforeValueRemoval& beforeRemoval) override {
        return timed("RegRemoveValueAsRead", [&] {
            return real_.RegRemoveValueAsRead(keyPath, valueName, view, beforeRemoval);
        });
    }
    Result<bool> FileHasContent(std::wstring_view path, std::string_view content) override {
        return timed("FileHasContent", [&] { return real_.FileHasContent(path, content); });
    }
    std::error_code CopyFileOver(std::wstring_view source, std::wstring_view destination) override {
        return timed("CopyFileOver", [&] { return real_.CopyFileOver(source, destination); });
    }
    std::error_code ReplaceFileContent(std::wstring_view path, std::string_view content,
                                       FileProtection protection) override {
        return timed("ReplaceFileContent",
                     [&] { return real_.ReplaceFileContent(path, content, protection); });
    }
    Result<std::string> ReadFileContent(std::wstring_view path, std::size_t limit) override {
        return timed("ReadFileContent", [&] { return real_.ReadFileContent(path, limit); });
    }
    std::error_code FlushDnsCache() override {
        return timed("FlushDnsCache", [&] { return real_.FlushDnsCache(); });
    }
    Result<std::vector<ListeningSocket>> ListeningSockets() override {
        return timed("ListeningSockets", [&] { return real_.ListeningSockets(); });
    }
    Result<std::vector<std::wstring>> KeyedCertificates(std::wstring_view userSid) override {
        return timed("KeyedCertificates", [&] { return real_.KeyedCertificates(userSid); });
    }
    Result<FileListing> ListFiles(std::wstring_view folder, std::wstring_view extension,
                                  const ListingLimits& limits) override {
        return timed("ListFiles", [&] { return real_.ListFiles(folder, extension, limits); });
    }
    Result<TaskDefinition> ReadTaskFile(std::wstring_view path) override {
        return timed("ReadTaskFile", [&] { return real_.ReadTaskFile(path); });
    }
    Result<std::wstring> LongPathName(std::wstring_view path) override {
        return timed("LongPathName", [&] { return real_.LongPathName(path); });
    }
    Result<bool> IsLocalFixedDrive(wchar_t letter) override {
        return timed("IsLocalFixedDrive", [&] { return real_.IsLocalFixedDrive(letter); });
    }

    struct Tally {
        int calls = 0;
        std::chrono::nanoseconds total{};
    };
    std::map<std::string, Tally> tallies;

  private:
    template <typename Operation>
    std::invoke_result_t<Operation> timed(const char* name, Operation operation) {
        const auto start = std::chrono::steady_clock::now();
        auto outcome = operation();
        auto& tally = tallies[name];
        ++tally.calls;
        tally.total += std::chrono::steady_clock::now() - start;
        return outcome;
    }

    PlatformOps& real_;
};

// The operations that took longest, per run of `runs`, costliest first.
inline void printCostliest(const TimingPlatform& platform, int runs, std::size_t count) {
    std::vector<std::pair<std::string, TimingPlatform::Tally>> tallies(platform.tallies.begin(),
                                                                       platform.tallies.end());
    std::ranges::sort(tallies, std::greater<>(),
                      [](const auto& entry) { return entry.second.total; });
    tallies.resize(std::min(count, tallies.size()));
    for (const auto& [name, tally] : tallies) {
        std::printf("  %-18s %6d calls a run, %.1f ms a run\n", name.c_str(), tally.calls / runs,
                    std::chrono::duration<double, std::milli>(tally.total).count() / runs);
    }
}

}  // namespace tovask::bench
