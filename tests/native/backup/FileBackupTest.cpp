#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <ostream>

#include "repair/backup/files/FileBackup.h"
#include "repair/backup/files/Sha256.h"
#include "tests/fake/FakePlatform.h"

namespace tovask::test {
namespace {

const std::wstring kFolder = L"C:\\WINDOWS\\system32\\drivers\\etc\\TovaskCopias";
const std::wstring kRegistryBackup = L"C:\\WINDOWS\\system32\\drivers\\etc\\BackupRegistro.reg";
const std::wstring kFirst = L"C:\\Programas\\Uno\\distribution\\policies.json";
const std::wstring kSecond = L"C:\\Programas\\Dos\\distribution\\policies.json";
const std::wstring kElsewhere = L"C:\\Programas\\Otro\\distribution\\policies.json";

std::wstring copyOf(std::string_view bytes) {
    const auto hash = sha256Hex(bytes);
    return kFolder + L"\\" + std::wstring(hash.begin(), hash.end()) + L".copia";
}

bool inReach(std::wstring_view path) {
    return path.ends_with(L"policies.json");
}

class FileBackupTest : public testing::Test {
  protected:
    void SetUp() override {
        platform.files.addFile(kRegistryBackup, "registro de esta ejecución");
        platform.files.addFile(kFirst, "primero antes");
        platform.files.addFile(kSecond, "segundo antes");
    }

    // As a repair does it: the copy first, then the file changes.
    void repair(const std::wstring& path, std::string_view after) {
        FileBackup backup(platform, place, inReach);
        backup.noteRegistryBackup();
        const auto before = platform.files.read(path, 1000).value();
        ASSERT_FALSE(backup.save(path, before, after, failures));
        ASSERT_FALSE(platform.ReplaceFileContent(path, after, FileProtection::AsReplaced));
    }

    std::vector<std::wstring> undo() {
        FailureLog undoFailures(platform);
        if (const auto manifest = readFileBackups(platform, place, inReach, undoFailures)) {
            restoreFileBackups(platform, place, *manifest, undoFailures);
        }
        std::vector<std::wstring> targets;
        for (const auto& failure : undoFailures.entries()) {
            targets.push_back(failure.target);
        }
        return targets;
    }

    fake::FakePlatform platform;
    FailureLog failures{platform};
    FileBackupPlace place{kFolder, kRegistryBackup};
};

TEST_F(FileBackupTest, UndoPutsBackEveryFileOfTheRunByteForByte) {
    repair(kFirst, "primero después");
    repair(kSecond, "segundo después");
    repair(kFirst, "primero otra vez");  // the same run again: the first copy stays

    EXPECT_TRUE(undo().empty());
    EXPECT_EQ(platform.files.file(kFirst)->bytes, "primero antes");
    EXPECT_EQ(platform.files.file(kSecond)->bytes, "segundo antes");
    EXPECT_EQ(platform.files.file(copyOf("primero antes"))->protection,
              fake::FakeFile::kAdministratorsOnly);
}

TEST_F(FileBackupTest, FileChangedSinceTheRepairIsReportedAndBothAreKept) {
    repair(kFirst, "primero después");
    platform.files.addFile(kFirst, "cambiado por otro programa");

    EXPECT_EQ(undo(), std::vector<std::wstring>{kFirst});
    EXPECT_EQ(platform.files.file(kFirst)->bytes, "cambiado por otro programa");
    EXPECT_EQ(platform.files.file(copyOf("primero antes"))->bytes, "primero antes");
}

TEST_F(FileBackupTest, SetOfAnEarlierRunStaysWhenANewerRegistryBackupReplacedIt) {
    repair(kFirst, "primero después");
    platform.files.addFile(kRegistryBackup, "registro de una ejecución posterior");

    EXPECT_TRUE(undo().empty());
    EXPECT_EQ(platform.files.file(kFirst)->bytes, "primero después");
}

TEST_F(FileBackupTest, FileTheUndoCouldNotNameIsNeitherCopiedNorToBeChanged) {
    FileBackup backup(platform, place, inReach);
    EXPECT_TRUE(backup.save(L"\\\\servidor\\a\\policies.json", "antes", "después", failures));
    EXPECT_EQ(platform.files.files().size(), 3u);
}

TEST_F(FileBackupTest, UndoRefusesAForeignFolderAndPutsNothingBack) {
    repair(kFirst, "primero después");
    platform.files.giveForeignOwner(kFolder);

    EXPECT_EQ(undo(), std::vector<std::wstring>{kFolder});
    EXPECT_EQ(platform.files.file(kFirst)->bytes, "primero después");
}

// What a user can do to a file of their own between the undo's check and its
// write, so that the elevated write lands elsewhere or over bytes it never saw.
struct Meddling {
    std::string name;
    std::function<void(fake::FakeFileSystem&)> meddle;

    friend void PrintTo(const Meddling& meddling, std::ostream* out) { *out << meddling.name; }
};

class MeddledUndo : public FileBackupTest, public testing::WithParamInterface<Meddling> {};

TEST_P(MeddledUndo, WritesNothingAndReportsTheFile) {
    repair(kFirst, "primero después");
    platform.files.addFile(kElsewhere, "primero después");
    std::optional<std::map<std::wstring, fake::FakeFile>> meddled;
    platform.addFault(
        [&](const fake::RecordedCall& call, std::size_t) -> std::optional<std::error_code> {
            if (!meddled && call.target == kFirst && call.operation != "ReadFileContent") {
                GetParam().meddle(platform.files);
                meddled = platform.files.files();
            }
            return std::nullopt;
        });
    EXPECT_EQ(undo(), std::vector<std::wstring>{kFirst});
    EXPECT_EQ(platform.files.files(), meddled);
}

INSTANTIATE_TEST_SUITE_P(
    Meddlings, MeddledUndo,
    testing::Values(
        Meddling{"JunctionOnTheWay",
                 [](auto& files) { files.addLink(L"C:\\Programas\\Uno", L"C:\\Programas\\Otro"); }},
        Meddling{"LinkAtTheEnd", [](auto& files) { files.addLink(kFirst, kElsewhere); }},
        Meddling{"SecondName", [](auto& files) { files.addHardLink(kFirst); }},
        Meddling{"ContentChanged",
                 [](auto& files) { files.addFile(kFirst, "cambiado por otro programa"); }}),
    [](const testing::TestParamInfo<Meddling>& info) { return info.param.name; });

const std::string kHash(64, 'a');
const std::string kHeading = "Tovask copias 1\r\nregistro " + kHash + "\r\n";

using ManifestCase = std::pair<std::string, std::string>;  // name, text

class HostileManifest : public testing::TestWithParam<ManifestCase> {};

TEST_P(HostileManifest, IsRefused) {
    EXPECT_FALSE(parseManifest(GetParam().second, inReach));
}

std::string entry(std::string_view path) {
    return kHash + " " + kHash + " " + std::string(path) + "\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HostileManifest,
    testing::Values(
        ManifestCase{"NoHeading", "registro " + kHash + "\r\n"},
        ManifestCase{"NoRegistryLine", "Tovask copias 1\r\n"},
        ManifestCase{"ShortHash",
                     kHeading + kHash.substr(1) + " " + kHash + " C:\\a\\policies.json\r\n"},
        ManifestCase{"UpperCaseHash", kHeading + entry("C:\\a\\policies.json").replace(0, 1, "A")},
        ManifestCase{"OutOfReach", kHeading + entry("C:\\WINDOWS\\system32\\config\\SAM")},
        ManifestCase{"RelativeStep", kHeading + entry("C:\\a\\..\\b\\policies.json")},
        ManifestCase{"NetworkPath", kHeading + entry("\\\\servidor\\a\\policies.json")},
        ManifestCase{"Stream", kHeading + entry("C:\\a\\x:policies.json")},
        ManifestCase{"NamedTwice",
                     kHeading + entry("C:\\a\\policies.json") + entry("C:\\A\\POLICIES.json")},
        ManifestCase{"BrokenUtf8", kHeading + entry("C:\\\xC3\\policies.json")},
        ManifestCase{"UnknownChange", kHeading + kHash + " borrado C:\\a\\policies.json\r\n"},
        ManifestCase{"ChangeWithoutPath", kHeading + kHash + " quitado\r\n"},
        ManifestCase{"LastLineUnended", kHeading + kHash + " " + kHash + " C:\\a\\policies.json"},
        ManifestCase{"TooLarge", kHeading + std::string(kMaxFileManifestBytes, ' ')}),
    [](const testing::TestParamInfo<ManifestCase>& info) { return info.param.first; });

TEST(FileManifest, WrittenTextReadsBack) {
    const FileManifest manifest{kHash,
                                {{L"C:\\Año\\distribution\\policies.json", kHash, kHash},
                                 {L"C:\\a\\policies.json", kHash, "", FileChange::Removed},
                                 {L"C:\\b\\policies.json", kHash, "", FileChange::TaskDisabled}}};
    EXPECT_EQ(parseManifest(manifestText(manifest), inReach), manifest);
}

}  // namespace
}  // namespace tovask::test
