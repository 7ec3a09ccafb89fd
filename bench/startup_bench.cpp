// scripts/bench: how long the real Tarvex.exe takes to show its window next
// to a bare Win32 window, how the library store's preparation grows with the
// size of the library folder, and what telling the active libraries from the
// stored copies costs when only their bytes can tell. Usage:
// tarvex_startup_bench [STARTS], with STARTS (at least 10, default 10) timed
// starts of each program.
#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <exception>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "bench_figures.h"
#include "core/active_library.h"
#include "core/library_store.h"
#include "driver.h"
#include "platform/win32/shell_link.h"
#include "platform/win32/win32_byte_file.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_program_launcher.h"
#include "ui/main_window.h"
#include "ui/sounds.h"

using namespace tarvex;
using namespace tarvex::e2e;
using namespace tarvex::bench;

namespace {

constexpr int kMinimumStarts = 10;
constexpr int kMaximumStarts = 1000;
constexpr int kStartAttempts = 5;
constexpr int kPreparations = 20;
constexpr std::size_t kSmallFolder = 10;
constexpr std::size_t kLargeFolder = 10000;
constexpr int kChecks = 20;
// As large as a merged UCRT runtime.
constexpr std::size_t kLibraryBytes = 16 * 1000 * 1000;
// Against the window with the same controls, manifest and OLE.
constexpr double kStartupTarget = 1.15;
// prepareLibraryStore on the large folder against the bare "_*.lib" listing
// of it: what the store adds to the one search it cannot do without.
constexpr double kStoreTarget = 1.2;
constexpr const wchar_t* kMinimalWindowClass = L"TarvexMinimalWindow";
constexpr const wchar_t* kControlsWindowClass = L"TarvexControlsWindow";

struct Program {
    const char* label;
    std::wstring path;
    std::map<std::wstring, std::wstring> variables;
    const wchar_t* windowClass;
};

// A start counts only when the window showed and the program then closed
// cleanly. Tarvex leaves at once without a window while another copy in the
// same Wine prefix holds its lock, so a failed start is retried after a pause.
bool sampleStart(const Program& program, std::vector<double>& times) {
    for (int attempt = 1; attempt <= kStartAttempts; ++attempt) {
        ToolProcess process;
        const auto begin = Clock::now();
        if (!process.start(program.path, program.variables)) {
            break;
        }
        // The driver's usual 20 ms poll is as coarse as the difference measured.
        HWND window = process.waitForWindow(program.windowClass, kPatience, 1ms);
        const double elapsed = millisecondsSince(begin);
        if (window && closeWindow(process, window) == 0u) {
            times.push_back(elapsed);
            return true;
        }
        std::printf("  %s: no window or no clean exit (attempt %d), retrying\n", program.label,
                    attempt);
        ::Sleep(2000);
    }
    std::printf("%s could not be started and closed\n", program.label);
    return false;
}

bool benchStartup(int starts) {
    Sandbox sandbox;
    // The first run asks its questions; the timed runs after it ask none.
    ToolProcess first;
    const auto run = first.start(sandbox.toolExecutable(), sandbox.ideEnvironment())
                         ? answerUntilWindow(first, {IDYES})
                         : RunUntilWindow{};
    if (!run.window || closeWindow(first, run.window) != 0u) {
        std::printf("the first run of Tarvex.exe did not reach its window\n");
        return false;
    }
    std::printf("first run: %zu questions answered Yes\n", run.boxes.size());
    const Program tarvex{"Tarvex.exe", sandbox.toolExecutable(), sandbox.ideEnvironment(),
                         kMainWindowClass};
    const Program minimal{
        "minimal window", buildDirectory() + L"tarvex_minimal_window.exe", {}, kMinimalWindowClass};
    const Program controls{"same controls window",
                           buildDirectory() + L"tarvex_controls_window.exe",
                           {},
                           kControlsWindowClass};
    std::vector<double> tarvexTimes, minimalTimes, controlsTimes, warmUp;
    if (!sampleStart(minimal, warmUp) || !sampleStart(controls, warmUp)) {
        return false;
    }
    // Rotating which program goes first spreads any drift over all three.
    std::pair<const Program*, std::vector<double>*> order[] = {
        {&tarvex, &tarvexTimes}, {&minimal, &minimalTimes}, {&controls, &controlsTimes}};
    for (int i = 0; i < starts; ++i) {
        for (const auto& [program, times] : order) {
            if (!sampleStart(*program, *times)) {
                return false;
            }
        }
        std::rotate(std::begin(order), std::begin(order) + 1, std::end(order));
    }
    const Figures tarvexFigures = figuresOf(tarvexTimes);
    const Figures minimalFigures = figuresOf(minimalTimes);
    const Figures controlsFigures = figuresOf(controlsTimes);
    std::printf("start-up to visible window, %d starts of each, interleaved:\n", starts);
    printFigures("Tarvex.exe", tarvexFigures);
    printFigures("same controls window", controlsFigures);
    printFigures("minimal window", minimalFigures);
    printRatio("ratio Tarvex/controls", tarvexFigures.median / controlsFigures.median,
               kStartupTarget);
    std::printf("  %-22s %.2f\n", "ratio Tarvex/minimal",
                tarvexFigures.median / minimalFigures.median);
    return true;
}

// Any question means the folder was not set up as a settled installation; a
// No ends the preparation at once, so the bench can say what was asked.
class NoQuestionsExpected final : public MessagePresenter {
public:
    std::vector<std::wstring> asked;
    int showMessage(const std::wstring&, const std::wstring& text, unsigned) override {
        asked.push_back(text);
        return kAnswerNo;
    }
};

class RecordingEnd final : public ToolEnd {
public:
    int calls = 0;
    void endTool() override { ++calls; }
};

// The first-run copies are already in place, so nothing is asked; filler
// names make up the rest of the "_*.lib" entries.
void fillLibraryFolder(const Sandbox& sandbox, std::size_t entries) {
    const std::vector<std::wstring> settled{L"_PB_msvcrt.lib",  L"_PB_libpng.lib",
                                            L"_PB_libjpeg.lib", L"_UC_libpng.lib",
                                            L"_UC_libjpeg.lib", L"_MD_msvcrt.lib"};
    std::vector<std::wstring> names = settled;
    for (std::size_t i = names.size(); i < entries; ++i) {
        names.push_back(L"_X" + std::to_wstring(i) + L".lib");
    }
    for (const std::wstring& name : names) {
        if (!writeBytes(sandbox.libraryDirectory() + name, sandboxContent(L"PB", name))) {
            throw std::runtime_error("cannot fill the library folder");
        }
    }
}

// A fresh context each time, so host detection and the catalogue both run.
// The real services for the IDE's variables of a sandbox, with questions
// answered No and the end only counted.
struct SandboxServices {
    explicit SandboxServices(const Sandbox& sandbox) {
        ::SetEnvironmentVariableW(L"PB_TOOL_Compiler", sandbox.compilerPath().c_str());
    }
    void printQuestions() const {
        for (const std::wstring& question : messages.asked) {
            std::printf("  asked: %ls\n", question.c_str());
        }
    }
    Win32FileSystem files;
    Win32Environment environment;
    NoQuestionsExpected messages;
    RecordingEnd end;
    Win32ByteFileService byteFiles;
    Win32SoundPlayer sounds;
    Win32Clipboard clipboard;
    Win32ProgramLauncher programs;
    Win32ShortcutReader shortcuts;
    ToolServices services{files, byteFiles, environment, messages, sounds,
                          end,   clipboard, programs,    shortcuts};
};

bool samplePreparation(const Sandbox& sandbox, std::size_t entries, std::vector<double>& times) {
    SandboxServices tool(sandbox);
    ToolContext context;
    const auto begin = Clock::now();
    const bool prepared = prepareLibraryStore(context, tool.services);
    times.push_back(millisecondsSince(begin));
    if (prepared && tool.end.calls == 0 && tool.messages.asked.empty() &&
        context.catalogue.size() == entries && context.architectureName == L"x64") {
        return true;
    }
    std::printf("preparation went wrong: %zu questions, %zu of %zu entries catalogued\n",
                tool.messages.asked.size(), context.catalogue.size(), entries);
    tool.printQuestions();
    return false;
}

// The bare searches the store makes, to tell its own share of the time from
// the file system's: the probe for a UCRT runtime and the catalogue listing.
const wchar_t* const kSearches[] = {L"_M*_msvcrt.lib", L"_*.lib"};
using Searches = std::array<std::vector<double>, 2>;

void sampleSearches(const Sandbox& sandbox, Searches& times) {
    Win32FileSystem files;
    for (std::size_t i = 0; i < 2; ++i) {
        auto listing = files.newListing();
        const auto begin = Clock::now();
        if (listing->open(sandbox.libraryDirectory(), kSearches[i])) {
            while (listing->next()) {
            }
        }
        times[i].push_back(millisecondsSince(begin));
    }
}

void printSearches(const char* folder, Searches& times) {
    for (std::size_t i = 0; i < 2; ++i) {
        std::printf("    %-20ls median %8.2f ms  (the search alone, %s)\n", kSearches[i],
                    figuresOf(times[i]).median, folder);
    }
}

bool benchLibraryStore() {
    Sandbox small;
    Sandbox large;
    fillLibraryFolder(small, kSmallFolder);
    fillLibraryFolder(large, kLargeFolder);
    std::vector<double> smallTimes, largeTimes;
    Searches smallSearches, largeSearches;
    for (int i = 0; i < kPreparations; ++i) {
        if (!samplePreparation(small, kSmallFolder, smallTimes) ||
            !samplePreparation(large, kLargeFolder, largeTimes)) {
            return false;
        }
        sampleSearches(small, smallSearches);
        sampleSearches(large, largeSearches);
    }
    const Figures smallFigures = figuresOf(smallTimes);
    const Figures largeFigures = figuresOf(largeTimes);
    std::printf("prepareLibraryStore, %d calls on each folder, interleaved:\n", kPreparations);
    printFigures("10 entries", smallFigures);
    printSearches("10 entries", smallSearches);
    printFigures("10000 entries", largeFigures);
    printSearches("10000 entries", largeSearches);
    printRatio("ratio 10000/bare listing", largeFigures.median / figuresOf(largeSearches[1]).median,
               kStoreTarget);
    return true;
}

// PB's copies are active, as after a first start, and the store has nothing
// to copy or ask. With otherBytes, msvcrt.lib is then replaced by a library
// of the same size that differs in its last byte, written later: neither size
// nor write time tells it from _PB_msvcrt.lib, and all its bytes are read.
void layOutActiveLibraries(const Sandbox& sandbox, bool otherBytes) {
    const std::wstring& library = sandbox.libraryDirectory();
    std::string bytes(kLibraryBytes, 'p');
    bool written = true;
    for (const wchar_t* name : {L"_UC_libpng.lib", L"_UC_libjpeg.lib", L"_MD_msvcrt.lib"}) {
        written = written && writeBytes(library + name, sandboxContent(L"x64", name));
    }
    for (const wchar_t* name : kActive) {
        const std::wstring active = library + name;
        written = written && writeBytes(library + L"_PB_" + name, bytes) &&
                  ::CopyFileW((library + L"_PB_" + name).c_str(), active.c_str(), FALSE);
    }
    bytes.back() = 'q';
    if (!written || (otherBytes && !writeBytes(library + L"msvcrt.lib", bytes))) {
        throw std::runtime_error("cannot lay out the active libraries");
    }
}

// The check start-up makes once the library store is prepared; the No to
// the question about an unknown library ends it there.
double sampleActiveLibraries(const Sandbox& sandbox, bool unknown) {
    SandboxServices tool(sandbox);
    ToolContext context;
    if (!prepareLibraryStore(context, tool.services) || !tool.messages.asked.empty()) {
        tool.printQuestions();
        throw std::runtime_error("the library store asked or ended");
    }
    const auto begin = Clock::now();
    const bool kept = keepUnknownActiveLibraries(context, tool.services);
    const double elapsed = millisecondsSince(begin);
    if (kept == unknown || tool.messages.asked.size() != (unknown ? 1u : 0u)) {
        throw std::runtime_error("msvcrt.lib was not told as it is");
    }
    return elapsed;
}

bool benchActiveLibraries() {
    Sandbox settled;
    Sandbox otherBytes;
    layOutActiveLibraries(settled, false);
    layOutActiveLibraries(otherBytes, true);
    std::vector<double> settledTimes, otherTimes;
    for (int i = 0; i < kChecks; ++i) {
        settledTimes.push_back(sampleActiveLibraries(settled, false));
        otherTimes.push_back(sampleActiveLibraries(otherBytes, true));
    }
    std::printf("active libraries at start, %d checks of each folder, libraries of %zu MB:\n",
                kChecks, kLibraryBytes / 1000000);
    printFigures("copies (size, time)", figuresOf(settledTimes));
    printFigures("same size, other bytes", figuresOf(otherTimes));
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const long starts = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : kMinimumStarts;
    if (argc > 2 || starts < kMinimumStarts || starts > kMaximumStarts) {
        std::printf("usage: tarvex_startup_bench [STARTS]  (%d to %d, default %d)\n",
                    kMinimumStarts, kMaximumStarts, kMinimumStarts);
        return 2;
    }
    try {
        const auto begin = Clock::now();
        const bool ok =
            benchStartup(static_cast<int>(starts)) && benchLibraryStore() && benchActiveLibraries();
        std::printf("bench took %.1f s\n", millisecondsSince(begin) / 1000);
        return ok ? 0 : 1;
    } catch (const std::exception& error) {
        std::printf("bench failed: %s\n", error.what());
        return 1;
    }
}
