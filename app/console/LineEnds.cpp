#include "app/console/LineEnds.h"

namespace tovask::app {

std::wstring asCrLfLines(std::wstring_view text) {
    std::wstring lines;
    lines.reserve(text.size() + 2);
    for (const wchar_t c : text) {
        if (c == L'\n') {
            lines += L'\r';
        }
        lines += c;
    }
    return lines + L"\r\n";
}

}  // namespace tovask::app
