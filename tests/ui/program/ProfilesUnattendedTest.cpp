// A hijacked Chrome profile and a Firefox profile through the built program
// on the Wine prefix: what only the real system shows, its folders as the
// shell names them and a browser that runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "tests/ui/ProgramRun.h"
#include "tests/win32/TestFolder.h"

namespace tovask::testsupport {
namespace {

std::wstring environment(const wchar_t* name) {
    std::wstring value(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

bool anyLineHas(const std::vector<std::string>& lines, std::string_view part) {
    return std::ranges::any_of(
        lines, [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

// The profiles' files, seeded as a hijacker leaves them, and removed again.
class HijackedProfiles {
  public:
    HijackedProfiles() {
        const auto chrome = environment(L"LOCALAPPDATA") + L"\\Google\\Chrome\\User Data";
        const auto firefox = environment(L"APPDATA") + L"\\Mozilla\\Firefox\\Profiles\\ab1.default";
        const auto extension = environment(L"LOCALAPPDATA") + L"\\Ofertas\\ext";
        const auto install = environment(L"ProgramFiles") + L"\\Mozilla Firefox";
        roots_ = {chrome, environment(L"APPDATA") + L"\\Mozilla",
                  environment(L"LOCALAPPDATA") + L"\\Ofertas", install};
        files_ = {
            {chrome + L"\\Local State", R"({"profile":{"info_cache":{"Default":{}}}})"},
            {chrome + L"\\Default\\Preferences",
             R"({"default_search_provider_data":{"template_url_data":{"url":"http://buscar.example/?q={searchTerms}"}},)"
             R"("session":{"restore_on_startup":4,"startup_urls":["http://inicio.example"]},"translate":{"enabled":true}})"},
            {chrome + L"\\Default\\Secure Preferences",
             R"({"extensions":{"settings":{"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa":{"location":4,"path":")" +
                 utf8Escaped(extension) + R"("}}},"protection":{"macs":{},"super_mac":"00"}})"},
            {extension + L"\\manifest.json", "{}"},
            {firefox + L"\\prefs.js", "user_pref(\"browser.tabs.warnOnClose\", false);\n"},
            {firefox + L"\\user.js",
             "user_pref(\"browser.startup.homepage\", \"http://inicio.example\");\n"},
            {install + L"\\distribution\\extensions\\ofertas@x.example.xpi", "PK\x03\x04"},
        };
        seed();
    }
    void seed() const {
        for (const auto& [path, bytes] : files_) {
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
            writeBytes(path, bytes);
        }
    }
    ~HijackedProfiles() {
        std::error_code ignored;
        for (const auto& root : roots_) {
            std::filesystem::remove_all(root, ignored);
        }
    }
    // Each file as it is now, missing ones empty.
    std::map<std::wstring, std::string> now() const {
        std::map<std::wstring, std::string> bytes;
        for (const auto& [path, seeded] : files_) {
            bytes[path] = std::filesystem::exists(path) ? readBytes(path) : "";
        }
        return bytes;
    }
    const std::map<std::wstring, std::string>& seeded() const { return files_; }

  private:
    static std::string utf8Escaped(const std::wstring& path) {
        std::string text;
        for (const wchar_t character : path) {
            text += character == L'\\' ? std::string("\\\\")
                                       : std::string(1, static_cast<char>(character));
        }
        return text;
    }

    std::vector<std::wstring> roots_;
    std::map<std::wstring, std::string> files_;
};

// A process of the browser's own file name, ended with the test.
class RunningBrowser {
  public:
    RunningBrowser() {
        std::wstring self(MAX_PATH, L'\0');
        self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
        auto command = self.substr(0, self.rfind(L'\\')) + L"\\chrome.exe";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started{};
        if (CreateProcessW(command.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &started)) {
            process_.reset(started.hProcess);
            CloseHandle(started.hThread);
        }
    }
    ~RunningBrowser() {
        if (process_) {
            TerminateProcess(process_.get(), 0);
            WaitForSingleObject(process_.get(), 5000);
        }
    }
    bool runs() const { return static_cast<bool>(process_); }

  private:
    win32::KernelHandle process_;
};

TEST(ProfilesUnattended, AHijackedProfileCountsAndIsPutBackOnlyWithItsBrowserClosed) {
    TestFolder folder;
    // One an earlier test left would be refused, as Wine cannot protect it.
    removeFileCopies();
    const HijackedProfiles profiles;
    ProgramRuns run(folder);
    const auto& lines = run.lines();

    EXPECT_EQ(run(L"/check /browsers"), 1) << testing::PrintToString(lines);
    EXPECT_TRUE(anyLineHas(lines, "Google Chrome, perfil Default:"));
    EXPECT_TRUE(anyLineHas(lines, "Mozilla Firefox, perfil ab1.default:"));
    EXPECT_EQ(run(L"/repair /browsers"), 0) << testing::PrintToString(lines);
    EXPECT_EQ(run(L"/check /browsers"), 0) << testing::PrintToString(lines);
    const auto repaired = profiles.now();
    run(L"/undo");
    // Wine keeps no access lists, so its undo refuses the copies' folder and
    // leaves every file as the repair left it, as would a later repair.
    EXPECT_EQ(profiles.now(), systemKeepsAccessLists() ? profiles.seeded() : repaired)
        << testing::PrintToString(lines);
    removeFileCopies();
    profiles.seed();

    const RunningBrowser chrome;
    ASSERT_TRUE(chrome.runs());
    EXPECT_EQ(run(L"/repair /browsers"), 3);
    EXPECT_TRUE(anyLineHas(lines, "navegador abierto: cierre Google Chrome"))
        << testing::PrintToString(lines);
    for (const auto& [path, bytes] : profiles.now()) {
        EXPECT_TRUE(path.find(L"\\Chrome\\") == std::wstring::npos ||
                    bytes == profiles.seeded().at(path));
    }
    run(L"/undo");
    removeFileCopies();
}

}  // namespace
}  // namespace tovask::testsupport
