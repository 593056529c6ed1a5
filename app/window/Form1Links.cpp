#include <string>

#include "app/window/Form1.h"
#include "repair/texts/ProgramTexts.h"
#include "repair/texts/SiteUrls.h"

// The site links and logos: each opens the forum or the information site
// through the system shell, and the logos look pressed while a mouse button
// is held on them.
namespace tovask::app {
namespace {

// Started by the platform from the Windows folder, never from the folder the
// program was started from.
constexpr std::wstring_view kShellProgram = L"explorer.exe";

}  // namespace

void Form1::LabelLinkforo_Click() {
    openSite(ForumSiteUrl);
}

void Form1::LabelForo1_Click() {
    openSite(ForumSiteUrl);
}

void Form1::LabelForo2_Click() {
    openSite(ForumSiteUrl);
}

void Form1::LabelForo3_Click() {
    openSite(ForumSiteUrl);
}

void Form1::LabelInfo1_Click() {
    openSite(InfoSiteUrl);
}

void Form1::LabelInfo2_Click() {
    openSite(InfoSiteUrl);
}

void Form1::LogoInfo1_Click() {
    openSite(InfoSiteUrl);
}

void Form1::LogoInfo2_Click() {
    openSite(InfoSiteUrl);
}

void Form1::LogoInfo1_MouseDown() {
    setLogoBorder(ControlId::LogoInfo1, true);
}

void Form1::LogoInfo1_MouseUp() {
    setLogoBorder(ControlId::LogoInfo1, false);
}

void Form1::LogoInfo2_MouseDown() {
    setLogoBorder(ControlId::LogoInfo2, true);
}

void Form1::LogoInfo2_MouseUp() {
    setLogoBorder(ControlId::LogoInfo2, false);
}

// The browser is the shell's business: the launch returns as soon as the
// shell has started. A site that cannot be opened is said so, with the
// system's reason, rather than a click that silently does nothing.
void Form1::openSite(std::wstring_view url) {
    const auto error = platform_.LaunchCommand(kShellProgram, url, LaunchStyle::MinimizedWithFocus);
    if (error) {
        showNotice({NoticeKind::Error,
                    std::wstring(texts::kErrorTitle),
                    {std::wstring(texts::kSiteNotOpenedPromptPrefix) + std::wstring(url),
                     platform_.DescribeError(error)}});
    }
}

}  // namespace tovask::app
