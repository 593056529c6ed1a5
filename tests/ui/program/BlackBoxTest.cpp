#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "Version.h"
#include "tests/ui/ProgramPath.h"
#include "tests/win32/TestFolder.h"
#include "tests/win32/TestRegistry.h"

namespace {

using namespace std::chrono_literals;
using namespace tovask::testsupport;

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
    explicit RunningProgram(std::wstring_view arguments = {}) {
        forgetEarlierRunSets();
        std::wstring commandLine = L"\"" + programPath() + L"\" " + std::wstring(arguments);
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

// What the software being removed leaves for the run: a profile's preferences
// that end inside a UTF-8 sequence beside one whose home page names the
// user's and Windows' folders as extension folders, and, while the user reads
// the findings, an extension key put back as a link to a legitimate key.
class AdversaryAtRepair : public ::testing::Test {
  protected:
    static constexpr const wchar_t* kHijackId = L"aaaabbbbccccddddeeeeffffgggghhhh";
    static constexpr const wchar_t* kLegitimate = L"Software\\TovaskLegitimate";
    static constexpr const wchar_t* kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const wchar_t* kPolicy = L"Software\\Policies\\Google\\Chrome";

    void SetUp() override {
        // A copies folder an earlier run left is refused where Wine keeps no
        // access list, and the profile then stays for its reset page instead.
        removeFileCopies();
        writeFile(L"Default",
                  R"({"homepage":"https://inicio.example/--load-extension=C:\\Users,%windir%"})");
        std::string cut = R"({"homepage":")";
        cut.resize(1048542, 'a');
        writeFile(L"Profile 1", cut + '\xF4');
        const std::vector<std::tuple<HKEY, std::wstring, const wchar_t*, const wchar_t*>> values = {
            {HKEY_LOCAL_MACHINE, extensionKey(), L"update_url", L"https://ads.example/crx"},
            {HKEY_LOCAL_MACHINE, kLegitimate, L"update_url", L"https://empresa.example/crx"},
            {HKEY_CURRENT_USER, kRun, L"OneDrive",
             L"\"C:\\Users\\Public\\OneDrive\\OneDrive.exe\""},
            {HKEY_LOCAL_MACHINE, kRun, L"SecurityHealth",
             L"%windir%\\system32\\SecurityHealth.exe"},
            {HKEY_LOCAL_MACHINE, kPolicy, L"HomepageLocation", L"http://buscar.example"}};
        for (const auto& [root, key, name, text] : values) {
            writeStringDirectly(root, key, name, text, 0);
        }
    }
    void TearDown() override {
        removeLink(extensionKey());
        for (const auto& key : {extensionKey(), std::wstring(kLegitimate), std::wstring(kPolicy)}) {
            removeKeyEverywhere(HKEY_LOCAL_MACHINE, key);
        }
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun, L"OneDrive");
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRun, L"SecurityHealth");
        std::filesystem::remove_all(userData());
    }

    static std::wstring extensionKey() {
        return std::wstring(L"Software\\Google\\Chrome\\Extensions\\") + kHijackId;
    }
    static std::filesystem::path userData() {
        wchar_t folder[MAX_PATH] = {};
        ExpandEnvironmentStringsW(L"%LOCALAPPDATA%\\Google\\Chrome\\User Data", folder, MAX_PATH);
        return folder;
    }
    static void writeFile(const wchar_t* profile, const std::string& bytes) {
        std::filesystem::create_directories(userData() / profile);
        std::ofstream(userData() / profile / L"Preferences", std::ios::binary) << bytes;
    }
};

TEST_F(AdversaryAtRepair, NeitherCrashesNorTurnsTheRepairOntoWhatIsLegitimate) {
    RunningProgram program;
    ASSERT_TRUE(program.started());
    HWND window = waitFor<HWND>(
        [&] { return findWindowOf(program.id(), nullptr, L"Tovask " TOVASK_VERSION_TEXT); });
    ASSERT_NE(window, nullptr);
    PostMessageW(FindWindowExW(window, nullptr, L"Button", L"Desbloquear IE"), BM_CLICK, 0, 0);
    HWND findings =
        waitFor<HWND>([&] { return findWindowOf(program.id(), L"#32770", L"Otros navegadores"); });
    ASSERT_NE(findings, nullptr);
    removeKeyEverywhere(HKEY_LOCAL_MACHINE, extensionKey());
    makeLink(extensionKey(), kLegitimate);
    PostMessageW(findings, WM_COMMAND, IDOK, 0);

    HWND message =
        waitFor<HWND>([&] { return findWindowOf(program.id(), L"#32770", L"Finalizado"); });
    ASSERT_NE(message, nullptr) << "the run ended without its report";
    const auto lines = listLines(FindWindowExW(window, nullptr, L"ListBox", nullptr));
    EXPECT_TRUE(std::ranges::any_of(lines, [](const std::wstring& line) {
        return line.starts_with(L"Error: ") && line.find(kHijackId) != std::wstring::npos &&
               line.find(L"es un vínculo que lleva a otro lugar") != std::wstring::npos;
    })) << testing::PrintToString(lines);
    PostMessageW(message, WM_COMMAND, IDOK, 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(
        program.endsWithin(std::chrono::duration_cast<std::chrono::milliseconds>(kPatience)));

    const auto legitimate = stringValue(L"https://empresa.example/crx");
    EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, kLegitimate, L"update_url"), legitimate);
    EXPECT_TRUE(readValue(HKEY_CURRENT_USER, kRun, L"OneDrive"));
    EXPECT_TRUE(readValue(HKEY_LOCAL_MACHINE, kRun, L"SecurityHealth"));
    EXPECT_FALSE(readValue(HKEY_LOCAL_MACHINE, kPolicy, L"HomepageLocation"));
    RunningProgram undo(L"/undo");
    ASSERT_TRUE(undo.endsWithin(std::chrono::duration_cast<std::chrono::milliseconds>(kPatience)));
    EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, kPolicy, L"HomepageLocation"),
              stringValue(L"http://buscar.example"));
    EXPECT_EQ(readValue(HKEY_LOCAL_MACHINE, kLegitimate, L"update_url"), legitimate);
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
