#include "platform/ini_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/win32/long_path.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_byte_file.h"
#include "test_files.h"

namespace tarvex {
namespace {

using testing::readBytes;
using testing::snapshot;
using testing::TempDirectory;
using testing::writeBytes;

const std::string kOriginal = "[Settings]\nautoclose=1\n;caf\xE9\n";
const std::string kRewritten = "\xEF\xBB\xBF\r\n[Settings]\r\nAutoClose = 0\r\n; caf\xC3\xA9\r\n";

UniqueKernelHandle openOther(const std::wstring& path, DWORD access, DWORD share) {
    return UniqueKernelHandle(::CreateFileW(extendedLengthPath(path).c_str(), access, share,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
}

bool runningUnderWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Wine's ReplaceFileW first moves the old file onto an "rf*.tmp" file it has
// just made with GetTempFileNameW; when that move fails it returns FALSE and
// leaves the empty file behind. Windows leaves nothing, so only under Wine is
// such a file set aside.
std::map<std::wstring, std::string>
withoutWineReplaceLeftovers(std::map<std::wstring, std::string> entries) {
    if (runningUnderWine()) {
        std::erase_if(entries, [](const auto& entry) {
            return entry.first.starts_with(L"rf") && entry.first.ends_with(L".tmp") &&
                   entry.second.empty();
        });
    }
    return entries;
}

class IniFileWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(temp_.path().empty());
        ASSERT_TRUE(writeBytes(path_, kOriginal));
    }

    // Changes the file the way the settings code does.
    bool rewrite() {
        if (!ini_.open(path_)) {
            return false;
        }
        ini_.selectGroup(L"Settings");
        EXPECT_EQ(ini_.readInteger(L"AutoClose", 9), 1);
        ini_.writeString(L"AutoClose", L"0");
        return ini_.close();
    }

    // Every entry of the folder, so a stray temporary file shows up.
    std::map<std::wstring, std::string> onlyTheFile(const std::string& bytes) const {
        return {{L"Tarvex.ini", bytes}};
    }

    TempDirectory temp_;
    std::wstring path_ = temp_.path() + L"\\Tarvex.ini";
    Win32ByteFileService files_;
    IniFile ini_{files_};
};

TEST_F(IniFileWin32Test, HeldFileCanBeReadButNotWrittenByOthers) {
    ASSERT_TRUE(ini_.open(path_));
    const DWORD anyShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    EXPECT_FALSE(openOther(path_, GENERIC_WRITE, anyShare));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(readBytes(path_), kOriginal);
    ini_.close();
    EXPECT_TRUE(openOther(path_, GENERIC_WRITE, anyShare));
}

TEST_F(IniFileWin32Test, RewriteLeavesExactlyTheNewBytesAndNoTemporaryFile) {
    EXPECT_TRUE(rewrite());
    EXPECT_EQ(snapshot(temp_.path()), onlyTheFile(kRewritten));

    ASSERT_TRUE(ini_.create(path_));
    EXPECT_EQ(readBytes(path_), "");
    EXPECT_TRUE(ini_.close());
    EXPECT_EQ(snapshot(temp_.path()), onlyTheFile("\xEF\xBB\xBF\r\n"));
}

TEST_F(IniFileWin32Test, RewriteWorksPastMaxPath) {
    std::wstring folder = temp_.path();
    while (folder.size() < MAX_PATH) {
        folder += L"\\" + std::wstring(40, L'd');
        ASSERT_TRUE(::CreateDirectoryW(extendedLengthPath(folder).c_str(), nullptr));
    }
    path_ = folder + L"\\Tarvex.ini";
    ASSERT_TRUE(writeBytes(path_, kOriginal));
    EXPECT_TRUE(rewrite());
    EXPECT_EQ(snapshot(folder), onlyTheFile(kRewritten));
}

// Another program that holds the file and lets others only read makes the
// second way of opening succeed; one that writes and shares writing, the third.
TEST_F(IniFileWin32Test, FileHeldByAnotherProgramOpensReadOnlyAndKeepsItsBytes) {
    const struct {
        DWORD access;
        DWORD share;
    } holders[] = {{GENERIC_READ, FILE_SHARE_READ},
                   {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE}};
    for (const auto& holder : holders) {
        const UniqueKernelHandle other = openOther(path_, holder.access, holder.share);
        ASSERT_TRUE(other);
        EXPECT_TRUE(rewrite()) << "nothing to write is not a failure";
        EXPECT_EQ(snapshot(temp_.path()), onlyTheFile(kOriginal));
    }
    const UniqueKernelHandle exclusive = openOther(path_, GENERIC_READ, 0);
    ASSERT_TRUE(exclusive);
    EXPECT_FALSE(ini_.open(path_));
}

// On Windows the read-only attribute refuses the open for writing, so the
// file opens read-only. Wine running as root lets root write such a file, so
// there the attribute cannot be checked; the test says so instead of passing.
TEST_F(IniFileWin32Test, ReadOnlyAttributeOpensTheFileReadOnly) {
    ASSERT_TRUE(::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    if (openOther(path_, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE)) {
        GTEST_SKIP() << "this platform opens read-only files for writing (Wine as root)";
    }
    EXPECT_TRUE(rewrite());
    EXPECT_EQ(snapshot(temp_.path()), onlyTheFile(kOriginal));
}

TEST_F(IniFileWin32Test, CreateInAMissingFolderFails) {
    EXPECT_FALSE(ini_.create(temp_.path() + L"\\Missing\\Tarvex.cfg"));
    EXPECT_EQ(snapshot(temp_.path()), onlyTheFile(kOriginal));
}

// A program that reads the file without sharing deletion blocks the final
// rename: the old file must stay whole and the new content must not linger.
TEST_F(IniFileWin32Test, FailedReplaceKeepsTheOldFileAndLeavesNoTemporaryFile) {
    ASSERT_TRUE(ini_.open(path_));
    const UniqueKernelHandle reader =
        openOther(path_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(reader);
    ini_.selectGroup(L"Settings");
    ini_.writeString(L"AutoClose", L"0");
    EXPECT_FALSE(ini_.close());
    EXPECT_EQ(withoutWineReplaceLeftovers(snapshot(temp_.path())), onlyTheFile(kOriginal));
}

} // namespace
} // namespace tarvex
