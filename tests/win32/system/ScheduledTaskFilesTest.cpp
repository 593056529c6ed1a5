#include <gtest/gtest.h>

#include <string>

#include "platform/win32/files/FileReplacement.h"
#include "platform/win32/tasks/ScheduledTasks.h"
#include "tests/win32/TestFolder.h"
#include "text/Utf16.h"

namespace tovask {
namespace {

// A task file as the scheduler writes it: UTF-16 with its byte order mark.
std::string schedulerFile(std::wstring_view xml) {
    return "\xFF\xFE" + toUtf16LeBytes(xml);
}

const std::wstring kTask =
    LR"(<?xml version="1.0" encoding="UTF-16"?>
<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">
  <Settings><Hidden>true</Hidden><Enabled>true</Enabled></Settings>
  <Actions Context="Author">
    <Exec><Command>C:\Windows\System32\sc.exe</Command></Exec>
    <Exec>
      <Command>"C:\Program Files\Google\Chrome\Application\chrome.exe"</Command>
      <Arguments>--load-extension=C:\ProgramData\ext &amp; x</Arguments>
    </Exec>
  </Actions>
</Task>)";

const win32::LoadedLibrary& xmlLite() {
    static const auto library = win32::loadXmlLite();
    EXPECT_TRUE(library.ok());
    return library.value();
}

TEST(ScheduledTaskFiles, XmlLiteReadsTheExecActions) {
    const testsupport::TestFolder folder;
    testsupport::writeBytes(folder.path(L"Tarea"), schedulerFile(kTask));
    const auto task = win32::readTaskFile(folder.path(L"Tarea"), xmlLite());
    ASSERT_TRUE(task.ok()) << task.error().message();
    const TaskDefinition expected{
        true,
        {{L"C:\\Windows\\System32\\sc.exe", L""},
         {L"\"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe\"",
          L"--load-extension=C:\\ProgramData\\ext & x"}}};
    EXPECT_EQ(task.value(), expected);
}

TEST(ScheduledTaskFiles, HostileFilesAreRefused) {
    const testsupport::TestFolder folder;
    for (const auto& [name, xml] : std::initializer_list<std::pair<std::wstring, std::wstring>>{
             {L"NoTask", L"<Otro><Actions/></Otro>"},
             {L"DocumentType",
              L"<!DOCTYPE Task [<!ENTITY e SYSTEM \"file:///C:/x\">]><Task>&e;</Task>"},
             {L"Unclosed", L"<Task><Actions>"}}) {
        testsupport::writeBytes(folder.path(name), schedulerFile(xml));
        EXPECT_FALSE(win32::readTaskFile(folder.path(name), xmlLite()).ok())
            << testing::PrintToString(name);
    }
    testsupport::writeBytes(folder.path(L"Grande"), std::string(kTaskFileSizeLimit + 1, ' '));
    EXPECT_EQ(win32::readTaskFile(folder.path(L"Grande"), xmlLite()).error(),
              std::errc::file_too_large);
}

TEST(StartupFileMoves, RemoveOnlyTheSameBytesAndCreateOnlyWhereNothingIs) {
    const testsupport::TestFolder folder;
    const auto path = folder.path(L"carga.vbs");
    testsupport::writeBytes(path, "uno");
    EXPECT_EQ(win32::removeUnchangedFile(path, "otro"), std::errc::operation_canceled);
    EXPECT_FALSE(win32::removeUnchangedFile(path, "uno"));
    EXPECT_TRUE(folder.names().empty());
    EXPECT_FALSE(win32::createNewFile(path, "uno"));
    EXPECT_EQ(testsupport::readBytes(path), "uno");
    EXPECT_EQ(win32::createNewFile(path, "dos"), std::errc::file_exists);
}

}  // namespace
}  // namespace tovask
