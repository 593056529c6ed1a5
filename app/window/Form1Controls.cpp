#include <algorithm>

#include "app/window/Form1.h"
#include "app/window/controls/Labels.h"
#include "app/window/drawing/GdiHandles.h"
#include "repair/findings/FindingKinds.h"

// What the handlers and the repair change on the window's controls.
namespace tovask::app {
namespace {

MessageStyle messageStyleOf(NoticeKind kind) {
    switch (kind) {
        case NoticeKind::Error:
            return MessageStyle::Error;
        case NoticeKind::Warning:
            return MessageStyle::Warning;
        case NoticeKind::Information:
            break;
    }
    return MessageStyle::Information;
}

// One line of the notice to a line of the box's text.
std::wstring promptOf(const Notice& notice) {
    std::wstring prompt;
    for (std::size_t i = 0; i < notice.lines.size(); ++i) {
        prompt += (i == 0 ? L"" : L"\r\n") + notice.lines[i];
    }
    return prompt;
}

}  // namespace

void Form1::setCaption(ControlId id, std::wstring_view text) {
    app::setCaption(controls_[id], text);
}

void Form1::setLinkColour(ControlId id, COLORREF colour) {
    controls_[id].textColour = colour;
    repaintLabel(controls_[id]);
}

// The border is part of the control's frame: the logo keeps its place and
// size, and the frame is drawn again at once.
void Form1::setLogoBorder(ControlId id, bool border) {
    HWND logo = control(id);
    const LONG_PTR style = GetWindowLongPtrW(logo, GWL_STYLE);
    SetWindowLongPtrW(logo, GWL_STYLE, border ? style | WS_BORDER : style & ~WS_BORDER);
    SetWindowPos(logo, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(logo, nullptr, TRUE);
}

void Form1::clearList() {
    HWND list = control(ControlId::List1);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, 0, 0);
}

// The lines that matter come last: the list scrolls to each new one, and can
// scroll sideways as far as its widest line reaches.
void Form1::appendLine(std::wstring_view line) {
    HWND list = control(ControlId::List1);
    const std::wstring text(line);
    const LRESULT index =
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0) {
        return;
    }
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    const WindowDC dc(list);
    const ScopedSelection font(dc.get(),
                               reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    // The list draws each line a few pixels in from its left edge.
    const LRESULT width = size.cx + 2 * GetSystemMetrics(SM_CXEDGE);
    if (width > SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0)) {
        SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width), 0);
    }
}

RunRequest Form1::runRequest() const {
    HWND box = control(ControlId::Text1);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)), L'\0');
    const int copied = GetWindowTextW(box, text.data(), static_cast<int>(text.size()) + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return {text, false, everyFindingKind()};
}

void Form1::setStartPage(std::wstring_view text) {
    const std::wstring page(text);
    SetWindowTextW(control(ControlId::Text1), page.c_str());
}

// A message box with the notice's icon.
void Form1::showNotice(const Notice& notice) {
    windowOps_.ShowMessage(promptOf(notice), messageStyleOf(notice.kind), notice.title);
}

// A message box with Yes and No; No unless the user says Yes.
bool Form1::confirm(const Notice& question) {
    return windowOps_.AskYesNo(promptOf(question), question.title);
}

// The same box: somebody is at the window to answer.
bool Form1::offer(const Notice& question) {
    return confirm(question);
}

std::vector<FindingId> Form1::chooseFindings(const FindingsOffer& offer) {
    const auto choice = choiceFor(offer);
    return checkedFindings(choice, windowOps_.ChooseFindings(choice));
}

}  // namespace tovask::app
