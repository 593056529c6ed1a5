#include "platform/win32/session/DesktopShellStart.h"

#include <windows.h>

#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <wrl/client.h>

#include "platform/win32/ComObjects.h"
#include "platform/win32/SystemError.h"

namespace tovask::win32 {
namespace {

using Microsoft::WRL::ComPtr;

// The step's result, or a failure when it claimed success but gave no object:
// the next step would call through a null pointer.
template <typename Interface>
HRESULT gave(HRESULT result, const ComPtr<Interface>& object) {
    return SUCCEEDED(result) && !object ? E_POINTER : result;
}

// The shell's scripting object of the desktop's own folder view, which runs
// in the shell's process and starts programs there.
std::error_code findDesktopShell(ComPtr<IShellDispatch2>& shell) {
    ComPtr<IShellWindows> windows;
    if (const auto error = errorFromResult(CoCreateInstance(
            CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&windows)))) {
        return error;
    }
    // The desktop is found by its kind; its location only has to be valid.
    VARIANT desktopLocation{};
    desktopLocation.vt = VT_I4;
    desktopLocation.lVal = CSIDL_DESKTOP;
    VARIANT noRoot{};
    long desktopWindow = 0;
    ComPtr<IDispatch> desktop;
    const HRESULT found = windows->FindWindowSW(&desktopLocation, &noRoot, SWC_DESKTOP,
                                                &desktopWindow, SWFO_NEEDDISPATCH, &desktop);
    // S_FALSE, a success, says that there is no desktop window.
    if (FAILED(found)) {
        return errorFromResult(found);
    }
    if (found == S_FALSE || !desktop) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> viewScript;
    ComPtr<IShellFolderViewDual> folderView;
    ComPtr<IDispatch> application;
    HRESULT result = gave(desktop.As(&services), services);
    if (SUCCEEDED(result)) {
        result =
            gave(services->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(&browser)), browser);
    }
    if (SUCCEEDED(result)) {
        result = gave(browser->QueryActiveShellView(&view), view);
    }
    if (SUCCEEDED(result)) {
        result = gave(view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(&viewScript)), viewScript);
    }
    if (SUCCEEDED(result)) {
        result = gave(viewScript.As(&folderView), folderView);
    }
    if (SUCCEEDED(result)) {
        result = gave(folderView->get_Application(&application), application);
    }
    if (SUCCEEDED(result)) {
        result = gave(application.As(&shell), shell);
    }
    return errorFromResult(result);
}

}  // namespace

std::error_code startThroughDesktopShell(std::wstring_view program, std::wstring_view arguments) {
    const ComApartment apartment;
    if (!apartment.usable()) {
        return errorFromResult(apartment.result());
    }
    ComPtr<IShellDispatch2> shell;
    if (const auto error = findDesktopShell(shell)) {
        return error;
    }
    const SystemText file = systemText(program);
    const TextVariant argumentsText(arguments);
    const TextVariant verb(L"open");
    if (!file || !argumentsText.holdsText() || !verb.holdsText()) {
        return std::make_error_code(std::errc::not_enough_memory);
    }
    // The shell's process starts the program, and may bring its window to the front.
    CoAllowSetForegroundWindow(shell.Get(), nullptr);
    const VARIANT defaultFolder{};
    VARIANT show{};
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    return errorFromResult(
        shell->ShellExecute(file.get(), argumentsText.get(), defaultFolder, verb.get(), show));
}

}  // namespace tovask::win32
