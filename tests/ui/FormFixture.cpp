#include "tests/ui/FormFixture.h"

#include <array>

#include "app/window/MessageLoop.h"

namespace tovask::ui_test {

void FormTest::SetUp() {
    ASSERT_FALSE(form.create());
    form.show();
    pumpMessages();
}

void FormTest::pumpMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        app::deliverMessage(form, message);
    }
}

void FormTest::pressKey(WPARAM key) {
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
    pumpMessages();
}

// The Shift key is read from the thread's keyboard state, as a real key press
// would leave it.
void FormTest::pressShiftTab() {
    std::array<BYTE, 256> keys{};
    GetKeyboardState(keys.data());
    const BYTE shift = keys[VK_SHIFT];
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys.data());
    pressKey(VK_TAB);
    keys[VK_SHIFT] = shift;
    SetKeyboardState(keys.data());
}

void FormTest::click(ControlId button) {
    SendMessageW(control(button), BM_CLICK, 0, 0);
    pumpMessages();
}

std::vector<std::wstring> FormTest::listLines() const {
    HWND list = control(ControlId::List1);
    std::vector<std::wstring> lines;
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT line = 0; line < count; ++line) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, line, 0)),
                          L'\0');
        SendMessageW(list, LB_GETTEXT, line, reinterpret_cast<LPARAM>(text.data()));
        lines.push_back(text);
    }
    return lines;
}

int FormTest::dpi() const {
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dotsPerInch;
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring className(HWND window) {
    std::wstring name(256, L'\0');
    name.resize(static_cast<std::size_t>(
        GetClassNameW(window, name.data(), static_cast<int>(name.size()))));
    return name;
}

RECT rectInContainer(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Rounded to the nearest pixel: 15 twips to a pixel at 96 dpi.
int pixels(int twips, int dpi) {
    return (twips * dpi + 720) / 1440;
}

std::string controlName(ControlId id) {
    const std::wstring_view name = app::designOf(id).name;
    return std::string(name.begin(), name.end());
}

}  // namespace tovask::ui_test
