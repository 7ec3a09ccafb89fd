#include "platform/win32/win32_file_system.h"

#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/win32/unique_handle.h"
#include "test_files.h"

namespace tarvex {
namespace {

using testing::readBytes;
using testing::TempDirectory;
using testing::writeBytes;

struct Entry {
    std::wstring name;
    EntryKind kind;
    auto operator<=>(const Entry&) const = default;
};

void PrintTo(const Entry& entry, std::ostream* out) {
    *out << ::testing::PrintToString(entry.name) << " kind " << static_cast<int>(entry.kind);
}

std::set<Entry> remaining(DirectoryListing& listing) {
    std::set<Entry> entries;
    while (listing.next()) {
        entries.insert({listing.name(), listing.kind()});
    }
    return entries;
}

class Win32FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(temp_.path().empty()); }

    std::wstring path(const std::wstring& name) const { return temp_.path() + L"\\" + name; }
    std::wstring makeFile(const std::wstring& name, const std::string& bytes) {
        EXPECT_TRUE(writeBytes(path(name), bytes)) << "cannot write the test file";
        return path(name);
    }
    std::wstring makeDirectory(const std::wstring& name) {
        EXPECT_TRUE(::CreateDirectoryW(path(name).c_str(), nullptr));
        return path(name);
    }

    TempDirectory temp_;
    Win32FileSystem fs_;
};

TEST_F(Win32FileSystemTest, PathSizeTellsFilesDirectoriesAndMissingPaths) {
    const std::wstring dir = makeDirectory(L"Libraries");
    makeFile(L"empty.lib", "");
    makeFile(L"data.bin", std::string(70001, 'x'));
    makeFile(L"other.txt", "12");

    EXPECT_EQ(fs_.pathSize(L""), kMissing);
    EXPECT_EQ(fs_.pathSize(path(L"absent.lib")), kMissing);
    EXPECT_EQ(fs_.pathSize(path(L"absent\\data.bin")), kMissing);
    EXPECT_EQ(fs_.pathSize(dir), kDirectory);
    EXPECT_EQ(fs_.pathSize(dir + L"\\"), kDirectory);
    EXPECT_EQ(fs_.pathSize(dir + L"/"), kDirectory);
    EXPECT_EQ(fs_.pathSize(path(L"empty.lib")), 0);
    EXPECT_EQ(fs_.pathSize(path(L"data.bin")), 70001);
    EXPECT_EQ(fs_.pathSize(path(L"DATA.BIN")), 70001);
    EXPECT_EQ(fs_.pathSize(path(L"da*.bin")), 70001);
    EXPECT_EQ(fs_.pathSize(path(L"*.none")), kMissing);
}

TEST_F(Win32FileSystemTest, PathSizeTellsExistingDriveRootsFromAbsentOnes) {
    EXPECT_EQ(fs_.pathSize(L"C:"), kDirectory);
    EXPECT_EQ(fs_.pathSize(L"C:\\"), kDirectory);

    const DWORD drives = ::GetLogicalDrives();
    wchar_t absent = 0;
    for (wchar_t letter = L'Y'; letter > L'C' && absent == 0; --letter) {
        if ((drives & (1u << (letter - L'A'))) == 0) {
            absent = letter;
        }
    }
    ASSERT_NE(absent, 0) << "every drive letter is in use";
    EXPECT_EQ(fs_.pathSize(std::wstring{absent, L':'}), kMissing);
    EXPECT_EQ(fs_.pathSize(std::wstring{absent, L':', L'\\'}), kMissing);
}

TEST_F(Win32FileSystemTest, PathSizeReportsTheWholeSizeOfASparseFileAbove4GiB) {
    const std::wstring big = makeFile(L"big.lib", "");
    constexpr std::int64_t kSize = 5LL << 30;
    {
        UniqueKernelHandle file(::CreateFileW(big.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        DWORD returned = 0;
        if (!::DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned,
                               nullptr)) {
            GTEST_SKIP() << "FSCTL_SET_SPARSE failed with error " << ::GetLastError();
        }
        LARGE_INTEGER end{};
        end.QuadPart = kSize;
        if (!::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) ||
            !::SetEndOfFile(file.get())) {
            GTEST_SKIP() << "cannot extend a sparse file to 5 GiB: error " << ::GetLastError();
        }
    }
    EXPECT_EQ(fs_.pathSize(big), kSize);
}

// Whole paths reach the calls, however long: nothing is cut at MAX_PATH.
// Without a long-path opt-in, Windows opens such paths only in their "\\?\"
// form; Wine opens the plain form as well, so under Wine this checks that
// nothing is truncated, not that the extended form is used.
TEST_F(Win32FileSystemTest, PathsBeyondMaxPathWorkWhole) {
    std::wstring dir = temp_.path();
    for (wchar_t level = L'a'; level < L'g'; ++level) {
        dir += L"\\" + std::wstring(47, level) + L"_directory";
        ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + dir).c_str(), nullptr));
    }
    const std::wstring longFile = dir + L"\\library_in_a_deep_directory.lib";
    ASSERT_GT(dir.size(), 260u);
    ASSERT_GT(longFile.size(), 300u);
    ASSERT_TRUE(writeBytes(longFile, "deep library bytes"));

    EXPECT_EQ(fs_.pathSize(longFile), 18);
    EXPECT_EQ(fs_.pathSize(dir), kDirectory);
    EXPECT_EQ(fs_.pathSize(dir + L"\\"), kDirectory);

    const std::wstring shallow = makeFile(L"shallow.lib", "older shallow contents");
    EXPECT_TRUE(fs_.copyReplacing(longFile, shallow));
    EXPECT_EQ(readBytes(shallow), "deep library bytes");
    ASSERT_TRUE(writeBytes(shallow, "new shallow bytes"));
    EXPECT_TRUE(fs_.copyReplacing(shallow, dir + L"\\copied.lib"));
    EXPECT_EQ(readBytes(dir + L"\\copied.lib"), "new shallow bytes");

    auto listing = fs_.newListing();
    ASSERT_TRUE(listing->open(dir, L"library_*.lib"));
    EXPECT_EQ(remaining(*listing),
              (std::set<Entry>{{L"library_in_a_deep_directory.lib", EntryKind::File}}));
}

TEST_F(Win32FileSystemTest, CopyReplacingOverwritesTheTargetOrFails) {
    std::string bytes;
    for (int i = 0; i < 100000; ++i) {
        bytes += static_cast<char>(i * 7 % 256);
    }
    const std::wstring source = makeFile(L"source.lib", bytes);
    const std::wstring target = makeFile(L"target.lib", std::string(200000, 'T'));
    ASSERT_TRUE(fs_.copyReplacing(source, target));
    EXPECT_TRUE(readBytes(target) == bytes) << "target differs from the source";

    EXPECT_FALSE(fs_.copyReplacing(L"", target));
    EXPECT_FALSE(fs_.copyReplacing(source, L""));
    EXPECT_FALSE(fs_.copyReplacing(source, path(L"absent\\target.lib")));
    EXPECT_FALSE(fs_.copyReplacing(path(L"absent.lib"), target));
    EXPECT_TRUE(readBytes(target) == bytes) << "a failed copy changed the target";
}

// Wine also matches 8.3 short names; no short name can match this pattern, so
// exactly the real long names must come back.
TEST_F(Win32FileSystemTest, ListingMatchesWildcardsIgnoringCaseByLongName) {
    for (const wchar_t* name : {L"_md_MSVCRT.LIB", L"_mt_msvcrt.lib", L"_md_msvcrt.lib.bak",
                                L"_md_msvcrt.library", L"x_md_msvcrt.lib", L"_md_libc.lib"}) {
        makeFile(name, "lib");
    }
    auto listing = fs_.newListing();
    ASSERT_TRUE(listing->open(temp_.path(), L"_M*_msvcrt.lib"));
    EXPECT_EQ(remaining(*listing), (std::set<Entry>{{L"_md_MSVCRT.LIB", EntryKind::File},
                                                    {L"_mt_msvcrt.lib", EntryKind::File}}));

    ASSERT_TRUE(listing->open(temp_.path(), L"*.none"));
    EXPECT_FALSE(listing->next());
    EXPECT_FALSE(listing->open(path(L"absent"), L"*.lib"));
    EXPECT_FALSE(listing->next());
}

TEST_F(Win32FileSystemTest, ListingWithAnEmptyPatternListsEverythingWithKinds) {
    makeFile(L"a.lib", "a");
    makeFile(L"noextension", "b");
    makeDirectory(L"sub");
    const std::set<Entry> expected{{L".", EntryKind::Directory},
                                   {L"..", EntryKind::Directory},
                                   {L"a.lib", EntryKind::File},
                                   {L"noextension", EntryKind::File},
                                   {L"sub", EntryKind::Directory}};

    auto listing = fs_.newListing();
    ASSERT_TRUE(listing->open(temp_.path(), L""));
    EXPECT_EQ(remaining(*listing), expected);
    ASSERT_TRUE(listing->open(temp_.path() + L"\\", L""));
    EXPECT_EQ(remaining(*listing), expected);
}

// A search keeps its directory open. Opening the directory without sharing
// fails while anyone holds it (Windows and Wine both check directory sharing),
// which shows whether a listing released its search.
bool heldOpen(const std::wstring& directory) {
    UniqueKernelHandle probe(::CreateFileW(directory.c_str(), GENERIC_READ, 0, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return !probe && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

TEST_F(Win32FileSystemTest, ListingReleasesItsSearchAndIsEmptyWhenClosed) {
    const std::wstring first = makeDirectory(L"first");
    const std::wstring second = makeDirectory(L"second");
    writeBytes(second + L"\\b.lib", "b");

    auto listing = fs_.newListing();
    EXPECT_EQ(listing->name(), L"");
    EXPECT_EQ(listing->kind(), EntryKind::None);
    ASSERT_TRUE(listing->open(first, L"*"));
    EXPECT_TRUE(heldOpen(first));
    ASSERT_TRUE(listing->open(second, L"*.lib"));
    EXPECT_FALSE(heldOpen(first)) << "a second open must end the first search";
    EXPECT_TRUE(heldOpen(second));
    EXPECT_EQ(remaining(*listing), (std::set<Entry>{{L"b.lib", EntryKind::File}}));

    listing->close();
    EXPECT_FALSE(heldOpen(second));
    EXPECT_EQ(listing->name(), L"");
    EXPECT_EQ(listing->kind(), EntryKind::None);
    EXPECT_FALSE(listing->next());

    ASSERT_TRUE(listing->open(first, L"*"));
    listing.reset();
    EXPECT_FALSE(heldOpen(first)) << "destroying a listing must end its search";
}

TEST(Win32Environment, ReturnsVariablesWholeOrEmptyWhenUnset) {
    Win32Environment environment;
    const wchar_t* name = L"TARVEX_TEST_VALUE";
    EXPECT_EQ(environment.environmentValue(name), L"");

    std::wstring huge;
    for (int i = 0; i < 32000; ++i) {
        huge += static_cast<wchar_t>(L'A' + i % 26);
    }
    huge.back() = L'!';
    ASSERT_TRUE(::SetEnvironmentVariableW(name, huge.c_str()));
    const std::wstring value = environment.environmentValue(name);
    EXPECT_EQ(value.size(), huge.size());
    EXPECT_TRUE(value == huge);

    const std::wstring greeting = L"Gr\u00FC\u00DFe \u65E5\u672C";
    ASSERT_TRUE(::SetEnvironmentVariableW(name, greeting.c_str()));
    EXPECT_EQ(environment.environmentValue(name), greeting);
    ::SetEnvironmentVariableW(name, nullptr);
}

TEST(Win32Environment, ProgramPathIsTheAbsolutePathOfThisProgram) {
    const std::wstring program = Win32Environment().programPath();
    const std::wstring name = L"\\tarvex_win32_tests.exe";
    ASSERT_GT(program.size(), name.size());
    EXPECT_EQ(::CompareStringOrdinal(program.c_str() + program.size() - name.size(), -1,
                                     name.c_str(), -1, TRUE),
              CSTR_EQUAL)
        << program;
    EXPECT_FALSE(program.starts_with(L"\\\\?\\"));
    EXPECT_TRUE(program.size() > 3 && program[1] == L':' && program[2] == L'\\') << program;
    EXPECT_GT(Win32FileSystem().pathSize(program), 0);
}

TEST_F(Win32FileSystemTest, ExecutableTypeKnowsProgramsOnly) {
    const std::wstring program = Win32Environment().programPath();
    EXPECT_EQ(fs_.executableType(program),
              sizeof(void*) == 8 ? kWindows64BitExecutable : kWindows32BitExecutable);
    EXPECT_EQ(fs_.executableType(makeFile(L"notes.txt", "plain text, not a program\r\n")),
              std::nullopt);
    EXPECT_EQ(fs_.executableType(path(L"absent.exe")), std::nullopt);
}

} // namespace
} // namespace tarvex
