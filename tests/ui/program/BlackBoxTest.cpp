#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Version.h"
#include "tests/ui/ProgramPath.h"

namespace {

using namespace std::chrono_literals;
using tovask::testsupport::programPath;

// Generous: the first start of a program in a fresh Wine prefix is slow.
constexpr auto kPatience = 60s;

template <typename T>
T waitFor(const std::function<T()>& probe) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    T found = probe();
    while (!found && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
        found = probe();
    }
    return found;
}

std::wstring textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1,
                      L'\0');
    const auto length =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::vector<std::wstring> listLines(HWND list) {
    std::vector<std::wstring> lines;
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT line = 0; line < count; ++line) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, line, 0)) + 1,
                          L'\0');
        const auto length =
            SendMessageW(list, LB_GETTEXT, line, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        lines.push_back(text);
    }
    return lines;
}

// A top-level window of the program's process with this class and title.
HWND findWindowOf(DWORD processId, const wchar_t* className, const wchar_t* title) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, className, title)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

std::wstring storedStartPage() {
    std::wstring value(4096, L'\0');
    DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Main",
                     L"Start Page", RRF_RT_REG_SZ, nullptr, value.data(), &size) != ERROR_SUCCESS) {
        return L"<missing>";
    }
    value.resize(size / sizeof(wchar_t) - 1);
    return value;
}

// The started program; ended by force only if a test left it running.
class RunningProgram {
  public:
    RunningProgram() {
        std::wstring commandLine = L"\"" + programPath() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &process_) != FALSE;
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram() {
        if (!started_) {
            return;
        }
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 1);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

    bool started() const { return started_; }
    DWORD id() const { return process_.dwProcessId; }
    bool endsWithin(std::chrono::milliseconds time) const {
        return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(time.count())) ==
               WAIT_OBJECT_0;
    }

  private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

TEST(BlackBoxTest, RepairFromAnotherProcessSetsTheTypedStartPage) {
    RunningProgram program;
    ASSERT_TRUE(program.started())
        << "cannot start " << std::string(programPath().begin(), programPath().end());

    HWND window = waitFor<HWND>(
        [&] { return findWindowOf(program.id(), nullptr, L"Tovask " TOVASK_VERSION_TEXT); });
    ASSERT_NE(window, nullptr);
    HWND box = FindWindowExW(window, nullptr, L"Edit", nullptr);
    HWND list = FindWindowExW(window, nullptr, L"ListBox", nullptr);
    HWND repair = FindWindowExW(window, nullptr, L"Button", L"Desbloquear IE");
    ASSERT_NE(box, nullptr);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(repair, nullptr);

    const std::wstring page = L"http://página-de-prueba.example/inicio?año=2024";
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(page.c_str()));
    PostMessageW(repair, BM_CLICK, 0, 0);

    HWND message =
        waitFor<HWND>([&] { return findWindowOf(program.id(), L"#32770", L"Finalizado"); });
    ASSERT_NE(message, nullptr);
    // Under Wine the machine-wide keys may or may not accept writes: either
    // the success message or the one that counts the failed operations.
    const std::wstring prompt = textOf(GetDlgItem(message, 0xFFFF));
    EXPECT_TRUE(prompt == L"Internet Explorer desbloqueado exitosamente" ||
                prompt.starts_with(L"Internet Explorer desbloqueado con errores"))
        << std::string(prompt.begin(), prompt.end());

    const std::vector<std::wstring> lines = listLines(list);
    const std::vector<std::wstring> report = {L"Finalizado:",
                                              L"Registro restaurado",
                                              L"Backup del Archivo Hosts",
                                              L"Archivo Hosts restaurado",
                                              L"",
                                              L"Página de inicio: " + page};
    ASSERT_GE(lines.size(), report.size());
    EXPECT_EQ(std::vector<std::wstring>(lines.begin(), lines.begin() + 6), report);
    EXPECT_EQ(textOf(box), L"");

    PostMessageW(message, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitFor<bool>([&] { return !IsWindow(message); }));
    EXPECT_EQ(storedStartPage(), page);

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(
        program.endsWithin(std::chrono::duration_cast<std::chrono::milliseconds>(kPatience)));
}

// The two ways out of the program: its exit button, and closing its window.
enum class WayOut { ExitButton, CloseWindow };

class LeavingTest : public ::testing::TestWithParam<WayOut> {};

TEST_P(LeavingTest, EndsTheProgram) {
    RunningProgram program;
    ASSERT_TRUE(program.started());
    HWND window = waitFor<HWND>(
        [&] { return findWindowOf(program.id(), nullptr, L"Tovask " TOVASK_VERSION_TEXT); });
    ASSERT_NE(window, nullptr);
    if (GetParam() == WayOut::ExitButton) {
        HWND exit = FindWindowExW(window, nullptr, L"Button", L"Salir");
        ASSERT_NE(exit, nullptr);
        PostMessageW(exit, BM_CLICK, 0, 0);
    } else {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    EXPECT_TRUE(
        program.endsWithin(std::chrono::duration_cast<std::chrono::milliseconds>(kPatience)));
}

INSTANTIATE_TEST_SUITE_P(BothWays, LeavingTest,
                         ::testing::Values(WayOut::ExitButton, WayOut::CloseWindow),
                         [](const auto& info) {
                             return info.param == WayOut::ExitButton ? "ExitButton" : "CloseWindow";
                         });

}  // namespace
