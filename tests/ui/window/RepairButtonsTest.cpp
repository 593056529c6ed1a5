#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Version.h"
#include "repair/texts/SiteUrls.h"
#include "tests/ui/FormFixture.h"

namespace tovask::ui_test {
namespace {

std::vector<std::wstring> reportFor(const std::wstring& startPage) {
    return {L"Finalizado:",
            L"Registro restaurado",
            L"Backup del Archivo Hosts",
            L"Archivo Hosts restaurado",
            L"",
            L"Página de inicio: " + startPage};
}

struct TypedPage {
    std::wstring typed;
    std::wstring applied;
};

class RepairButtonTest : public FormTest, public ::testing::WithParamInterface<TypedPage> {};

TEST_P(RepairButtonTest, RepairsReportsAndEmptiesTheBox) {
    SetWindowTextW(control(ControlId::Text1), GetParam().typed.c_str());
    click(ControlId::btndesblo);

    ASSERT_EQ(windowOps.messages.size(), 1u);
    EXPECT_EQ(windowOps.messages[0].title, L"Finalizado");
    EXPECT_EQ(windowOps.messages[0].prompt, L"Internet Explorer desbloqueado exitosamente");
    EXPECT_EQ(listLines(), reportFor(GetParam().applied));
    EXPECT_EQ(windowText(control(ControlId::Text1)), L"");
    const auto stored = platform.registry.value(kStartPageValue);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(std::get<std::wstring>(stored->data), GetParam().applied);
}

INSTANTIATE_TEST_SUITE_P(
    StartPages, RepairButtonTest,
    ::testing::Values(TypedPage{L"", std::wstring(ForumSiteUrl)},
                      TypedPage{L"http://mi.página.example/ñandú?a=1&b=2",
                                L"http://mi.página.example/ñandú?a=1&b=2"},
                      TypedPage{L"http://larga.example/" + std::wstring(70000, L'x'),
                                L"http://larga.example/" + std::wstring(70000, L'x')}));

TEST_F(FormTest, SecondRepairReplacesTheReport) {
    click(ControlId::btndesblo);
    SetWindowTextW(control(ControlId::Text1), L"http://otra.example");
    click(ControlId::btndesblo);
    EXPECT_EQ(listLines(), reportFor(L"http://otra.example"));
    EXPECT_EQ(windowOps.messages.size(), 2u);
}

TEST_F(FormTest, RepairWarnsAndStopsWhileTheBrowserIsOpen) {
    platform.openWindowClasses.insert(L"IEFrame");
    SetWindowTextW(control(ControlId::Text1), L"http://inicio.example");
    click(ControlId::btndesblo);

    ASSERT_EQ(windowOps.messages.size(), 1u);
    EXPECT_EQ(windowOps.messages[0].title, L"Aviso");
    EXPECT_EQ(windowOps.messages[0].prompt,
              L"Por favor cierre el navegador Internet Explorer y vuelva a ejecutar "
              L"Tovask " TOVASK_VERSION_TEXT);
    EXPECT_TRUE(listLines().empty());
    EXPECT_EQ(windowText(control(ControlId::Text1)), L"http://inicio.example");
    EXPECT_FALSE(platform.registry.value(kStartPageValue).has_value());
}

TEST_F(FormTest, UndoPutsTheBackupBackAndReports) {
    platform.files.addFile(L"C:\\WINDOWS\\system32\\drivers\\etc\\hosts", "127.0.0.1 nuevo\r\n");
    platform.files.addFile(L"C:\\WINDOWS\\system32\\drivers\\etc\\BackupHosts.bak",
                           "127.0.0.1 antiguo\r\n");
    form.appendLine(L"línea anterior");
    click(ControlId::btndeshacer);

    const std::wstring listed =
        L"Archivo Hosts: C:\\WINDOWS\\system32\\drivers\\etc\\hosts (copia del 7 de marzo de "
        L"2026 a las 09:05)";
    ASSERT_EQ(windowOps.questions.size(), 1u);
    EXPECT_EQ(windowOps.questions[0].title, L"Deshacer los cambios");
    EXPECT_EQ(windowOps.questions[0].prompt,
              L"Deshacer pondrá de nuevo:\r\n" + listed + L"\r\n¿Desea deshacer estos cambios?");
    ASSERT_EQ(windowOps.messages.size(), 1u);
    EXPECT_EQ(windowOps.messages[0].title, L"Finalizado");
    EXPECT_EQ(windowOps.messages[0].prompt, L"Finalizado");
    EXPECT_EQ(listLines(),
              (std::vector<std::wstring>{
                  L"Deshacer pondrá de nuevo:", listed, L"Cambios desechos.....Hecho",
                  L"Puesto de nuevo: Archivo Hosts: C:\\WINDOWS\\system32\\drivers\\etc\\hosts"}));
    const auto hosts = platform.files.file(L"C:\\WINDOWS\\system32\\drivers\\etc\\hosts");
    ASSERT_TRUE(hosts.has_value());
    EXPECT_EQ(hosts->bytes, "127.0.0.1 antiguo\r\n");
}

TEST_F(FormTest, StartPageBoxIsReadAndWrittenWhole) {
    const std::wstring page = L"http://ü.example/" + std::wstring(100000, L'p');
    form.setStartPage(page);
    EXPECT_EQ(form.runRequest().startPage, page);
    form.setStartPage(L"");
    EXPECT_EQ(form.runRequest().startPage, L"");
}

TEST_F(FormTest, OtherButtonsAndLabelsRunNoRepair) {
    for (const ControlId id : {ControlId::Label1, ControlId::LabelDetalles, ControlId::List1}) {
        SendMessageW(form.window(), WM_COMMAND, MAKEWPARAM(static_cast<int>(id), BN_CLICKED),
                     reinterpret_cast<LPARAM>(control(id)));
    }
    SendMessageW(form.window(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    SendMessageW(form.window(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    pumpMessages();
    EXPECT_TRUE(windowOps.messages.empty());
    EXPECT_TRUE(listLines().empty());
    EXPECT_TRUE(IsWindow(form.window()));
}

// The window asks once, with the findings dialog, before it touches a lock
// beyond Internet Explorer, and repairs only what is checked in it.
struct DialogAnswer {
    std::string name;
    bool yes;
    std::vector<std::size_t> unchecked;
};

class FindingsDialogSeam : public FormTest, public ::testing::WithParamInterface<DialogAnswer> {};

TEST_P(FindingsDialogSeam, OnlyTheCheckedLocksAreRemoved) {
    const std::wstring locks[] = {L"HKLM\\Software\\Policies\\Google\\Chrome\\HomepageLocation",
                                  L"HKLM\\Software\\Policies\\Microsoft\\Edge\\HomepageLocation"};
    for (const auto& lock : locks) {
        platform.RegWrite(lock, L"http://secuestro.example", RegistryType::String);
    }
    windowOps.answerYes = GetParam().yes;
    windowOps.uncheckedLines = GetParam().unchecked;
    click(ControlId::btndesblo);

    ASSERT_EQ(windowOps.choices.size(), 1u);
    const auto& lines = windowOps.choices[0].toRepair;
    ASSERT_EQ(lines.size(), 2u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool checked = GetParam().yes && std::ranges::count(GetParam().unchecked, i) == 0;
        const auto lock = std::ranges::find_if(locks, [&](const std::wstring& path) {
            return std::ranges::any_of(lines[i].details, [&](const std::wstring& detail) {
                return detail.ends_with(path.substr(4));
            });
        });
        ASSERT_NE(lock, std::end(locks)) << lines[i].text;
        EXPECT_EQ(platform.registry.value(*lock).has_value(), !checked) << lines[i].text;
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, FindingsDialogSeam,
                         ::testing::Values(DialogAnswer{"AllChecked", true, {}},
                                           DialogAnswer{"NoRepair", false, {}},
                                           DialogAnswer{"FirstUnchecked", true, {0}},
                                           DialogAnswer{"SecondUnchecked", true, {1}}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tovask::ui_test
