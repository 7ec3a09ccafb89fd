#include <gtest/gtest.h>

#include "tool_steps.h"

namespace tarvex::e2e {
namespace {

using C = Control;

struct ControlRow {
    C id;
    const wchar_t* windowClass;
    int x, y, width, height;
    const wchar_t* text;
    LONG style; // the bits of kStyleBits that must be set; the others must not
};

const LONG kCheckBox = BS_AUTOCHECKBOX;
const LONG kToggle = BS_AUTOCHECKBOX | BS_PUSHLIKE;

const std::vector<ControlRow> kControls{
    {C::btnCopyDirectives, L"Button", 19, 39, 13, 13, L"", BS_PUSHBUTTON},
    {C::btnMD, L"Button", 15, 35, 115, 44, L"/MD\r\n(dynamic)",
     kToggle | BS_MULTILINE | WS_CLIPSIBLINGS},
    {C::btnPngJpeg, L"Button", 139, 39, 13, 13, L"", kToggle},
    {C::btnMT, L"Button", 135, 35, 115, 44, L"/MT\r\n(static)",
     kToggle | BS_MULTILINE | WS_CLIPSIBLINGS},
    {C::cmbUcrtVersion, L"ComboBox", 255, 36, 115, 21, L" VS 2022, 17", CBS_DROPDOWNLIST},
    {C::chkDebug, L"Button", 255, 61, 115, 20, L"Dbg (MDd/MTd)", kCheckBox},
    {C::frmUcrt, L"Button", 5, 9, 375, 80, L"UCRT  (C Backend)", BS_GROUPBOX},
    {C::btnPB, L"Button", 395, 35, 115, 44, L"PB\r\n(dynamic)", kToggle | BS_MULTILINE},
    {C::frmCrt, L"Button", 385, 9, 135, 80, L"CRT  (ASM/C Backend)", BS_GROUPBOX},
    {C::txtStatus, L"Static", 5, 93, 375, 20, L"", SS_NOPREFIX | SS_CENTERIMAGE},
    {C::chkBuildPane, L"Button", 390, 93, 55, 20, L"Build", kCheckBox},
    {C::chkAutoClose, L"Button", 447, 93, 75, 20, L"AutoClose", kCheckBox},
    {C::edtSdkVersion, L"Edit", 15, 156, 80, 20, L"", 0},
    {C::cmbVsVersion, L"ComboBox", 100, 155, 280, 21, L"", CBS_DROPDOWNLIST},
    {C::btnBuild, L"Button", 385, 154, 55, 23, L"Build", BS_PUSHBUTTON},
    {C::frmBuild, L"Button", 5, 130, 445, 57,
     L"Build UCRT Library  (drop 'Native Tools Command Prompt')", BS_GROUPBOX},
    {C::btnCoffee, L"Button", 465, 154, 45, 23, L"", BS_PUSHBUTTON | BS_BITMAP},
    {C::frmCoffee, L"Button", 455, 130, 65, 57, L"Coffee", BS_GROUPBOX},
};

std::string settingsFile(int autoClose) {
    return "\xEF\xBB\xBF\r\n[Settings]\r\nAutoClose = " + std::to_string(autoClose) +
           "\r\n[VSver]\r\nVS 2022 = 17\r\nVS 2019 = 16\r\nVS 2017 = 15\r\nVS 2015 = 14\r\n";
}

LONG styleBits(const std::wstring& windowClass) {
    if (windowClass == L"Button") {
        return BS_TYPEMASK | BS_PUSHLIKE | BS_MULTILINE | BS_BITMAP | WS_CLIPSIBLINGS;
    }
    if (windowClass == L"Static") {
        return SS_NOPREFIX | SS_CENTERIMAGE;
    }
    return windowClass == L"ComboBox" ? CBS_DROPDOWNLIST : ES_MULTILINE;
}

bool outsideThePane(C id) {
    return id != C::edtSdkVersion && id != C::cmbVsVersion && id != C::btnBuild &&
           id != C::btnCoffee;
}

TEST(MainWindowLayout, EveryControlHasItsPlaceTextStyleAndStateAtStart) {
    ToolSession session;
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    SCOPED_TRACE(::testing::Message() << screenDpi() << " dpi");

    EXPECT_EQ(windowText(window.handle()), L"Tarvex - x64");
    const SIZE client = window.clientSize();
    EXPECT_EQ(client.cx, scaled(525));
    EXPECT_EQ(client.cy, scaled(115));
    RECT frame{};
    ::GetWindowRect(window.handle(), &frame);
    EXPECT_EQ(frame.left,
              std::max(0L, (::GetSystemMetrics(SM_CXSCREEN) - frame.right + frame.left) / 2));
    EXPECT_EQ(frame.top,
              std::max(0L, (::GetSystemMetrics(SM_CYSCREEN) - frame.bottom + frame.top) / 2));

    for (const auto& row : kControls) {
        SCOPED_TRACE(::testing::Message() << "control " << static_cast<int>(row.id));
        ASSERT_TRUE(window.control(row.id));
        EXPECT_EQ(::GetParent(window.control(row.id)), window.handle());
        EXPECT_EQ(className(window.control(row.id)), row.windowClass);
        EXPECT_EQ(window.text(row.id), row.text);
        EXPECT_EQ(window.style(row.id) & styleBits(row.windowClass), row.style);
        const RECT place = window.rect(row.id);
        EXPECT_EQ(place.left, scaled(row.x));
        EXPECT_EQ(place.top, scaled(row.y));
        EXPECT_EQ(place.right - place.left, scaled(row.width));
        // A closed drop-down list takes the height its font needs.
        if (std::wstring(row.windowClass) != L"ComboBox") {
            EXPECT_EQ(place.bottom - place.top, scaled(row.height));
        }
        EXPECT_EQ(window.visible(row.id), row.id != C::btnPngJpeg) << "the target is an exe";
        EXPECT_EQ(window.enabled(row.id), row.id != C::txtStatus && outsideThePane(row.id));
    }
    EXPECT_TRUE(::GetWindowLongW(window.control(C::edtSdkVersion), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(window.items(C::cmbUcrtVersion),
              (std::vector<std::wstring>{L" VS 2022, 17", L" VS 2019, 16"}));
    EXPECT_EQ(window.state(C::cmbUcrtVersion), 0);
    EXPECT_EQ(window.items(C::cmbVsVersion), std::vector<std::wstring>{});
    for (C id :
         {C::btnMD, C::btnMT, C::btnPngJpeg, C::chkDebug, C::chkBuildPane, C::chkAutoClose}) {
        EXPECT_EQ(window.state(id), BST_UNCHECKED) << static_cast<int>(id);
    }
    EXPECT_EQ(window.state(C::btnPB), BST_CHECKED) << "the fresh record names PB's CRT";
    EXPECT_EQ(session.close(), 0u);
}

TEST(MainWindowLayout, ADllTargetShowsThePngJpegToggleOverTheMtToggle) {
    ToolSession session;
    const WindowDriver window = session.start(L"Game.DLL");
    ASSERT_TRUE(window.handle());

    EXPECT_TRUE(window.visible(C::btnPngJpeg));
    EXPECT_EQ(window.state(C::btnPngJpeg), BST_UNCHECKED);
    const RECT place = window.rect(C::btnPngJpeg);
    EXPECT_EQ(place.left, scaled(139));
    EXPECT_EQ(place.top, scaled(39));
    // Created just before btnMT, so it lies above it in the sibling order.
    EXPECT_EQ(::GetWindow(window.control(C::btnPngJpeg), GW_HWNDNEXT), window.control(C::btnMT));
    EXPECT_EQ(::GetWindow(window.control(C::btnCopyDirectives), GW_HWNDNEXT),
              window.control(C::btnMD));
    EXPECT_EQ(session.close(), 0u);
}

TEST(MainWindowLayout, TheBuildPaneGrowsTheWindowDownwardsAndEnablesItsControls) {
    ToolSession session;
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    const POINT corner = window.position();
    const std::vector<C> pane{C::edtSdkVersion, C::cmbVsVersion, C::btnBuild, C::btnCoffee};

    for (const bool shown : {true, false}) {
        SCOPED_TRACE(shown ? "shown" : "hidden");
        ASSERT_TRUE(window.click(C::chkBuildPane));
        EXPECT_EQ(window.state(C::chkBuildPane), shown ? BST_CHECKED : BST_UNCHECKED);
        const SIZE client = window.clientSize();
        EXPECT_EQ(client.cx, scaled(525));
        EXPECT_EQ(client.cy, scaled(shown ? 191 : 115));
        const POINT now = window.position();
        EXPECT_EQ(now.x, corner.x);
        EXPECT_EQ(now.y, corner.y);
        for (C id : pane) {
            EXPECT_EQ(window.enabled(id), shown) << static_cast<int>(id);
        }
        EXPECT_TRUE(window.enabled(C::frmBuild));
        EXPECT_TRUE(window.enabled(C::frmCoffee));
    }
    EXPECT_EQ(readBytes(session.sandbox.toolDirectory() + L"Tarvex.ini"), settingsFile(0))
        << "the pane's state is not stored";
    EXPECT_EQ(session.close(), 0u);
}

TEST(MainWindowHover, TheStatusLineShowsTheHelpOfTheControlUnderThePointer) {
    ToolSession session;
    const WindowDriver window = session.start(L"Game.dll");
    ASSERT_TRUE(window.handle());
    ASSERT_TRUE(window.click(C::chkBuildPane));
    const std::vector<std::pair<C, std::wstring>> help{
        {C::btnMD, L" UCRT MultiThreaded, dynamic linking (VC++ Redist. prior Windows 10)"},
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
    };
    for (const auto& [id, text] : help) {
        EXPECT_EQ(window.hover(id, text), text) << static_cast<int>(id);
    }

    const RECT status = window.rect(C::txtStatus);
    const POINT overStatus{(status.left + status.right) / 2, (status.top + status.bottom) / 2};
    EXPECT_EQ(window.hoverAt(overStatus, L""), L"") << "a disabled control counts as the window";

    // The debug texts are chosen when the pointer enters the button.
    const std::wstring plainMd = help[0].second;
    EXPECT_EQ(window.hover(C::btnMD, plainMd), plainMd);
    ASSERT_TRUE(window.click(C::chkDebug));
    // Nothing to wait for when nothing changes: give the move a moment.
    EXPECT_EQ(window.hover(C::btnMD, L"", 300ms), plainMd) << "the pointer did not leave btnMD";
    EXPECT_EQ(
        window.hover(C::btnMT, L" UCRT MultiThreaded Debug, static linking (Not redistributable)"),
        L" UCRT MultiThreaded Debug, static linking (Not redistributable)");
    EXPECT_EQ(
        window.hover(C::btnMD, L" UCRT MultiThreaded Debug, dynamic linking (Not redistributable)"),
        L" UCRT MultiThreaded Debug, dynamic linking (Not redistributable)");
    EXPECT_EQ(window.hoverAt({scaled(2), scaled(2)}, L""), L"") << "no control at (2, 2)";
    EXPECT_EQ(session.close(), 0u);
}

TEST(MainWindowSettings, AutoCloseClicksAreWrittenAndReadBack) {
    ToolSession session;
    const std::wstring settings = session.sandbox.toolDirectory() + L"Tarvex.ini";
    WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    ASSERT_EQ(readBytes(settings), settingsFile(0));

    ASSERT_TRUE(window.click(C::chkAutoClose));
    EXPECT_EQ(readBytes(settings), settingsFile(1));
    EXPECT_EQ(session.close(), 0u);

    window = session.start();
    ASSERT_TRUE(window.handle());
    EXPECT_EQ(window.state(C::chkAutoClose), BST_CHECKED);
    ASSERT_TRUE(window.click(C::chkAutoClose));
    EXPECT_EQ(readBytes(settings), settingsFile(0));
    EXPECT_EQ(session.close(), 0u);
}

TEST(MainWindowSettings, AHandEditedLatin1SettingsFileKeepsItsLinesThroughAnAutoCloseClick) {
    ToolSession session;
    const std::wstring settings = session.sandbox.toolDirectory() + L"Tarvex.ini";
    ASSERT_TRUE(writeBytes(settings, "; Einstellungen f\xFCr Tarvex\n"
                                     "[Settings]\n"
                                     "  autoclose=0\n"
                                     "\n"
                                     "[VSver]   alte Liste\n"
                                     "VS 2022 = 17\n"
                                     "\tVS 2019=16\n"
                                     "VS 2026 = 18\n"
                                     ";Notiz: \xE4\xF6\xFC\n"
                                     "[Eigene Gruppe]\n"
                                     "Schl\xFCssel =  Wert = mit Zeichen  \n"));
    ASSERT_TRUE(writeBytes(
        session.sandbox.architectureDirectory(Bitness::X64) + L"_MD_18_msvcrt.lib", "version 18"));
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    EXPECT_EQ(window.items(C::cmbUcrtVersion),
              (std::vector<std::wstring>{L" VS 2026, 18", L" VS 2022, 17", L" VS 2019, 16"}));

    ASSERT_TRUE(window.click(C::chkAutoClose));

    EXPECT_EQ(readBytes(settings), "\xEF\xBB\xBF\r\n"
                                   "; Einstellungen f\xC3\xBCr Tarvex\r\n"
                                   "[Settings]\r\n"
                                   "AutoClose = 1\r\n"
                                   "[VSver]\r\n"
                                   "VS 2022 = 17\r\n"
                                   "VS 2019 = 16\r\n"
                                   "VS 2026 = 18\r\n"
                                   "; Notiz: \xC3\xA4\xC3\xB6\xC3\xBC\r\n"
                                   "[Eigene Gruppe]\r\n"
                                   "Schl\xC3\xBCssel = Wert = mit Zeichen  \r\n");
    EXPECT_EQ(session.close(), 0u);
}

TEST(MainWindowSettings, GarbledSettingsAndStateFilesStillOpenTheWindowAndStayAsTheyAre) {
    ToolSession session;
    ASSERT_TRUE(session.start().handle());
    ASSERT_EQ(session.close(), 0u);
    std::string binary;
    for (int byte = 0; byte < 4096; ++byte) {
        binary += static_cast<char>((byte * 37) & 0xFF);
    }
    const std::string pattern = "[VSver\nVS 2022 = 1\r\r;=\xFF\x01";
    std::string huge;
    while (huge.size() < 10u << 20) {
        huge += pattern;
    }
    const std::string longLine(100000, '7');
    const std::vector<std::pair<std::string, std::string>> files{
        {binary, binary},
        {huge, huge},
        {"[Settings]\r\nAutoClose = " + longLine + "\r\n[VSver]\r\nVS 2022 = " + longLine,
         "[Settings]\r\nlast = " + longLine + "," + longLine},
        {settingsFile(0), stateFile("abc,def,ghi,jkl")},
    };
    const std::wstring settings = session.sandbox.toolDirectory() + L"Tarvex.ini";
    const std::wstring state = session.sandbox.libraryDirectory() + L"Tarvex.cfg";
    for (const auto& [settingsBytes, stateBytes] : files) {
        SCOPED_TRACE(::testing::Message() << "settings of " << settingsBytes.size() << " bytes");
        ASSERT_TRUE(writeBytes(settings, settingsBytes));
        ASSERT_TRUE(writeBytes(state, stateBytes));
        const WindowDriver window = session.start();
        ASSERT_TRUE(window.handle());
        EXPECT_EQ(session.close(), 0u);
        EXPECT_EQ(readBytes(settings), settingsBytes) << "reading never rewrites";
        EXPECT_EQ(readBytes(state), stateBytes);
    }
    // The last record is made of letters: code 0 leaves every CRT toggle off.
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    EXPECT_EQ(window.items(C::cmbUcrtVersion).size(), 2u);
    for (C id : {C::btnMD, C::btnMT, C::btnPB}) {
        EXPECT_EQ(window.state(id), BST_UNCHECKED) << static_cast<int>(id);
    }
    EXPECT_EQ(session.close(), 0u);
}

} // namespace
} // namespace tarvex::e2e
