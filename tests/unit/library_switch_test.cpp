#include "core/library_switch.h"

#include <gtest/gtest.h>

#include "core/selection_record.h"
#include "fake_services.h"
#include "memory_view.h"

namespace tarvex {
namespace {

using testing::FakeTool;
using testing::MemoryView;

const std::wstring kLibraries = L"C:\\PB\\PureLibraries\\Windows\\Libraries\\";
const std::string kStateHeader = "\xEF\xBB\xBF\r\n[Settings]\r\n";

// A library directory with every kind of stored copy, each with its own
// content, and the view of the window after start-up.
struct Installation {
    Installation() {
        context.libraryDirectory = kLibraries;
        context.architectureName = L"x64";
        context.vsVersions = {
            {L"14", L"VS 2015"}, {L"15", L"VS 2017"}, {L"16", L"VS 2019"}, {L"17", L"VS 2022"}};
        for (const wchar_t* name : {L"msvcrt.lib", L"libpng.lib", L"libjpeg.lib", L"other.lib"}) {
            tool.files.addFile(kLibraries + name, "active " + narrow(name));
        }
        for (const wchar_t* name :
             {L"_PB_msvcrt.lib", L"_PB_libpng.lib", L"_PB_libjpeg.lib", L"_UC_libpng.lib",
              L"_UC_libjpeg.lib", L"_MD_msvcrt.lib", L"_MD_17_msvcrt.lib", L"_MDd_17_msvcrt.lib",
              L"_MT_msvcrt.lib", L"_MT_16_msvcrt.lib", L"_MD_17_other.lib"}) {
            store(name);
        }
        tool.files.addFile(context.statePath(), kStateHeader + "last = 0,0,1,0\r\n");
        refreshUcrtVersionList(context, view);
    }

    static std::string narrow(const std::wstring& text) { return {text.begin(), text.end()}; }

    void store(const std::wstring& name) {
        tool.files.addFile(kLibraries + name, "stored " + narrow(name));
        context.catalogue.insert(name);
    }
    std::string active(const std::wstring& name) const {
        return tool.files.content(kLibraries + name);
    }
    std::string state() const { return tool.files.content(context.statePath()); }

    void chooseVersion(const std::wstring& number) {
        for (int i = 0; i < view.itemCount(Control::cmbUcrtVersion); ++i) {
            if (view.itemText(Control::cmbUcrtVersion, i).ends_with(L", " + number)) {
                view.selectItem(Control::cmbUcrtVersion, i);
            }
        }
    }
    // A click flips the toggle before its handler runs.
    bool click(Control button) {
        view.setState(button, !view.state(button));
        return onCrtButtonClicked(context, tool.services, view, button);
    }
    void clickPngJpeg() {
        view.setState(Control::btnPngJpeg, !view.state(Control::btnPngJpeg));
        onPngJpegClicked(context, tool.services, view);
    }

    FakeTool tool;
    ToolContext context;
    MemoryView view;
};

class LibrarySwitchTest : public ::testing::Test, public Installation {};

TEST_F(LibrarySwitchTest, TheVersionListShowsTaggedVersionsNewestFirst) {
    EXPECT_EQ(view.controls[Control::cmbUcrtVersion].items,
              (std::vector<std::wstring>{L" VS 2022, 17", L" VS 2019, 16"}));
    EXPECT_EQ(view.text(Control::cmbUcrtVersion), L" VS 2022, 17");

    context.vsVersions[L"18"] = L"VS 2026";
    store(L"_MT_18_msvcrt.lib");
    view.setEnabled(Control::cmbUcrtVersion, false);
    refreshUcrtVersionList(context, view);
    EXPECT_EQ(view.text(Control::cmbUcrtVersion), L" VS 2026, 18");
    for (Control c : {Control::btnMD, Control::btnMT, Control::cmbUcrtVersion, Control::chkDebug}) {
        EXPECT_TRUE(view.enabled(c));
    }

    context.catalogue = {L"_MD_msvcrt.lib", L"_UC_libpng.lib"};
    refreshUcrtVersionList(context, view);
    EXPECT_EQ(view.itemCount(Control::cmbUcrtVersion), 0);
}

TEST_F(LibrarySwitchTest, UcrtChoicesActivateTheRightCopies) {
    struct Case {
        const wchar_t* version;
        bool debug;
        Control button;
        std::string msvcrt;
        std::string record;
    };
    const std::vector<Case> cases{
        {L"17", false, Control::btnMD, "stored _MD_17_msvcrt.lib", "17,0,2,0"},
        {L"16", false, Control::btnMD, "stored _MD_msvcrt.lib", "16,0,2,0"},
        {L"17", true, Control::btnMD, "stored _MDd_17_msvcrt.lib", "17,1,2,0"},
        {L"16", true, Control::btnMD, "active msvcrt.lib", "16,1,2,0"},
        {L"16", false, Control::btnMT, "stored _MT_16_msvcrt.lib", "16,0,3,0"},
        {L"17", false, Control::btnMT, "stored _MT_msvcrt.lib", "17,0,3,0"},
    };
    for (const Case& c : cases) {
        Installation fresh;
        fresh.view.setState(Control::btnPB, true);
        fresh.chooseVersion(c.version);
        fresh.view.setState(Control::chkDebug, c.debug);

        EXPECT_FALSE(fresh.click(c.button));

        const std::string label = fresh.narrow(c.version) + (c.debug ? " debug" : "");
        EXPECT_EQ(fresh.active(L"msvcrt.lib"), c.msvcrt) << label;
        EXPECT_EQ(fresh.active(L"libpng.lib"), "stored _UC_libpng.lib") << label;
        EXPECT_EQ(fresh.active(L"libjpeg.lib"), "stored _UC_libjpeg.lib") << label;
        EXPECT_EQ(fresh.active(L"other.lib"),
                  c.button == Control::btnMD && !c.debug && std::wstring(c.version) == L"17"
                      ? "stored _MD_17_other.lib"
                      : "active other.lib")
            << label;
        EXPECT_EQ(fresh.state(), kStateHeader + "last = " + c.record + "\r\n") << label;
        EXPECT_EQ(fresh.view.pressed(), c.button == Control::btnMD ? L"MD" : L"MT");
        EXPECT_EQ(fresh.tool.sounds.played, std::vector{Sound::Information});
    }
}

TEST_F(LibrarySwitchTest, PbCrtRestoresEveryPbCopyAndRecordsItPlainly) {
    view.setState(Control::btnMT, true);
    view.setState(Control::chkDebug, true);
    view.setState(Control::btnPngJpeg, true);

    click(Control::btnPB);

    EXPECT_EQ(active(L"msvcrt.lib"), "stored _PB_msvcrt.lib");
    EXPECT_EQ(active(L"libpng.lib"), "stored _PB_libpng.lib");
    EXPECT_EQ(active(L"libjpeg.lib"), "stored _PB_libjpeg.lib");
    EXPECT_EQ(state(), kStateHeader + "last = 0,0,1,0\r\n");
    EXPECT_EQ(view.pressed(), L"PB");
}

TEST_F(LibrarySwitchTest, AClickOnTheActiveButtonDoesNothing) {
    view.setState(Control::btnMD, true);
    view.setState(Control::chkAutoClose, true);
    const std::string before = state();

    EXPECT_FALSE(click(Control::btnMD));

    EXPECT_TRUE(view.state(Control::btnMD));
    EXPECT_TRUE(tool.files.copies().empty());
    EXPECT_TRUE(tool.sounds.played.empty());
    EXPECT_EQ(state(), before);
}

TEST_F(LibrarySwitchTest, AutoCloseAsksToCloseOnlyAfterASuccessfulSwitch) {
    view.setState(Control::chkAutoClose, true);
    EXPECT_TRUE(click(Control::btnMT));
    view.setState(Control::chkAutoClose, false);
    EXPECT_FALSE(click(Control::btnMD));
}

TEST_F(LibrarySwitchTest, AFailedCopyInAnyPassEndsTheToolWithoutRecording) {
    for (const wchar_t* target : {L"libpng.lib", L"msvcrt.lib", L"other.lib"}) {
        Installation fresh;
        const std::string before = fresh.state();
        fresh.tool.files.failCopiesTo(kLibraries + target);
        fresh.view.setState(Control::chkAutoClose, true);

        EXPECT_FALSE(fresh.click(Control::btnMD)) << fresh.narrow(target);

        ASSERT_EQ(fresh.tool.messages.shown.size(), 1u);
        EXPECT_EQ(fresh.tool.messages.shown[0].flags, kMessageError);
        EXPECT_TRUE(fresh.tool.messages.shown[0].text.find(kLibraries + target) !=
                    std::wstring::npos);
        EXPECT_EQ(fresh.tool.end.calls, 1);
        EXPECT_EQ(fresh.state(), before);
        EXPECT_TRUE(fresh.tool.sounds.played.empty());
    }
}

TEST_F(LibrarySwitchTest, PngJpegSwitchesOnlyTheImageLibrariesWhileMtIsOn) {
    clickPngJpeg();
    EXPECT_TRUE(tool.files.copies().empty()) << "btnMT is off";

    click(Control::btnMT);
    tool.sounds.played.clear();
    clickPngJpeg();
    EXPECT_EQ(active(L"libpng.lib"), "stored _PB_libpng.lib");
    EXPECT_EQ(active(L"libjpeg.lib"), "stored _PB_libjpeg.lib");
    EXPECT_EQ(active(L"msvcrt.lib"), "stored _MT_msvcrt.lib");
    EXPECT_EQ(state(), kStateHeader + "last = 17,0,3,1\r\n");
    EXPECT_EQ(tool.sounds.played, std::vector{Sound::Default});

    clickPngJpeg();
    EXPECT_EQ(active(L"libpng.lib"), "stored _UC_libpng.lib");
    EXPECT_EQ(state(), kStateHeader + "last = 17,0,3,0\r\n");
}

TEST(SwitchLibraries, RejectsUnknownChoices) {
    FakeTool tool;
    ToolContext context;
    MemoryView view;
    EXPECT_FALSE(switchLibraries(context, tool.services, view, 3));
    EXPECT_TRUE(switchLibraries(context, tool.services, view, kChoicePbCrt));
}

} // namespace
} // namespace tarvex
