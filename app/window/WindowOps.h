#pragma once

#include <string_view>
#include <system_error>
#include <vector>

#include "platform/win32/Handles.h"
#include "repair/findings/FindingsChoice.h"

namespace tovask::app {

// Message box styles, valued as the system's icon flags.
enum class MessageStyle : unsigned { Error = 16, Warning = 48, Information = 64 };

// What the window asks of the system for itself rather than for the repair:
// the common controls, its message boxes and the end of the program. A seam
// of its own, so that the window's tests record them instead.
class WindowOps {
  public:
    virtual ~WindowOps() = default;

    virtual void InitCommonControls() = 0;
    // Modal; returns when the user has dismissed it.
    virtual std::error_code ShowMessage(std::wstring_view prompt, MessageStyle style,
                                        std::wstring_view title) = 0;
    // A Yes/No question, modal; true when the user answered Yes.
    virtual bool AskYesNo(std::wstring_view prompt, std::wstring_view title) = 0;
    // The findings dialog, modal; each repairable line's box as the user
    // left it, every one unchecked when the user declined.
    virtual std::vector<bool> ChooseFindings(const FindingsChoice& choice) = 0;
    virtual void EndProgram() = 0;
};

// The window's operations on a real Windows.
class Win32WindowOps final : public WindowOps {
  public:
    void InitCommonControls() override;
    std::error_code ShowMessage(std::wstring_view prompt, MessageStyle style,
                                std::wstring_view title) override;
    bool AskYesNo(std::wstring_view prompt, std::wstring_view title) override;
    std::vector<bool> ChooseFindings(const FindingsChoice& choice) override;
    [[noreturn]] void EndProgram() override;

  private:
    // Loaded with the window rather than with the program, and kept as long
    // as the window's controls need their classes.
    win32::LoadedLibrary commonControls_;
};

}  // namespace tovask::app
