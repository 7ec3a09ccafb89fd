#include <gtest/gtest.h>

#include "tool_steps.h"

namespace tarvex::e2e {
namespace {

const std::vector<std::wstring> kBackupQuestions{
    L"Is your current 'msvcrt.lib' the original PB CRT?\n\nIf not, please change it back...",
    L"Is your current 'libpng.lib' the one that came with PB?\n\nIf not, please change it back...",
    L"Is your current 'libjpeg.lib' the one that came with PB?\n\nIf not, please change it "
    L"back...",
};

const std::vector<std::wstring> kRuntimes{L"_MD_msvcrt.lib",    L"_MT_msvcrt.lib",
                                          L"_MDd_msvcrt.lib",   L"_MTd_msvcrt.lib",
                                          L"_MD_17_msvcrt.lib", L"_MT_16_msvcrt.lib"};

std::wstring ucrtQuestion(const std::wstring& architectureDirectory) {
    return L"Do you want to copy all available UCRT libraries to PB?\n\n(" + architectureDirectory +
           L"_M*_msvcrt.lib)";
}

std::vector<std::wstring> textsOf(const std::vector<MessageBoxView>& boxes) {
    std::vector<std::wstring> texts;
    for (const auto& box : boxes) {
        texts.push_back(box.text);
    }
    return texts;
}

// What the library directory holds after a first run with Yes to every
// question: PB's files, their backups, the architecture's libraries and the
// state file.
std::map<std::wstring, std::string> libraryAfterFirstRun(Bitness bitness) {
    std::map<std::wstring, std::string> files;
    for (const wchar_t* name : {L"msvcrt.lib", L"libpng.lib", L"libjpeg.lib"}) {
        files[name] = sandboxContent(L"PB", name);
        files[std::wstring(L"_PB_") + name] = sandboxContent(L"PB", name);
    }
    for (const wchar_t* name : {L"_UC_libpng.lib", L"_UC_libjpeg.lib"}) {
        files[name] = sandboxContent(architectureName(bitness), name);
    }
    for (const auto& name : kRuntimes) {
        files[name] = sandboxContent(architectureName(bitness), name);
    }
    files[L"Tarvex.cfg"] = kFreshStateFile;
    return files;
}

class FirstRun : public ::testing::TestWithParam<Bitness> {};

TEST_P(FirstRun, YesToEveryQuestionStoresByteIdenticalCopiesAndOpensTheWindow) {
    const Bitness bitness = GetParam();
    Sandbox sandbox({.compiler = bitness});
    ::CreateDirectoryW((sandbox.architectureDirectory(bitness) + L"_MTd_17_msvcrt.lib").c_str(),
                       nullptr);
    ToolProcess tool;
    ASSERT_TRUE(tool.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));

    const auto run = answerUntilWindow(tool, IDYES);

    auto expectedTexts = kBackupQuestions;
    expectedTexts.push_back(ucrtQuestion(sandbox.architectureDirectory(bitness)));
    EXPECT_EQ(textsOf(run.boxes), expectedTexts);
    for (const auto& box : run.boxes) {
        EXPECT_EQ(box.title, titleFor(bitness));
        EXPECT_EQ(box.buttons, (std::vector{IDYES, IDNO}));
    }
    ASSERT_NE(run.window, nullptr);
    EXPECT_EQ(windowText(run.window), titleFor(bitness));
    EXPECT_EQ(snapshot(sandbox.libraryDirectory()), libraryAfterFirstRun(bitness))
        << "directories in the architecture folder are not copied";
    EXPECT_EQ(closeWindow(tool, run.window), 0u);
}

INSTANTIATE_TEST_SUITE_P(Compilers, FirstRun, ::testing::Values(Bitness::X86, Bitness::X64),
                         [](const auto& param) {
                             return param.param == Bitness::X86 ? "x86" : "x64";
                         });

TEST(FirstRunAnswers, NoToTheFirstQuestionEndsTheToolAndCopiesNothing) {
    Sandbox sandbox;
    const auto before = snapshot(sandbox.root());
    ToolProcess tool;
    ASSERT_TRUE(tool.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));

    const auto run = answerUntilWindow(tool, IDNO);

    EXPECT_EQ(textsOf(run.boxes), std::vector{kBackupQuestions[0]});
    EXPECT_EQ(run.window, nullptr);
    EXPECT_EQ(tool.waitForExit(), 0u);
    EXPECT_EQ(snapshot(sandbox.root()), before);
}

TEST(FirstRunAnswers, NoToTheUcrtQuestionIsAskedAgainAtTheNextStart) {
    Sandbox sandbox;
    for (int start = 0; start < 2; ++start) {
        ToolProcess tool;
        ASSERT_TRUE(tool.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));
        HWND box = nullptr;
        for (int question = 0; (box = tool.waitForMessageBox()); ++question) {
            const auto view = readMessageBox(box);
            const bool ucrt = view.text.starts_with(L"Do you want");
            answer(box, ucrt ? IDNO : IDYES);
            while (::IsWindow(box)) {
                ::Sleep(10);
            }
            if (ucrt) {
                EXPECT_EQ(question, start == 0 ? 3 : 0);
                break;
            }
        }
        ASSERT_NE(box, nullptr) << "start " << start << " did not ask for the UCRT libraries";
        HWND window = tool.waitForMainWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(closeWindow(tool, window), 0u);
    }
    EXPECT_FALSE(pathExists(sandbox.libraryDirectory() + L"_MD_msvcrt.lib"));
}

TEST(FirstRunFailures, AMissingUcrtImageLibraryShowsTheCopyErrorAndKeepsEarlierCopies) {
    Sandbox sandbox;
    ::DeleteFileW((sandbox.architectureDirectory(Bitness::X64) + L"_UC_libpng.lib").c_str());
    ToolProcess tool;
    ASSERT_TRUE(tool.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));

    const auto run = answerUntilWindow(tool, IDYES);

    ASSERT_EQ(run.boxes.size(), 4u);
    const auto& error = run.boxes[3];
    EXPECT_EQ(error.title, L"Tarvex - x64");
    EXPECT_EQ(error.text,
              copyErrorText(sandbox.architectureDirectory(Bitness::X64) + L"_UC_libpng.lib",
                            sandbox.libraryDirectory() + L"_UC_libpng.lib"));
    EXPECT_EQ(error.buttons, std::vector{IDOK});
    EXPECT_EQ(run.window, nullptr);
    EXPECT_EQ(tool.waitForExit(), 0u);
    const auto library = snapshot(sandbox.libraryDirectory());
    EXPECT_EQ(library.size(), 6u);
    EXPECT_EQ(library.at(L"_PB_libjpeg.lib"), sandboxContent(L"PB", L"libjpeg.lib"));
}

TEST(FirstRunFailures, AMissingLibraryDirectoryFailsTheFirstBackup) {
    Sandbox sandbox({.libraryDirectory = false});
    ToolProcess tool;
    ASSERT_TRUE(tool.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));

    const auto run = answerUntilWindow(tool, IDYES);

    ASSERT_EQ(run.boxes.size(), 2u);
    EXPECT_EQ(run.boxes[0].text, kBackupQuestions[0]);
    EXPECT_EQ(run.boxes[1].text, copyErrorText(sandbox.libraryDirectory() + L"msvcrt.lib",
                                               sandbox.libraryDirectory() + L"_PB_msvcrt.lib"));
    EXPECT_EQ(tool.waitForExit(), 0u);
    EXPECT_FALSE(pathExists(sandbox.libraryDirectory()));
}

TEST(HostDetection, WithoutACompilerExecutableTheArchitectureStaysEmpty) {
    Sandbox sandbox({.compilerExecutable = false});
    // The tool then looks for its libraries in its own folder.
    const std::wstring ownFolder = sandbox.toolDirectory();
    for (const wchar_t* name : {L"_UC_libpng.lib", L"_UC_libjpeg.lib", L"_MD_msvcrt.lib"}) {
        writeBytes(ownFolder + name, sandboxContent(L"tool folder", name));
    }
    ToolProcess tool;
    ASSERT_TRUE(tool.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));

    const auto run = answerUntilWindow(tool, IDYES);

    ASSERT_EQ(run.boxes.size(), 4u);
    EXPECT_EQ(run.boxes[0].title, L"Tarvex - ");
    EXPECT_EQ(run.boxes[3].text, ucrtQuestion(ownFolder + L"\\"));
    ASSERT_NE(run.window, nullptr);
    EXPECT_EQ(windowText(run.window), L"Tarvex - ");
    EXPECT_EQ(readBytes(sandbox.libraryDirectory() + L"_MD_msvcrt.lib"),
              sandboxContent(L"tool folder", L"_MD_msvcrt.lib"));
    EXPECT_EQ(closeWindow(tool, run.window), 0u);
}

TEST(HostDetection, ACompilerOutsideACompilersFolderKeepsItsLibrariesBesideIt) {
    Sandbox sandbox({.compilerFolder = L"bin"});
    ToolProcess tool;
    ASSERT_TRUE(tool.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));

    const auto run = answerUntilWindow(tool, IDYES);

    ASSERT_NE(run.window, nullptr);
    EXPECT_EQ(sandbox.libraryDirectory(), sandbox.root() + L"PB\\bin\\");
    auto expected = libraryAfterFirstRun(Bitness::X64);
    expected[L"pbcompilerc.exe"] = readBytes(sandbox.compilerPath());
    EXPECT_EQ(snapshot(sandbox.libraryDirectory()), expected);
    EXPECT_EQ(closeWindow(tool, run.window), 0u);
}

TEST(HostDetection, ALaterStartAsksNothingAndClosingWritesNothing) {
    Sandbox sandbox;
    ASSERT_TRUE(completeFirstRun(sandbox));
    const auto before = snapshot(sandbox.root());
    ToolProcess second;
    ASSERT_TRUE(second.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));

    const auto run = answerUntilWindow(second, IDNO);

    EXPECT_TRUE(run.boxes.empty());
    ASSERT_NE(run.window, nullptr);
    EXPECT_EQ(closeWindow(second, run.window), 0u);
    EXPECT_EQ(snapshot(sandbox.root()), before);
}

} // namespace
} // namespace tarvex::e2e
