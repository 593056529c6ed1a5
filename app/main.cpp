#include <windows.h>

#include "app/Form1.h"
#include "app/MessageLoop.h"
#include "platform/win32/Win32Platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Before anything else can load a library: a DLL planted beside the
    // program, in a download folder say, must never run with our rights.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

    tovask::Win32Platform platform;
    tovask::app::Form1 form(platform, instance);
    if (const auto error = form.create()) {
        return error.value();
    }
    form.show();
    return tovask::app::runMessageLoop(form);
}
