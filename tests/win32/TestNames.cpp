#include "tests/win32/TestNames.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace tovask::testsupport {

std::wstring uniqueTestName() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::wstring name = L"TovaskTest-" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (const char c : std::string(test->test_suite_name()) + "-" + test->name()) {
        const bool plain =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        name += plain ? static_cast<wchar_t>(c) : L'_';
    }
    return name;
}

}  // namespace tovask::testsupport
