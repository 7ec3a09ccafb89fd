#include "platform/path_parts.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

TEST(DirectoryPart, KeepsEverythingUpToTheLastSeparator) {
    EXPECT_EQ(directoryPart(L"C:\\PB\\Compilers\\pbcompiler.exe"), L"C:\\PB\\Compilers\\");
    EXPECT_EQ(directoryPart(L"C:/PB/Compilers/pbcompiler.exe"), L"C:/PB/Compilers/");
    EXPECT_EQ(directoryPart(L"C:\\PB\\Compilers\\"), L"C:\\PB\\Compilers\\");
    EXPECT_EQ(directoryPart(L"pbcompiler.exe"), L"");
    EXPECT_EQ(directoryPart(L""), L"");
}

TEST(DirectoryPart, SkipsALeadingQuoteAndStopsAtTheFirstBar) {
    EXPECT_EQ(directoryPart(L"\"C:\\PB\\pb.exe\""), L"C:\\PB\\");
    EXPECT_EQ(directoryPart(L"C:\\PB\\pb.exe|C:\\Other\\x"), L"C:\\PB\\");
    EXPECT_EQ(directoryPart(L"pb.exe|C:\\Other\\x"), L"");
    EXPECT_EQ(directoryPart(L"\""), L"");
}

TEST(ExtensionPart, TakesTheTextAfterTheLastDotOfTheName) {
    EXPECT_EQ(extensionPart(L"C:\\Out\\app.dll"), L"dll");
    EXPECT_EQ(extensionPart(L"C:\\Out\\app.tar.GZ"), L"GZ");
    EXPECT_EQ(extensionPart(L"\"C:\\Out\\app.exe\""), L"exe");
    EXPECT_EQ(extensionPart(L"app."), L"");
}

TEST(ExtensionPart, IsEmptyWithoutAnExtensionOfTheName) {
    EXPECT_EQ(extensionPart(L"C:\\Out\\.hidden"), L"");
    EXPECT_EQ(extensionPart(L".hidden"), L"");
    EXPECT_EQ(extensionPart(L"C:\\dir.d\\app"), L"");
    EXPECT_EQ(extensionPart(L"C:/dir.d/app"), L"");
    EXPECT_EQ(extensionPart(L"C:\\Out\\my app"), L"");
    EXPECT_EQ(extensionPart(L"C:\\Out\\app.d ll"), L"");
    EXPECT_EQ(extensionPart(L""), L"");
}

TEST(FileNamePart, TakesTheNameAfterTheLastSeparator) {
    EXPECT_EQ(fileNamePart(L"C:\\Links\\VS 2022 x64 Native Tools.lnk", false),
              L"VS 2022 x64 Native Tools.lnk");
    EXPECT_EQ(fileNamePart(L"C:/Links/tools.lnk\" extra", false), L"tools.lnk");
    EXPECT_EQ(fileNamePart(L"\"tools.lnk\"", false), L"tools.lnk");
    EXPECT_EQ(fileNamePart(L"C:\\Links\\", false), L"");
}

TEST(FileNamePart, DropsTheExtensionOnlyOfARealExtension) {
    EXPECT_EQ(fileNamePart(L"C:\\Links\\VS 2022 x64 Native Tools.lnk", true),
              L"VS 2022 x64 Native Tools");
    EXPECT_EQ(fileNamePart(L"C:\\Links\\archive.tar.gz", true), L"archive.tar");
    EXPECT_EQ(fileNamePart(L"C:\\Links\\name.", true), L"name.");
    EXPECT_EQ(fileNamePart(L"C:\\Links\\.profile", true), L".profile");
    EXPECT_EQ(fileNamePart(L"C:\\Links\\v1.0 final", true), L"v1.0 final");
}

TEST(AsciiLowerCase, LowersOnlyAsciiLetters) {
    EXPECT_EQ(asciiLowerCase(L"DLL \u00C4x"), L"dll \u00C4x");
}

} // namespace
} // namespace tarvex
