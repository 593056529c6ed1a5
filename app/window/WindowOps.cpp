#include "app/window/WindowOps.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/window/FindingsDialog.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/SystemLibrary.h"

namespace tovask::app {

// The library is no import of the program: loading it draws on the display
// (Wine loads its X11 driver then), which an unattended run never needs. It is
// loaded by name, so that the manifest binds its version 6, the one the
// controls' look and messages are written for.
void Win32WindowOps::InitCommonControls() {
    if (!commonControls_) {
        commonControls_.reset(LoadLibraryW(L"comctl32.dll"));
        if (!commonControls_) {
            return;
        }
    }
    using InitCommonControlsFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initCommonControls =
        win32::findExport<InitCommonControlsFunction>(commonControls_, "InitCommonControlsEx");
    if (initCommonControls != nullptr) {
        const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                           ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        initCommonControls(&classes);
    }
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

// Owned and modal as the message boxes are. A box that could not be shown is
// no Yes: nothing changes without the user's answer.
bool Win32WindowOps::AskYesNo(std::wstring_view prompt, std::wstring_view title) {
    const std::wstring promptText(prompt);
    const std::wstring titleText(title);
    return MessageBoxW(GetActiveWindow(), promptText.c_str(), titleText.c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TASKMODAL) == IDYES;
}

// Owned by the window the user works in, as the message boxes are.
std::vector<bool> Win32WindowOps::ChooseFindings(const FindingsChoice& choice) {
    return showFindingsDialog(GetModuleHandleW(nullptr), GetActiveWindow(), choice);
}

void Win32WindowOps::EndProgram() {
    // The user asked to leave now. Nothing is pending: every registry and file
    // change was finished before its call returned, and the system releases
    // the handles. Ending the process also ends a message loop that would
    // otherwise run on for windows still open.
    ExitProcess(0);
}

}  // namespace tovask::app
