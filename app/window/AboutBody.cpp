#include "app/window/AboutBody.h"

#include "repair/texts/ProgramTexts.h"

namespace tovask::app {

std::wstring aboutBodyText() {
    std::wstring body;
    bool first = true;
    for (const std::wstring_view line : texts::kAboutBodyLines) {
        if (!first) {
            body += L"\r\n";
        }
        body += line;
        first = false;
    }
    return body;
}

}  // namespace tovask::app
