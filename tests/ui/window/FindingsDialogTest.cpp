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
    std::wstring uncheckedPlace;
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

// Finds the dialog as the user sees it, moves to its second line with the
// arrow key, unchecks it with Space, and presses "Reparar lo marcado". The
// dialog is always closed, so the window's thread goes on.
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
    std::wstring place(MAX_PATH, L'\0');
    ListView_GetItemText(list, 1, 1, place.data(), static_cast<int>(place.size()));
    seen.uncheckedPlace = place.c_str();
    PostMessageW(repair, BM_CLICK, 0, 0);
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
    for (const auto& lock : locks) {
        const bool unchecked = seen.uncheckedPlace.ends_with(lock.substr(4));
        EXPECT_EQ(platform.registry.value(lock).has_value(), unchecked) << lock;
    }
    const auto lines = listLines();
    EXPECT_EQ(
        std::ranges::count_if(
            lines, [](const std::wstring& line) { return line.starts_with(L"Bloqueo dejado: "); }),
        1);
}

}  // namespace
}  // namespace tovask::ui_test
