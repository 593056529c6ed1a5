#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/window/DesignTable.h"
#include "app/window/Form1.h"
#include "tests/fake/FakePlatform.h"

namespace tovask::ui_test {

using app::ControlId;

// The real window, created and shown in the test process over the in-memory
// platform, which records message boxes and launches instead of showing them.
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
    app::Form1 form{platform, GetModuleHandleW(nullptr)};
};

std::wstring windowText(HWND window);
std::wstring className(HWND window);
// Left, top, right and bottom of a control in its container's client area.
RECT rectInContainer(HWND control);
int pixels(int twips, int dpi);
// The control's design name, to name the cases of a test over controls.
std::string controlName(ControlId id);

}  // namespace tovask::ui_test
