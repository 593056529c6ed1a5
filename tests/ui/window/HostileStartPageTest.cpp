#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"
#include "repair/texts/SiteUrls.h"
#include "tests/ui/FormFixture.h"

namespace tovask::ui_test {
namespace {

// How the text reaches the box: set as a whole, or pasted from the clipboard.
enum class Entry { Set, Pasted };

struct HostileInput {
    std::string name;
    std::wstring text;
    Entry entry = Entry::Set;

    friend void PrintTo(const HostileInput& input, std::ostream* out) { *out << input.name; }
};

std::wstring cycled(std::wstring_view piece, std::size_t length) {
    std::wstring text;
    text.reserve(length + piece.size());
    while (text.size() < length) {
        text += piece;
    }
    text.resize(length);
    return text;
}

// Says where two texts part instead of printing a million characters.
testing::AssertionResult sameText(std::wstring_view actual, std::wstring_view expected) {
    if (actual == expected) {
        return testing::AssertionSuccess();
    }
    const auto parting = std::ranges::mismatch(actual, expected).in1 - actual.begin();
    return testing::AssertionFailure() << actual.size() << " characters instead of "
                                       << expected.size() << ", apart from position " << parting;
}

using GlobalMemory = std::unique_ptr<void, decltype(&GlobalFree)>;

testing::AssertionResult pasteInto(HWND box, const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes), &GlobalFree);
    if (!memory || !OpenClipboard(GetParent(box))) {
        return testing::AssertionFailure() << "no clipboard: " << GetLastError();
    }
    std::memcpy(GlobalLock(memory.get()), text.c_str(), bytes);
    GlobalUnlock(memory.get());
    EmptyClipboard();
    // The clipboard owns the memory once it has taken it.
    if (SetClipboardData(CF_UNICODETEXT, memory.get()) != nullptr) {
        memory.release();
    }
    CloseClipboard();
    SendMessageW(box, WM_PASTE, 0, 0);
    return testing::AssertionSuccess();
}

// What a run with an empty box leaves in the registry, with this start page.
std::map<std::wstring, fake::StoredValue> registryOfEmptyRunWith(const std::wstring& page) {
    fake::FakePlatform platform;
    RecordingView view;
    BrowserRepair repair(platform, view,
                         [](const FindingsOffer&) { return std::vector<FindingId>{}; });
    repair.loadPaths();
    repair.VerificarNavegador(L"IEFrame", {});
    platform.registry.write(kStartPageValue, page, RegistryType::String);
    return platform.registry.snapshot();
}

class HostileStartPage : public FormTest, public ::testing::WithParamInterface<HostileInput> {};

TEST_P(HostileStartPage, IsStoredAndReportedExactlyAndTheWindowAnswersAfterwards) {
    const auto& input = GetParam();
    HWND box = control(ControlId::Text1);
    if (input.entry == Entry::Pasted) {
        ASSERT_TRUE(pasteInto(box, input.text));
    } else {
        SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(input.text.c_str()));
    }
    ASSERT_TRUE(sameText(windowText(box), input.text)) << "the box did not take the text whole";

    click(ControlId::btndesblo);

    const std::wstring page = input.text.empty() ? std::wstring(ForumSiteUrl) : input.text;
    const auto stored = platform.registry.value(kStartPageValue);
    ASSERT_TRUE(stored.has_value());
    EXPECT_TRUE(sameText(std::get<std::wstring>(stored->data), page));
    // The page is one entry of the list whatever it holds: a CR LF in it does
    // not start another line, and the list gives the entry back unchanged.
    const auto lines = listLines();
    const auto firstError = std::ranges::find_if(
        lines, [](const std::wstring& line) { return line.starts_with(L"Error: "); });
    ASSERT_EQ(firstError - lines.begin(), 6);
    EXPECT_TRUE(sameText(firstError[-1], L"Página de inicio: " + page));
    EXPECT_EQ(windowText(box), L"");
    EXPECT_TRUE(platform.registry.snapshot() == registryOfEmptyRunWith(page));
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutW(form.window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer),
              0);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, HostileStartPage,
    ::testing::Values(
        HostileInput{"Empty", L""}, HostileInput{"OneBlank", L" "},
        HostileInput{"OnlyBlanks", std::wstring(9, L' ')},
        HostileInput{"LongestEditText", cycled(L"http://ruta.example/a?b=", 32767)},
        HostileInput{"MillionPasted", cycled(L"xyz\x00f1\x65e5-", 1'000'000), Entry::Pasted},
        HostileInput{"BeyondBasicPlane", L"http://\U0001F30D.example/\U0001D11E\U00020BB7"},
        HostileInput{"RightToLeft", L"http://\x0645\x062B\x0627\x0644.example/\x200F\x05D0\x05D1"},
        HostileInput{"CombiningMarks", L"e\x0301\x0302\x0303\x0304 n\x0303 a\x030A\x0345"},
        HostileInput{"LoneSurrogates",
                     L"http://x.example/\xDBFF"
                     L"alto/\xDC01"},
        HostileInput{"TabsAndControls", L"\tuno\tdos\x01\x02\x1f\x7f\r\nnueva\x0c\x08"},
        HostileInput{"QuotesBackslashesPercent",
                     L"\"a\" 'b' C:\\Windows\\ %WINDIR% %1 %% %s {SUB_RFC1766} \\\\srv\\"},
        HostileInput{"ScriptUrl", L"javascript:alert(1)"},
        HostileInput{"FileUrl", L"file:///C:/x"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tovask::ui_test
