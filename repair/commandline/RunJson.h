#pragma once

#include <span>
#include <string>
#include <string_view>

#include "repair/commandline/CommandLine.h"
#include "repair/report/RunRecord.h"

namespace tovask {

// What a script reads of one unattended run, beside the facts its view kept.
struct RunFacts {
    UnattendedCommand command;
    std::span<const std::wstring> arguments;  // as the system split them
    std::wstring_view computer;
    bool everyUser = false;
    ExitCode exitCode = ExitCode::Done;
    const RunRecord& record;
    std::span<const std::wstring> report;  // the lines people read
};

// The version of the document's layout; it grows when a field changes meaning.
inline constexpr int kRunJsonSchema = 1;

// The run as one JSON document, UTF-8: the program, the machine and whether
// it counts as managed, the users it acted for, the switches, the exit code,
// and each finding by id with its kind, subject, place, what was found, what
// the repair leaves, whether it may be repaired, whether the allow list
// allows it, what became of it and the findings it is tied to; then the
// report's lines.
std::string runJson(const RunFacts& facts);

}  // namespace tovask
