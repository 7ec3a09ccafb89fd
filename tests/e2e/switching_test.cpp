#include <gtest/gtest.h>

#include "tool_steps.h"

namespace tarvex::e2e {
namespace {

using C = Control;

// The content a stored copy of the sandbox's x64 installation has.
std::string stored(const std::wstring& name) {
    return name.starts_with(L"_PB_") ? sandboxContent(L"PB", name.substr(4))
                                     : sandboxContent(L"x64", name);
}

// What a switch decides: the three active libraries and the record.
std::map<std::wstring, std::string> activeFiles(const ToolSession& session) {
    std::map<std::wstring, std::string> files;
    for (const wchar_t* name : {L"msvcrt.lib", L"libpng.lib", L"libjpeg.lib", L"Tarvex.cfg"}) {
        files[name] = session.library(name);
    }
    return files;
}

std::map<std::wstring, std::string>
expected(const std::wstring& runtime, const std::wstring& images, const std::string& record) {
    return {{L"msvcrt.lib", stored(runtime)},
            {L"libpng.lib", stored(images + L"libpng.lib")},
            {L"libjpeg.lib", stored(images + L"libjpeg.lib")},
            {L"Tarvex.cfg", stateFile(record)}};
}

std::vector<int> crtStates(const WindowDriver& window) {
    return {window.state(C::btnMD), window.state(C::btnMT), window.state(C::btnPB)};
}

const std::vector<int> kMD{1, 0, 0}, kMT{0, 1, 0}, kPB{0, 0, 1}, kNone{0, 0, 0};

TEST(Switching, EachCrtButtonActivatesItsCopiesAndRecordsTheChoice) {
    ToolSession session;
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());

    ASSERT_TRUE(window.click(C::btnMD));
    EXPECT_EQ(activeFiles(session), expected(L"_MD_17_msvcrt.lib", L"_UC_", "17,0,2,0"));
    EXPECT_EQ(crtStates(window), kMD);

    ASSERT_TRUE(window.select(C::cmbUcrtVersion, 1));
    EXPECT_EQ(crtStates(window), kNone) << "VS 2019 is not the active version";
    ASSERT_TRUE(window.click(C::btnMT));
    EXPECT_EQ(activeFiles(session), expected(L"_MT_16_msvcrt.lib", L"_UC_", "16,0,3,0"));
    EXPECT_EQ(crtStates(window), kMT);

    ASSERT_TRUE(window.select(C::cmbUcrtVersion, 0));
    EXPECT_EQ(crtStates(window), kNone);
    ASSERT_TRUE(window.select(C::cmbUcrtVersion, 1));
    EXPECT_EQ(crtStates(window), kMT) << "the recorded version chosen back";
    ASSERT_TRUE(window.click(C::chkDebug));
    EXPECT_EQ(crtStates(window), kNone) << "the debug variant is not the active one";
    EXPECT_EQ(window.text(C::btnMD), L"/MDd\r\n(dynamic)");
    EXPECT_EQ(window.text(C::btnMT), L"/MTd\r\n(static)");

    ASSERT_TRUE(window.select(C::cmbUcrtVersion, 0));
    ASSERT_TRUE(window.click(C::btnMD));
    EXPECT_EQ(activeFiles(session), expected(L"_MDd_msvcrt.lib", L"_UC_", "17,1,2,0"))
        << "no version-17 debug copy: the generic one";

    ASSERT_TRUE(window.click(C::btnPB));
    EXPECT_EQ(activeFiles(session), expected(L"_PB_msvcrt.lib", L"_PB_", "0,0,1,0"));
    EXPECT_EQ(crtStates(window), kPB);
    EXPECT_EQ(session.close(), 0u);
}

TEST(Switching, TheSelectionIsShownAgainAfterARestart) {
    ToolSession session;
    WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    ASSERT_TRUE(window.select(C::cmbUcrtVersion, 1));
    ASSERT_TRUE(window.click(C::chkDebug));
    ASSERT_TRUE(window.click(C::btnMT));
    ASSERT_EQ(session.library(L"Tarvex.cfg"), stateFile("16,1,3,0"));
    EXPECT_EQ(session.close(), 0u);

    window = session.start();
    ASSERT_TRUE(window.handle());
    EXPECT_EQ(window.state(C::cmbUcrtVersion), 1);
    EXPECT_EQ(window.state(C::chkDebug), BST_CHECKED);
    EXPECT_EQ(crtStates(window), kMT);
    EXPECT_EQ(window.text(C::btnMD), L"/MDd\r\n(dynamic)");
    EXPECT_EQ(window.text(C::btnMT), L"/MTd\r\n(static)");
    EXPECT_FALSE(window.visible(C::btnPngJpeg)) << "an exe target and a png/jpeg flag of 0";
    EXPECT_EQ(session.close(), 0u);
}

TEST(Switching, TheActiveButtonCopiesNothingAndAutoCloseEndsOnlyANewChoice) {
    ToolSession session;
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    ASSERT_TRUE(window.click(C::btnMD));
    ASSERT_TRUE(window.click(C::chkAutoClose));
    ASSERT_TRUE(writeBytes(session.sandbox.libraryDirectory() + L"msvcrt.lib", "changed by hand"));
    const auto before = snapshot(session.sandbox.libraryDirectory());

    ASSERT_TRUE(window.click(C::btnMD));

    EXPECT_EQ(window.state(C::btnMD), BST_CHECKED);
    EXPECT_EQ(session.tool->waitForExit(500ms), std::nullopt);
    EXPECT_EQ(snapshot(session.sandbox.libraryDirectory()), before);

    window.postClick(C::btnMT);

    EXPECT_EQ(session.tool->waitForExit(), 0u);
    EXPECT_EQ(activeFiles(session), expected(L"_MT_msvcrt.lib", L"_UC_", "17,0,3,0"))
        << "no version-17 static copy: the generic one";
}

TEST(Switching, ThePngJpegToggleSwitchesOnlyTheImageLibrariesAndOnlyUnderMt) {
    ToolSession session;
    WindowDriver window = session.start(L"Game.dll");
    ASSERT_TRUE(window.handle());
    ASSERT_TRUE(window.click(C::btnMD));
    const auto underMd = snapshot(session.sandbox.libraryDirectory());

    ASSERT_TRUE(window.click(C::btnPngJpeg));
    EXPECT_EQ(window.state(C::btnPngJpeg), BST_CHECKED);
    EXPECT_EQ(snapshot(session.sandbox.libraryDirectory()), underMd) << "btnMT is off";

    ASSERT_TRUE(window.click(C::btnMT));
    EXPECT_EQ(window.state(C::btnPngJpeg), BST_UNCHECKED);
    ASSERT_TRUE(window.click(C::btnPngJpeg));
    EXPECT_EQ(activeFiles(session), expected(L"_MT_msvcrt.lib", L"_PB_", "17,0,3,1"));
    EXPECT_EQ(session.close(), 0u);

    window = session.start(L"Game.exe");
    ASSERT_TRUE(window.handle());
    EXPECT_TRUE(window.visible(C::btnPngJpeg)) << "the recorded flag is 1";
    EXPECT_EQ(window.state(C::btnPngJpeg), BST_CHECKED);
    EXPECT_EQ(crtStates(window), kMT);
    ASSERT_TRUE(window.click(C::btnPngJpeg));
    EXPECT_EQ(activeFiles(session), expected(L"_MT_msvcrt.lib", L"_UC_", "17,0,3,0"));
    EXPECT_TRUE(session.tool->running());
    EXPECT_EQ(session.close(), 0u);
}

TEST(Switching, AFailedCopyShowsTheErrorEndsTheToolAndKeepsTheRecord) {
    ToolSession session;
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    const std::wstring library = session.sandbox.libraryDirectory();
    ASSERT_TRUE(::DeleteFileW((library + L"libpng.lib").c_str()));
    ASSERT_TRUE(::CreateDirectoryW((library + L"libpng.lib").c_str(), nullptr));

    window.postClick(C::btnMD);

    HWND box = session.tool->waitForMessageBox();
    ASSERT_NE(box, nullptr);
    const auto view = readMessageBox(box);
    EXPECT_EQ(view.title, L"Tarvex - x64");
    EXPECT_EQ(view.text, copyErrorText(library + L"_UC_libpng.lib", library + L"libpng.lib"));
    EXPECT_EQ(view.buttons, std::vector{IDOK});
    answer(box, IDOK);
    EXPECT_EQ(session.tool->waitForExit(), 0u);
    EXPECT_EQ(session.library(L"Tarvex.cfg"), kFreshStateFile);
}

} // namespace
} // namespace tarvex::e2e
