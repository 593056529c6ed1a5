#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "app/window/Form1.h"
#include "app/window/WindowOps.h"
#include "app/window/design/DesignTable.h"
#include "tests/fake/FakePlatform.h"

namespace tovask::ui_test {

using app::ControlId;

struct RecordedMessage {
    std::wstring prompt;
    app::MessageStyle style;
    std::wstring title;
};

// The window's own calls to the system recorded instead of made, so that no
// box waits for a user and the test program goes on.
class RecordingWindowOps final : public app::WindowOps {
  public:
    explicit RecordingWindowOps(const fake::FakePlatform& platform) : platform_(platform) {}

    void InitCommonControls() override {
        platformCallsBeforeInit = platform_.calls.size();
        ++initCommonControlsCalls;
    }
    std::error_code ShowMessage(std::wstring_view prompt, app::MessageStyle style,
                                std::wstring_view title) override {
        messages.push_back({std::wstring(prompt), style, std::wstring(title)});
        if (onMessage) {
            onMessage(messages.back());
        }
        return {};
    }
    bool AskYesNo(std::wstring_view prompt, std::wstring_view title) override {
        questions.push_back(
            {std::wstring(prompt), app::MessageStyle::Information, std::wstring(title)});
        return answerQuestions;
    }
    std::vector<bool> ChooseFindings(const FindingsChoice& choice) override {
        choices.push_back(choice);
        if (realDialog) {
            return app::Win32WindowOps().ChooseFindings(choice);
        }
        std::vector<bool> checked(choice.toRepair.size(), answerYes);
        for (const auto line : uncheckedLines) {
            checked.at(line) = false;
        }
        return checked;
    }
    void EndProgram() override { ++endProgramCalls; }

    std::vector<RecordedMessage> messages;
    // Runs while the box would be on screen, before the call returns.
    std::function<void(const RecordedMessage&)> onMessage;
    // The findings dialogs, each answered with every box checked or none,
    // but for the lines unchecked; or shown for real, for a test to drive.
    std::vector<FindingsChoice> choices;
    // The undo's questions, answered Yes unless a test says otherwise.
    std::vector<RecordedMessage> questions;
    bool answerQuestions = true;
    bool answerYes = false;
    std::vector<std::size_t> uncheckedLines;
    bool realDialog = false;
    int initCommonControlsCalls = 0;
    // The platform calls made before the common controls were initialised.
    std::size_t platformCallsBeforeInit = 0;
    int endProgramCalls = 0;

  private:
    const fake::FakePlatform& platform_;
};

// The real window, created and shown in the test process over the in-memory
// platform, which records launches instead of making them, and over recorded
// message boxes.
class FormTest : public ::testing::Test {
  protected:
    void SetUp() override;

    HWND control(ControlId id) const { return form.control(id); }
    // Runs every message already waiting, through the program's own loop step.
    void pumpMessages();
    // Posts a key press to the control with the focus and lets it through.
    void pressKey(WPARAM key);
    void pressShiftTab();
    void click(ControlId button);

    std::vector<std::wstring> listLines() const;
    int dpi() const;

    fake::FakePlatform platform;
    RecordingWindowOps windowOps{platform};
    app::Form1 form{platform, windowOps, GetModuleHandleW(nullptr)};
};

std::wstring windowText(HWND window);
std::wstring className(HWND window);
// Left, top, right and bottom of a control in its container's client area.
RECT rectInContainer(HWND control);
int pixels(int twips, int dpi);
// The control's design name, to name the cases of a test over controls.
std::string controlName(ControlId id);

// The value the start-page box writes.
inline const std::wstring kStartPageValue =
    L"HKCU\\Software\\Microsoft\\Internet Explorer\\Main\\Start Page";

}  // namespace tovask::ui_test
