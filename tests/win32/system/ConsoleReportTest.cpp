#include <windows.h>

#include <gtest/gtest.h>

#include "app/console/ConsoleReport.h"
#include "tests/win32/TestFolder.h"

namespace tovask {
namespace {

// Standard output pointed at a file, as "Tovask.exe /check > salida.txt" does,
// and put back afterwards.
class RedirectedOutput {
  public:
    explicit RedirectedOutput(const std::wstring& path)
        : previous_(GetStdHandle(STD_OUTPUT_HANDLE)) {
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        file_.reset(file == INVALID_HANDLE_VALUE ? nullptr : file);
        SetStdHandle(STD_OUTPUT_HANDLE, file_.get());
    }
    RedirectedOutput(const RedirectedOutput&) = delete;
    RedirectedOutput& operator=(const RedirectedOutput&) = delete;
    ~RedirectedOutput() { SetStdHandle(STD_OUTPUT_HANDLE, previous_); }

  private:
    // Not ours: the test program's own output, put back as it was.
    HANDLE previous_;
    win32::KernelHandle file_;
};

TEST(ConsoleReport, WritesRedirectedOutputAsUtf8Lines) {
    testsupport::TestFolder folder;
    const auto path = folder.path(L"salida.txt");
    {
        const RedirectedOutput redirected(path);
        app::ConsoleReport report;
        report.writeLine(L"Informe:");
        report.writeLine(L"ñandú 中文 \U0001F600\nsegunda");
    }
    EXPECT_EQ(testsupport::readBytes(path),
              "Informe:\r\n"
              "\xc3\xb1"
              "and\xc3\xba \xe4\xb8\xad\xe6\x96\x87 \xf0\x9f\x98\x80\r\nsegunda\r\n");
}

}  // namespace
}  // namespace tovask
