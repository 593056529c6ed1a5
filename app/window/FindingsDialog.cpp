#include "app/window/FindingsDialog.h"

#include <commctrl.h>

#include <algorithm>
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
    // The smallest the user may make it, in pixels at this dpi.
    SIZE minimum{};
};

// The dialog's measures, in dialog units, so that they follow the font and the dpi.
constexpr int kMargin = 7;
constexpr int kGap = 4;
constexpr int kLabelHeight = 10;
constexpr int kDetailsHeight = 56;
constexpr int kNoteHeight = 16;
constexpr int kButtonHeight = 14;
constexpr int kRepairButtonWidth = 84;
constexpr int kDeclineButtonWidth = 68;
constexpr SIZE kMinimumSize{300, 230};

void setText(HWND dialog, int id, std::wstring_view text) {
    SetDlgItemTextW(dialog, id, std::wstring(text).c_str());
}

// Dialog units to pixels, at the dialog's font and dpi.
RECT inPixels(HWND dialog, RECT units) {
    MapDialogRect(dialog, &units);
    return units;
}

const std::vector<ChoiceLine>& linesOf(HWND dialog, HWND list, const DialogState& state) {
    return list == GetDlgItem(dialog, IDC_FINDINGS_LEFT) ? state.choice.left
                                                         : state.choice.toRepair;
}

// The columns share the list's width as it is now: the repairable lines have
// their text alone, the report-only ones the reason beside it.
void fitColumns(HWND list) {
    RECT client{};
    GetClientRect(list, &client);
    const int width = client.right - GetSystemMetrics(SM_CXVSCROLL);
    HWND header = ListView_GetHeader(list);
    if (header != nullptr && Header_GetItemCount(header) == 2) {
        ListView_SetColumnWidth(list, 0, width * 3 / 5);
        ListView_SetColumnWidth(list, 1, width - width * 3 / 5);
    } else {
        ListView_SetColumnWidth(list, 0, width);
    }
}

void addColumn(HWND list, int index, std::wstring_view name) {
    std::wstring text(name);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 100;
    column.pszText = text.data();
    ListView_InsertColumn(list, index, &column);
}

// A group per browser or place, in the order the lines bring them; the lines
// come grouped. Each item carries the number of its line, whatever place the
// list gives it.
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
        if (!lines[i].detail.empty()) {
            std::wstring detail = lines[i].detail;
            ListView_SetItemText(list, index, 1, detail.data());
        }
    }
}

// The line an item of the list shows, if any.
const ChoiceLine* lineAt(HWND dialog, HWND list, int index, const DialogState& state) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    const auto& lines = linesOf(dialog, list, state);
    if (index < 0 || !ListView_GetItem(list, &item) || item.lParam < 0 ||
        static_cast<std::size_t>(item.lParam) >= lines.size()) {
        return nullptr;
    }
    return &lines[static_cast<std::size_t>(item.lParam)];
}

void showDetails(HWND dialog, const ChoiceLine& line) {
    std::wstring text;
    for (const auto& detail : line.details) {
        text += (text.empty() ? L"" : L"\r\n") + detail;
    }
    setText(dialog, IDC_FINDINGS_DETAILS, text);
}

void fillToRepair(HWND dialog, const FindingsChoice& choice) {
    HWND list = GetDlgItem(dialog, IDC_FINDINGS_TO_REPAIR);
    ListView_SetExtendedListViewStyle(list,
                                      LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    addColumn(list, 0, texts::kWhatIsWrongColumn);
    addLines(list, choice.toRepair);
    ListView_SetCheckState(list, -1, TRUE);
}

// Without report-only findings their list and its heading are not shown.
void fillLeft(HWND dialog, const FindingsChoice& choice) {
    HWND list = GetDlgItem(dialog, IDC_FINDINGS_LEFT);
    if (choice.left.empty()) {
        ShowWindow(list, SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_FINDINGS_LEFT_INTRO), SW_HIDE);
        return;
    }
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    addColumn(list, 0, texts::kWhatIsWrongColumn);
    addColumn(list, 1, texts::kWhyLeftColumn);
    addLines(list, choice.left);
}

void place(HWND dialog, int id, RECT units) {
    const RECT pixels = inPixels(dialog, units);
    SetWindowPos(GetDlgItem(dialog, id), nullptr, pixels.left, pixels.top,
                 pixels.right - pixels.left, pixels.bottom - pixels.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// Lays the controls out over the dialog's client area as it is now: the
// texts and buttons keep their height, the buttons stay at the bottom right,
// and the lists share what is left, the repairable one the larger part.
void layOut(HWND dialog) {
    RECT client{};
    GetClientRect(dialog, &client);
    RECT unit{0, 0, 4, 8};
    MapDialogRect(dialog, &unit);
    // The client area in dialog units.
    const int width = MulDiv(client.right, 4, std::max<int>(unit.right, 1));
    const int height = MulDiv(client.bottom, 8, std::max<int>(unit.bottom, 1));
    const int right = width - kMargin;
    const bool hasLeft = IsWindowVisible(GetDlgItem(dialog, IDC_FINDINGS_LEFT)) != FALSE;

    const int buttonsTop = height - kMargin - kButtonHeight;
    const int noteTop = buttonsTop - kGap / 2 - kNoteHeight;
    const int detailsTop = noteTop - kGap - kDetailsHeight;
    const int detailsLabelTop = detailsTop - 1 - kLabelHeight;
    const int listsTop = kMargin + kLabelHeight + 2;
    const int listsBottom = detailsLabelTop - kGap;
    const int leftSpace = hasLeft ? (listsBottom - listsTop) / 3 : 0;
    const int toRepairBottom = listsBottom - leftSpace;

    place(dialog, IDC_FINDINGS_INTRO, {kMargin, kMargin, right, kMargin + kLabelHeight});
    place(dialog, IDC_FINDINGS_TO_REPAIR,
          {kMargin, listsTop, right, std::max(listsTop, toRepairBottom)});
    if (hasLeft) {
        const int leftIntroTop = toRepairBottom + kGap;
        place(dialog, IDC_FINDINGS_LEFT_INTRO,
              {kMargin, leftIntroTop, right, leftIntroTop + kLabelHeight});
        place(dialog, IDC_FINDINGS_LEFT,
              {kMargin, leftIntroTop + kLabelHeight + 2, right,
               std::max(leftIntroTop + kLabelHeight + 2, listsBottom)});
    }
    place(dialog, IDC_FINDINGS_DETAILS_LABEL,
          {kMargin, detailsLabelTop, right, detailsLabelTop + kLabelHeight});
    place(dialog, IDC_FINDINGS_DETAILS, {kMargin, detailsTop, right, detailsTop + kDetailsHeight});
    place(dialog, IDC_FINDINGS_BACKUP, {kMargin, noteTop, right, noteTop + kNoteHeight});
    const int declineLeft = right - kDeclineButtonWidth;
    const int repairLeft = declineLeft - kGap - kRepairButtonWidth;
    place(dialog, IDOK, {repairLeft, buttonsTop, declineLeft - kGap, buttonsTop + kButtonHeight});
    place(dialog, IDCANCEL, {declineLeft, buttonsTop, right, buttonsTop + kButtonHeight});
    fitColumns(GetDlgItem(dialog, IDC_FINDINGS_TO_REPAIR));
    fitColumns(GetDlgItem(dialog, IDC_FINDINGS_LEFT));
    InvalidateRect(dialog, nullptr, TRUE);
}

// The smallest window whose client area holds the minimum in dialog units.
SIZE minimumWindow(HWND dialog) {
    RECT window = inPixels(dialog, {0, 0, kMinimumSize.cx, kMinimumSize.cy});
    AdjustWindowRectEx(&window, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
    return {window.right - window.left, window.bottom - window.top};
}

INT_PTR onInitDialog(HWND dialog, DialogState& state) {
    SetWindowTextW(dialog, std::wstring(texts::kFindingsQuestionTitle).c_str());
    setText(dialog, IDC_FINDINGS_INTRO, texts::kFindingsDialogIntro);
    setText(dialog, IDC_FINDINGS_LEFT_INTRO, texts::kFindingsLeftIntro);
    setText(dialog, IDC_FINDINGS_DETAILS_LABEL, texts::kFindingDetailsLabel);
    setText(dialog, IDC_FINDINGS_BACKUP, texts::kFindingsBackupNote);
    setText(dialog, IDOK, texts::kRepairCheckedButton);
    setText(dialog, IDCANCEL, texts::kDoNotRepairButton);
    fillToRepair(dialog, state.choice);
    fillLeft(dialog, state.choice);
    state.minimum = minimumWindow(dialog);
    layOut(dialog);
    // The first line is selected and has the focus, so that its details show
    // and Space toggles it at once.
    HWND list = GetDlgItem(dialog, IDC_FINDINGS_TO_REPAIR);
    ListView_SetItemState(list, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    SetFocus(list);
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

// A line cut off by its column is shown whole in its tooltip; a line that
// fits has none.
void giveTooltip(HWND dialog, NMLVGETINFOTIPW& tip, const DialogState& state) {
    const auto* line = lineAt(dialog, tip.hdr.hwndFrom, tip.iItem, state);
    if (line == nullptr || tip.pszText == nullptr || tip.cchTextMax <= 0) {
        return;
    }
    // The label's own padding, as the list leaves it on both sides.
    constexpr int kPadding = 12;
    const int needed = ListView_GetStringWidth(tip.hdr.hwndFrom, line->text.c_str()) + kPadding;
    const bool cut = needed > ListView_GetColumnWidth(tip.hdr.hwndFrom, 0);
    std::wstring text = cut ? line->text : L"";
    if (!line->detail.empty()) {
        text += (text.empty() ? L"" : L"\r\n") + line->detail;
    }
    const auto room = static_cast<std::size_t>(tip.cchTextMax - 1);
    const auto copied = text.copy(tip.pszText, std::min(room, text.size()));
    tip.pszText[copied] = L'\0';
}

INT_PTR onNotify(HWND dialog, const NMHDR& header, const DialogState& state) {
    if (header.idFrom != IDC_FINDINGS_TO_REPAIR && header.idFrom != IDC_FINDINGS_LEFT) {
        return FALSE;
    }
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uNewState & LVIS_SELECTED) != 0 && (change.uOldState & LVIS_SELECTED) == 0) {
            if (const auto* line = lineAt(dialog, header.hwndFrom, change.iItem, state)) {
                showDetails(dialog, *line);
            }
        }
    } else if (header.code == LVN_GETINFOTIPW) {
        giveTooltip(dialog, *reinterpret_cast<NMLVGETINFOTIPW*>(const_cast<NMHDR*>(&header)),
                    state);
    }
    return FALSE;
}

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return onInitDialog(dialog, *reinterpret_cast<DialogState*>(lParam));
    }
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (state == nullptr) {
        return FALSE;
    }
    switch (message) {
        case WM_SIZE:
            layOut(dialog);
            return TRUE;
        case WM_GETMINMAXINFO: {
            auto& limits = *reinterpret_cast<MINMAXINFO*>(lParam);
            limits.ptMinTrackSize = {state->minimum.cx, state->minimum.cy};
            return TRUE;
        }
        case WM_NOTIFY:
            return onNotify(dialog, *reinterpret_cast<const NMHDR*>(lParam), *state);
        case WM_COMMAND:
            break;
        default:
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
    DialogState state{choice, std::vector<bool>(choice.toRepair.size(), false), {}};
    const INT_PTR answer = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_FINDINGS), owner,
                                           dialogProcedure, reinterpret_cast<LPARAM>(&state));
    return answer == IDOK ? state.checked : std::vector<bool>(choice.toRepair.size(), false);
}

}  // namespace tovask::app
