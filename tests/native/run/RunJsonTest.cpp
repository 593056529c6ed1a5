#include <rapidjson/document.h>

#include "repair/commandline/RunJson.h"
#include "tests/native/RepairFixture.h"
#include "text/Utf8.h"

namespace tovask::test {
namespace {

using Is = bool (rapidjson::Value::*)() const;

struct Field {
    const char* name;
    Is is;
    Is orIs = nullptr;  // a second type it may have (null)
};

// The layout a script relies on: every field of the run and of each finding.
const Field kRunFields[] = {
    {"schema", &rapidjson::Value::IsInt},      {"program", &rapidjson::Value::IsString},
    {"version", &rapidjson::Value::IsString},  {"command", &rapidjson::Value::IsString},
    {"arguments", &rapidjson::Value::IsArray}, {"machine", &rapidjson::Value::IsObject},
    {"users", &rapidjson::Value::IsString},    {"exitCode", &rapidjson::Value::IsInt},
    {"findings", &rapidjson::Value::IsArray},  {"report", &rapidjson::Value::IsArray},
};
const Field kMachineFields[] = {
    {"computer", &rapidjson::Value::IsString},
    {"managed", &rapidjson::Value::IsBool},
    {"managedBecause", &rapidjson::Value::IsString, &rapidjson::Value::IsNull},
};
const Field kFindingFields[] = {
    {"id", &rapidjson::Value::IsString},
    {"kind", &rapidjson::Value::IsString},
    {"subject", &rapidjson::Value::IsString},
    {"group", &rapidjson::Value::IsString},
    {"title", &rapidjson::Value::IsString},
    {"place", &rapidjson::Value::IsString},
    {"entry", &rapidjson::Value::IsString},
    {"found", &rapidjson::Value::IsString},
    {"repairedTo", &rapidjson::Value::IsString, &rapidjson::Value::IsNull},
    {"repairable", &rapidjson::Value::IsBool},
    {"reason", &rapidjson::Value::IsString, &rapidjson::Value::IsNull},
    {"allowed", &rapidjson::Value::IsBool},
    {"outcome", &rapidjson::Value::IsString},
    {"putsBack", &rapidjson::Value::IsArray},
    {"putBackBy", &rapidjson::Value::IsArray},
};

void expectFields(const rapidjson::Value& object, std::span<const Field> fields) {
    ASSERT_TRUE(object.IsObject());
    EXPECT_EQ(object.MemberCount(), fields.size());
    for (const auto& field : fields) {
        const auto member = object.FindMember(field.name);
        ASSERT_NE(member, object.MemberEnd()) << field.name;
        const auto& value = member->value;
        EXPECT_TRUE((value.*field.is)() || (field.orIs && (value.*field.orIs)())) << field.name;
    }
}

const std::wstring kExtension = L"abcdefghijklmnopabcdefghijklmnop";

// A home page lock, and a forced extension that a start-up entry loads too.
void seedTiedFindings(RepairBench& bench) {
    auto& registry = bench.platform.registry;
    registry.addKeysEveryWindowsHas();
    const std::wstring chrome = L"HKLM\\Software\\Policies\\Google\\Chrome\\";
    bench.platform.RegWrite(chrome + L"HomepageLocation", L"http://x.example",
                            RegistryType::String);
    bench.platform.RegWrite(chrome + L"ExtensionInstallForcelist\\1",
                            kExtension + L";https://malo.example/update", RegistryType::String);
    bench.platform.RegWrite(
        L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Carga",
        LR"(C:\Program Files\Google\Chrome\Application\chrome.exe --load-extension=C:\Users\ana\AppData\Local\)" +
            kExtension,
        RegistryType::String);
}

rapidjson::Document checkedDocument(RepairBench& bench) {
    bench.view.record = {};
    bench.check();
    const std::vector<std::wstring> arguments{L"/check", L"/all"};
    const auto text = runJson({UnattendedCommand::Check, arguments, L"PC-ANA", false,
                               ExitCode::RepairNeeded, bench.view.record, bench.view.lines});
    rapidjson::Document document;
    document.Parse(text.c_str());
    return document;
}

TEST(RunJson, EveryFieldOfASeededRunWithTheSameIdsTwice) {
    RepairBench bench;
    seedTiedFindings(bench);
    bench.load();
    const auto first = checkedDocument(bench);
    ASSERT_FALSE(first.HasParseError());
    expectFields(first, kRunFields);
    expectFields(first["machine"], kMachineFields);
    const auto& findings = first["findings"];
    ASSERT_EQ(findings.Size(), 3u);
    std::set<std::string> ids;
    std::multiset<std::string> subjects;
    std::size_t ties = 0;
    for (const auto& finding : findings.GetArray()) {
        expectFields(finding, kFindingFields);
        ids.insert(finding["id"].GetString());
        subjects.insert(std::string(finding["kind"].GetString()) + " " +
                        finding["subject"].GetString());
        ties += finding["putsBack"].Size() + finding["putBackBy"].Size();
        EXPECT_STREQ(finding["outcome"].GetString(), "found");
    }
    EXPECT_EQ(ids.size(), 3u);
    EXPECT_EQ(subjects,
              (std::multiset<std::string>{"browserPolicy forcedExtension", "browserPolicy homePage",
                                          "startup startupCommand"}));
    EXPECT_EQ(ties, 2u);

    const auto second = checkedDocument(bench);
    std::set<std::string> again;
    for (const auto& finding : second["findings"].GetArray()) {
        again.insert(finding["id"].GetString());
    }
    EXPECT_EQ(again, ids);
}

}  // namespace
}  // namespace tovask::test
