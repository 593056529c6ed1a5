#include <ranges>

#include "tests/fake/FakePlatform.h"
#include "text/Utf8.h"

namespace tovask::fake {
namespace {

constexpr std::wstring_view kEnabled = L"enabled";
constexpr std::wstring_view kDisabled = L"disabled";

Result<TaskDefinition> taskAt(const FakeFileSystem& files, std::wstring_view path) {
    const auto bytes = files.read(path, kTaskFileSizeLimit);
    if (!bytes.ok()) {
        return bytes.error();
    }
    std::vector<std::wstring> lines;
    for (const auto line : std::views::split(wideFromUtf8(bytes.value()), L'\n')) {
        lines.emplace_back(line.begin(), line.end());
    }
    const auto invalid = std::make_error_code(std::errc::illegal_byte_sequence);
    if (lines.size() < 2 || !lines.back().empty() ||
        (lines[0] != kEnabled && lines[0] != kDisabled)) {
        return invalid;
    }
    TaskDefinition task{lines[0] == kEnabled, {}};
    for (const auto& line : std::span(lines).subspan(1, lines.size() - 2)) {
        const auto tab = line.find(L'\t');
        if (tab == std::wstring::npos) {
            return invalid;
        }
        task.actions.push_back({line.substr(0, tab), line.substr(tab + 1)});
    }
    return task;
}

}  // namespace

std::string fakeTaskBytes(const TaskDefinition& task) {
    std::wstring text = std::wstring(task.enabled ? kEnabled : kDisabled) + L'\n';
    for (const auto& action : task.actions) {
        text += action.command + L'\t' + action.arguments + L'\n';
    }
    return utf8FromWide(text);
}

Result<TaskDefinition> FakePlatform::ReadTaskFile(std::wstring_view path) {
    if (const auto fault = record("ReadTaskFile", path)) {
        return *fault;
    }
    return taskAt(files, path);
}

std::error_code FakePlatform::SetTaskEnabled(std::wstring_view taskFile, bool enabled) {
    if (const auto fault = record("SetTaskEnabled", taskFile)) {
        return *fault;
    }
    if (tasksUnknownToScheduler.contains(std::wstring(taskFile))) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    const auto read = taskAt(files, taskFile);
    if (!read.ok()) {
        return read.error();
    }
    auto task = read.value();
    task.enabled = enabled;
    return files.rewrite(taskFile, fakeTaskBytes(task));
}

Result<bool> FakePlatform::SchedulerKnowsTask(std::wstring_view taskFile) {
    if (const auto fault = record("SchedulerKnowsTask", taskFile)) {
        return *fault;
    }
    const auto there = files.exists(taskFile);
    if (!there.ok() && !isNotFound(there.error())) {
        return there.error();
    }
    return there.ok() && there.value() && !tasksUnknownToScheduler.contains(std::wstring(taskFile));
}

std::error_code FakePlatform::CreateNewFile(std::wstring_view path, std::string_view content) {
    if (const auto fault = record("CreateNewFile", path)) {
        return *fault;
    }
    const auto there = files.exists(path);
    if (!there.ok() && !isNotFound(there.error())) {
        return there.error();
    }
    if (there.ok() && there.value()) {
        return std::make_error_code(std::errc::file_exists);
    }
    if (!files.reachedDirectly(path)) {
        return std::make_error_code(std::errc::too_many_symbolic_link_levels);
    }
    return files.replace(path, content, FileProtection::AsReplaced);
}

}  // namespace tovask::fake
