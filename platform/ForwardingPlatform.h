#pragma once

#include "platform/PlatformOps.h"

namespace tovask {

// Passes every operation on to another platform; a subclass overrides the
// few it handles itself.
class ForwardingPlatform : public PlatformOps {
  public:
    explicit ForwardingPlatform(PlatformOps& next) : next_(next) {}

    std::error_code RegWrite(std::wstring_view path, RegistryData value,
                             RegistryType type) override {
        return next_.RegWrite(path, value, type);
    }
    std::error_code RegDelete(std::wstring_view path) override { return next_.RegDelete(path); }
    bool HasTwoRegistryViews() override { return next_.HasTwoRegistryViews(); }
    Result<RegistryValue> RegReadValue(std::wstring_view path, RegistryView view) override {
        return next_.RegReadValue(path, view);
    }
    Result<bool> RegKeyExists(std::wstring_view keyPath, RegistryView view) override {
        return next_.RegKeyExists(keyPath, view);
    }
    Result<RegistryKeyContent> RegReadTree(std::wstring_view keyPath, RegistryView view) override {
        return next_.RegReadTree(keyPath, view);
    }
    std::error_code RegCreateKeyIn(std::wstring_view keyPath, RegistryView view) override {
        return next_.RegCreateKeyIn(keyPath, view);
    }
    std::error_code RegWriteRaw(std::wstring_view keyPath, std::wstring_view valueName,
                                const RegistryValue& value, RegistryView view) override {
        return next_.RegWriteRaw(keyPath, valueName, value, view);
    }
    std::error_code RegDeleteIn(std::wstring_view path, RegistryView view) override {
        return next_.RegDeleteIn(path, view);
    }
    std::error_code RegDeleteValueIn(std::wstring_view keyPath, std::wstring_view valueName,
                                     RegistryView view) override {
        return next_.RegDeleteValueIn(keyPath, valueName, view);
    }
    Result<std::wstring> GetSpecialFolder(SpecialFolder folder) override {
        return next_.GetSpecialFolder(folder);
    }
    Result<bool> FileExists(std::wstring_view path) override { return next_.FileExists(path); }
    Result<bool> FileHasContent(std::wstring_view path, std::string_view content) override {
        return next_.FileHasContent(path, content);
    }
    std::error_code ClearAttributes(std::wstring_view path) override {
        return next_.ClearAttributes(path);
    }
    std::error_code CopyFileOver(std::wstring_view source, std::wstring_view destination) override {
        return next_.CopyFileOver(source, destination);
    }
    std::error_code ReplaceFileContent(std::wstring_view path, std::string_view content,
                                       FileProtection protection) override {
        return next_.ReplaceFileContent(path, content, protection);
    }
    Result<std::string> ReadFileContent(std::wstring_view path, std::size_t limit) override {
        return next_.ReadFileContent(path, limit);
    }
    std::uintptr_t FindWindowA(std::wstring_view className) override {
        return next_.FindWindowA(className);
    }
    std::error_code LaunchCommand(std::wstring_view program, std::wstring_view argument,
                                  LaunchStyle style) override {
        return next_.LaunchCommand(program, argument, style);
    }
    Result<std::wstring> ProgramUserSid() override { return next_.ProgramUserSid(); }
    Result<std::wstring> DesktopUserSid() override { return next_.DesktopUserSid(); }
    Result<std::wstring> ExpandEnvironment(std::wstring_view text) override {
        return next_.ExpandEnvironment(text);
    }
    std::error_code FlushDnsCache() override { return next_.FlushDnsCache(); }
    Result<bool> IsElevated() override { return next_.IsElevated(); }
    Result<std::vector<std::wstring>> ProcessOwners(std::wstring_view executableName) override {
        return next_.ProcessOwners(executableName);
    }
    Result<std::vector<std::wstring>> LoadedUserHives() override { return next_.LoadedUserHives(); }
    std::error_code LoadUserHive(std::wstring_view mountName, std::wstring_view hiveFile) override {
        return next_.LoadUserHive(mountName, hiveFile);
    }
    void Pause(std::chrono::milliseconds duration) override { next_.Pause(duration); }
    std::error_code UnloadUserHive(std::wstring_view mountName) override {
        return next_.UnloadUserHive(mountName);
    }
    std::error_code AcquireRepairLock(std::chrono::milliseconds wait) override {
        return next_.AcquireRepairLock(wait);
    }
    void ReleaseRepairLock() override { next_.ReleaseRepairLock(); }
    std::wstring DescribeError(std::error_code error) override {
        return next_.DescribeError(error);
    }

    Result<MachineJoinState> MachineJoin() override { return next_.MachineJoin(); }
    std::error_code RefreshPolicy() override { return next_.RefreshPolicy(); }

  private:
    PlatformOps& next_;
};

}  // namespace tovask
