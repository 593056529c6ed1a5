#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "repair/findings/FindingKinds.h"
#include "repair/report/RecordingView.h"
#include "repair/run/BrowserRepair.h"
#include "repair/texts/SiteUrls.h"
#include "tests/fake/FakePlatform.h"
#include "tests/native/ExpectedRegistryPlan.h"
#include "text/TextCompare.h"

namespace tovask::fake {

inline void PrintTo(const StoredValue& value, std::ostream* out) {
    *out << testing::PrintToString(value.name) << " = ";
    if (const auto* text = std::get_if<std::wstring>(&value.data)) {
        *out << testing::PrintToString(*text);
    } else if (const auto* number = std::get_if<std::uint32_t>(&value.data)) {
        *out << "dword " << *number;
    } else {
        const auto& raw = std::get<RegistryValue>(value.data);
        *out << "type " << raw.type << " " << testing::PrintToString(raw.bytes);
    }
}

}  // namespace tovask::fake

namespace tovask::test {

inline std::error_code errc(std::errc code) {
    return std::make_error_code(code);
}

// The texts the user reads, written out here so that a changed word shows.
inline constexpr std::wstring_view kStartPagePrefix = L"Página de inicio: ";
inline constexpr std::wstring_view kErrorPrefix = L"Error: ";
inline constexpr std::wstring_view kFinished = L"Finalizado";
inline constexpr std::wstring_view kRepairSucceeded =
    L"Internet Explorer desbloqueado exitosamente";
inline constexpr std::wstring_view kUndoDone = L"Cambios desechos.....Hecho";
inline constexpr std::wstring_view kUndoListed = L"Deshacer pondrá de nuevo:";
inline constexpr std::wstring_view kPutBackPrefix = L"Puesto de nuevo: ";

// The list from the line that says the undo is done: what came back.
inline std::vector<std::wstring> linesFromDone(const std::vector<std::wstring>& lines) {
    const auto done = std::ranges::find(lines, kUndoDone);
    return {done, lines.end()};
}

inline std::vector<std::wstring> progressLinesFor(std::wstring_view startPage) {
    return {L"Finalizado:",
            L"Registro restaurado",
            L"Backup del Archivo Hosts",
            L"Archivo Hosts restaurado",
            L"",
            std::wstring(kStartPagePrefix) + std::wstring(startPage)};
}

inline std::wstring repairFailedPrompt(std::size_t failures) {
    return L"Internet Explorer desbloqueado con errores. Operaciones fallidas: " +
           std::to_wstring(failures);
}

inline std::wstring errorLineStart(std::wstring_view target) {
    return std::wstring(kErrorPrefix) + std::wstring(target) + L" (";
}

inline bool reportsFailureOf(const std::vector<std::wstring>& lines, std::wstring_view target) {
    return std::ranges::any_of(
        lines, [&](const std::wstring& line) { return line.starts_with(errorLineStart(target)); });
}

// The HOSTS files and backups of a machine whose Windows folder is C:\WINDOWS.
inline constexpr std::wstring_view kSystemHosts = L"C:\\WINDOWS\\system32\\drivers\\etc\\hosts";
inline constexpr std::wstring_view kSystemBackup =
    L"C:\\WINDOWS\\system32\\drivers\\etc\\BackupHosts.bak";
inline constexpr std::wstring_view kWindowsHosts = L"C:\\WINDOWS\\drivers\\etc\\hosts";
inline constexpr std::wstring_view kWindowsBackup = L"C:\\WINDOWS\\BackupHosts.bak";
inline constexpr std::wstring_view kRegistryBackup =
    L"C:\\WINDOWS\\system32\\drivers\\etc\\BackupRegistro.reg";
inline constexpr std::wstring_view kRunSetsFolder =
    L"C:\\WINDOWS\\system32\\drivers\\etc\\TovaskEjecuciones\\";

inline const std::string kHijackedHosts =
    "127.0.0.1 localhost\r\n10.6.6.6 www.banco.example\r\n10.6.6.6 update.vendor.example\r\n";
inline const std::string kOtherHosts = "127.0.0.1 localhost\r\n10.7.7.7 correo.example\r\n";
inline const std::string kEarlierBackup = "# copia de una reparacion anterior\r\n";

inline bool anyLineHas(const std::vector<std::wstring>& lines, std::wstring_view part) {
    return std::ranges::any_of(
        lines, [&](const std::wstring& line) { return line.find(part) != std::wstring::npos; });
}

// Whether a line says "<prefix><title> (<place>...)" of the finding at the
// place, or at a place that starts so.
inline bool saysOf(const std::vector<std::wstring>& lines, std::wstring_view prefix,
                   std::wstring_view place) {
    const auto at = L" (" + std::wstring(place);
    return std::ranges::any_of(lines, [&](const std::wstring& line) {
        return line.starts_with(prefix) && line.find(at) != std::wstring::npos;
    });
}

struct SeededFile {
    std::wstring_view path;
    std::string bytes;
    std::uint32_t attributes = 0;
};

// The recording view of the tests, which also notes whether the fake
// platform's repair lock was held as each notice was shown, and lets a test
// look at the view at that moment.
class BenchView final : public RecordingView {
  public:
    explicit BenchView(const fake::FakePlatform& platform) : platform_(platform) {}

    void showNotice(const Notice& notice) override {
        RecordingView::showNotice(notice);
        shownUnderLock.push_back(platform_.lockHeld);
        if (onNotice) {
            onNotice(notice);
        }
    }

    // The user at the window answers the undo's question.
    bool confirm(const Notice& question) override {
        confirmations.push_back(question);
        if (whileConfirming) {
            whileConfirming();
        }
        return goOn;
    }

    // The user at the window answers what the run offers beyond itself.
    bool offer(const Notice& question) override {
        offers.push_back(question);
        return takeOffers;
    }

    // The user at the window answers every question about findings alike:
    // every finding offered or none, but never one whose place ends as unchecked.
    std::vector<FindingId> answer(const FindingsOffer& offer) {
        questions.emplace_back(offer.repairable.begin(), offer.repairable.end());
        if (whileAsked) {
            whileAsked();
        }
        std::vector<FindingId> chosen;
        for (const auto& finding : offer.repairable) {
            if (repairFindings && !finding.place.ends_with(uncheckedEnding)) {
                chosen.push_back(finding.id());
            }
        }
        return chosen;
    }

    std::vector<bool> shownUnderLock;
    std::vector<Notice> confirmations;
    bool goOn = true;
    std::vector<Notice> offers;
    bool takeOffers = false;
    // What happens on the machine while the user reads the question.
    std::function<void()> whileConfirming;
    std::function<void(const Notice&)> onNotice;
    // What happens on the machine while the user reads the findings.
    std::function<void()> whileAsked;
    std::vector<std::vector<Finding>> questions;
    bool repairFindings = false;
    // Never empty: every place ends with the empty ending.
    std::wstring uncheckedEnding = L"\n";
    // Kinds not offered for repair, as with a command line without their switch.
    std::set<FindingKind> notOffered;

  private:
    const fake::FakePlatform& platform_;
};

// A notice's lines as one text, the way its message box shows them.
inline std::wstring promptOf(const Notice& notice) {
    std::wstring prompt;
    for (std::size_t i = 0; i < notice.lines.size(); ++i) {
        prompt += (i == 0 ? L"" : L"\r\n") + notice.lines[i];
    }
    return prompt;
}

// The progress list, the start-page box and the repair wired to one fake
// platform. The window's load step runs before the first press or undo, as it
// does at start-up, so tests may change the folders or add faults first.
class RepairBench {
  public:
    RepairBench() = default;
    RepairBench(const RepairBench&) = delete;
    RepairBench& operator=(const RepairBench&) = delete;

    // The window's load step; it runs once.
    void load() {
        if (!loaded_) {
            repair.loadPaths();
            loaded_ = true;
        }
    }
    // What the window would ask for: the page in its box, every kind offered.
    RunRequest request() const {
        RunRequest request{view.page, everyUser, everyFindingKind(), allowFile, hostsRepair};
        for (const auto kind : view.notOffered) {
            request.offeredKinds.erase(kind);
        }
        return request;
    }
    RunOutcome press(std::wstring_view browserClass = L"IEFrame") {
        load();
        return repair.VerificarNavegador(browserClass, request());
    }
    RunOutcome check() {
        load();
        return repair.checkWhatNeedsRepair(request());
    }
    void undo() {
        load();
        repair.undoChanges();
    }

    void addFiles(const std::vector<SeededFile>& seeds) {
        for (const auto& seed : seeds) {
            platform.files.addFile(seed.path, seed.bytes, seed.attributes);
        }
    }
    std::optional<std::string> bytesOf(std::wstring_view path) const {
        const auto file = platform.files.file(path);
        return file ? std::optional(file->bytes) : std::nullopt;
    }
    // The HOSTS files and their backups: every file but the registry backup
    // and the sets of backups each run keeps beside it.
    std::map<std::wstring, std::string> fileContents() const {
        std::map<std::wstring, std::string> contents;
        for (const auto& [path, file] : platform.files.files()) {
            if (!equalsIgnoringCase(path, kRegistryBackup) &&
                !startsWithIgnoringCase(path, kRunSetsFolder)) {
                contents[path] = file.bytes;
            }
        }
        return contents;
    }
    // Every file but the backups: what the undo must leave as it was.
    std::map<std::wstring, std::string> filesBesideTheBackups() const {
        auto contents = fileContents();
        std::erase_if(contents, [](const auto& entry) {
            return entry.first.find(L"TovaskCopias") != std::wstring::npos;
        });
        return contents;
    }
    // Fails exactly the call of this operation on this target.
    void failExactly(std::string_view operation, std::wstring_view target, std::error_code error) {
        platform.addFault(
            [operation = std::string(operation), target = std::wstring(target), error](
                const fake::RecordedCall& call, std::size_t) -> std::optional<std::error_code> {
                if (call.operation == operation && call.target == target) {
                    return error;
                }
                return std::nullopt;
            });
    }

    std::vector<std::wstring> errorLines() const {
        std::vector<std::wstring> errors;
        for (const auto& line : view.lines) {
            if (line.starts_with(kErrorPrefix)) {
                errors.push_back(line);
            }
        }
        return errors;
    }

    fake::FakePlatform platform;
    BenchView view{platform};
    BrowserRepair repair{platform, view,
                         [this](const FindingsOffer& offer) { return view.answer(offer); }};
    bool everyUser = false;
    // The person's allow list, as /allow: gives it.
    std::wstring allowFile;
    // The window's reset unless a test runs the command line's repair.
    HostsRepair hostsRepair = HostsRepair::Reset;

  private:
    bool loaded_ = false;
};

inline testing::AssertionResult lastNoticeIs(const RecordingView& view, std::wstring_view prompt,
                                             NoticeKind kind, std::wstring_view title) {
    if (view.notices.empty()) {
        return testing::AssertionFailure() << "no notice was shown";
    }
    const auto& last = view.notices.back();
    if (promptOf(last) == prompt && last.kind == kind && last.title == title) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "last notice " << testing::PrintToString(last.title) << " / "
           << testing::PrintToString(promptOf(last)) << " kind " << static_cast<int>(last.kind);
}

// The whole report of a run: the six progress lines, then one error line per
// failure, and the closing notice that counts them.
inline testing::AssertionResult reportsRun(const RepairBench& bench, std::wstring_view startPage,
                                           std::size_t failures) {
    auto expected = progressLinesFor(startPage);
    const auto& lines = bench.view.lines;
    if (lines.size() != expected.size() + failures ||
        !std::equal(expected.begin(), expected.end(), lines.begin())) {
        return testing::AssertionFailure()
               << "progress list " << testing::PrintToString(lines) << " expected to start with "
               << testing::PrintToString(expected) << " and hold " << failures << " error lines";
    }
    if (bench.errorLines().size() != failures) {
        return testing::AssertionFailure() << "error lines " << testing::PrintToString(lines);
    }
    return failures == 0
               ? lastNoticeIs(bench.view, kRepairSucceeded, NoticeKind::Information, kFinished)
               : lastNoticeIs(bench.view, repairFailedPrompt(failures), NoticeKind::Warning,
                              kFinished);
}

// A row's effect is in the registry: its value written, or what it deletes gone.
inline testing::AssertionResult rowApplied(const fake::FakeRegistry& registry, const PlanRow& row,
                                           std::wstring_view startPage) {
    if (isWrite(row)) {
        const auto found = registry.value(row.path);
        if (found == expectedValue(row, startPage)) {
            return testing::AssertionSuccess();
        }
        return testing::AssertionFailure() << testing::PrintToString(std::wstring(row.path))
                                           << " holds " << testing::PrintToString(found);
    }
    for (const auto& seed : kHijackedRegistry) {
        if (rowReaches(row, seed) && registry.value(seed.path)) {
            return testing::AssertionFailure()
                   << testing::PrintToString(std::wstring(seed.path)) << " survived";
        }
    }
    return testing::AssertionSuccess();
}

// A row left no trace on a hijacked registry: what it targets is as seeded.
inline testing::AssertionResult rowUntouched(const fake::FakeRegistry& registry,
                                             const PlanRow& row) {
    bool seeded = false;
    for (const auto& seed : kHijackedRegistry) {
        if (!rowReaches(row, seed)) {
            continue;
        }
        seeded = true;
        const auto found = registry.value(seed.path);
        const auto* text = found ? std::get_if<std::wstring>(&found->data) : nullptr;
        if (text == nullptr || *text != seed.text) {
            return testing::AssertionFailure()
                   << testing::PrintToString(std::wstring(seed.path)) << " changed";
        }
    }
    if (!seeded && registry.value(row.path)) {
        return testing::AssertionFailure()
               << testing::PrintToString(std::wstring(row.path)) << " was written";
    }
    return testing::AssertionSuccess();
}

}  // namespace tovask::test
