#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/files/ShortcutFiles.h"
#include "platform/win32/files/SystemFolders.h"
#include "tests/win32/TestFolder.h"

namespace tovask {
namespace {

void expectSameContent(const ShortcutContent& actual, const ShortcutContent& expected) {
    EXPECT_EQ(actual.target, expected.target);
    EXPECT_EQ(actual.arguments, expected.arguments);
    EXPECT_EQ(actual.workingFolder, expected.workingFolder);
    EXPECT_EQ(actual.iconPath, expected.iconPath);
    EXPECT_EQ(actual.iconIndex, expected.iconIndex);
    EXPECT_EQ(actual.hotKey, expected.hotKey);
    EXPECT_EQ(actual.description, expected.description);
}

// Wine's shortcut object keeps neither the window state nor the application
// id it was given, so these are compared only between two readings.
void expectSameWindowAndId(const ShortcutContent& actual, const ShortcutContent& expected) {
    EXPECT_EQ(actual.showCommand, expected.showCommand);
    EXPECT_EQ(actual.applicationId, expected.applicationId);
}

TEST(ShortcutFilesTest, ArgumentsAloneAreRewrittenAndEverythingElseKept) {
    const testsupport::TestFolder folder;
    const std::wstring system = win32::systemFolder().value();
    // Longer than the shell's old 1024-character limit for arguments.
    const std::wstring longAddress = L"http://search.example/?id=" + std::wstring(1500, L'7');
    ShortcutContent content{.target = system + L"\\notepad.exe",
                            .arguments = L"--profile-directory=Default " + longAddress,
                            .workingFolder = system,
                            .iconPath = system + L"\\shell32.dll",
                            .iconIndex = 13,
                            .hotKey = MAKEWORD('B', HOTKEYF_CONTROL | HOTKEYF_ALT),
                            .showCommand = SW_SHOWMAXIMIZED,
                            .description = L"Navegador",
                            .applicationId = L"Tovask.Test.Browser"};
    const std::wstring path = folder.path(L"Navegador.lnk");
    ASSERT_FALSE(win32::createShortcut(path, content));

    const auto created = win32::readShortcut(path);
    ASSERT_TRUE(created.ok()) << created.error().message();
    expectSameContent(created.value().content, content);
    EXPECT_EQ(created.value().bytes, testsupport::readBytes(path));

    const auto repaired = win32::shortcutWithArguments(path, L"--profile-directory=Default");
    ASSERT_TRUE(repaired.ok()) << repaired.error().message();
    EXPECT_EQ(testsupport::readBytes(path), created.value().bytes);
    testsupport::writeBytes(path, repaired.value());
    const auto rewritten = win32::readShortcut(path);
    ASSERT_TRUE(rewritten.ok()) << rewritten.error().message();
    content.arguments = L"--profile-directory=Default";
    expectSameContent(rewritten.value().content, content);
    expectSameWindowAndId(rewritten.value().content, created.value().content);
}

TEST(ShortcutFilesTest, FileThatIsNoShortcutIsAnError) {
    const testsupport::TestFolder folder;
    const std::wstring path = folder.path(L"Roto.lnk");
    testsupport::writeBytes(path, "not a shortcut");
    EXPECT_FALSE(win32::readShortcut(path).ok());
}

TEST(ShortcutFilesTest, HugeFileIsRefusedUnread) {
    const testsupport::TestFolder folder;
    const std::wstring path = folder.path(L"Enorme.lnk");
    testsupport::writeBytes(path, std::string(kShortcutSizeLimit + 1, 'x'));
    EXPECT_EQ(win32::readShortcut(path).error(), std::errc::file_too_large);
}

}  // namespace
}  // namespace tovask
