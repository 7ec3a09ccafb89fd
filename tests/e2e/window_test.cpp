// The window of the real Tarvex.exe: its controls, pane, hover help and settings,
// every runtime switch in the bytes it leaves, the two small buttons, and the
// build pane with the prompts and libraries dropped on it.
#include <gtest/gtest.h>

#include "core/donation_page.h"
#include "driver.h"
#include "formats/utf8.h"
#include "platform/win32/win32_clipboard.h"

namespace tarvex::e2e {
namespace {

using C = Control;

TEST(MainWindowLayout, ControlsHaveTheirPlaceAndTextThePaneGrowsTheWindowHoverHelps) {
    const std::wstring md = L" UCRT MultiThreaded, dynamic linking (VC++ Redist. prior Windows 10)";
    // help: what txtStatus shows with the pointer over the control; none for
    // a frame, whose middle lies over another control.
    const struct {
        C id;
        int x, y, width, height;
        const wchar_t* text;
        std::optional<std::wstring> help = std::nullopt;
    } controls[] = {
        {C::btnCopyDirectives, 19, 39, 13, 13, L"Copy MD(d) linker directives",
         L" Copy MD(d) specific linker directives for PB to the clipboard"},
        {C::btnMD, 15, 35, 115, 44, L"/MD\r\n(dynamic)", md},
        {C::btnPngJpeg, 139, 39, 13, 13, L"PB's libpng/libjpeg for DLL's",
         L" Toggle only for DLL's using libpng/libjpeg"},
        {C::btnMT, 135, 35, 115, 44, L"/MT\r\n(static)", L" UCRT MultiThreaded, static linking"},
        {C::cmbUcrtVersion, 255, 36, 115, 0, L" VS 2022, 17",
         L" Select UCRT by Visual Studio version"},
        {C::chkDebug, 255, 61, 115, 20, L"Dbg (MDd/MTd)", L" Use the UCRT Debug version"},
        {C::frmUcrt, 5, 9, 375, 80, L"UCRT  (C Backend)"},
        {C::btnPB, 395, 35, 115, 44, L"PB\r\n(dynamic)", L" PB's default CRT, dynamic linking"},
        {C::frmCrt, 385, 9, 135, 80, L"CRT  (ASM/C Backend)"},
        {C::txtStatus, 5, 93, 375, 20, L"", L""}, // a disabled control counts as the window
        {C::chkBuildPane, 390, 93, 55, 20, L"Build", L" Show/Hide 'Build UCRT Library' pane"},
        {C::chkAutoClose, 447, 93, 75, 20, L"AutoClose",
         L" Automatically close the window on CRT selection"},
        {C::edtSdkVersion, 15, 156, 80, 20, L"", L" Change SDK version (empty = latest)"},
        {C::cmbVsVersion, 100, 155, 280, 0, L"", L" Select Visual Studio version"},
        {C::btnBuild, 385, 154, 55, 23, L"Build", L" Build UCRT Library"},
        {C::frmBuild, 5, 130, 445, 57, L"Build UCRT Library  (drop 'Native Tools Command Prompt')"},
        {C::btnCoffee, 465, 154, 45, 23, L"Donate a cup of coffee",
         L" Donate a cup of coffee... Thanks!"},
        {C::frmCoffee, 455, 130, 65, 57, L"Coffee"},
    };
    ToolSession session;
    const WindowDriver window = session.start(L"Game.DLL");
    ASSERT_TRUE(window.handle());
    SCOPED_TRACE(::testing::Message() << scaled(96) << " dpi");
    for (const auto& row : controls) {
        SCOPED_TRACE(::testing::Message() << "control " << static_cast<int>(row.id));
        EXPECT_EQ(window.text(row.id), row.text);
        // A closed drop-down list (height 0 here) takes the height its font needs.
        const RECT at = window.rect(row.id);
        EXPECT_EQ(
            std::tuple(at.left, at.top, at.right - at.left, row.height ? at.bottom - at.top : 0),
            std::tuple(scaled(row.x), scaled(row.y), scaled(row.width), scaled(row.height)));
        EXPECT_TRUE(::IsWindowVisible(window.control(row.id)))
            << "btnPngJpeg too: the target is a DLL";
        // PB's CRT is recorded; no Visual Studio is registered.
        EXPECT_EQ(window.state(row.id), row.id == C::btnPB          ? 1
                                        : row.id == C::cmbVsVersion ? -1
                                                                    : 0);
    }
    EXPECT_EQ(window.items(C::cmbUcrtVersion),
              (std::vector<std::wstring>{L" VS 2022, 17", L" VS 2019, 16"}));
    RECT frame{}, now{};
    ::GetWindowRect(window.handle(), &frame);
    EXPECT_EQ(frame.left, (::GetSystemMetrics(SM_CXSCREEN) - frame.right + frame.left) / 2);
    for (const bool shown : {false, true, false, true}) {
        if (shown != (window.state(C::chkBuildPane) == BST_CHECKED)) {
            ASSERT_TRUE(window.click(C::chkBuildPane));
        }
        ::GetClientRect(window.handle(), &now);
        EXPECT_EQ(now.right, scaled(525));
        EXPECT_EQ(now.bottom, scaled(shown ? 191 : 115));
        ::GetWindowRect(window.handle(), &now);
        EXPECT_EQ(std::pair(now.left, now.top), std::pair(frame.left, frame.top));
        for (C id : {C::edtSdkVersion, C::cmbVsVersion, C::btnBuild, C::btnCoffee, C::txtStatus}) {
            EXPECT_EQ(::IsWindowEnabled(window.control(id)), shown && id != C::txtStatus)
                << static_cast<int>(id);
        }
    }

    const auto shows = [&](C id, const std::wstring& text) {
        EXPECT_EQ(window.hover(id, text), text) << static_cast<int>(id);
    };
    for (const auto& row : controls) {
        if (row.help) {
            shows(row.id, *row.help);
        }
    }
    // The debug texts are chosen when the pointer enters a button.
    shows(C::btnMD, md);
    ASSERT_TRUE(window.click(C::chkDebug));
    EXPECT_EQ(window.hover(C::btnMD, L"", 300ms), md) << "the pointer did not leave btnMD";
    shows(C::btnMT, L" UCRT MultiThreaded Debug, static linking (Not redistributable)");
    shows(C::btnMD, L" UCRT MultiThreaded Debug, dynamic linking (Not redistributable)");
}

// The content a stored copy of the sandbox's x64 installation has.
std::string stored(const std::wstring& name) {
    return name.starts_with(L"_PB_") ? sandboxContent(L"PB", name.substr(4))
                                     : sandboxContent(L"x64", name);
}

// What a switch decides: the active libraries, the record, the four toggles,
// the item cmbUcrtVersion shows and chkDebug.
std::string outcome(const ToolSession& session) {
    std::string pressed;
    for (C id : {C::btnMD, C::btnMT, C::btnPB, C::btnPngJpeg, C::cmbUcrtVersion, C::chkDebug}) {
        pressed += std::to_string(session.window.state(id));
    }
    return session.library(L"msvcrt.lib") + session.library(L"libpng.lib") +
           session.library(L"libjpeg.lib") + session.library(L"Tarvex.cfg") + pressed;
}

std::string expected(const std::wstring& runtime, const std::wstring& images,
                     const std::string& record, const std::string& pressed) {
    return stored(runtime) + stored(images + L"libpng.lib") + stored(images + L"libjpeg.lib") +
           stateFile(record) + pressed;
}

TEST(Switching, EachChoiceActivatesItsCopiesRecordsItAndIsShownAgainAfterARestart) {
    ToolSession session;
    WindowDriver window = session.start(L"Game.dll");
    ASSERT_TRUE(window.handle());
    // A step: a click, or for cmbUcrtVersion the choice of the item it then shows.
    const struct {
        C id;
        std::wstring runtime, images;
        std::string record, pressed;
    } steps[] = {
        {C::btnMD, L"_MD_17_msvcrt.lib", L"_UC_", "17,0,2,0", "100000"},
        {C::btnPngJpeg, L"_MD_17_msvcrt.lib", L"_UC_", "17,0,2,0", "100100"}, // only under /MT
        {C::cmbUcrtVersion, L"_MD_17_msvcrt.lib", L"_UC_", "17,0,2,0", "000110"},
        {C::btnMT, L"_MT_16_msvcrt.lib", L"_UC_", "16,0,3,0", "010010"},
        {C::btnPngJpeg, L"_MT_16_msvcrt.lib", L"_PB_", "16,0,3,1", "010110"},
        {C::cmbUcrtVersion, L"_MT_16_msvcrt.lib", L"_PB_", "16,0,3,1", "000100"},
        {C::cmbUcrtVersion, L"_MT_16_msvcrt.lib", L"_PB_", "16,0,3,1", "010110"},
        {C::chkDebug, L"_MT_16_msvcrt.lib", L"_PB_", "16,0,3,1", "000111"},
        {C::btnMT, L"_MTd_msvcrt.lib", L"_UC_", "16,1,3,0", "010011"}, // no version-16 debug copy
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(step.id == C::cmbUcrtVersion ? window.select(step.id, step.pressed[4] - '0')
                                                 : window.click(step.id));
        EXPECT_EQ(outcome(session), expected(step.runtime, step.images, step.record, step.pressed))
            << "after control " << static_cast<int>(step.id);
    }
    EXPECT_EQ(window.text(C::btnMD) + window.text(C::btnMT), L"/MDd\r\n(dynamic)/MTd\r\n(static)");

    // The two small buttons change no file. The prefix's https handler becomes
    // a command that writes the address it gets; Wine's own is put back.
    const auto handle = [](const std::wstring& command) { // the size is the text's
        return !::RegSetValueW(HKEY_CLASSES_ROOT, L"https\\shell\\open\\command", REG_SZ,
                               command.c_str(), 0);
    };
    const std::shared_ptr<void> restore(
        nullptr, [&](void*) { handle(L"\"C:\\windows\\system32\\winebrowser.exe\" \"%1\""); });
    const auto files = snapshot(session.sandbox.root());
    ASSERT_TRUE(Win32Clipboard().setClipboardText(L"the user's own text\r\n"));
    ASSERT_TRUE(window.click(C::btnCopyDirectives));
    const std::wstring text = clipboardText();
    EXPECT_EQ(text.size(), 2218u);
    EXPECT_TRUE(text.starts_with(L"CompilerIf #PB_Compiler_Processor = #PB_Processor_x64\n Import "
                                 L"\"/alternatename:__acrt_initialize=___scrt_stub_for_acrt_"
                                 L"initialize\" : EndImport\n"));
    EXPECT_TRUE(text.ends_with(L" : EndImport\nCompilerEndIf\n"));

    // At 96 dpi the 45 x 23 btnCoffee shows the 31 x 31 badge from (7, -4).
    const COLORREF opaque = RGB(160, 176, 219); // the badge's pixel (15, 15); (0, 10) is clear
    ASSERT_TRUE(window.click(C::chkBuildPane));
    const HWND coffee = window.control(C::btnCoffee);
    // The grown window paints in its own time.
    EXPECT_TRUE(waitUntil([&] { return screenPixel(coffee, 7 + 15, 15 - 4) == opaque; }, 5s))
        << "opaque: the badge's colour";
    EXPECT_EQ(screenPixel(coffee, 7 + 0, 10 - 4), screenPixel(coffee, 5, 10 - 4))
        << "transparent: the face beside it";

    const std::wstring seen = session.sandbox.root() + L"handler.txt";
    const std::string page = fs::path(kDonationPage).string() + "\r\n";
    ASSERT_TRUE(handle(L"cmd.exe /c echo %1>" + seen));
    ASSERT_TRUE(window.click(C::btnCoffee)) << "the tool does not wait for the page";
    // The redirection makes the file before the address is written.
    EXPECT_TRUE(waitUntil([&] { return readBytes(seen) == page; }, 5s)) << readBytes(seen);
    fs::remove(seen);
    EXPECT_EQ(session.tool->waitForMessageBox(500ms), nullptr) << "nothing is said";
    EXPECT_EQ(snapshot(session.sandbox.root()), files);
    EXPECT_EQ(session.close(), 0u);

    window = session.start(L"Game.exe");
    ASSERT_TRUE(window.handle());
    EXPECT_EQ(window.text(C::btnMD) + window.text(C::btnMT), L"/MDd\r\n(dynamic)/MTd\r\n(static)");
    EXPECT_EQ(outcome(session), expected(L"_MTd_msvcrt.lib", L"_UC_", "16,1,3,0", "010011"));
    EXPECT_FALSE(::IsWindowVisible(window.control(C::btnPngJpeg)))
        << "an exe target and a png/jpeg flag of 0";
    ASSERT_TRUE(window.click(C::chkDebug) && window.click(C::btnMD));
    EXPECT_EQ(outcome(session), expected(L"_MD_msvcrt.lib", L"_UC_", "16,0,2,0", "100010"));
    ASSERT_TRUE(window.click(C::btnPB));
    EXPECT_EQ(outcome(session), expected(L"_PB_msvcrt.lib", L"_PB_", "0,0,1,0", "001010"));

    // The active button copies nothing; with AutoClose a new choice ends the tool.
    ASSERT_TRUE(window.click(C::chkAutoClose));
    EXPECT_EQ(session.settings(), settingsFile("1"));
    ASSERT_TRUE(
        writeBytes(session.sandbox.libraryDirectory() + L"msvcrt.lib", stored(L"_MD_msvcrt.lib")));
    const auto before = snapshot(session.sandbox.libraryDirectory());
    ASSERT_TRUE(window.click(C::btnPB));
    EXPECT_EQ(window.state(C::btnPB), BST_CHECKED);
    EXPECT_EQ(session.tool->waitForExit(300ms), std::nullopt);
    EXPECT_EQ(snapshot(session.sandbox.libraryDirectory()), before);
    ASSERT_TRUE(window.select(C::cmbUcrtVersion, 0));
    window.postClick(C::btnMT);
    EXPECT_EQ(session.tool->waitForExit(), 0u);
    EXPECT_EQ(session.library(L"msvcrt.lib"), stored(L"_MT_msvcrt.lib")) << "no version-17 copy";

    // A state file without a record shows no choice.
    ASSERT_TRUE(
        writeBytes(session.sandbox.libraryDirectory() + L"Tarvex.cfg", "[Other]\r\nlast = 1\r\n"));
    window = session.start();
    EXPECT_TRUE(outcome(session).ends_with("000000")) << outcome(session);
    EXPECT_EQ(session.close(), 0u);
}

// What the stand-in librarian makes of a variant's inputs.
std::string merged(std::string crt, std::string vcruntime, std::string ucrt,
                   std::string sdk = "10.0.22621.0") {
    return crt + ".lib\r\n" + vcruntime + ".lib\r\n" + ucrt + ".lib " + sdk +
           "\r\nlegacy_stdio_definitions.lib\r\n";
}

TEST(BuildPane, DroppedPromptsAreStoredBuildsTakeInWhatTheScriptMadeForThemAndNothingElse) {
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

    // Without the debug libraries two variants are built (exit code 2).
    ASSERT_TRUE(::DeleteFileW((vc + L"msvcrtd.lib").c_str()) &&
                ::DeleteFileW((vc + L"libcmtd.lib").c_str()) && build(L"10.0.19041.0"));
    EXPECT_EQ(session.library(L"_MD_17_msvcrt.lib"),
              merged("msvcrt", "vcruntime", "ucrt", "10.0.19041.0"));
    EXPECT_FALSE(fs::exists(results + L"_MTd_17_msvcrt.lib"));
    EXPECT_EQ(session.library(L"msvcrt.lib"), session.library(L"_MD_17_msvcrt.lib"))
        << "the rebuilt active runtime is active";
    // Libraries dropped together get one verdict, whose Yes switches.
    const std::wstring data = fs::path(TARVEX_COFF_TEST_DATA).make_preferred().wstring() + L"\\";
    const std::vector<std::wstring> three{data + L"mt_x64.lib", data + L"import_x64.lib",
                                          data + L"none_x64.obj"};
    EXPECT_EQ(dragFiles(window.handle(), three, DROPEFFECT_LINK), DROPEFFECT_LINK);
    const std::wstring any = L"' needs no particular C runtime: any choice links with it.\n";
    EXPECT_EQ(session.nextBox(IDYES).text,
              L"'mt_x64.lib' was built for x64 with /MT (static, release) by VS 2022.\n"
              L"'import_x64.lib" +
                  any + L"'none_x64.obj" + any +
                  L"\nAll of them fit /MT (static, release).\n\nSwitch to /MT with VS 2022 now?");
    ASSERT_TRUE(window.settle());
    EXPECT_EQ(session.library(L"msvcrt.lib"), session.library(L"_MT_17_msvcrt.lib"));

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
    EXPECT_EQ(session.tool->waitForMessageBox(0ms), nullptr) << "a box would be up by now";
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
