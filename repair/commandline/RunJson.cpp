#include "repair/commandline/RunJson.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "Version.h"
#include "repair/findings/FindingKinds.h"
#include "repair/findings/FindingWords.h"
#include "text/Utf8.h"

namespace tovask {
namespace {

using JsonWriter = rapidjson::Writer<rapidjson::StringBuffer>;

void text(JsonWriter& writer, std::wstring_view value) {
    const auto bytes = utf8FromWide(value);
    writer.String(bytes.data(), static_cast<rapidjson::SizeType>(bytes.size()));
}

void field(JsonWriter& writer, const char* name, std::wstring_view value) {
    writer.Key(name);
    text(writer, value);
}

std::wstring_view outcomeName(const std::optional<Outcome>& outcome) {
    if (!outcome) {
        return L"found";
    }
    switch (*outcome) {
        case Outcome::Repaired:
            return L"repaired";
        case Outcome::Left:
            return L"left";
        case Outcome::NotRepaired:
            break;
    }
    return L"failed";
}

void ids(JsonWriter& writer, const char* name, std::span<const FindingId> tied) {
    writer.Key(name);
    writer.StartArray();
    for (const auto id : tied) {
        text(writer, idText(id));
    }
    writer.EndArray();
}

void finding(JsonWriter& writer, const RecordedFinding& recorded) {
    const auto& found = recorded.finding;
    writer.StartObject();
    field(writer, "id", idText(recorded.id));
    field(writer, "kind", kindName(found.kind));
    field(writer, "subject", subjectName(found.subject));
    field(writer, "group", found.group);
    field(writer, "title", findingTitle(found));
    field(writer, "place", found.place);
    field(writer, "entry", found.entry);
    // The value as read where there is one; otherwise what the report says it holds.
    field(writer, "found",
          found.evidence.policyData.empty() ? found.holds : found.evidence.policyData);
    // What the repair leaves; null where it takes the thing away.
    writer.Key("repairedTo");
    if (found.evidence.repairedTo) {
        text(writer, *found.evidence.repairedTo);
    } else {
        writer.Null();
    }
    writer.Key("repairable");
    writer.Bool(found.repairable);
    writer.Key("reason");
    if (found.repairable) {
        writer.Null();
    } else {
        text(writer, whyLeft(found, rowOf(found.kind).texts));
    }
    writer.Key("allowed");
    writer.Bool(found.allowed);
    field(writer, "outcome", outcomeName(recorded.outcome));
    ids(writer, "putsBack", found.putsBack);
    ids(writer, "putBackBy", found.putBackBy);
    writer.EndObject();
}

}  // namespace

std::string runJson(const RunFacts& facts) {
    rapidjson::StringBuffer buffer;
    JsonWriter writer(buffer);
    writer.StartObject();
    writer.Key("schema");
    writer.Int(kRunJsonSchema);
    field(writer, "program", L"Tovask");
    field(writer, "version", TOVASK_VERSION_TEXT);
    field(writer, "command", commandName(facts.command));
    writer.Key("arguments");
    writer.StartArray();
    for (const auto& argument : facts.arguments) {
        text(writer, argument);
    }
    writer.EndArray();
    writer.Key("machine");
    writer.StartObject();
    field(writer, "computer", facts.computer);
    const auto& managedBecause = facts.record.managedBecause();
    writer.Key("managed");
    writer.Bool(managedBecause.has_value());
    writer.Key("managedBecause");
    if (managedBecause) {
        text(writer, *managedBecause);
    } else {
        writer.Null();
    }
    writer.EndObject();
    field(writer, "users", facts.everyUser ? L"every" : L"current");
    writer.Key("exitCode");
    writer.Int(static_cast<int>(facts.exitCode));
    writer.Key("findings");
    writer.StartArray();
    for (const auto& recorded : facts.record.findings()) {
        finding(writer, recorded);
    }
    writer.EndArray();
    writer.Key("report");
    writer.StartArray();
    for (const auto& line : facts.report) {
        text(writer, line);
    }
    writer.EndArray();
    writer.EndObject();
    return {buffer.GetString(), buffer.GetSize()};
}

}  // namespace tovask
