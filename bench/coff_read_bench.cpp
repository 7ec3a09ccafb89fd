// scripts/bench: judging libraries of about 100 MB, as Tarvex does when one
// is dropped on it, against reading the same file once from end to end: a
// dense one of many small members, whose judging reads nearly all of it, and
// a sparse one of a few large members, whose judging needs only their starts
// and ends. Usage: tarvex_coff_read_bench [ROUNDS], at least 5 (default 5).
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_figures.h"
#include "coff_bytes.h"
#include "core/runtime_needs.h"
#include "platform/win32/win32_byte_file.h"
#include "test_files.h"

using namespace tarvex;
using namespace tarvex::bench;
using namespace tarvex::testing;

namespace {

constexpr int kMinimumRounds = 5;

// Both make about 100 MB.
struct LibraryShape {
    const char* name;
    int members;
    std::size_t codeBytes;
    double target; // judging against one whole read
};
constexpr LibraryShape kShapes[] = {
    {"dense", 3000, 33000, 1.5},
    {"sparse", 30, 3300000, 0.1},
};

// An x64 object as cl /MT leaves it: directives, code, and the stamp of
// Visual Studio 2022 as the first symbol.
// Its directives lie at its start, its symbols at its end.
std::string staticReleaseObject(std::size_t codeBytes) {
    const std::string directives =
        R"(   /FAILIFMISMATCH:"RuntimeLibrary=MT_StaticRelease" /DEFAULTLIB:"LIBCMT" )";
    const std::size_t code = 20 + 2 * 40 + directives.size();
    const std::size_t symbols = code + codeBytes;
    return coff(2, 1, symbols) + section(directives.size(), 100) +
           section(codeBytes, code, ".text$mn") + directives + std::string(codeBytes, '\xCC') +
           "@comp.id" + le(0x010482F1, 4) + le(0xFFFF, 2) + le(0, 2) + le(3, 1) + le(0, 1) +
           std::string(4, '\0'); // the string table's size
}

// Members start on even offsets.
std::string evenMember(const std::string& name, const std::string& data) {
    return member(name, std::to_string(data.size()), data) + (data.size() % 2 ? "\n" : "");
}

std::string largeLibrary(const LibraryShape& shape) {
    const std::string object = staticReleaseObject(shape.codeBytes);
    std::string library = "!<arch>\n" + evenMember("/", std::string(4, '\0'));
    library.reserve(static_cast<std::size_t>(shape.members) * (object.size() + 61));
    for (int i = 0; i < shape.members; ++i) {
        library += evenMember("m" + std::to_string(i) + ".obj/", object);
    }
    return library;
}

double timeJudgement(ByteFileService& files, const std::wstring& path, int members) {
    const auto begin = Clock::now();
    const auto reader = files.openForReading(path);
    const RuntimeNeeds needs = judgeRuntimeNeeds(collectCoffFacts(*reader));
    const double milliseconds = millisecondsSince(begin);
    if (needs.runtime != RuntimeNeed::MT ||
        needs.facts.objects != static_cast<std::uint64_t>(members) || needs.visualStudio != "17") {
        throw std::runtime_error("the library was judged wrongly");
    }
    return milliseconds;
}

double timeWholeRead(ByteFileService& files, const std::wstring& path) {
    const auto begin = Clock::now();
    const auto reader = files.openForReading(path);
    std::vector<char> buffer(1u << 20);
    for (std::uint64_t at = 0; at < reader->size(); at += buffer.size()) {
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), reader->size() - at));
        if (!reader->readAt(at, buffer.data(), count)) {
            throw std::runtime_error("the library could not be read");
        }
    }
    return millisecondsSince(begin);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const long rounds = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : kMinimumRounds;
    if (argc > 2 || rounds < kMinimumRounds) {
        std::printf("usage: tarvex_coff_read_bench [ROUNDS]  (at least %d, default %d)\n",
                    kMinimumRounds, kMinimumRounds);
        return 2;
    }
    try {
        testing::TempDirectory folder(L"tarvex-coff-bench-");
        Win32ByteFileService files;
        for (const LibraryShape& shape : kShapes) {
            const std::wstring path = folder.path() + L"\\large_static.lib";
            const std::string library = largeLibrary(shape);
            if (!testing::writeBytes(path, library)) {
                throw std::runtime_error("the library could not be written");
            }
            std::vector<double> judged, read;
            for (long i = 0; i < rounds; ++i) {
                judged.push_back(timeJudgement(files, path, shape.members));
                read.push_back(timeWholeRead(files, path));
            }
            std::printf("judging a %s %.1f MB library of %d members, %ld rounds, interleaved:\n",
                        shape.name, static_cast<double>(library.size()) / 1e6, shape.members,
                        rounds);
            const Figures judgedFigures = figuresOf(judged), readFigures = figuresOf(read);
            printFigures("runtime needs", judgedFigures);
            printFigures("whole file read", readFigures);
            printRatio("ratio judged/read", judgedFigures.median / readFigures.median,
                       shape.target);
        }
        return 0;
    } catch (const std::exception& error) {
        std::printf("bench failed: %s\n", error.what());
        return 1;
    }
}
