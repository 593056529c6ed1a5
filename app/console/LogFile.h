#pragma once

#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace tovask::app {

// Whether the log can be written, tried before anything is changed: the file
// is opened for appending (and created if missing) and closed again. A folder,
// a missing drive or folder, or a file that cannot be written is an error; no
// folder is ever created.
std::error_code checkLogFile(std::wstring_view path);

// Appends one run's block: a header with the local date and time, the computer,
// the user and what ran (the header's text after the user), then the lines,
// then an empty line; UTF-8 with CR LF.
std::error_code appendLogBlock(std::wstring_view path, std::wstring_view whatRan,
                               std::span<const std::wstring> lines);

// Appends one run's JSON document as one line (UTF-8, CR LF), written whole.
std::error_code appendLogDocument(std::wstring_view path, std::string_view document);

// The computer's name as the log gives it.
std::wstring computerName();

}  // namespace tovask::app
