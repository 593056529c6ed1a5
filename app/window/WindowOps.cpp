#include "app/window/WindowOps.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "platform/win32/SystemError.h"

namespace tovask::app {

void Win32WindowOps::InitCommonControls() {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                       ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
}

std::error_code Win32WindowOps::ShowMessage(std::wstring_view prompt, MessageStyle style,
                                            std::wstring_view title) {
    const std::wstring promptText(prompt);
    const std::wstring titleText(title);
    // Owned by the window the user works in, so it stays above it and that
    // window takes no input until the box is gone. When none of our windows is
    // active, MB_TASKMODAL still disables every top-level window of this
    // thread: the box is modal to the whole program either way.
    const int answer = MessageBoxW(GetActiveWindow(), promptText.c_str(), titleText.c_str(),
                                   static_cast<UINT>(style) | MB_TASKMODAL);
    return answer == 0 ? win32::lastError() : std::error_code{};
}

bool Win32WindowOps::AskYesNo(std::wstring_view prompt, std::wstring_view title) {
    const std::wstring promptText(prompt);
    const std::wstring titleText(title);
    // Owned and modal as the message boxes are; a box that could not be shown
    // answers no, so nothing is changed without the user's yes.
    return MessageBoxW(GetActiveWindow(), promptText.c_str(), titleText.c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL) == IDYES;
}

void Win32WindowOps::EndProgram() {
    // The user asked to leave now. Nothing is pending: every registry and file
    // change was finished before its call returned, and the system releases
    // the handles. Ending the process also ends a message loop that would
    // otherwise run on for windows still open.
    ExitProcess(0);
}

}  // namespace tovask::app
