#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "repair/users/UserPaths.h"
#include "tests/fake/FakePlatform.h"

namespace tovask {
namespace {

struct PathCase {
    const char* name;
    std::wstring_view path;
    std::optional<wchar_t> drive;

    friend void PrintTo(const PathCase& c, std::ostream* out) { *out << c.name; }
};

class DriveLetter : public testing::TestWithParam<PathCase> {};

TEST_P(DriveLetter, OnlyOfAFullPathOnADrive) {
    EXPECT_EQ(driveLetterOf(GetParam().path), GetParam().drive);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DriveLetter,
    testing::Values(PathCase{"Drive", L"C:\\Users\\ana\\Desktop", L'C'},
                    PathCase{"LowerCaseWithSlashes", L"d:/Datos", L'D'},
                    PathCase{"LongPathPrefix", L"\\\\?\\C:\\Users", L'C'},
                    PathCase{"Unc", L"\\\\127.0.0.1\\share\\Desktop", std::nullopt},
                    PathCase{"UncWithSlashes", L"//localhost/share/Desktop", std::nullopt},
                    PathCase{"LongUnc", L"\\\\?\\UNC\\127.0.0.1\\share", std::nullopt},
                    PathCase{"NtUnc", L"\\??\\UNC\\localhost\\share", std::nullopt},
                    PathCase{"Device", L"\\\\.\\C:\\Users", std::nullopt},
                    PathCase{"DriveRelative", L"C:Users", std::nullopt},
                    PathCase{"Relative", L"Desktop", std::nullopt}),
    [](const auto& info) { return info.param.name; });

TEST(UserPath, IsOpenedOnlyOnAFixedDisk) {
    fake::FakePlatform platform;
    platform.notFixedDrives = {L'Z'};
    EXPECT_TRUE(mayOpenUserPath(platform, L"C:\\Users\\ana"));
    EXPECT_FALSE(mayOpenUserPath(platform, L"z:\\Escritorio"));
    platform.failWhere("IsLocalFixedDrive", L"D", std::make_error_code(std::errc::io_error));
    EXPECT_FALSE(mayOpenUserPath(platform, L"D:\\Escritorio"));
}

}  // namespace
}  // namespace tovask
