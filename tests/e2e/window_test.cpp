// The window of the real Tarvex.exe: its controls, pane, hover help and settings,
// every runtime switch in the bytes it leaves, and the two small buttons.
#include <gtest/gtest.h>

#include "core/donation_page.h"
#include "driver.h"
#include "platform/win32/win32_clipboard.h"

namespace tarvex::e2e {
namespace {

using C = Control;

TEST(MainWindowLayout, ControlsHaveTheirPlaceAndTextThePaneGrowsTheWindowHoverHelps) {
    const struct {
        C id;
        int x, y, width, height;
        const wchar_t* text;
    } controls[] = {
        {C::btnCopyDirectives, 19, 39, 13, 13, L"Copy MD(d) linker directives"},
        {C::btnMD, 15, 35, 115, 44, L"/MD\r\n(dynamic)"},
        {C::btnPngJpeg, 139, 39, 13, 13, L"PB's libpng/libjpeg for DLL's"},
        {C::btnMT, 135, 35, 115, 44, L"/MT\r\n(static)"},
        {C::cmbUcrtVersion, 255, 36, 115, 0, L" VS 2022, 17"},
        {C::chkDebug, 255, 61, 115, 20, L"Dbg (MDd/MTd)"},
        {C::frmUcrt, 5, 9, 375, 80, L"UCRT  (C Backend)"},
        {C::btnPB, 395, 35, 115, 44, L"PB\r\n(dynamic)"},
        {C::frmCrt, 385, 9, 135, 80, L"CRT  (ASM/C Backend)"},
        {C::txtStatus, 5, 93, 375, 20, L""},
        {C::chkBuildPane, 390, 93, 55, 20, L"Build"},
        {C::chkAutoClose, 447, 93, 75, 20, L"AutoClose"},
        {C::edtSdkVersion, 15, 156, 80, 20, L""},
        {C::cmbVsVersion, 100, 155, 280, 0, L""},
        {C::btnBuild, 385, 154, 55, 23, L"Build"},
        {C::frmBuild, 5, 130, 445, 57, L"Build UCRT Library  (drop 'Native Tools Command Prompt')"},
        {C::btnCoffee, 465, 154, 45, 23, L"Donate a cup of coffee"},
        {C::frmCoffee, 455, 130, 65, 57, L"Coffee"},
    };
    ToolSession session;
    const WindowDriver window = session.start(L"Game.DLL");
    ASSERT_TRUE(window.handle());
    SCOPED_TRACE(::testing::Message() << scaled(96) << " dpi");
    EXPECT_EQ(windowText(window.handle()), L"Tarvex - x64");
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
    for (const bool shown : {false, true, false}) {
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
    EXPECT_EQ(session.settings(), settingsFile("0")) << "the pane's state is not stored";

    // Created just before the toggles they cover, so they lie above them.
    EXPECT_EQ(::GetWindow(window.control(C::btnPngJpeg), GW_HWNDNEXT), window.control(C::btnMT));
    EXPECT_EQ(::GetWindow(window.control(C::btnCopyDirectives), GW_HWNDNEXT),
              window.control(C::btnMD));
    ASSERT_TRUE(window.click(C::chkBuildPane));
    const std::wstring md = L" UCRT MultiThreaded, dynamic linking (VC++ Redist. prior Windows 10)";
    const std::pair<C, std::wstring> help[] = {
        {C::btnMD, md},
        {C::btnMT, L" UCRT MultiThreaded, static linking"},
        {C::cmbUcrtVersion, L" Select UCRT by Visual Studio version"},
        {C::btnPB, L" PB's default CRT, dynamic linking"},
        {C::chkBuildPane, L" Show/Hide 'Build UCRT Library' pane"},
        {C::chkAutoClose, L" Automatically close the window on CRT selection"},
        {C::edtSdkVersion, L" Change SDK version (empty = latest)"},
        {C::cmbVsVersion, L" Select Visual Studio version"},
        {C::btnBuild, L" Build UCRT Library"},
        {C::btnCoffee, L" Donate a cup of coffee... Thanks!"},
        {C::btnCopyDirectives, L" Copy MD(d) specific linker directives for PB to the clipboard"},
        {C::btnPngJpeg, L" Toggle only for DLL's using libpng/libjpeg"},
        {C::chkDebug, L" Use the UCRT Debug version"},
        {C::txtStatus, L""}, // a disabled control counts as the window
        {C::btnMD, md},
    };
    const auto shows = [&](C id, const std::wstring& text) {
        EXPECT_EQ(window.hover(id, text), text) << static_cast<int>(id);
    };
    for (const auto& [id, text] : help) {
        shows(id, text);
    }
    // The debug texts are chosen when the pointer enters a button.
    ASSERT_TRUE(window.click(C::chkDebug));
    EXPECT_EQ(window.hover(C::btnMD, L"", 300ms), md) << "the pointer did not leave btnMD";
    shows(C::btnMT, L" UCRT MultiThreaded Debug, static linking (Not redistributable)");
    shows(C::btnMD, L" UCRT MultiThreaded Debug, dynamic linking (Not redistributable)");
    EXPECT_EQ(session.close(), 0u);
}

// The content a stored copy of the sandbox's x64 installation has.
std::string stored(const std::wstring& name) {
    return name.starts_with(L"_PB_") ? sandboxContent(L"PB", name.substr(4))
                                     : sandboxContent(L"x64", name);
}

// What a switch decides: the active libraries, the record and the four toggles.
std::string outcome(const ToolSession& session) {
    std::string pressed;
    for (C id : {C::btnMD, C::btnMT, C::btnPB, C::btnPngJpeg}) {
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
    // A step: a click, or for cmbUcrtVersion the choice of an item.
    const struct {
        C id;
        int item;
        std::wstring runtime, images;
        std::string record, pressed;
    } steps[] = {
        {C::btnMD, 0, L"_MD_17_msvcrt.lib", L"_UC_", "17,0,2,0", "1000"},
        {C::btnPngJpeg, 0, L"_MD_17_msvcrt.lib", L"_UC_", "17,0,2,0", "1001"}, // only under /MT
        {C::cmbUcrtVersion, 1, L"_MD_17_msvcrt.lib", L"_UC_", "17,0,2,0", "0001"},
        {C::btnMT, 0, L"_MT_16_msvcrt.lib", L"_UC_", "16,0,3,0", "0100"},
        {C::btnPngJpeg, 0, L"_MT_16_msvcrt.lib", L"_PB_", "16,0,3,1", "0101"},
        {C::cmbUcrtVersion, 0, L"_MT_16_msvcrt.lib", L"_PB_", "16,0,3,1", "0001"},
        {C::cmbUcrtVersion, 1, L"_MT_16_msvcrt.lib", L"_PB_", "16,0,3,1", "0101"},
        {C::chkDebug, 0, L"_MT_16_msvcrt.lib", L"_PB_", "16,0,3,1", "0001"},
        {C::btnMT, 0, L"_MTd_msvcrt.lib", L"_UC_", "16,1,3,0", "0100"}, // no version-16 debug copy
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(step.id == C::cmbUcrtVersion ? window.select(step.id, step.item)
                                                 : window.click(step.id));
        EXPECT_EQ(outcome(session), expected(step.runtime, step.images, step.record, step.pressed))
            << "after control " << static_cast<int>(step.id);
    }
    EXPECT_EQ(window.text(C::btnMD) + window.text(C::btnMT), L"/MDd\r\n(dynamic)/MTd\r\n(static)");

    // The two small buttons change no file. The prefix's https handler becomes
    // a command that writes the address it gets; Wine's own is put back.
    const auto handle = [](const std::wstring& command) {
        return ::RegSetKeyValueW(HKEY_LOCAL_MACHINE,
                                 L"Software\\Classes\\https\\shell\\open\\command", nullptr, REG_SZ,
                                 command.c_str(),
                                 static_cast<DWORD>((command.size() + 1) * 2)) == ERROR_SUCCESS;
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
    waitUntil([&] { return screenPixel(coffee, 22, 11) == opaque; }, 5s);
    EXPECT_EQ(screenPixel(coffee, 7 + 15, 15 - 4), opaque) << "opaque: the badge's colour";
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
    EXPECT_EQ(window.state(C::cmbUcrtVersion), 1);
    EXPECT_EQ(window.state(C::chkDebug), BST_CHECKED);
    EXPECT_EQ(window.text(C::btnMD) + window.text(C::btnMT), L"/MDd\r\n(dynamic)/MTd\r\n(static)");
    EXPECT_EQ(outcome(session), expected(L"_MTd_msvcrt.lib", L"_UC_", "16,1,3,0", "0100"));
    EXPECT_FALSE(::IsWindowVisible(window.control(C::btnPngJpeg)))
        << "an exe target and a png/jpeg flag of 0";
    ASSERT_TRUE(window.click(C::chkDebug) && window.click(C::btnMD));
    EXPECT_EQ(outcome(session), expected(L"_MD_msvcrt.lib", L"_UC_", "16,0,2,0", "1000"));
    ASSERT_TRUE(window.click(C::btnPB));
    EXPECT_EQ(outcome(session), expected(L"_PB_msvcrt.lib", L"_PB_", "0,0,1,0", "0010"));

    // The active button copies nothing; with AutoClose a new choice ends the tool.
    ASSERT_TRUE(window.click(C::chkAutoClose));
    EXPECT_EQ(session.settings(), settingsFile("1"));
    ASSERT_TRUE(writeBytes(session.sandbox.libraryDirectory() + L"msvcrt.lib", "by hand"));
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
    EXPECT_EQ(outcome(session).substr(outcome(session).size() - 4), "0000");
    EXPECT_EQ(session.close(), 0u);
}

} // namespace
} // namespace tarvex::e2e
