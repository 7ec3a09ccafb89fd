#include "core/settings.h"

#include <gtest/gtest.h>

#include "core/library_switch.h"
#include "core/vs_version_list.h"
#include "fake_services.h"
#include "memory_view.h"

namespace tarvex {
namespace {

using testing::FakeTool;
using testing::MemoryView;

const std::wstring kTool = L"C:\\Tools\\Tarvex\\";
const std::string kDefaults = "\xEF\xBB\xBF\r\n[Settings]\r\nAutoClose = 0\r\n[VSver]\r\n"
                              "VS 2022 = 17\r\nVS 2019 = 16\r\nVS 2017 = 15\r\nVS 2015 = 14\r\n";

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() {
        tool.files.addDirectory(kTool);
        context.toolDirectory = kTool;
        context.architectureName = L"x64";
    }
    std::string settings() const { return tool.files.content(kTool + L"Tarvex.ini"); }

    FakeTool tool;
    ToolContext context;
    MemoryView view;
};

TEST_F(SettingsTest, AMissingFileIsCreatedWithTheDefaultsAndRead) {
    loadSettings(context, tool.services, view);

    EXPECT_EQ(settings(), kDefaults);
    EXPECT_FALSE(view.state(Control::chkAutoClose));
    EXPECT_EQ(
        context.vsVersions,
        (VsVersionMap{
            {L"14", L"VS 2015"}, {L"15", L"VS 2017"}, {L"16", L"VS 2019"}, {L"17", L"VS 2022"}}));
}

TEST_F(SettingsTest, AHandEditedFileSurvivesAnAutoCloseClickUnderTheRewriteRules) {
    tool.files.addFile(kTool + L"Tarvex.ini", "; mine\n[settings]\n  autoclose=1\n\n"
                                              "[VSver]\nVS 2022=17\nVS Preview = 18\n"
                                              "Old name=17\n[Extra]\nk=v\xE9 \n");
    loadSettings(context, tool.services, view);
    EXPECT_TRUE(view.state(Control::chkAutoClose));
    EXPECT_EQ(context.vsVersions, (VsVersionMap{{L"17", L"Old name"}, {L"18", L"VS Preview"}}))
        << "keyed by number: the later line for 17 wins";
    EXPECT_EQ(tool.files.replaces(), 0u) << "reading writes nothing";

    view.setState(Control::chkAutoClose, false);
    saveAutoClose(context, tool.services, view);

    EXPECT_EQ(settings(), "\xEF\xBB\xBF\r\n; mine\r\n[settings]\r\nAutoClose = 0\r\n[VSver]\r\n"
                          "VS 2022 = 17\r\nVS Preview = 18\r\nOld name = 17\r\n[Extra]\r\n"
                          "k = v\xC3\xA9 \r\n");
}

TEST_F(SettingsTest, AHandAddedVersionBecomesSelectable) {
    tool.files.addFile(kTool + L"Tarvex.ini", kDefaults + "VS 2026 = 18\r\n");
    loadSettings(context, tool.services, view);
    context.catalogue = {L"_MT_18_msvcrt.lib", L"_MD_17_msvcrt.lib"};
    refreshUcrtVersionList(context, view);
    EXPECT_EQ(view.controls[Control::cmbUcrtVersion].items,
              (std::vector<std::wstring>{L" VS 2026, 18", L" VS 2022, 17"}));
}

TEST_F(SettingsTest, AnUnwritableToolFolderLeavesDefaultsInMemory) {
    context.toolDirectory = L"C:\\Missing\\";
    view.setState(Control::chkAutoClose, true);
    loadSettings(context, tool.services, view);
    saveAutoClose(context, tool.services, view);
    storeVsLink(context, tool.services, L"x64 Native Tools", L"C:\\VS\\vcvarsall.bat");
    EXPECT_TRUE(context.vsVersions.empty());
    EXPECT_TRUE(readVsLinks(context, tool.services).empty());
    EXPECT_FALSE(tool.files.exists(L"C:\\Missing\\Tarvex.ini"));
}

TEST_F(SettingsTest, ShortcutsAreStoredOncePerNameAndListedForThisArchitecture) {
    loadSettings(context, tool.services, view);
    storeVsLink(context, tool.services, L"x64 Native Tools Command Prompt for VS 2022",
                L"C:\\VS22\\vcvarsall.bat");
    storeVsLink(context, tool.services, L"x86 Native Tools Command Prompt for VS 2022",
                L"C:\\VS22\\vcvarsall.bat");
    storeVsLink(context, tool.services, L"X64 NATIVE TOOLS COMMAND PROMPT FOR VS 2022",
                L"D:\\VS22\\vcvarsall.bat");
    storeVsLink(context, tool.services, L"x64 Native Tools Command Prompt for VS 2019",
                L"C:\\VS19\\vcvarsall.bat");

    EXPECT_EQ(settings(), kDefaults + "[VSlink]\r\n"
                                      "X64 NATIVE TOOLS COMMAND PROMPT FOR VS 2022 = "
                                      "D:\\VS22\\vcvarsall.bat\r\n"
                                      "x86 Native Tools Command Prompt for VS 2022 = "
                                      "C:\\VS22\\vcvarsall.bat\r\n"
                                      "x64 Native Tools Command Prompt for VS 2019 = "
                                      "C:\\VS19\\vcvarsall.bat\r\n");
    using Link = std::pair<std::wstring, std::wstring>;
    EXPECT_EQ(readVsLinks(context, tool.services),
              (std::vector<Link>{
                  {L"x64 Native Tools Command Prompt for VS 2019", L"C:\\VS19\\vcvarsall.bat"}}))
        << "the marker is case-sensitive";

    view.addItem(Control::cmbVsVersion, L" stale entry", L"C:\\old\\vcvarsall.bat");
    fillVsVersionList(context, tool.services, view);
    EXPECT_EQ(view.controls[Control::cmbVsVersion].items,
              std::vector<std::wstring>{L" x64 Native Tools Command Prompt for VS 2019"});
    EXPECT_EQ(view.text(Control::cmbVsVersion), L" x64 Native Tools Command Prompt for VS 2019");
    EXPECT_EQ(view.itemData(Control::cmbVsVersion, 0), L"C:\\VS19\\vcvarsall.bat");
}

} // namespace
} // namespace tarvex
