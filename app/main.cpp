#include <windows.h>

#include "app/console/UnattendedRun.h"
#include "app/window/Form1.h"
#include "app/window/MessageLoop.h"
#include "app/window/WindowOps.h"
#include "platform/win32/ComObjects.h"
#include "platform/win32/Win32Platform.h"

namespace {

// Before anything else can load a library: a DLL planted beside the program,
// in a download folder say, must never run with our rights. Windows 7 has
// SetDefaultDllDirectories only with its security update, so it is looked up
// in kernel32, which is always loaded; without it, at least the current
// folder leaves the search.
void restrictLibrarySearchToSystemFolder() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories == nullptr ||
        !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        SetDllDirectoryW(L"");
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    restrictLibrarySearchToSystemFolder();

    tovask::Win32Platform platform;
    if (const auto request = tovask::parseCommandLine(tovask::app::commandArguments())) {
        // Nothing pumps messages in an unattended run, so its COM objects live
        // in the multithreaded apartment.
        const tovask::win32::ComApartment apartment(tovask::win32::ComThreading::Multithreaded);
        return tovask::app::runUnattended(platform, *request);
    }
    tovask::app::Win32WindowOps windowOps;
    tovask::app::Form1 form(platform, windowOps, instance);
    if (const auto error = form.create()) {
        return error.value();
    }
    form.show();
    return tovask::app::runMessageLoop(form);
}
