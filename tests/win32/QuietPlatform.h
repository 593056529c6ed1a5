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
// and windows are the system's, but message boxes, launches and the end of
// the program are only recorded, so that nothing waits for a user. The two
// special folders can be pointed elsewhere, which moves the HOSTS files.
class QuietPlatform final : private RealPlatformHolder, public ForwardingPlatform {
  public:
    QuietPlatform() : ForwardingPlatform(real) {}

    Result<std::wstring> GetSpecialFolder(SpecialFolder folder) override;
    std::error_code LaunchCommand(std::wstring_view program, std::wstring_view argument,
                                  LaunchStyle style) override;
    std::error_code ShowMessage(std::wstring_view prompt, MessageStyle style,
                                std::wstring_view title) override;
    void EndProgram() override;

    // When set, given instead of the system's folders.
    std::optional<std::wstring> windowsFolder;
    std::optional<std::wstring> systemFolder;

    std::vector<fake::RecordedMessage> messages;
    std::vector<fake::RecordedLaunch> launches;
    int endProgramCalls = 0;
};

}  // namespace tovask::testsupport
