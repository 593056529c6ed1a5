#include "platform/win32/files/FileReplacement.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/files/FileAccess.h"
#include "platform/win32/files/FileSecurity.h"
#include "text/DecimalText.h"
#include "text/TextCompare.h"
#include "values/Result.h"

namespace tovask::win32 {
namespace {

// The folder part of a path, with its closing separator; empty for a bare name.
std::wstring_view folderPrefix(std::wstring_view path) {
    const auto separator = path.find_last_of(L"\\/");
    return separator == std::wstring_view::npos ? std::wstring_view{}
                                                : path.substr(0, separator + 1);
}

// The new content, written in the destination's own folder so that moving it
// into place is a rename on the same volume. Removed again unless it became
// the destination.
class TemporaryFile {
  public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        file_.reset();
        if (!path_.empty()) {
            DeleteFileW(path_.c_str());
        }
    }

    std::error_code createBeside(std::wstring_view destination, FileProtection protection) {
        FileSecurity security;
        if (const auto error = protection == FileProtection::AdministratorsOnly
                                   ? FileSecurity::administratorsOnly(security)
                                   : FileSecurity::ofFile(std::wstring(destination), security)) {
            return error;
        }
        // The names are tried in order; one left by a crashed earlier run
        // with the same process id is simply skipped.
        constexpr int kAttempts = 100;
        const std::wstring stem = std::wstring(folderPrefix(destination)) + L"~tovask-" +
                                  decimalText(GetCurrentProcessId()) + L"-";
        std::error_code failure;
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            const std::wstring candidate = stem + decimalText(attempt) + L".tmp";
            const HANDLE created =
                CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, security.attributes(), CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
            if (created != INVALID_HANDLE_VALUE) {
                file_.reset(created);
                path_ = candidate;
                return {};
            }
            failure = lastError();
            if (failure != std::error_code(ERROR_FILE_EXISTS, std::system_category())) {
                return failure;
            }
        }
        return failure;
    }

    HANDLE handle() const { return file_.get(); }

    // Flushes and closes the new content and moves it over the destination.
    std::error_code moveOnto(const std::wstring& destination) {
        if (!FlushFileBuffers(file_.get())) {
            return lastError();
        }
        file_.reset();
        if (!SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL)) {
            return lastError();
        }
        // A read-only destination refuses to be replaced.
        if (const auto error = clearDestinationAttributes(destination)) {
            return error;
        }
        if (!MoveFileExW(path_.c_str(), destination.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return lastError();
        }
        path_.clear();
        return {};
    }

  private:
    static std::error_code clearDestinationAttributes(const std::wstring& destination) {
        if (SetFileAttributesW(destination.c_str(), FILE_ATTRIBUTE_NORMAL)) {
            return {};
        }
        const auto error = lastError();
        return isNotFound(error) ? std::error_code{} : error;
    }

    KernelHandle file_;
    std::wstring path_;
};

std::error_code copyContent(HANDLE source, HANDLE destination) {
    std::vector<char> buffer(kReadSlice);
    for (;;) {
        const auto read = readSome(source, buffer);
        if (!read.ok()) {
            return read.error();
        }
        if (read.value() == 0) {
            return {};
        }
        if (const auto error =
                writeAll(destination, std::string_view(buffer.data(), read.value()))) {
            return error;
        }
    }
}

// A text that a system call writes into the buffer it is given, returning
// its length, or the size it needs when the buffer is too small.
template <typename Call>
Result<std::wstring> grownText(Call call) {
    std::wstring text(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = call(text.data(), static_cast<DWORD>(text.size()));
        if (length == 0) {
            return lastError();
        }
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(length);
    }
}

// The path by which the system reached the open file, links and junctions
// resolved, as "\\?\C:\...".
Result<std::wstring> reachedPathOf(HANDLE file) {
    return grownText([&](wchar_t* buffer, DWORD size) {
        return GetFinalPathNameByHandleW(file, buffer, size, FILE_NAME_NORMALIZED);
    });
}

Result<std::wstring> fullPathOf(const std::wstring& path) {
    return grownText([&](wchar_t* buffer, DWORD size) {
        return GetFullPathNameW(path.c_str(), size, buffer, nullptr);
    });
}

// A 32-bit program on a 64-bit Windows names the real System32 through the
// Windows folder's "Sysnative" alias, which the system reports by its own name.
std::wstring withSystemFolderUnaliased(std::wstring path) {
    constexpr std::wstring_view kAlias = L"\\Sysnative\\";
    wchar_t windows[MAX_PATH];
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || path.size() <= length + kAlias.size() ||
        !equalsIgnoringCase(std::wstring_view(path).substr(0, length),
                            std::wstring_view(windows, length)) ||
        !equalsIgnoringCase(std::wstring_view(path).substr(length, kAlias.size()), kAlias)) {
        return path;
    }
    return path.replace(length + 1, kAlias.size() - 2, L"System32");
}

// Whether the open file is the one its path names, by no detour and under no
// other name.
std::error_code checkReachedDirectly(HANDLE file, const std::wstring& path) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file, &information)) {
        return lastError();
    }
    const auto link = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
        information.nNumberOfLinks != 1) {
        return link;
    }
    const auto reached = reachedPathOf(file);
    const auto named = fullPathOf(path);
    if (!reached.ok() || !named.ok()) {
        return reached.ok() ? named.error() : reached.error();
    }
    return equalsIgnoringCase(reached.value(),
                              L"\\\\?\\" + withSystemFolderUnaliased(named.value()))
               ? std::error_code{}
               : link;
}

// Whether the open file holds exactly these bytes, read from its start.
Result<bool> holdsExactly(HANDLE file, std::string_view expected) {
    std::string buffer(expected.size() + 1, '\0');
    std::size_t held = 0;
    for (;;) {
        const auto read = readSome(file, std::span(buffer).subspan(held));
        if (!read.ok()) {
            return read.error();
        }
        if (read.value() == 0 || held + read.value() == buffer.size()) {
            held += read.value();
            break;
        }
        held += read.value();
    }
    return std::string_view(buffer).substr(0, held) == expected;
}

// Sets only the attributes: the zero times leave the file's times as they are.
std::error_code setAttributes(HANDLE file, DWORD attributes) {
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
    return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) ? std::error_code{}
                                                                                 : lastError();
}

std::error_code writeOver(HANDLE file, std::string_view expected, std::string_view content) {
    const auto same = holdsExactly(file, expected);
    if (!same.ok()) {
        return same.error();
    }
    if (!same.value()) {
        return std::make_error_code(std::errc::operation_canceled);
    }
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
        return lastError();
    }
    if (const auto error = writeAll(file, content)) {
        return error;
    }
    return SetEndOfFile(file) && FlushFileBuffers(file) ? std::error_code{} : lastError();
}

// Deleted when its last handle closes; a read-only file refuses it.
std::error_code markForDeletion(HANDLE file) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition)
               ? std::error_code{}
               : lastError();
}

}  // namespace

std::error_code rewriteUnchangedFile(std::wstring_view path, std::string_view expected,
                                     std::string_view content) {
    const std::wstring name(path);
    // First opened for its attributes only, which a read-only file allows; a
    // link that the file itself is opens as the link, to be refused. Nobody
    // may rename or delete it while it is open.
    const HANDLE opened = CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return lastError();
    }
    const KernelHandle checked(opened);
    if (const auto error = checkReachedDirectly(checked.get(), name)) {
        return error;
    }
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(checked.get(), FileBasicInfo, &basic, sizeof basic)) {
        return lastError();
    }
    // A hijacker may have made the file read-only; it is made so again after.
    const DWORD attributes = basic.FileAttributes;
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) {
        if (const auto error =
                setAttributes(checked.get(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
            return error;
        }
    }
    // The very file checked, now shared with nobody, so that what is read is
    // what is written over.
    const HANDLE reopened =
        ReOpenFile(checked.get(), GENERIC_READ | GENERIC_WRITE, 0, FILE_FLAG_OPEN_REPARSE_POINT);
    std::error_code error = reopened == INVALID_HANDLE_VALUE ? lastError() : std::error_code{};
    if (!error) {
        const KernelHandle file(reopened);
        error = writeOver(file.get(), expected, content);
    }
    if (readOnly) {
        const auto restored = setAttributes(checked.get(), attributes);
        error = error ? error : restored;
    }
    return error;
}

std::error_code copyFileOver(std::wstring_view source, std::wstring_view destination) {
    KernelHandle input;
    if (const auto error = openSharedForReading(std::wstring(source), input)) {
        return error;
    }
    TemporaryFile replacement;
    if (const auto error = replacement.createBeside(destination, FileProtection::AsReplaced)) {
        return error;
    }
    if (const auto error = copyContent(input.get(), replacement.handle())) {
        return error;
    }
    return replacement.moveOnto(std::wstring(destination));
}

std::error_code replaceFileContent(std::wstring_view path, std::string_view content,
                                   FileProtection protection) {
    TemporaryFile replacement;
    if (const auto error = replacement.createBeside(path, protection)) {
        return error;
    }
    if (const auto error = writeAll(replacement.handle(), content)) {
        return error;
    }
    return replacement.moveOnto(std::wstring(path));
}

std::error_code removeUnchangedFile(std::wstring_view path, std::string_view expected) {
    const std::wstring name(path);
    // Shared with nobody, so that what is compared is what is deleted.
    const HANDLE opened =
        CreateFileW(name.c_str(), GENERIC_READ | FILE_WRITE_ATTRIBUTES | DELETE, 0, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return lastError();
    }
    const KernelHandle file(opened);
    if (const auto error = checkReachedDirectly(file.get(), name)) {
        return error;
    }
    const auto same = holdsExactly(file.get(), expected);
    if (!same.ok()) {
        return same.error();
    }
    if (!same.value()) {
        return std::make_error_code(std::errc::operation_canceled);
    }
    if (const auto error = setAttributes(file.get(), FILE_ATTRIBUTE_NORMAL)) {
        return error;
    }
    return markForDeletion(file.get());
}

std::error_code createNewFile(std::wstring_view path, std::string_view content) {
    const std::wstring name(path);
    const HANDLE created = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE) {
        const auto error = lastError();
        return error == std::error_code(ERROR_FILE_EXISTS, std::system_category())
                   ? std::make_error_code(std::errc::file_exists)
                   : error;
    }
    const KernelHandle file(created);
    auto error = checkReachedDirectly(file.get(), name);
    if (!error) {
        error = writeAll(file.get(), content);
    }
    if (!error && !FlushFileBuffers(file.get())) {
        error = lastError();
    }
    if (error) {
        markForDeletion(file.get());
    }
    return error;
}

}  // namespace tovask::win32
