#include "app/console/ConsoleReport.h"

#include <algorithm>
#include <string>

#include "app/console/LineEnds.h"
#include "platform/win32/files/FileAccess.h"
#include "text/Utf8.h"

namespace tovask::app {
namespace {

// Older consoles refuse a single write of more than about 64 KB, and a line can
// hold a start page of 32,767 characters.
constexpr std::size_t kConsoleSlice = 8192;

// A file or a pipe. A console handle, one inherited from a console this
// process is not attached to, an empty or closed handle are not.
bool isFileOrPipe(HANDLE handle) {
    const DWORD type = GetFileType(handle);
    return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
}

void writeToConsole(HANDLE console, std::wstring_view text) {
    while (!text.empty()) {
        auto slice = std::min(text.size(), kConsoleSlice);
        // A UTF-16 pair split between two writes would show as two bad characters.
        if (slice < text.size() && IS_HIGH_SURROGATE(text[slice - 1])) {
            --slice;
        }
        DWORD written = 0;
        if (!WriteConsoleW(console, text.data(), static_cast<DWORD>(slice), &written, nullptr) ||
            written == 0) {
            return;
        }
        text.remove_prefix(written);
    }
}

}  // namespace

// Tovask.exe is a GUI program, so the system gives it no console of its own and
// cmd does not wait for it. Output redirected to a file or a pipe reaches it as
// its standard output. Otherwise it joins the console of whoever started it:
// with "start /wait Tovask.exe /check" cmd waits for the exit code and shows
// these lines, and "Start-Process -Wait -PassThru" shows them in its window too.
// Started from cmd without "start /wait", the lines may come after its prompt.
ConsoleReport::ConsoleReport() {
    const HANDLE standardOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    if (standardOutput && standardOutput != INVALID_HANDLE_VALUE && isFileOrPipe(standardOutput)) {
        target_ = Target::Redirected;
        output_ = standardOutput;
        return;
    }
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    // Whatever the standard handles hold after attaching, the console's own
    // output is opened by name.
    const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) {
        FreeConsole();
        return;
    }
    console_.reset(console);
    target_ = Target::Console;
    output_ = console;
}

ConsoleReport::~ConsoleReport() {
    if (target_ == Target::Console) {
        console_.reset();
        FreeConsole();
    }
}

void ConsoleReport::writeLine(std::wstring_view text) {
    switch (target_) {
        case Target::Nothing:
            break;
        case Target::Console:
            writeToConsole(output_, asCrLfLines(text));
            break;
        case Target::Redirected:
            win32::writeAll(output_, utf8FromWide(asCrLfLines(text)));
            break;
    }
}

}  // namespace tovask::app
