#include "text/RegistryPath.h"

#include <algorithm>
#include <limits>

#include "text/TextCompare.h"

namespace tovask {
namespace {

// The keys Windows lists as shared between the views of a 64-bit Windows
// (Windows 7 and later), below HKLM.
constexpr std::wstring_view kSharedSoftwareKeys[] = {
    L"Software\\Microsoft\\COM3",
    L"Software\\Microsoft\\Cryptography\\Calais\\Current",
    L"Software\\Microsoft\\Cryptography\\Calais\\Readers",
    L"Software\\Microsoft\\Cryptography\\Services",
    L"Software\\Microsoft\\CTF\\SystemShared",
    L"Software\\Microsoft\\CTF\\TIP",
    L"Software\\Microsoft\\DFS",
    L"Software\\Microsoft\\Driver Signing",
    L"Software\\Microsoft\\EnterpriseCertificates",
    L"Software\\Microsoft\\EventSystem",
    L"Software\\Microsoft\\MSMQ",
    L"Software\\Microsoft\\Non-Driver Signing",
    L"Software\\Microsoft\\Notepad\\DefaultFonts",
    L"Software\\Microsoft\\OLE",
    L"Software\\Microsoft\\RAS",
    L"Software\\Microsoft\\RPC",
    L"Software\\Microsoft\\Shared Tools\\MSInfo",
    L"Software\\Microsoft\\SystemCertificates",
    L"Software\\Microsoft\\TermServLicensing",
    L"Software\\Microsoft\\Transaction Server",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cursors\\Schemes",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\KindMap",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\PreviewHandlers",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Setup",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Telephony\\Locations",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Console",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontDpi",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontMapper",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Gre_Initialize",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\LanguagePack",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Print",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones",
    L"Software\\Policies",
    L"Software\\RegisteredApplications",
};

// Below the shared HKLM\Software\Classes, the keys that keep a copy per view.
constexpr std::wstring_view kRedirectedClassesKeys[] = {
    L"Software\\Classes\\CLSID",           L"Software\\Classes\\DirectShow",
    L"Software\\Classes\\Interface",       L"Software\\Classes\\Media Type",
    L"Software\\Classes\\MediaFoundation",
};

std::error_code invalid() {
    return std::make_error_code(std::errc::invalid_argument);
}

}  // namespace

Result<RegistryPath> parseRegistryPath(std::wstring_view text) {
    const auto rootEnd = text.find(L'\\');
    if (rootEnd == std::wstring_view::npos) {
        return invalid();
    }
    const auto rootName = text.substr(0, rootEnd);
    RegistryRoot root{};
    if (equalsIgnoringCase(rootName, L"HKCU")) {
        root = RegistryRoot::CurrentUser;
    } else if (equalsIgnoringCase(rootName, L"HKLM")) {
        root = RegistryRoot::LocalMachine;
    } else if (equalsIgnoringCase(rootName, L"HKU")) {
        root = RegistryRoot::Users;
    } else {
        return invalid();
    }

    const auto rest = text.substr(rootEnd + 1);
    const auto lastSeparator = rest.rfind(L'\\');
    if (lastSeparator == std::wstring_view::npos) {
        return invalid();
    }
    const auto key = rest.substr(0, lastSeparator);
    const auto valueName = rest.substr(lastSeparator + 1);
    const bool emptyKeyName = key.empty() || key.starts_with(L'\\') || key.ends_with(L'\\') ||
                              key.find(L"\\\\") != std::wstring_view::npos;
    if (emptyKeyName) {
        return invalid();
    }
    return RegistryPath{root, key, valueName, valueName.empty()};
}

bool isSharedBetweenViews(RegistryRoot root, std::wstring_view key) {
    if (root != RegistryRoot::LocalMachine) {
        return false;
    }
    const auto isAtOrBelow = [&](std::wstring_view ancestor) {
        return key.size() >= ancestor.size() &&
               equalsIgnoringCase(key.substr(0, ancestor.size()), ancestor) &&
               (key.size() == ancestor.size() || key[ancestor.size()] == L'\\');
    };
    if (isAtOrBelow(L"Software\\Classes")) {
        // Below Classes only the COM registrations keep a copy per view.
        return std::ranges::none_of(kRedirectedClassesKeys, isAtOrBelow);
    }
    return std::ranges::any_of(kSharedSoftwareKeys, isAtOrBelow);
}

std::span<const RegistryView> viewsFor(RegistryRoot root, std::wstring_view key, bool hasTwoViews) {
    static constexpr RegistryView kBothViews[] = {RegistryView::Bits32, RegistryView::Bits64};
    static constexpr RegistryView kSharedView[] = {RegistryView::Bits64};
    static constexpr RegistryView kDefaultView[] = {RegistryView::Default};
    // A 32-bit program on 64-bit Windows sees only the 32-bit copy of the
    // machine-wide software keys unless it names a view; the users' keys are
    // shared by both.
    if (root != RegistryRoot::LocalMachine || !hasTwoViews) {
        return kDefaultView;
    }
    return isSharedBetweenViews(root, key) ? std::span<const RegistryView>(kSharedView)
                                           : std::span<const RegistryView>(kBothViews);
}

Result<std::uint32_t> toDword(RegistryData value) {
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        return static_cast<std::uint32_t>(*number);
    }
    const auto text = std::get<std::wstring_view>(value);
    if (text.empty()) {
        return invalid();
    }
    std::uint64_t number = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return invalid();
        }
        number = number * 10 + static_cast<std::uint64_t>(c - L'0');
        if (number > std::numeric_limits<std::uint32_t>::max()) {
            return invalid();
        }
    }
    return static_cast<std::uint32_t>(number);
}

}  // namespace tovask
