#include <gtest/gtest.h>

#include "driver.h"
#include "formats/utf8.h"

namespace tarvex::e2e {
namespace {

using C = Control;

// What the stand-in librarian makes of a variant's inputs.
std::string merged(std::string crt, std::string vcruntime, std::string ucrt,
                   std::string sdk = "10.0.22621.0") {
    return crt + ".lib\r\n" + vcruntime + ".lib\r\n" + ucrt + ".lib " + sdk +
           "\r\nlegacy_stdio_definitions.lib\r\n";
}

TEST(BuildPane, DroppedPromptsAreStoredBuildTakesInWhatTheScriptMadeDroppedLibrariesAreJudged) {
    ToolSession session;
    const std::wstring tools = addStandInVisualStudio(session.sandbox), vc = tools + L"lib\\x64\\";
    const std::wstring library = session.sandbox.libraryDirectory(), notes = tools + L"notes.txt";
    const std::wstring results = session.sandbox.architectureDirectory(Bitness::X64);
    const std::wstring x64 = tools + L"x64 Native Tools P.lnk";
    // Read-only, as in the all-users Start menu. Windows refuses write access
    // to them; Wine, run as root here, grants it, so only the read shows.
    for (const wchar_t* name : {L"x64 Native Tools P", L"x86 Native Tools P", L"Native Tools P"}) {
        ASSERT_TRUE(saveShortcut(tools + name + L".lnk", L"/k \"" + tools + L"vcvars64.bat\""));
    }
    ASSERT_TRUE(writeBytes(notes, "") && writeBytes(tools + L"x64 Native Tools bad.lnk", "bad") &&
                ::DeleteFileW((results + L"_MD_17_msvcrt.lib").c_str()));
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());

    const std::string settings = session.settings();
    const std::string vcvarsall = utf8FromUtf16(tools) + "vcvarsall.bat\r\n";
    const std::string x64Link = "[VSlink]\r\nx64 Native Tools P = " + vcvarsall;
    const std::string both = x64Link + "x86 Native Tools P = " + vcvarsall; // x86: not listed
    EXPECT_EQ(dragFiles(window.handle(), {x64}, DROPEFFECT_COPY), DROPEFFECT_NONE);
    // The last: one text with a line feed, no shortcut.
    const std::pair<std::vector<std::wstring>, std::string> drops[] = {
        {{x64}, x64Link},
        {{tools + L"x86 Native Tools P.lnk"}, both},
        {{tools + L"Native Tools P.lnk"}, both},
        {{tools + L"x64 Native Tools bad.lnk"}, both},
        {{notes, x64}, both}};
    for (const auto& [dropped, links] : drops) {
        EXPECT_EQ(dragFiles(window.handle(), dropped, DROPEFFECT_LINK | DROPEFFECT_COPY), 4u);
        ASSERT_TRUE(window.settle());
        EXPECT_EQ(session.settings(), settings + links);
    }
    EXPECT_EQ(window.items(C::cmbVsVersion), std::vector<std::wstring>{L" x64 Native Tools P"});
    // Anyone may post the drop message number: with no drop queued it does nothing.
    ::PostMessageW(window.handle(), WM_APP + 1, 0, 0x1234);
    EXPECT_EQ(dragFiles(window.handle(), {notes}, DROPEFFECT_LINK), DROPEFFECT_LINK);
    EXPECT_EQ(session.nextBox(), (MessageBoxView{L"Tarvex - x64", L"Not a valid file..."}));

    const auto build = [&](const wchar_t* sdk) {
        ::SendMessageW(window.control(C::edtSdkVersion), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(sdk));
        window.postClick(C::btnBuild);
        return window.settle();
    };
    ASSERT_TRUE(window.click(C::chkBuildPane) && build(L""));
    EXPECT_EQ(session.library(L"_MT_17_msvcrt.lib"), merged("libcmt", "libvcruntime", "libucrt"));
    EXPECT_EQ(session.library(L"_MDd_17_msvcrt.lib"), merged("msvcrtd", "vcruntimed", "ucrtd"));
    EXPECT_EQ(readBytes(results + L"_MTd_17_msvcrt.lib"), session.library(L"_MTd_17_msvcrt.lib"));
    ASSERT_TRUE(window.select(C::cmbUcrtVersion, 0) && window.click(C::btnMD));
    EXPECT_EQ(session.library(L"msvcrt.lib"), merged("msvcrt", "vcruntime", "ucrt"));

    // A dropped /MT library made with VS 2022: Yes switches to the copy just built.
    const fs::path made = fs::path(TARVEX_COFF_TEST_DATA).make_preferred() / L"mt_x64.lib";
    EXPECT_EQ(dragFiles(window.handle(), {made.wstring()}, DROPEFFECT_LINK), DROPEFFECT_LINK);
    EXPECT_EQ(session.nextBox(IDYES),
              (MessageBoxView{L"Tarvex - x64",
                              L"'mt_x64.lib' was built for x64 with /MT (static, release) by VS "
                              L"2022.\n\nSwitch to /MT with VS 2022 now?"}));
    ASSERT_TRUE(window.settle());
    EXPECT_EQ(session.library(L"msvcrt.lib"), session.library(L"_MT_17_msvcrt.lib"));
    EXPECT_EQ(session.library(L"Tarvex.cfg"), stateFile("17,0,3,0"));
    EXPECT_EQ(window.state(C::btnMT), BST_CHECKED);

    // Without the debug libraries two variants are built (exit code 2).
    ASSERT_TRUE(::DeleteFileW((vc + L"msvcrtd.lib").c_str()) &&
                ::DeleteFileW((vc + L"libcmtd.lib").c_str()) && build(L"10.0.19041.0"));
    EXPECT_EQ(session.library(L"_MD_17_msvcrt.lib"),
              merged("msvcrt", "vcruntime", "ucrt", "10.0.19041.0"));
    EXPECT_FALSE(fs::exists(results + L"_MTd_17_msvcrt.lib"));
    EXPECT_EQ(session.library(L"msvcrt.lib"), session.library(L"_MT_17_msvcrt.lib"))
        << "the rebuilt active runtime is active";

    // Nothing is taken or said for exit codes 0 (nothing built) and 5 (no
    // _PB_msvcrt.lib); an unsafe SDK text starts nothing.
    const std::wstring pbCrt = library + L"_PB_msvcrt.lib";
    ASSERT_TRUE(writeBytes(results + L"_MD_16_msvcrt.lib", "from an earlier build") &&
                ::DeleteFileW((vc + L"msvcrt.lib").c_str()) &&
                ::DeleteFileW((vc + L"libcmt.lib").c_str()));
    for (const auto& earlier : fs::directory_iterator(results)) { // a build takes only its own
        fs::last_write_time(earlier, fs::file_time_type::clock::now() - 1h);
    }
    const auto unbuilt = snapshot(library);
    ASSERT_TRUE(build(L"") && ::MoveFileW(pbCrt.c_str(), (pbCrt + L"-").c_str()) && build(L""));
    // vcvarsall.bat refuses the SDK and ends the line with 1, as on Windows:
    // the earlier build's files are not taken for this one's.
    build(L"10.0.1");
    EXPECT_TRUE(session.nextBox().text.starts_with(L"The build made no library (exit code 1)"));
    build(L"10.0&calc");
    EXPECT_EQ(session.nextBox().text,
              L"The SDK version must not contain & | < > ^ \" % ! or control characters.");
    ASSERT_TRUE(::MoveFileW((pbCrt + L"-").c_str(), pbCrt.c_str()));
    EXPECT_EQ(snapshot(library), unbuilt);
    EXPECT_EQ(readBytes(tools + L"seen.txt"),
              "[x64][]\r\n[x64][10.0.19041.0]\r\n[x64][]\r\n[x64][]\r\n[x64][10.0.1]\r\n");
}

} // namespace
} // namespace tarvex::e2e
