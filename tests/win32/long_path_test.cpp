#include "platform/win32/long_path.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace tarvex {
namespace {

// Wine opens plain paths past MAX_PATH, so what matters on Windows is checked
// on the form itself: every long path reaches the file calls as "\\?\...",
// normalised, because that form skips all normalisation.
const std::wstring kLong(300, L'd');

TEST(ExtendedLengthPath, LeavesShortAndAlreadyExtendedPathsAlone) {
    EXPECT_EQ(extendedLengthPath(L"C:\\a/b\\..\\c"), L"C:\\a/b\\..\\c");
    EXPECT_EQ(extendedLengthPath(L"\\\\?\\C:\\" + kLong), L"\\\\?\\C:\\" + kLong);
    EXPECT_EQ(extendedLengthPath(L"\\\\.\\pipe\\" + kLong), L"\\\\.\\pipe\\" + kLong);
}

TEST(ExtendedLengthPath, NormalisesLongDrivePaths) {
    EXPECT_EQ(extendedLengthPath(L"C:/x/../" + kLong + L"//_*.lib"),
              L"\\\\?\\C:\\" + kLong + L"\\_*.lib");
}

TEST(ExtendedLengthPath, TurnsLongNetworkPathsIntoTheUncForm) {
    EXPECT_EQ(extendedLengthPath(L"\\\\server\\share\\x\\..\\" + kLong),
              L"\\\\?\\UNC\\server\\share\\" + kLong);
}

TEST(ExtendedLengthPath, CompletesLongRelativePathsFromTheCurrentDirectory) {
    wchar_t current[MAX_PATH]{};
    ASSERT_GT(::GetCurrentDirectoryW(MAX_PATH, current), 0u);
    std::wstring base = current;
    if (base.back() != L'\\') {
        base += L'\\';
    }
    EXPECT_EQ(extendedLengthPath(kLong + L"\\f.lib"), L"\\\\?\\" + base + kLong + L"\\f.lib");
}

} // namespace
} // namespace tarvex
