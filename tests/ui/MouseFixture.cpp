#include "tests/ui/MouseFixture.h"

namespace tovask::ui_test {
namespace {

// Places in twips where the window, and the opened panel, show only their
// bare background.
constexpr POINT kWindowBackground{1500, 4600};
constexpr POINT kPanelBackground{3000, 4700};

constexpr DWORD kButtonFlags[][2] = {
    {MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN},
    {MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_RIGHTDOWN},
    {MOUSEEVENTF_MIDDLEUP, MOUSEEVENTF_MIDDLEDOWN},
};

}  // namespace

// The pointer is the machine's, not the test's: it is parked in the corner of
// the screen, away from any window of the tests, before the window opens and
// after the test, so that no window finds it over itself when it appears.
void MouseTest::SetUp() {
    SetCursorPos(0, 0);
    FormTest::SetUp();
    inputTime_ = GetTickCount();
}

void MouseTest::TearDown() {
    SetCursorPos(0, 0);
    pumpMessages();
    FormTest::TearDown();
}

void MouseTest::moveTo(HWND window, POINT point) {
    ClientToScreen(window, &point);
    SetCursorPos(point.x, point.y);
    pumpMessages();
}

void MouseTest::moveOver(ControlId id) {
    RECT client{};
    GetClientRect(control(id), &client);
    moveTo(control(id), {client.right / 2, client.bottom / 2});
}

void MouseTest::moveOverWindowBackground() {
    const POINT place{pixels(kWindowBackground.x, dpi()), pixels(kWindowBackground.y, dpi())};
    ASSERT_EQ(ChildWindowFromPointEx(form.window(), place, CWP_SKIPINVISIBLE), form.window());
    moveTo(form.window(), place);
}

void MouseTest::moveOverPanelBackground() {
    HWND panel = control(ControlId::Picture1);
    const POINT place{pixels(kPanelBackground.x, dpi()), pixels(kPanelBackground.y, dpi())};
    ASSERT_TRUE(IsWindowVisible(panel));
    ASSERT_EQ(ChildWindowFromPointEx(panel, place, CWP_SKIPINVISIBLE), panel);
    moveTo(panel, place);
}

void MouseTest::moveOverBodyText() {
    HWND panel = control(ControlId::Picture1);
    POINT place{20, 18};
    MapWindowPoints(control(ControlId::LabelCuerpo), panel, &place, 1);
    ASSERT_EQ(ChildWindowFromPointEx(panel, place, CWP_SKIPINVISIBLE),
              control(ControlId::LabelCuerpo));
    moveTo(panel, place);
}

void MouseTest::sendButton(MouseButton button, bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = kButtonFlags[static_cast<int>(button)][down ? 1 : 0];
    inputTime_ += 10;
    input.mi.time = inputTime_;
    ASSERT_EQ(SendInput(1, &input, sizeof input), 1u);
    pumpMessages();
}

void MouseTest::press(MouseButton button) {
    sendButton(button, true);
}

void MouseTest::release(MouseButton button) {
    sendButton(button, false);
}

void MouseTest::clickHere() {
    inputTime_ += GetDoubleClickTime() + 1;
    press(MouseButton::Left);
    release(MouseButton::Left);
}

void MouseTest::clickOn(ControlId id) {
    moveOver(id);
    clickHere();
}

void MouseTest::doubleClickOn(ControlId id) {
    moveOver(id);
    clickHere();
    press(MouseButton::Left);
    release(MouseButton::Left);
}

COLORREF MouseTest::textColourOf(ControlId id) const {
    HWND label = control(id);
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(label));
    const COLORREF colour = GetTextColor(dc);
    DeleteDC(dc);
    return colour;
}

}  // namespace tovask::ui_test
