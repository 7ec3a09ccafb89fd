// scripts/bench: a runtime switch in the real Tarvex.exe against the bare
// CopyFileW calls it makes, on a variant set of about 50 MB. Usage:
// tarvex_switch_bench [ROUNDS], at least 10 rounds (default 10), each a click
// on btnMD and one on btnPB. A third series adds to the bare copies the one
// flushed rewrite of a small file that a click makes, through Tarvex's own
// file service: on Linux file systems that flush also waits for the copied
// bytes to reach the disk, which Windows does not. The copies and that flush
// are the floor of a durable switch, and the target is set against them: a
// click also copies each library beside the active one and renames it over,
// and reads the sizes and write times of the active libraries.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "bench_figures.h"
#include "core/control_view.h"
#include "driver.h"
#include "platform/win32/win32_byte_file.h"

using namespace tarvex;
using namespace tarvex::e2e;
using namespace tarvex::bench;

namespace {

constexpr int kMinimumRounds = 10;
constexpr std::size_t kCopyBytes = 50 * 1000 * 1000 / 3; // three libraries per switch
// Against the bare copies with the one flushed rewrite of the state file.
constexpr double kSwitchTarget = 1.10;

using CopyList = std::vector<std::pair<std::wstring, std::wstring>>;

// Stored copies big enough that copying dominates, each with its own bytes;
// PB's are active, as after a first start.
void writeLargeCopies(const Sandbox& sandbox) {
    const std::wstring& library = sandbox.libraryDirectory();
    char fill = 'a';
    for (const wchar_t* name : {L"_PB_msvcrt.lib", L"_PB_libpng.lib", L"_PB_libjpeg.lib",
                                L"_UC_libpng.lib", L"_UC_libjpeg.lib", L"_MD_17_msvcrt.lib"}) {
        if (!writeBytes(library + name, std::string(kCopyBytes, fill++))) {
            throw std::runtime_error("cannot write the stored copies");
        }
    }
    for (const wchar_t* name : kActive) {
        const std::wstring active = library + name;
        if (!::CopyFileW((library + L"_PB_" + name).c_str(), active.c_str(), FALSE)) {
            throw std::runtime_error("cannot make PB's copies active");
        }
    }
}

CopyList copiesOf(const Sandbox& sandbox, std::initializer_list<const wchar_t*> stored,
                  std::size_t prefixLength) {
    CopyList copies;
    for (const wchar_t* name : stored) {
        std::wstring active = std::wstring(name).substr(prefixLength);
        if (active.starts_with(L"17_")) {
            active.erase(0, 3);
        }
        copies.emplace_back(sandbox.libraryDirectory() + name, sandbox.libraryDirectory() + active);
    }
    return copies;
}

double timeBareCopies(const CopyList& copies) {
    const auto begin = Clock::now();
    for (const auto& [source, target] : copies) {
        if (!::CopyFileW(source.c_str(), target.c_str(), FALSE)) {
            throw std::runtime_error("a bare copy failed");
        }
    }
    return millisecondsSince(begin);
}

// Reads and durably rewrites a small file, as a click does with the state file.
double timeFlushedRewrite(const std::wstring& path) {
    Win32ByteFileService files;
    const auto begin = Clock::now();
    const auto file = files.openForUpdate(path);
    std::string bytes;
    if (!file || !file->readAll(bytes) || !file->replaceAll(bytes)) {
        throw std::runtime_error("the small file could not be rewritten");
    }
    return millisecondsSince(begin);
}

// The click returns once the handler, copies included, has finished.
double timeClick(HWND window, Control button) {
    HWND control = ::GetDlgItem(window, static_cast<int>(button));
    DWORD_PTR result = 0;
    const auto begin = Clock::now();
    if (!::SendMessageTimeoutW(control, BM_CLICK, 0, 0, SMTO_NORMAL, 120000, &result)) {
        throw std::runtime_error("the click did not finish");
    }
    return millisecondsSince(begin);
}

void requireActive(const Sandbox& sandbox, const wchar_t* stored) {
    const std::string bytes = readBytes(sandbox.libraryDirectory() + L"msvcrt.lib");
    const std::string expected = readBytes(sandbox.libraryDirectory() + stored);
    if (bytes != expected) {
        throw std::runtime_error("msvcrt.lib is not the expected stored copy");
    }
}

bool benchSwitch(int rounds) {
    Sandbox sandbox;
    writeLargeCopies(sandbox);
    const CopyList dynamicUcrt =
        copiesOf(sandbox, {L"_UC_libpng.lib", L"_UC_libjpeg.lib", L"_MD_17_msvcrt.lib"}, 4);
    const CopyList pbCrt =
        copiesOf(sandbox, {L"_PB_msvcrt.lib", L"_PB_libpng.lib", L"_PB_libjpeg.lib"}, 4);

    ToolProcess tool;
    if (!tool.start(sandbox.toolExecutable(), sandbox.ideEnvironment())) {
        std::printf("cannot start Tarvex.exe\n");
        return false;
    }
    HWND window = tool.waitForMainWindow();
    if (!window) {
        std::printf("Tarvex.exe showed no window\n");
        return false;
    }
    timeClick(window, Control::btnMD); // warm the file cache
    timeClick(window, Control::btnPB);

    const std::wstring smallFile = sandbox.libraryDirectory() + L"bench-state.ini";
    if (!writeBytes(smallFile, "[Tarvex]\r\nSelection=MD\r\n")) {
        throw std::runtime_error("cannot write the small file");
    }
    std::vector<double> clicks, bare, flushed;
    for (int round = 0; round < rounds; ++round) {
        const double md = timeClick(window, Control::btnMD);
        requireActive(sandbox, L"_MD_17_msvcrt.lib");
        const double pb = timeClick(window, Control::btnPB);
        requireActive(sandbox, L"_PB_msvcrt.lib");
        clicks.push_back(md + pb);
        bare.push_back(timeBareCopies(dynamicUcrt) + timeBareCopies(pbCrt));
        flushed.push_back(timeBareCopies(dynamicUcrt) + timeFlushedRewrite(smallFile) +
                          timeBareCopies(pbCrt) + timeFlushedRewrite(smallFile));
    }
    closeWindow(tool, window);

    std::printf("switch /MD then PB's CRT, %d rounds, about 50 MB copied per switch:\n", rounds);
    const Figures tarvex = figuresOf(clicks);
    const Figures baseline = figuresOf(bare);
    printFigures("Tarvex.exe clicks", tarvex);
    printFigures("bare CopyFileW calls", baseline);
    const Figures withFlush = figuresOf(flushed);
    printFigures("copies + flushed write", withFlush);
    printRatio("ratio Tarvex/flushed", tarvex.median / withFlush.median, kSwitchTarget);
    std::printf("  %-22s %.2f (the copies and the flush alone: %.2f of the bare copies)\n",
                "ratio Tarvex/bare", tarvex.median / baseline.median,
                withFlush.median / baseline.median);
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const long rounds = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : kMinimumRounds;
    if (rounds < kMinimumRounds || rounds > 1000) {
        std::printf("usage: tarvex_switch_bench [ROUNDS >= %d]\n", kMinimumRounds);
        return 2;
    }
    try {
        return benchSwitch(static_cast<int>(rounds)) ? 0 : 1;
    } catch (const std::exception& error) {
        std::printf("bench failed: %s\n", error.what());
        return 1;
    }
}
