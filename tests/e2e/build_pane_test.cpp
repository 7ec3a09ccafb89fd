#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <thread>

#include "platform/win32/win32_program_launcher.h"
#include "stand_in_vs.h"
#include "tool_steps.h"

namespace tarvex::e2e {
namespace {

using C = Control;

const std::string kSettings = "\xEF\xBB\xBF\r\n[Settings]\r\nAutoClose = 0\r\n[VSver]\r\nVS 2022 = "
                              "17\r\nVS 2019 = 16\r\nVS 2017 = 15\r\nVS 2015 = 14\r\n";
const std::wstring kPrompt = L"x64 Native Tools Command Prompt for VS 2022";

std::string ascii(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        out += static_cast<char>(c);
    }
    return out;
}

std::string link(const std::wstring& name, const std::wstring& folder) {
    return ascii(name + L" = " + folder + L"vcvarsall.bat\r\n");
}

bool waitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// chkBuildPane's state; -1 while the tool is busy (a build blocks it).
int paneState(const WindowDriver& window) {
    DWORD_PTR state = 0;
    return ::SendMessageTimeoutW(window.control(C::chkBuildPane), BM_GETCHECK, 0, 0, SMTO_NORMAL,
                                 100, &state)
               ? static_cast<int>(state)
               : -1;
}

// The tool handles its events in order, so once a click posted after a drop
// or a Build has been handled, so has that. The pane is shown again after.
bool settle(const WindowDriver& window, int shown) {
    window.postClick(C::chkBuildPane);
    const int hidden = shown == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    return waitFor([&] { return paneState(window) == hidden; }) &&
           (shown != BST_CHECKED || window.click(C::chkBuildPane));
}

TEST(BuildPane, DroppedNativeToolsPromptsAreStoredAndOtherFilesRefused) {
    ::OleInitialize(nullptr);
    ToolSession session;
    const std::wstring tools = addStandInVisualStudio(session.sandbox);
    const std::wstring menu = session.sandbox.root() + L"Menu\\";
    ::CreateDirectoryW(menu.c_str(), nullptr);
    const auto shortcut = [&](const std::wstring& name, const std::wstring& folder) {
        EXPECT_TRUE(saveShortcut(menu + name + L".lnk", L"/k \"" + folder + L"vcvars64.bat\""));
        return menu + name + L".lnk";
    };
    const std::wstring x64 = shortcut(kPrompt, tools);
    const std::wstring x86 = shortcut(L"x86 Native Tools Command Prompt for VS 2022", tools);
    const std::wstring developer = shortcut(L"Developer Command Prompt for VS 2022", tools);
    const std::wstring broken = menu + L"x64 Native Tools Broken.lnk";
    const std::wstring notes = menu + L"notes.txt";
    ASSERT_TRUE(writeBytes(broken, "no shortcut") && writeBytes(notes, "notes"));
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    const std::wstring settings = session.sandbox.toolDirectory() + L"Tarvex.ini";

    EXPECT_EQ(dragFiles(window.handle(), {x64}, DROPEFFECT_COPY), DROPEFFECT_NONE);
    struct Step {
        std::vector<std::wstring> dropped;
        std::string links; // the [VSlink] group afterwards
    };
    const std::string x86Line = link(L"x86 Native Tools Command Prompt for VS 2022", tools);
    const std::vector<Step> steps{
        {{x64}, link(kPrompt, tools)},
        {{x86}, link(kPrompt, tools) + x86Line}, // stored, listed only for x86 compilers
        {{developer}, link(kPrompt, tools) + x86Line},
        {{broken}, link(kPrompt, tools) + x86Line},
        {{notes, x64}, link(kPrompt, tools) + x86Line}, // one text, no shortcut
        {{x64}, link(kPrompt, L"D:\\VS\\") + x86Line},  // the same name: replaced in place
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(ascii(step.dropped.back()));
        if (&step == &steps.back()) { // dropped on the shown pane
            ASSERT_TRUE(saveShortcut(x64, L"/k \"D:\\VS\\vcvars64.bat\"") &&
                        window.click(C::chkBuildPane));
        }
        EXPECT_EQ(dragFiles(window.handle(), step.dropped, DROPEFFECT_COPY | DROPEFFECT_LINK),
                  DROPEFFECT_LINK);
        ASSERT_TRUE(settle(window, window.state(C::chkBuildPane)));
        EXPECT_EQ(readBytes(settings), kSettings + "[VSlink]\r\n" + step.links);
        EXPECT_EQ(window.items(C::cmbVsVersion), std::vector<std::wstring>{L" " + kPrompt});
    }

    EXPECT_EQ(dragFiles(window.handle(), {notes}, DROPEFFECT_LINK), DROPEFFECT_LINK);
    const HWND box = session.tool->waitForMessageBox();
    ASSERT_TRUE(box);
    const MessageBoxView shown = readMessageBox(box);
    EXPECT_EQ(shown.title, L"Tarvex - x64");
    EXPECT_EQ(shown.text, L"Not a valid file...");
    EXPECT_EQ(shown.buttons, std::vector<int>{IDOK});
    answer(box, IDOK);
    EXPECT_EQ(session.close(), 0u);
}

// The librarian's inputs of each variant: two Visual C++ libraries and the
// SDK's UCRT; legacy_stdio_definitions.lib comes last.
struct Variant {
    const wchar_t* output;
    std::array<const wchar_t*, 3> inputs;
};
const std::array<Variant, 4> kVariants{{
    {L"_MD_17_msvcrt.lib", {L"msvcrt.lib", L"vcruntime.lib", L"ucrt.lib"}},
    {L"_MT_17_msvcrt.lib", {L"libcmt.lib", L"libvcruntime.lib", L"libucrt.lib"}},
    {L"_MDd_17_msvcrt.lib", {L"msvcrtd.lib", L"vcruntimed.lib", L"ucrtd.lib"}},
    {L"_MTd_17_msvcrt.lib", {L"libcmtd.lib", L"libvcruntimed.lib", L"libucrtd.lib"}},
}};

std::string built(const Variant& variant, const std::wstring& sdk) {
    return sandboxContent(L"VC x64", variant.inputs[0]) +
           sandboxContent(L"VC x64", variant.inputs[1]) +
           sandboxContent(L"SDK " + sdk + L" x64", variant.inputs[2]) +
           sandboxContent(L"VC x64", L"legacy_stdio_definitions.lib");
}

// The architecture folder's results in the order the tool's listing sees them.
std::vector<std::wstring> listed(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry{};
    const UniqueFindHandle search(::FindFirstFileW((folder + L"_*msvcrt.lib").c_str(), &entry));
    for (bool more = search.get() != INVALID_HANDLE_VALUE; more;
         more = ::FindNextFileW(search.get(), &entry)) {
        names.emplace_back(entry.cFileName);
    }
    return names;
}

TEST(BuildPane, BuildRunsVcvarsallAndTheBuildScriptAndTakesTheirLibrariesIn) {
    ::SetEnvironmentVariableW(L"TARVEX_NO_PAUSE", L"1");
    ToolSession session;
    const Sandbox& sandbox = session.sandbox;
    const std::wstring tools = addStandInVisualStudio(sandbox);
    const std::wstring library = sandbox.libraryDirectory();
    const std::wstring results = sandbox.architectureDirectory(Bitness::X64);
    ASSERT_TRUE(session.start().handle());
    ASSERT_EQ(session.close(), 0u);
    ASSERT_TRUE(writeBytes(sandbox.toolDirectory() + L"Tarvex.ini",
                           kSettings + "[VSlink]\r\n" + link(kPrompt, tools)));
    ASSERT_TRUE(::DeleteFileW((library + L"_MD_17_msvcrt.lib").c_str()));
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    EXPECT_EQ(window.items(C::cmbUcrtVersion), std::vector<std::wstring>{L" VS 2019, 16"});
    ASSERT_TRUE(window.click(C::chkBuildPane));
    const auto build = [&](const std::wstring& sdk) {
        ::SendMessageW(window.control(C::edtSdkVersion), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(sdk.c_str()));
        window.postClick(C::btnBuild);
        return settle(window, BST_CHECKED);
    };

    ASSERT_TRUE(build(L""));
    for (const Variant& variant : kVariants) {
        EXPECT_EQ(session.library(variant.output), built(variant, L"10.0.22621.0"));
    }
    EXPECT_EQ(window.items(C::cmbUcrtVersion),
              (std::vector<std::wstring>{L" VS 2022, 17", L" VS 2019, 16"}));
    ASSERT_TRUE(window.select(C::cmbUcrtVersion, 0) && window.click(C::btnMD));
    EXPECT_EQ(session.library(L"msvcrt.lib"), built(kVariants[0], L"10.0.22621.0"));

    // Without the debug libraries two variants are built (exit code 2).
    for (const wchar_t* name : {L"msvcrtd.lib", L"vcruntimed.lib", L"libcmtd.lib"}) {
        ASSERT_TRUE(::DeleteFileW((tools + L"lib\\x64\\" + name).c_str()));
    }
    ASSERT_TRUE(build(L"10.0.19041.0"));
    EXPECT_EQ(session.library(L"_MT_17_msvcrt.lib"), built(kVariants[1], L"10.0.19041.0"));
    EXPECT_EQ(session.library(L"_MDd_17_msvcrt.lib"), built(kVariants[2], L"10.0.22621.0"));
    EXPECT_FALSE(pathExists(results + L"_MDd_17_msvcrt.lib"));

    // Nothing is taken, and nothing said, for the build script's exit codes 5
    // (no _PB_msvcrt.lib), 0 (no variant buildable) and 8 (no architecture
    // folder), and for an SDK vcvarsall.bat does not know: on Windows its exit
    // code 1 and no folder to list; Wine's cmd runs the script after it anyway,
    // which ends with 7 (no LIB).
    ASSERT_TRUE(writeBytes(results + L"_MD_16_msvcrt.lib", "left from an earlier build"));
    const std::wstring pbCrt = library + L"_PB_msvcrt.lib";
    const std::wstring away = sandbox.toolDirectory() + L"away";
    const std::vector<std::pair<std::function<bool()>, std::wstring>> nothingTaken{
        {[&] { return ::MoveFileW(pbCrt.c_str(), (pbCrt + L"-").c_str()); }, L""},
        {[&] {
             return ::MoveFileW((pbCrt + L"-").c_str(), pbCrt.c_str()) &&
                    ::DeleteFileW((tools + L"lib\\x64\\msvcrt.lib").c_str()) &&
                    ::DeleteFileW((tools + L"lib\\x64\\libcmt.lib").c_str());
         },
         L""},
        {[&] { return ::MoveFileW(results.c_str(), away.c_str()); }, L""},
        {[] { return true; }, L"10.0.1"},
    };
    for (const auto& [arrange, sdk] : nothingTaken) {
        ASSERT_TRUE(arrange());
        const auto before = snapshot(library);
        ASSERT_TRUE(build(sdk));
        EXPECT_EQ(snapshot(library), before);
        EXPECT_FALSE(session.tool->waitForMessageBox(0ms));
    }
    const std::string seen = "[x64][]\r\n[x64][10.0.19041.0]\r\n[x64][]\r\n[x64][]\r\n[x64][]"
                             "\r\n[x64][10.0.1]\r\n";
    EXPECT_EQ(readBytes(tools + L"seen.txt"), seen);

    // An SDK text the command interpreter would act on starts nothing.
    ::SendMessageW(window.control(C::edtSdkVersion), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(L"10.0&calc"));
    window.postClick(C::btnBuild);
    HWND box = session.tool->waitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(readMessageBox(box).text,
              L"The SDK version must not contain & | < > ^ \" % ! or control characters.");
    EXPECT_EQ(readMessageBox(box).title, L"Tarvex - x64");
    answer(box, IDOK);
    ASSERT_TRUE(settle(window, BST_CHECKED));
    EXPECT_EQ(readBytes(tools + L"seen.txt"), seen);

    // A failed copy: the copy error box, then the end; earlier copies stay.
    ASSERT_TRUE(::MoveFileW(away.c_str(), results.c_str()));
    ASSERT_FALSE(addStandInVisualStudio(sandbox).empty());
    const std::wstring blocked = L"_MT_17_msvcrt.lib";
    ASSERT_TRUE(::DeleteFileW((library + blocked).c_str()) &&
                ::CreateDirectoryW((library + blocked).c_str(), nullptr));
    const auto before = snapshot(library);
    ::SendMessageW(window.control(C::edtSdkVersion), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    window.postClick(C::btnBuild);
    box = session.tool->waitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(readMessageBox(box).text, copyErrorText(results + blocked, library + blocked));
    answer(box, IDOK);
    EXPECT_EQ(session.tool->waitForExit(), 0u);
    bool copied = true;
    for (const std::wstring& name : listed(results)) {
        copied = copied && name != blocked;
        const auto old = before.find(name);
        EXPECT_EQ(readBytes(library + name), copied                ? readBytes(results + name)
                                             : old == before.end() ? ""
                                                                   : old->second)
            << ascii(name);
    }
}

TEST(StartProgram, QuotedUnquotedAndShellStartsReportTheExitCodeAndReleaseTheProcess) {
    const testing::TempDirectory folder(L"tarvex start ");
    const std::wstring lib = folder.path() + L"\\stand in lib.exe";
    const std::wstring output = folder.path() + L"\\out.lib";
    ASSERT_TRUE(
        ::CopyFileW((buildDirectory() + L"tarvex_stand_in_lib.exe").c_str(), lib.c_str(), TRUE) &&
        writeBytes(folder.path() + L"\\exit seven.bat", "@exit /b 7\r\n"));
    struct Case {
        std::wstring program, parameters;
        std::uint32_t exitCode;
        std::wstring workingDirectory; // the shell finds a bare name there
        bool byShell;
    };
    const std::vector<Case> cases{
        {L"\"" + lib + L"\" /OUT:x.lib missing.lib", L"", 1181, L"", false},
        {lib, L"\"/OUT:" + output + L"\"", 0, L"", false},
        {L"exit seven.bat", L"", 7, folder.path(), true},
    };
    Win32ProgramLauncher launcher;
    DWORD handles = 0;
    DWORD handlesAfter = 0;
    ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &handles));
    for (const Case& run : cases) {
        SCOPED_TRACE(ascii(run.program));
        StartedProgram started =
            launcher.startProgram(run.program, run.parameters, run.workingDirectory,
                                  {.waitForExit = true, .keepHandle = true});
        ASSERT_TRUE(started.started && started.handle);
        EXPECT_EQ(started.handle->processId() == -1, run.byShell);
        EXPECT_EQ(exitCodeOf(std::move(started.handle)), run.exitCode);
    }
    ::GetProcessHandleCount(::GetCurrentProcess(), &handlesAfter);
    EXPECT_EQ(handlesAfter, handles);
    EXPECT_TRUE(pathExists(output));
    EXPECT_FALSE(launcher.startProgram(folder.path() + L"\\missing.exe", L"", L"", {}).started);
    const StartedProgram unkept =
        launcher.startProgram(lib, L"/OUT:x.lib", folder.path(), {.waitForExit = true});
    EXPECT_TRUE(unkept.started && !unkept.handle);
}

} // namespace
} // namespace tarvex::e2e
