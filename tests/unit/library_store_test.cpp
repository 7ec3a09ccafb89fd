#include "core/library_store.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fake_services.h"

namespace tarvex {
namespace {

using testing::FakeTool;

const std::wstring kCompiler = L"C:\\PB\\Compilers\\pbcompilerc.exe";
const std::wstring kLibraries = L"C:\\PB\\PureLibraries\\Windows\\Libraries\\";
const std::wstring kTool = L"C:\\Tools\\Tarvex\\";
const std::wstring kArch = kTool + L"x64\\";

const std::wstring kMsvcrtQuestion =
    L"Is your current 'msvcrt.lib' the original PB CRT?\n\nIf not, please change it back...";
const std::wstring kLibpngQuestion =
    L"Is your current 'libpng.lib' the one that came with PB?\n\nIf not, please change it back...";
const std::wstring kLibjpegQuestion =
    L"Is your current 'libjpeg.lib' the one that came with PB?\n\nIf not, please change it back...";
const std::wstring kUcrtQuestion =
    L"Do you want to copy all available UCRT libraries to PB?\n\n(" + kArch + L"_M*_msvcrt.lib)";

class LibraryStoreTest : public ::testing::Test {
protected:
    LibraryStoreTest() {
        tool.environment.variables[L"PB_TOOL_Compiler"] = kCompiler;
        tool.environment.variables[L"PB_TOOL_Executable"] = L"C:\\Work\\Game.DLL";
        tool.environment.program = kTool + L"Tarvex.exe";
        tool.files.addFile(kCompiler, "compiler");
        tool.files.setExecutableType(kCompiler, kWindows64BitExecutable);
        for (const wchar_t* name : {L"msvcrt.lib", L"libpng.lib", L"libjpeg.lib"}) {
            tool.files.addFile(kLibraries + name, "PB " + narrow(name));
        }
        for (const wchar_t* name :
             {L"_UC_libpng.lib", L"_UC_libjpeg.lib", L"_MD_msvcrt.lib", L"_MT_17_msvcrt.lib"}) {
            tool.files.addFile(kArch + name, "x64 " + narrow(name));
        }
        tool.files.addDirectory(kArch + L"_MTd_msvcrt.lib");
    }

    static std::string narrow(const std::wstring& text) { return {text.begin(), text.end()}; }

    bool prepare() { return prepareLibraryStore(context, tool.services); }

    std::vector<std::wstring> shownTexts() const {
        std::vector<std::wstring> texts;
        for (const auto& message : tool.messages.shown) {
            texts.push_back(message.text);
        }
        return texts;
    }

    FakeTool tool;
    ToolContext context;
};

TEST_F(LibraryStoreTest, FirstRunWithYesBacksUpAndTakesInEverything) {
    tool.messages.answers = {kAnswerYes, kAnswerYes, kAnswerYes, kAnswerYes};

    ASSERT_TRUE(prepare());

    EXPECT_EQ(shownTexts(),
              (std::vector{kMsvcrtQuestion, kLibpngQuestion, kLibjpegQuestion, kUcrtQuestion}));
    for (const auto& message : tool.messages.shown) {
        EXPECT_EQ(message.title, L"Tarvex - x64");
        EXPECT_EQ(message.flags, kMessageQuestion);
    }
    EXPECT_EQ(tool.files.content(kLibraries + L"_PB_msvcrt.lib"), "PB msvcrt.lib");
    EXPECT_EQ(tool.files.content(kLibraries + L"_PB_libpng.lib"), "PB libpng.lib");
    EXPECT_EQ(tool.files.content(kLibraries + L"_PB_libjpeg.lib"), "PB libjpeg.lib");
    EXPECT_EQ(tool.files.content(kLibraries + L"_UC_libpng.lib"), "x64 _UC_libpng.lib");
    EXPECT_EQ(tool.files.content(kLibraries + L"_UC_libjpeg.lib"), "x64 _UC_libjpeg.lib");
    EXPECT_EQ(tool.files.content(kLibraries + L"_MD_msvcrt.lib"), "x64 _MD_msvcrt.lib");
    EXPECT_EQ(tool.files.content(kLibraries + L"_MT_17_msvcrt.lib"), "x64 _MT_17_msvcrt.lib");
    EXPECT_FALSE(tool.files.exists(kLibraries + L"_MTd_msvcrt.lib")) << "directories are skipped";
    EXPECT_EQ(tool.files.content(kLibraries + L"msvcrt.lib"), "PB msvcrt.lib");
    EXPECT_EQ(tool.end.calls, 0);

    EXPECT_EQ(context.architectureName, L"x64");
    EXPECT_EQ(context.titleSuffix, L" - x64");
    EXPECT_EQ(context.libraryDirectory, kLibraries);
    EXPECT_EQ(context.architectureDirectory, kArch);
    EXPECT_EQ(context.targetExtension, L"dll");
    EXPECT_EQ(context.catalogue,
              (LibraryCatalogue{L"_PB_msvcrt.lib", L"_PB_libpng.lib", L"_PB_libjpeg.lib",
                                L"_UC_libpng.lib", L"_UC_libjpeg.lib", L"_MD_msvcrt.lib",
                                L"_MT_17_msvcrt.lib"}));
}

TEST_F(LibraryStoreTest, NoToTheFirstQuestionEndsTheToolBeforeAnythingIsCopied) {
    tool.messages.answers = {kAnswerNo};

    EXPECT_FALSE(prepare());

    EXPECT_EQ(shownTexts(), std::vector{kMsvcrtQuestion});
    EXPECT_EQ(tool.end.calls, 1);
    EXPECT_TRUE(tool.files.copies().empty());
}

TEST_F(LibraryStoreTest, AnExistingBackupIsNeitherAskedForNorCopiedAgain) {
    tool.files.addFile(kLibraries + L"_PB_msvcrt.lib", "older backup");
    tool.files.addDirectory(kLibraries + L"_PB_libjpeg.lib");
    tool.files.addFile(kLibraries + L"_mt_msvcrt.lib", "UCRT already there");
    tool.messages.answers = {kAnswerYes};

    ASSERT_TRUE(prepare());

    EXPECT_EQ(shownTexts(), std::vector{kLibpngQuestion}) << "no UCRT question either";
    EXPECT_EQ(tool.files.content(kLibraries + L"_PB_msvcrt.lib"), "older backup");
    EXPECT_TRUE(context.catalogue.contains(L"_PB_libjpeg.lib")) << "directories are listed too";
}

TEST_F(LibraryStoreTest, AMissingUcrtImageLibraryShowsTheCopyErrorAndKeepsEarlierCopies) {
    tool.files = {};
    tool.files.addFile(kCompiler, "compiler");
    tool.files.setExecutableType(kCompiler, kWindows64BitExecutable);
    for (const wchar_t* name : {L"msvcrt.lib", L"libpng.lib", L"libjpeg.lib"}) {
        tool.files.addFile(kLibraries + name, "PB");
    }
    tool.files.addFile(kArch + L"_UC_libjpeg.lib", "x64");
    tool.messages.answers = {kAnswerYes, kAnswerYes, kAnswerYes};

    EXPECT_FALSE(prepare());

    ASSERT_EQ(tool.messages.shown.size(), 4u);
    const auto& error = tool.messages.shown.back();
    EXPECT_EQ(error.title, L"Tarvex - x64");
    EXPECT_EQ(error.flags, kMessageError);
    EXPECT_EQ(error.text, L"Error copying from:\n'" + kArch + L"_UC_libpng.lib'\nto:\n'" +
                              kLibraries +
                              L"_UC_libpng.lib'\n\n\n(Make sure that you've started the PB IDE "
                              L"as Administrator if UAC is enabled!)");
    EXPECT_EQ(std::count(error.text.begin(), error.text.end(), L'\n'), 6);
    EXPECT_EQ(tool.end.calls, 1);
    EXPECT_TRUE(tool.files.exists(kLibraries + L"_PB_libjpeg.lib"));
    EXPECT_FALSE(tool.files.exists(kLibraries + L"_UC_libjpeg.lib"));
}

TEST_F(LibraryStoreTest, AMissingLibraryDirectoryFailsTheFirstBackupCopy) {
    tool.files = {};
    tool.files.addFile(kCompiler, "compiler");
    tool.files.setExecutableType(kCompiler, kWindows64BitExecutable);
    tool.messages.answers = {kAnswerYes};

    EXPECT_FALSE(prepare());

    ASSERT_EQ(tool.messages.shown.size(), 2u);
    EXPECT_EQ(tool.messages.shown[1].text,
              copyErrorText(kLibraries + L"msvcrt.lib", kLibraries + L"_PB_msvcrt.lib"));
    EXPECT_EQ(tool.end.calls, 1);
}

TEST_F(LibraryStoreTest, AFailedUcrtRuntimeCopyEndsTheTool) {
    tool.files.failCopiesTo(kLibraries + L"_MT_17_msvcrt.lib");
    tool.messages.answers = {kAnswerYes, kAnswerYes, kAnswerYes, kAnswerYes};

    EXPECT_FALSE(prepare());

    EXPECT_EQ(tool.messages.shown.back().text,
              copyErrorText(kArch + L"_MT_17_msvcrt.lib", kLibraries + L"_MT_17_msvcrt.lib"));
    EXPECT_EQ(tool.end.calls, 1);
}

TEST_F(LibraryStoreTest, NoToTheUcrtQuestionCopiesNoRuntimeAndAsksAgainNextStart) {
    tool.messages.answers = {kAnswerYes, kAnswerYes, kAnswerYes, kAnswerNo};
    ASSERT_TRUE(prepare());
    EXPECT_FALSE(tool.files.exists(kLibraries + L"_MD_msvcrt.lib"));
    EXPECT_EQ(tool.end.calls, 0);

    ToolContext nextStart;
    tool.messages.shown.clear();
    ASSERT_TRUE(prepareLibraryStore(nextStart, tool.services));
    EXPECT_EQ(shownTexts(), std::vector{kUcrtQuestion});
}

TEST_F(LibraryStoreTest, UnlistableDirectoriesAreNotReported) {
    tool.files.failListingsOf(kArch);
    tool.messages.answers = {kAnswerYes, kAnswerYes, kAnswerYes, kAnswerYes};
    ASSERT_TRUE(prepare());
    EXPECT_EQ(tool.messages.shown.size(), 4u);
    EXPECT_FALSE(tool.files.exists(kLibraries + L"_MD_msvcrt.lib"));

    FakeTool other;
    other.environment.variables[L"PB_TOOL_Compiler"] = L"C:\\PB\\bin\\pbcompilerc.exe";
    for (const wchar_t* name : {L"_PB_msvcrt.lib", L"_PB_libpng.lib", L"_PB_libjpeg.lib",
                                L"_UC_libpng.lib", L"_UC_libjpeg.lib"}) {
        other.files.addFile(L"C:\\PB\\bin\\" + std::wstring(name), "stored");
    }
    other.files.failListingsOf(L"C:\\PB\\bin\\");
    ToolContext otherContext;
    ASSERT_TRUE(prepareLibraryStore(otherContext, other.services));
    EXPECT_TRUE(other.messages.shown.empty()) << "no UCRT question without a listing";
    EXPECT_TRUE(otherContext.catalogue.empty());
}

TEST_F(LibraryStoreTest, DetectionDecidesArchitectureTitlesAndDirectories) {
    struct Case {
        std::wstring compiler;
        std::optional<std::uint32_t> type;
        std::wstring architecture;
        std::wstring libraries;
    };
    const std::vector<Case> cases{
        {kCompiler, kWindows32BitExecutable, L"x86", kLibraries},
        {kCompiler, std::nullopt, L"", kLibraries},
        {kCompiler, 2u, L"", kLibraries},
        {L"D:\\pb\\compilers\\pbcompilerc.exe", kWindows64BitExecutable, L"x64",
         L"D:\\pb\\compilers\\"},
        {L"D:\\PB\\pbcompilerc.exe", kWindows64BitExecutable, L"x64", L"D:\\PB\\"},
        {L"E:\\Compilers\\Compilers\\pbcompilerc.exe", kWindows32BitExecutable, L"x86",
         L"E:\\PureLibraries\\Windows\\Libraries\\Compilers\\"},
    };
    for (const Case& c : cases) {
        FakeTool local;
        local.environment.program = kTool + L"Tarvex.exe";
        local.environment.variables[L"PB_TOOL_Compiler"] = L"\"" + c.compiler + L"\"";
        local.files.addFile(c.compiler, "compiler");
        if (c.type) {
            local.files.setExecutableType(c.compiler, *c.type);
        }
        local.messages.answers = {kAnswerNo};
        ToolContext detected;
        prepareLibraryStore(detected, local.services);
        EXPECT_EQ(detected.architectureName, c.architecture) << c.compiler;
        EXPECT_EQ(detected.titleSuffix, L" - " + c.architecture);
        EXPECT_EQ(detected.libraryDirectory, c.libraries) << c.compiler;
        EXPECT_EQ(detected.architectureDirectory, kTool + c.architecture + L"\\");
        ASSERT_FALSE(local.messages.shown.empty());
        EXPECT_EQ(local.messages.shown[0].title, L"Tarvex - " + c.architecture);
    }
}

TEST_F(LibraryStoreTest, ALaterCallOnlyRebuildsTheCatalogue) {
    tool.messages.answers = {kAnswerYes, kAnswerYes, kAnswerYes, kAnswerYes};
    ASSERT_TRUE(prepare());
    tool.messages.shown.clear();
    tool.files.setExecutableType(kCompiler, kWindows32BitExecutable);
    tool.files.addFile(kLibraries + L"_MDd_16_msvcrt.lib", "built");
    tool.files.addFile(kLibraries + L"msvcrt.dll", "not a stored copy");

    ASSERT_TRUE(prepare());

    EXPECT_TRUE(tool.messages.shown.empty());
    EXPECT_EQ(context.architectureName, L"x64");
    EXPECT_TRUE(context.catalogue.contains(L"_MDd_16_msvcrt.lib"));
    EXPECT_FALSE(context.catalogue.contains(L"msvcrt.dll"));
    EXPECT_EQ(context.catalogue.size(), 8u);
}

TEST_F(LibraryStoreTest, WithoutACompilerNothingHappens) {
    tool.environment.variables.erase(L"PB_TOOL_Compiler");
    EXPECT_TRUE(prepare());
    EXPECT_TRUE(context.compilerDirectory.empty());
    EXPECT_TRUE(context.titleSuffix.empty());
    EXPECT_TRUE(context.libraryDirectory.empty());
    EXPECT_TRUE(tool.messages.shown.empty());
    EXPECT_TRUE(tool.files.copies().empty());
}

} // namespace
} // namespace tarvex
