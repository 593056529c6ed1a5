#pragma once

#include <windows.h>

#include <string>

#include "tests/ui/FormFixture.h"

namespace tovask::ui_test {

enum class MouseButton { Left, Right, Middle };

// The window worked with the real pointer and mouse buttons: the system finds
// the window under the pointer, as it does for the user, and the messages go
// through the program's own message loop.
class MouseTest : public FormTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The pointer to a point of a window's client area.
    void moveTo(HWND window, POINT point);
    // The pointer to the middle of a control.
    void moveOver(ControlId id);
    // The pointer to a place of the window, or of the opened panel, where no
    // control lies.
    void moveOverWindowBackground();
    void moveOverPanelBackground();
    // The pointer over the words of the About text, away from the links that
    // lie over it.
    void moveOverBodyText();

    void press(MouseButton button);
    void release(MouseButton button);
    // A click where the pointer is, too long after any click before it to
    // make a double-click with it.
    void clickHere();
    void clickOn(ControlId id);
    void doubleClickOn(ControlId id);

    void openAboutPanel() { clickOn(ControlId::btnacerca); }

    // The text colour the label is told to paint with.
    COLORREF textColourOf(ControlId id) const;
    std::wstring details() const { return windowText(control(ControlId::LabelDetalles)); }

  private:
    void sendButton(MouseButton button, bool down);

    // The time stamps of the button events, so that what is a double-click
    // does not depend on how fast the test runs.
    DWORD inputTime_ = 0;
};

inline constexpr COLORREF kBlue = RGB(0, 0, 255);
inline constexpr COLORREF kOrange = RGB(255, 128, 0);

}  // namespace tovask::ui_test
