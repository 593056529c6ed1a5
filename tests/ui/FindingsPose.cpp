// Puts the window into the poses of its findings pictures, over the
// in-memory platform holding the locks a hijacked home machine has: the
// findings dialog on screen, then, once repaired, the report ending with the
// summary per browser and place. Run inside the Wine desktop by the
// screenshot script. It is handed a path: the pose writes "<path>.dialog"
// when the dialog is up, waits for the script's "<path>.taken", and writes
// "<path>.summary" when the closing messages are answered.
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "app/window/Form1.h"
#include "app/window/MessageLoop.h"
#include "app/window/WindowOps.h"
#include "tests/fake/FakePlatform.h"

namespace {

using namespace std::chrono_literals;
using tovask::app::ControlId;

// A home machine whose Chrome and Edge say they are managed by an
// organisation, and whose connections go through a stranger's proxy.
void hijack(tovask::fake::FakePlatform& platform) {
    const std::pair<const wchar_t*, const wchar_t*> values[] = {
        {L"HKLM\\SOFTWARE\\Policies\\Google\\Chrome\\HomepageLocation",
         L"http://buscar-rapido.example/inicio"},
        {L"HKLM\\SOFTWARE\\Policies\\Google\\Chrome\\RestoreOnStartupURLs\\1",
         L"http://buscar-rapido.example/"},
        {L"HKLM\\SOFTWARE\\Policies\\Microsoft\\Edge\\ExtensionInstallForcelist\\1",
         L"kpkcmbfnclhbhmkhcdmpmhjgmfjdjkbl;http://extensiones.example/update.xml"},
        {L"HKLM\\SOFTWARE\\Policies\\Microsoft\\Edge\\HomepageLocation",
         L"http://buscar-rapido.example/inicio"},
        {L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ProxyServer",
         L"203.0.113.7:8080"},
    };
    for (const auto& [path, value] : values) {
        platform.RegWrite(path, value, tovask::RegistryType::String);
    }
    platform.RegWrite(
        L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ProxyEnable", 1,
        tovask::RegistryType::Dword);
}

template <typename Condition>
bool waitFor(Condition condition) {
    for (int tries = 0; tries < 600; ++tries) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

void mark(const std::wstring& path) {
    std::ofstream{std::filesystem::path(path)};
}

BOOL CALLBACK keepShownBox(HWND window, LPARAM found) {
    wchar_t name[16]{};
    GetClassNameW(window, name, 16);
    if (IsWindowVisible(window) && std::wstring(name) == L"#32770") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// A box or dialog of the window's thread, on screen.
HWND shownBoxOf(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(thread, keepShownBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

void pose(HWND repairButton, DWORD thread, std::wstring marks) {
    PostMessageW(repairButton, BM_CLICK, 0, 0);
    HWND dialog = nullptr;
    if (!waitFor([&] { return (dialog = FindWindowW(L"#32770", L"Otros navegadores")); })) {
        return;
    }
    mark(marks + L".dialog");
    if (!waitFor([&] { return std::filesystem::exists(marks + L".taken"); })) {
        return;
    }
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    // The closing message and any notice after it, each answered; the run
    // is over once none has come for a while.
    for (int quiet = 0; quiet < 30; ++quiet) {
        if (HWND box = shownBoxOf(thread)) {
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            quiet = 0;
        }
        std::this_thread::sleep_for(100ms);
    }
    mark(marks + L".summary");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    tovask::fake::FakePlatform platform;
    hijack(platform);
    tovask::app::Win32WindowOps windowOps;
    tovask::app::Form1 form(platform, windowOps, instance);
    if (form.create()) {
        return 1;
    }
    form.show();
    std::thread poser(pose, form.control(ControlId::btndesblo), GetCurrentThreadId(),
                      std::wstring(commandLine));
    poser.detach();
    return tovask::app::runMessageLoop(form);
}
