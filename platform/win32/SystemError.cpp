#include "platform/win32/SystemError.h"

namespace tovask::win32 {

std::error_code errorFromCode(DWORD code) {
    switch (code) {
        case ERROR_SUCCESS:
            return {};
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return std::make_error_code(std::errc::no_such_file_or_directory);
        default:
            return {static_cast<int>(code), std::system_category()};
    }
}

std::error_code lastError() {
    // Only called after a call reported failure: a failure must never come
    // back as success, even from a call that forgot to set its error code.
    const DWORD code = GetLastError();
    return errorFromCode(code == ERROR_SUCCESS ? ERROR_GEN_FAILURE : code);
}

std::error_code errorFromResult(HRESULT result) {
    if (SUCCEEDED(result)) {
        return {};
    }
    if (HRESULT_FACILITY(result) == FACILITY_WIN32) {
        return errorFromCode(HRESULT_CODE(result));
    }
    return {static_cast<int>(result), std::system_category()};
}

}  // namespace tovask::win32
