#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ForwardingPlatform.h"
#include "platform/win32/Win32Platform.h"
#include "tests/fake/FakePlatform.h"

namespace tovask::testsupport {

// Built before the forwarding base that passes calls on to it.
struct RealPlatformHolder {
    Win32Platform real;
};

// The real platform for tests that run the repair core: the registry, files
// and windows are the system's, but launches are only recorded, so that
// nothing opens for a user. The two special folders can be pointed
// elsewhere, which moves the HOSTS files.
class QuietPlatform final : private RealPlatformHolder, public ForwardingPlatform {
  public:
    QuietPlatform() : ForwardingPlatform(real) {}

    Result<std::wstring> GetSpecialFolder(SpecialFolder folder) override;
    std::error_code LaunchCommand(std::wstring_view program, std::wstring_view argument,
                                  LaunchStyle style) override;
    std::error_code StartAsDesktopUser(std::wstring_view program,
                                       std::wstring_view arguments) override;
    // Each run's backups start afresh where the system keeps no access lists
    // (see forgetRunSetsWhereNoAccessListIsKept).
    std::error_code PreparePrivateFolder(std::wstring_view path) override;
    // The machine's services name its real Windows folder: none is listed
    // while another folder is given instead.
    Result<SubkeyListing> RegListSubkeys(std::wstring_view keyPath, RegistryView view,
                                         std::size_t mostNames) override;

    // When set, given instead of the system's folders.
    std::optional<std::wstring> windowsFolder;
    std::optional<std::wstring> systemFolder;

    std::vector<fake::RecordedLaunch> launches;
    std::vector<std::wstring> desktopStarts;
};

}  // namespace tovask::testsupport
