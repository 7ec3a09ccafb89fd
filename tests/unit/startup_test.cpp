#include "core/startup.h"

#include <gtest/gtest.h>

#include "fake_services.h"

namespace tarvex {
namespace {

using testing::FakeTool;

TEST(Startup, StartedByHandShowsOnlyTheIdeNoticeAndEnds) {
    FakeTool tool;
    ToolContext context;

    EXPECT_FALSE(prepareTool(context, tool.services));

    ASSERT_EQ(tool.messages.shown.size(), 1u);
    EXPECT_EQ(tool.messages.shown[0].title, L"Tarvex");
    EXPECT_EQ(tool.messages.shown[0].text,
              L"This program can only run inside the PB IDE!\n\nHowto:\t'Tools\\Configure "
              L"Tools...\\New'\n\n\n(Make sure that you've started the PB IDE as Administrator "
              L"if UAC is enabled!)");
    EXPECT_EQ(tool.messages.shown[0].flags, kMessageInformation);
    EXPECT_EQ(tool.end.calls, 1);
}

TEST(Startup, AStartFromTheIdeReadsTheOwnerWindow) {
    FakeTool tool;
    tool.environment.variables[L"PB_TOOL_Compiler"] = L"C:\\PB\\bin\\pbcompilerc.exe";
    tool.environment.variables[L"PB_TOOL_MainWindow"] = L"132456";
    for (const wchar_t* name : {L"_PB_msvcrt.lib", L"_PB_libpng.lib", L"_PB_libjpeg.lib",
                                L"_UC_libpng.lib", L"_UC_libjpeg.lib", L"_MD_msvcrt.lib"}) {
        tool.files.addFile(L"C:\\PB\\bin\\" + std::wstring(name), "stored");
    }
    ToolContext context;

    EXPECT_TRUE(prepareTool(context, tool.services));

    EXPECT_TRUE(tool.messages.shown.empty());
    EXPECT_EQ(tool.end.calls, 0);
    EXPECT_EQ(context.ownerWindow, 132456u);
    EXPECT_EQ(context.titleSuffix, L" - ");
    EXPECT_EQ(context.catalogue.size(), 6u);
}

TEST(Startup, ADeclinedFirstRunQuestionEndsOnceWithoutTheIdeNotice) {
    FakeTool tool;
    tool.environment.variables[L"PB_TOOL_Compiler"] = L"C:\\PB\\Compilers\\pbcompilerc.exe";
    tool.messages.answers = {kAnswerNo};
    ToolContext context;

    EXPECT_FALSE(prepareTool(context, tool.services));

    EXPECT_EQ(tool.messages.shown.size(), 1u);
    EXPECT_EQ(tool.end.calls, 1);
}

TEST(LeadingNumber, ReadsLeadingDigitsLikeTheIdeWritesThem) {
    EXPECT_EQ(leadingNumber(L""), 0u);
    EXPECT_EQ(leadingNumber(L"abc"), 0u);
    EXPECT_EQ(leadingNumber(L"-5"), 0u);
    EXPECT_EQ(leadingNumber(L"65814"), 65814u);
    EXPECT_EQ(leadingNumber(L"  65814 "), 65814u);
    EXPECT_EQ(leadingNumber(L"123abc456"), 123u);
    EXPECT_EQ(leadingNumber(L"\"42\""), 0u);
}

TEST(LeadingNumber, SaturatesInsteadOfWrappingAround) {
    EXPECT_EQ(leadingNumber(L"18446744073709551615"), UINT64_MAX);
    EXPECT_EQ(leadingNumber(L"18446744073709551616"), UINT64_MAX);
    EXPECT_EQ(leadingNumber(std::wstring(32000, L'9')), UINT64_MAX);
}

} // namespace
} // namespace tarvex
