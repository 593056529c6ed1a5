#pragma once

#include <chrono>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/PlatformOps.h"

namespace tovask::bench {

// Passes every operation on to the real platform and times it, except the
// launches, which are refused so that runs repeat without opening anything.
class TimingPlatform final : public PlatformOps {
  public:
    explicit TimingPlatform(PlatformOps& real) : real_(real) {}

    std::error_code RegWrite(std::wstring_view path, RegistryData value,
                             RegistryType type) override {
        return timed("RegWrite", [&] { return real_.RegWrite(path, value, type); });
    }
    std::error_code RegDelete(std::wstring_view path) override {
        return timed("RegDelete", [&] { return real_.RegDelete(path); });
    }
    bool HasTwoRegistryViews() override {
        return timed("HasTwoRegistryViews", [&] { return real_.HasTwoRegistryViews(); });
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
    Result<std::wstring> GetSpecialFolder(SpecialFolder folder) override {
        return timed("GetSpecialFolder", [&] { return real_.GetSpecialFolder(folder); });
    }
    Result<bool> FileExists(std::wstring_view path) override {
        return timed("FileExists", [&] { return real_.FileExists(path); });
    }
    Result<bool> FileHasContent(std::wstring_view path, std::string_view content) override {
        return timed("FileHasContent", [&] { return real_.FileHasContent(path, content); });
    }
    std::error_code ClearAttributes(std::wstring_view path) override {
        return timed("ClearAttributes", [&] { return real_.ClearAttributes(path); });
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
    std::uintptr_t FindWindowA(std::wstring_view className) override {
        return timed("FindWindowA", [&] { return real_.FindWindowA(className); });
    }
    std::error_code LaunchCommand(std::wstring_view, std::wstring_view, LaunchStyle) override {
        return std::make_error_code(std::errc::operation_not_permitted);
    }
    Result<std::wstring> ProgramUserSid() override {
        return timed("ProgramUserSid", [&] { return real_.ProgramUserSid(); });
    }
    Result<std::wstring> DesktopUserSid() override {
        return timed("DesktopUserSid", [&] { return real_.DesktopUserSid(); });
    }
    Result<std::wstring> ExpandEnvironment(std::wstring_view text) override {
        return timed("ExpandEnvironment", [&] { return real_.ExpandEnvironment(text); });
    }
    std::error_code FlushDnsCache() override {
        return timed("FlushDnsCache", [&] { return real_.FlushDnsCache(); });
    }
    Result<bool> IsElevated() override {
        return timed("IsElevated", [&] { return real_.IsElevated(); });
    }
    Result<std::vector<std::wstring>> ProcessOwners(std::wstring_view executableName) override {
        return timed("ProcessOwners", [&] { return real_.ProcessOwners(executableName); });
    }
    Result<std::vector<std::wstring>> LoadedUserHives() override {
        return timed("LoadedUserHives", [&] { return real_.LoadedUserHives(); });
    }
    std::error_code LoadUserHive(std::wstring_view mountName, std::wstring_view hiveFile) override {
        return timed("LoadUserHive", [&] { return real_.LoadUserHive(mountName, hiveFile); });
    }
    std::error_code UnloadUserHive(std::wstring_view mountName) override {
        return timed("UnloadUserHive", [&] { return real_.UnloadUserHive(mountName); });
    }
    void Pause(std::chrono::milliseconds duration) override { real_.Pause(duration); }
    std::error_code AcquireRepairLock(std::chrono::milliseconds wait) override {
        return timed("AcquireRepairLock", [&] { return real_.AcquireRepairLock(wait); });
    }
    void ReleaseRepairLock() override { real_.ReleaseRepairLock(); }
    std::wstring DescribeError(std::error_code error) override {
        return real_.DescribeError(error);
    }

    Result<MachineJoinState> MachineJoin() override {
        return timed("MachineJoin", [&] { return real_.MachineJoin(); });
    }
    std::error_code RefreshPolicy() override {
        return timed("RefreshPolicy", [&] { return real_.RefreshPolicy(); });
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

}  // namespace tovask::bench
