#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "resources/ResourceIds.h"
#include "tests/ui/FormFixture.h"

namespace tovask::ui_test {
namespace {

// What the user's side of the dialog saw and did, told after it closed.
struct DialogDriving {
    bool found = false;
    std::wstring listClass;
    int items = 0;
    int checkedAtFirst = 0;
    std::wstring repairButton;
    std::wstring declineButton;
    bool repairIsDefault = false;
    bool uncheckedByKeyboard = false;
    std::wstring uncheckedDetails;
    bool closedByKey = false;
};

bool waitFor(const auto& condition) {
    for (int tries = 0; tries < 500; ++tries) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Presses the key in the dialog's list and tells whether that closed it; a
// dialog the key left open is closed with the button, so the window goes on.
void pressAndWaitForClose(HWND dialog, WPARAM key, int button, bool& closed) {
    PostMessageW(GetDlgItem(dialog, IDC_FINDINGS_TO_REPAIR), WM_KEYDOWN, key, 0);
    closed = waitFor([&] { return !IsWindow(dialog); });
    if (!closed) {
        PostMessageW(dialog, WM_COMMAND, button, 0);
    }
}

// Finds the dialog as the user sees it, moves to its second line with the
// arrow key, which shows its details, unchecks it with Space, and presses Enter for "Reparar lo
// marcado". The dialog is always closed, so the window's thread goes on.
void driveDialog(DialogDriving& seen) {
    HWND dialog = nullptr;
    seen.found = waitFor([&] { return (dialog = FindWindowW(L"#32770", L"Otros navegadores")); });
    if (!seen.found) {
        return;
    }
    HWND list = GetDlgItem(dialog, IDC_FINDINGS_TO_REPAIR);
    HWND repair = GetDlgItem(dialog, IDOK);
    seen.listClass = className(list);
    seen.items = ListView_GetItemCount(list);
    for (int i = 0; i < seen.items; ++i) {
        seen.checkedAtFirst += ListView_GetCheckState(list, i) ? 1 : 0;
    }
    seen.repairButton = windowText(repair);
    seen.declineButton = windowText(GetDlgItem(dialog, IDCANCEL));
    seen.repairIsDefault = (GetWindowLongW(repair, GWL_STYLE) & BS_DEFPUSHBUTTON) != 0;
    PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
    seen.uncheckedByKeyboard = waitFor([&] { return !ListView_GetCheckState(list, 1); });
    seen.uncheckedDetails = windowText(GetDlgItem(dialog, IDC_FINDINGS_DETAILS));
    pressAndWaitForClose(dialog, VK_RETURN, IDOK, seen.closedByKey);
}

TEST_F(FormTest, FindingsDialogRepairsAllButTheLineUncheckedWithTheKeyboard) {
    const std::wstring locks[] = {L"HKLM\\Software\\Policies\\Google\\Chrome\\HomepageLocation",
                                  L"HKLM\\Software\\Policies\\Microsoft\\Edge\\HomepageLocation"};
    for (const auto& lock : locks) {
        platform.RegWrite(lock, L"http://secuestro.example", RegistryType::String);
    }
    windowOps.realDialog = true;
    DialogDriving seen;
    std::thread user(driveDialog, std::ref(seen));
    click(ControlId::btndesblo);
    user.join();

    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.listClass, L"SysListView32");
    EXPECT_EQ(seen.items, 2);
    EXPECT_EQ(seen.checkedAtFirst, 2);
    EXPECT_EQ(seen.repairButton, L"Reparar lo marcado");
    EXPECT_EQ(seen.declineButton, L"No reparar");
    EXPECT_TRUE(seen.repairIsDefault);
    ASSERT_TRUE(seen.uncheckedByKeyboard);
    EXPECT_TRUE(seen.closedByKey);
    for (const auto& lock : locks) {
        const bool unchecked = seen.uncheckedDetails.find(lock.substr(4)) != std::wstring::npos;
        EXPECT_EQ(platform.registry.value(lock).has_value(), unchecked) << lock;
    }
    const auto lines = listLines();
    EXPECT_EQ(
        std::ranges::count_if(
            lines, [](const std::wstring& line) { return line.starts_with(L"Bloqueo dejado: "); }),
        1);
}

// What the dialog showed of its lines and of its layout at each size.
struct DialogReading {
    bool found = false;
    int lines = 0;
    std::vector<std::wstring> notWhole;  // a line its details do not show whole
    std::vector<std::wstring> hiddenButtons;
    std::vector<int> unnamed;  // the controls a screen reader has no name for
    bool closedByKey = false;
};

RECT rectIn(HWND dialog, int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool holds(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Whether the details box shows all its lines without scrolling.
bool detailsFit(HWND details) {
    TEXTMETRICW metrics{};
    HDC context = GetDC(details);
    const auto old =
        SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(details, WM_GETFONT, 0, 0)));
    GetTextMetricsW(context, &metrics);
    SelectObject(context, old);
    ReleaseDC(details, context);
    RECT client{};
    SendMessageW(details, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&client));
    const auto lines = SendMessageW(details, EM_GETLINECOUNT, 0, 0);
    return lines * metrics.tmHeight <= client.bottom - client.top;
}

// Selects each line of both lists in turn and reads its details; then makes
// the dialog larger and smaller than it opened and looks for its buttons;
// then declines with Esc.
void readDialog(DialogReading& seen) {
    HWND dialog = nullptr;
    seen.found = waitFor([&] { return (dialog = FindWindowW(L"#32770", L"Otros navegadores")); });
    if (!seen.found) {
        return;
    }
    HWND details = GetDlgItem(dialog, IDC_FINDINGS_DETAILS);
    // A screen reader names a list or box by the label just before it.
    for (const int id : {IDC_FINDINGS_TO_REPAIR, IDC_FINDINGS_LEFT, IDC_FINDINGS_DETAILS}) {
        HWND label = GetWindow(GetDlgItem(dialog, id), GW_HWNDPREV);
        if (className(label) != L"Static" || windowText(label).empty()) {
            seen.unnamed.push_back(id);
        }
    }
    for (const int id : {IDC_FINDINGS_TO_REPAIR, IDC_FINDINGS_LEFT}) {
        HWND list = GetDlgItem(dialog, id);
        for (int i = 0; i < ListView_GetItemCount(list); ++i, ++seen.lines) {
            std::wstring text(1024, L'\0');
            ListView_GetItemText(list, i, 0, text.data(), static_cast<int>(text.size()));
            text.resize(wcslen(text.c_str()));
            ListView_SetItemState(list, i, LVIS_SELECTED | LVIS_FOCUSED,
                                  LVIS_SELECTED | LVIS_FOCUSED);
            if (!windowText(details).starts_with(text + L"\r\n") || !detailsFit(details)) {
                seen.notWhole.push_back(text + L" | " + windowText(details));
            }
        }
    }
    RECT opened{};
    GetWindowRect(dialog, &opened);
    for (const double scale : {1.4, 0.5}) {
        const int width = static_cast<int>((opened.right - opened.left) * scale);
        const int height = static_cast<int>((opened.bottom - opened.top) * scale);
        SetWindowPos(dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        RECT client{};
        GetClientRect(dialog, &client);
        const RECT details = rectIn(dialog, IDC_FINDINGS_DETAILS);
        for (const int id : {IDOK, IDCANCEL}) {
            const RECT button = rectIn(dialog, id);
            if (!holds(client, button) || button.top < details.bottom) {
                seen.hiddenButtons.push_back(windowText(GetDlgItem(dialog, id)) + L" at " +
                                             std::to_wstring(scale));
            }
        }
    }
    pressAndWaitForClose(dialog, VK_ESCAPE, IDCANCEL, seen.closedByKey);
}

// A hijacked home machine's ten findings, one of them only reported: each
// line reads whole in its details at this dpi, and the buttons stay in view
// however the dialog is sized. Nothing is repaired after "No reparar".
TEST_F(FormTest, FindingsDialogReadsInFullAtAnySize) {
    const std::wstring policies = L"HKLM\\Software\\Policies\\";
    const std::pair<std::wstring, std::wstring> seeds[] = {
        {policies + L"Google\\Chrome\\HomepageLocation", L"http://buscar-rapido.example/inicio"},
        {policies + L"Google\\Chrome\\NewTabPageLocation", L"http://buscar-rapido.example/nueva"},
        {policies + L"Google\\Chrome\\RestoreOnStartupURLs\\1", L"http://buscar-rapido.example/"},
        {policies + L"Google\\Chrome\\DefaultSearchProviderSearchURL",
         L"http://buscar-rapido.example/buscar?q={searchTerms}"},
        {policies + L"Google\\Chrome\\ExtensionInstallForcelist\\1",
         L"kpkcmbfnclhbhmkhcdmpmhjgmfjdjkbl;http://extensiones.example/update.xml"},
        {policies + L"Microsoft\\Edge\\HomepageLocation", L"http://buscar-rapido.example/inicio"},
        {policies + L"Microsoft\\Edge\\ExtensionInstallForcelist\\1",
         L"kpkcmbfnclhbhmkhcdmpmhjgmfjdjkbl;http://extensiones.example/update.xml"},
        {L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution "
         L"Options\\msedge.exe\\Debugger",
         L"C:\\Users\\Public\\lanzador.exe"},
        {L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Ofertas",
         L"chrome.exe http://buscar-rapido.example/ofertas"},
        {L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ProxyServer",
         L"127.0.0.1:8877"},
        {L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" +
             platform.programUserSid + L"\\ProfileImagePath",
         L"C:\\Users\\ana"},
    };
    for (const auto& [path, value] : seeds) {
        platform.RegWrite(path, value, RegistryType::String);
    }
    platform.RegWrite(
        L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ProxyEnable", 1,
        RegistryType::Dword);
    // The profile's own search engine is only reported.
    platform.files.addFile(
        L"C:\\Users\\ana\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\Preferences",
        R"({"default_search_provider_data":{"template_url_data":)"
        R"({"url":"https://buscar-rapido.example/?q={searchTerms}"}}})");
    windowOps.realDialog = true;
    DialogReading seen;
    std::thread user(readDialog, std::ref(seen));
    click(ControlId::btndesblo);
    user.join();

    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.lines, 11);
    EXPECT_TRUE(seen.notWhole.empty()) << testing::PrintToString(seen.notWhole);
    EXPECT_TRUE(seen.hiddenButtons.empty()) << testing::PrintToString(seen.hiddenButtons);
    EXPECT_TRUE(seen.unnamed.empty()) << testing::PrintToString(seen.unnamed);
    EXPECT_TRUE(seen.closedByKey);
    EXPECT_TRUE(platform.registry.value(policies + L"Google\\Chrome\\HomepageLocation"));
}

}  // namespace
}  // namespace tovask::ui_test
