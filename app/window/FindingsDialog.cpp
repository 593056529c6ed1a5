#include "app/window/FindingsDialog.h"

#include <commctrl.h>

#include <string>
#include <string_view>

#include "repair/report/FindingTexts.h"
#include "resources/ResourceIds.h"

namespace tovask::app {
namespace {

// What the dialog works on while it is open; the caller owns it.
struct DialogState {
    const FindingsChoice& choice;
    std::vector<bool> checked;
};

void setText(HWND dialog, int id, std::wstring_view text) {
    SetDlgItemTextW(dialog, id, std::wstring(text).c_str());
}

void addColumns(HWND list, std::wstring_view first, std::wstring_view second) {
    RECT client{};
    GetClientRect(list, &client);
    const int width = client.right - GetSystemMetrics(SM_CXVSCROLL);
    const std::wstring_view names[] = {first, second};
    const int widths[] = {width * 3 / 5, width - width * 3 / 5};
    for (int i = 0; i < 2; ++i) {
        std::wstring name(names[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = widths[i];
        column.pszText = name.data();
        ListView_InsertColumn(list, i, &column);
    }
}

// A group per browser or place, in the order the lines bring them; the lines
// come grouped. Where the list cannot show groups each line still names its own.
// Each item carries the number of its line, whatever place the list gives it.
void addLines(HWND list, const std::vector<ChoiceLine>& lines) {
    ListView_EnableGroupView(list, TRUE);
    int group = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == 0 || lines[i].group != lines[i - 1].group) {
            std::wstring header = lines[i].group;
            LVGROUP entry{};
            entry.cbSize = sizeof(entry);
            entry.mask = LVGF_HEADER | LVGF_GROUPID;
            entry.pszHeader = header.data();
            entry.iGroupId = ++group;
            ListView_InsertGroup(list, -1, &entry);
        }
        std::wstring text = lines[i].text;
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_GROUPID | LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.lParam = static_cast<LPARAM>(i);
        item.pszText = text.data();
        item.iGroupId = group;
        const int index = ListView_InsertItem(list, &item);
        std::wstring detail = lines[i].detail;
        ListView_SetItemText(list, index, 1, detail.data());
    }
}

void fillToRepair(HWND dialog, const FindingsChoice& choice) {
    HWND list = GetDlgItem(dialog, IDC_FINDINGS_TO_REPAIR);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    addColumns(list, texts::kWhatIsWrongColumn, texts::kWhereColumn);
    addLines(list, choice.toRepair);
    ListView_SetCheckState(list, -1, TRUE);
    // The first line has the focus, so that Space toggles it at once.
    ListView_SetItemState(list, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
}

// Without report-only findings their list and its heading are not shown.
void fillLeft(HWND dialog, const FindingsChoice& choice) {
    HWND list = GetDlgItem(dialog, IDC_FINDINGS_LEFT);
    if (choice.left.empty()) {
        ShowWindow(list, SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_FINDINGS_LEFT_INTRO), SW_HIDE);
        return;
    }
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    addColumns(list, texts::kWhatIsWrongColumn, texts::kWhyLeftColumn);
    addLines(list, choice.left);
}

INT_PTR onInitDialog(HWND dialog, DialogState& state) {
    SetWindowTextW(dialog, std::wstring(texts::kFindingsQuestionTitle).c_str());
    setText(dialog, IDC_FINDINGS_INTRO, texts::kFindingsDialogIntro);
    setText(dialog, IDC_FINDINGS_LEFT_INTRO, texts::kFindingsLeftIntro);
    setText(dialog, IDC_FINDINGS_BACKUP, texts::kFindingsBackupNote);
    setText(dialog, IDOK, texts::kRepairCheckedButton);
    setText(dialog, IDCANCEL, texts::kDoNotRepairButton);
    fillToRepair(dialog, state.choice);
    fillLeft(dialog, state.choice);
    SetFocus(GetDlgItem(dialog, IDC_FINDINGS_TO_REPAIR));
    return FALSE;  // the focus is set
}

void onRepairChecked(HWND dialog, DialogState& state) {
    HWND list = GetDlgItem(dialog, IDC_FINDINGS_TO_REPAIR);
    const int items = ListView_GetItemCount(list);
    for (int index = 0; index < items; ++index) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        if (!ListView_GetItem(list, &item) || item.lParam < 0 ||
            static_cast<std::size_t>(item.lParam) >= state.checked.size()) {
            continue;
        }
        state.checked[static_cast<std::size_t>(item.lParam)] =
            ListView_GetCheckState(list, index) != 0;
    }
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return onInitDialog(dialog, *reinterpret_cast<DialogState*>(lParam));
    }
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (state == nullptr || message != WM_COMMAND) {
        return FALSE;
    }
    switch (LOWORD(wParam)) {
        case IDOK:
            onRepairChecked(dialog, *state);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

std::vector<bool> showFindingsDialog(HINSTANCE instance, HWND owner, const FindingsChoice& choice) {
    DialogState state{choice, std::vector<bool>(choice.toRepair.size(), false)};
    const INT_PTR answer = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_FINDINGS), owner,
                                           dialogProcedure, reinterpret_cast<LPARAM>(&state));
    return answer == IDOK ? state.checked : std::vector<bool>(choice.toRepair.size(), false);
}

}  // namespace tovask::app
