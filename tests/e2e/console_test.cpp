// TarvexC.exe on a sandbox as a build server runs it: each command's exit code,
// what it prints and the bytes it leaves, and a window started afterwards.
#include <gtest/gtest.h>

#include "driver.h"

namespace tarvex::e2e {
namespace {

struct ConsoleRun {
    DWORD code = 99;
    std::string out, err;
};

// Runs TarvexC with its output in two files, as a script redirects it. Each
// run has files of its own: a service that Wine starts with the first program
// of a prefix inherits that program's handles and keeps its files open.
ConsoleRun runConsole(const Sandbox& sandbox, const std::wstring& arguments) {
    static int runs = 0;
    const std::wstring name = sandbox.root() + std::to_wstring(++runs);
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    ConsoleRun run;
    {
        UniqueKernelHandle files[2];
        for (const int i : {0, 1}) {
            files[i].reset(::CreateFileW((name + (i ? L".err" : L".out")).c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = files[0].get();
        startup.hStdError = files[1].get();
        std::wstring line = L"\"" + sandbox.toolDirectory() + L"TarvexC.exe\" " + arguments;
        PROCESS_INFORMATION info{};
        if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                              nullptr, nullptr, &startup, &info)) {
            return run;
        }
        const UniqueKernelHandle process(info.hProcess), thread(info.hThread);
        if (::WaitForSingleObject(process.get(), 60000) == WAIT_OBJECT_0) {
            ::GetExitCodeProcess(process.get(), &run.code);
        }
    }
    return {run.code, readBytes(name + L".out"), readBytes(name + L".err")};
}

bool says(const std::string& output, const std::string& text) {
    return output.find(text) != std::string::npos;
}

TEST(Console, ABuildServerInitialisesBuildsSwitchesAndChecksByExitCode) {
    ToolSession session;
    const Sandbox& sandbox = session.sandbox;
    const std::wstring compiler = L"--compiler \"" + sandbox.compilerPath() + L"\" ";
    const std::wstring built = sandbox.architectureDirectory(Bitness::X64) + L"_MT_17_msvcrt.lib";
    ASSERT_TRUE(writeBytes(built, "x64 MT 17"));

    ConsoleRun run = runConsole(sandbox, L"status");
    EXPECT_EQ(run.code, 1u) << "no compiler";
    EXPECT_TRUE(says(run.err, "No compiler: give --compiler PATH")) << run.err;
    run = runConsole(sandbox, compiler + L"use mt");
    EXPECT_EQ(run.code, 4u) << "PB's libraries are not kept yet";
    EXPECT_TRUE(says(run.err, "Run 'TarvexC init'")) << run.err;

    run = runConsole(sandbox, compiler + L"init");
    EXPECT_EQ(run.code, 0u) << run.err;
    for (const wchar_t* name : kActive) {
        EXPECT_EQ(session.library(std::wstring(L"_PB_") + name), sandboxContent(L"PB", name));
    }
    EXPECT_EQ(session.library(L"_UC_libpng.lib"), sandboxContent(L"x64", L"_UC_libpng.lib"));
    run = runConsole(sandbox, compiler + L"status");
    EXPECT_TRUE(says(run.out, "(x64)\r\nLibrary folder: ") &&
                says(run.out, "msvcrt.lib: equals _PB_msvcrt.lib\r\n") &&
                says(run.out, "Recorded choice: PB (dynamic)\r\n") &&
                says(run.out, "VS 2022, 17; VS 2019, 16\r\n"))
        << run.out;

    run = runConsole(sandbox, compiler + L"use mt --vs 15");
    EXPECT_EQ(run.code, 2u);
    EXPECT_TRUE(says(run.err, "not stored /MT with VS 15 for this compiler. Stored: PB; /MD (VS "
                              "17, generic); /MT (VS 16, VS 17, generic)"))
        << run.err;
    run = runConsole(sandbox, compiler + L"use mt --vs 17");
    EXPECT_EQ(run.code, 0u) << run.err;
    EXPECT_TRUE(says(run.out, "Copied _MT_17_msvcrt.lib over msvcrt.lib")) << run.out;
    EXPECT_EQ(session.library(L"msvcrt.lib"), "x64 MT 17");
    EXPECT_EQ(session.library(L"Tarvex.cfg"), stateFile("17,0,3,0"));

    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    EXPECT_EQ(std::tuple(window.state(Control::btnMT), window.text(Control::cmbUcrtVersion)),
              std::tuple(1, std::wstring(L" VS 2022, 17")));
    EXPECT_EQ(runConsole(sandbox, compiler + L"status").code, 8u) << "one Tarvex at a time";
    EXPECT_EQ(session.close(), 0u);

    // One verdict for several files, and its exit code.
    const std::wstring data = fs::path(TARVEX_COFF_TEST_DATA).make_preferred().wstring() + L"\\";
    const std::tuple<std::wstring, DWORD, std::string> checks[] = {
        {L"mt_x64.lib\" \"" + data + L"import_x64.lib", 0,
         "Choice: /MT (static, release) with VS 2022 (TarvexC use mt --vs 17)."},
        {L"mixed_x64.lib", 6, "mixes C runtimes (objects: 1 /MD, 1 /MT)"},
        {L"mt_x64.lib\" \"" + data + L"bigobj_x64.obj", 6, "need different C runtimes (/MT, /MDd)"},
        {L"gone.obj", 7, "'gone.obj' cannot be opened.\r\n"}};
    for (const auto& [files, code, text] : checks) {
        run = runConsole(sandbox, compiler + L"check \"" + data + files + L"\"");
        EXPECT_TRUE(run.code == code && says(run.out, text)) << run.code << run.out;
    }

    const std::wstring vcvarsall = addStandInVisualStudio(sandbox) + L"vcvarsall.bat";
    run = runConsole(sandbox, compiler + L"build --vcvarsall \"" + vcvarsall + L"\"");
    EXPECT_EQ(run.code, 0u) << run.err;
    EXPECT_TRUE(says(run.out, "Took _MD_17_msvcrt.lib\r\n")) << run.out;
    EXPECT_EQ(session.library(L"msvcrt.lib"), readBytes(built)) << "the rebuilt active runtime";

    // Where Windows refuses to replace a file (read-only, or held by another
    // program) the copy error is printed; Wine run as root ignores file modes,
    // so the library is held open without delete sharing.
    const UniqueKernelHandle held(
        ::CreateFileW((sandbox.libraryDirectory() + L"msvcrt.lib").c_str(), GENERIC_READ,
                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    run = runConsole(sandbox, compiler + L"use pb");
    EXPECT_EQ(run.code, 3u);
    EXPECT_TRUE(
        says(run.err, "Error copying from:") &&
        says(run.err, "The active libraries now:\r\n  msvcrt.lib: equals _MT_17_msvcrt.lib"))
        << run.err;
}

} // namespace
} // namespace tarvex::e2e
