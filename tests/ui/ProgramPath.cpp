#include "tests/ui/ProgramPath.h"

#include <windows.h>

namespace tovask::testsupport {

std::wstring programPath() {
    std::wstring program(GetEnvironmentVariableW(L"TOVASK_PROGRAM", nullptr, 0), L'\0');
    program.resize(GetEnvironmentVariableW(L"TOVASK_PROGRAM", program.data(),
                                           static_cast<DWORD>(program.size())));
    if (program.starts_with(L"/")) {
        program = L"Z:" + program;
    }
    for (wchar_t& character : program) {
        character = character == L'/' ? L'\\' : character;
    }
    return program;
}

}  // namespace tovask::testsupport
