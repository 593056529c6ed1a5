// Puts the running program into the pose of its About picture: the panel
// opened, the pointer over the forum link in the first paragraph, which turns
// orange under it. Run inside the program's Wine desktop by the screenshot
// script, which waits for the file named on the command line: it is written
// once the pose is taken.
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "Version.h"
#include "app/window/design/DesignTable.h"

namespace {

using namespace std::chrono_literals;
using tovask::app::ControlId;

HWND item(HWND parent, ControlId id) {
    return GetDlgItem(parent, static_cast<int>(id));
}

// As the mouse would move it: the system sends the move to whichever window
// lies under the pointer, in whichever program.
void pointAt(POINT place) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = MulDiv(place.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(place.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    SendInput(1, &input, sizeof input);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    HWND window = nullptr;
    for (int attempt = 0; attempt < 300 && window == nullptr; ++attempt) {
        window = FindWindowW(nullptr, L"Tovask " TOVASK_VERSION_TEXT);
        std::this_thread::sleep_for(100ms);
    }
    if (window == nullptr) {
        return 1;
    }
    SendMessageW(item(window, ControlId::btnacerca), BM_CLICK, 0, 0);
    HWND link = item(item(window, ControlId::Picture1), ControlId::LabelForo1);
    RECT place{};
    if (link == nullptr || !IsWindowVisible(link) || !GetWindowRect(link, &place)) {
        return 1;
    }
    // From the corner of the screen across the link in a few steps, as a hand
    // on the mouse would move it. Wine can deliver a move late, and one from
    // where the pointer was before, over the body text, would turn the link
    // blue again: the pointer leaves for the corner first and lets such a
    // move come.
    pointAt({0, 0});
    std::this_thread::sleep_for(300ms);
    const int middle = (place.top + place.bottom) / 2;
    for (int step = 1; step <= 3; ++step) {
        pointAt({place.left + (place.right - place.left) * step / 4, middle});
        std::this_thread::sleep_for(50ms);
    }
    std::ofstream done{std::filesystem::path(commandLine)};
    return done ? 0 : 1;
}
