#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <climits>

#include "fake_file_system.h"

namespace tarvex {
namespace {

using testing::FakeFileSystem;

const std::wstring kPath = L"C:\\Tool\\Tarvex.ini";
const std::string kHeader = "\xEF\xBB\xBF\r\n";

// A hand-edited file: no byte order mark, Latin-1, LF ends, indentation,
// empty lines, no blanks around "=", a comment and a second group.
const std::string kHandWritten = "[Settings]\n"
                                 "autoclose=1\n"
                                 "\n"
                                 "  ;caf\xE9 note\n"
                                 "[Other] trailing text\n"
                                 "Key=val\xFC  \n";

class IniFileTest : public ::testing::Test {
protected:
    IniFileTest() {
        files_.addDirectory(L"C:\\Tool\\");
        files_.addDirectory(L"C:\\Lib\\");
    }

    IniFile& openWith(const std::string& bytes) {
        files_.addFile(kPath, bytes);
        EXPECT_TRUE(ini_.open(kPath));
        return ini_;
    }
    std::string closedBytes() {
        ini_.close();
        return files_.bytes(kPath).value_or("<missing>");
    }

    FakeFileSystem files_;
    IniFile ini_{files_};
};

TEST_F(IniFileTest, RewriteOfAHandWrittenFileChangesOnlyTheWrittenKeyAndTheForm) {
    openWith(kHandWritten);
    EXPECT_TRUE(ini_.selectGroup(L"Settings"));
    EXPECT_EQ(ini_.readString(L"AUTOCLOSE", L"?"), L"1");
    ini_.writeString(L"AutoClose", L"0");
    EXPECT_EQ(closedBytes(), kHeader + "[Settings]\r\n"
                                       "AutoClose = 0\r\n"
                                       "; caf\xC3\xA9 note\r\n"
                                       "[Other]\r\n"
                                       "Key = val\xC3\xBC  \r\n");
}

TEST_F(IniFileTest, NewKeysGoAfterTheirGroupsLastLine) {
    openWith(kHandWritten);
    ini_.selectGroup(L"settings");
    ini_.writeString(L"Fresh", L"x");
    ini_.writeString(L"Later", L"y");
    ini_.selectGroup(L"");
    ini_.writeString(L"Top", L"t");
    EXPECT_EQ(closedBytes(), kHeader + "Top = t\r\n"
                                       "[Settings]\r\n"
                                       "autoclose = 1\r\n"
                                       "; caf\xC3\xA9 note\r\n"
                                       "Fresh = x\r\n"
                                       "Later = y\r\n"
                                       "[Other]\r\n"
                                       "Key = val\xC3\xBC  \r\n");
}

TEST_F(IniFileTest, MissingGroupIsPendingUntilAWriteAppendsIt) {
    openWith(kHandWritten);
    EXPECT_FALSE(ini_.selectGroup(L"VSlink"));
    EXPECT_EQ(ini_.readString(L"Key", L"default"), L"default");
    EXPECT_EQ(ini_.readInteger(L"Key", 7), 7);
    EXPECT_FALSE(ini_.examineKeys());
    ini_.writeString(L"17", L"C:\\VS\\x.lnk");
    ini_.writeInteger(L"n", -5);
    EXPECT_TRUE(ini_.selectGroup(L"VSLINK"));
    EXPECT_EQ(closedBytes(), kHeader + "[Settings]\r\nautoclose = 1\r\n; caf\xC3\xA9 note\r\n"
                                       "[Other]\r\nKey = val\xC3\xBC  \r\n"
                                       "[VSlink]\r\n17 = C:\\VS\\x.lnk\r\nn = -5\r\n");
}

TEST_F(IniFileTest, ReadsIntegersAsACRuntimeWould) {
    openWith("a=abc\nb= \t-42 \t\nc=+7x\nd=- 3\ne=99999999999\nf=-2147483648\n");
    EXPECT_EQ(ini_.readInteger(L"a", 9), 0);
    EXPECT_EQ(ini_.readInteger(L"missing", 9), 9);
    EXPECT_EQ(ini_.readInteger(L"b", 9), -42);
    EXPECT_EQ(ini_.readInteger(L"c", 9), 7);
    EXPECT_EQ(ini_.readInteger(L"d", 9), 0);
    EXPECT_EQ(ini_.readInteger(L"e", 9), INT_MAX);
    EXPECT_EQ(ini_.readInteger(L"f", 9), INT_MIN);
    ini_.writeInteger(L"a", INT_MIN);
    ini_.writeInteger(L"g", 0);
    EXPECT_EQ(closedBytes(), kHeader + "a = -2147483648\r\nb = -42 \t\r\nc = +7x\r\nd = - 3\r\n"
                                       "e = 99999999999\r\nf = -2147483648\r\ng = 0\r\n");
}

TEST_F(IniFileTest, SplitsKeyLinesAtTheFirstEqualsSign) {
    openWith("Lonely  \r\t;  two\rNext=2\r\n Name \t=  \t two  words \t \n\n\rv=a=b\r=x\r\n[G");
    EXPECT_EQ(ini_.readString(L"Lonely", L"default"), L"");
    EXPECT_EQ(ini_.readString(L"Next", L""), L"2");
    EXPECT_EQ(ini_.readString(L"name", L""), L"two  words");
    EXPECT_EQ(ini_.readString(L"v", L""), L"a=b");
    EXPECT_EQ(ini_.readString(L"", L""), L"x");
    ini_.writeString(L"v", L"c");
    EXPECT_EQ(closedBytes(), kHeader +
                                 "Lonely = \r\n;  two\r\nNext = 2\r\nName = two  words \t \r\n"
                                 "v = c\r\n = x\r\n[G]\r\n");
}

TEST_F(IniFileTest, EmptyAndNewFilesAreWrittenWithTheByteOrderMark) {
    openWith("");
    ini_.writeString(L"k", L"v");
    EXPECT_EQ(closedBytes(), kHeader + "k = v\r\n");

    files_.addFile(kPath, "old content");
    EXPECT_TRUE(ini_.create(kPath));
    EXPECT_EQ(files_.bytes(kPath), ""); // emptied at once, as on disk
    EXPECT_EQ(closedBytes(), "\xEF\xBB\xBF\r\n");
}

TEST_F(IniFileTest, UnchangedFilesAreNotRewritten) {
    openWith(kHandWritten);
    ini_.selectGroup(L"Other");
    EXPECT_EQ(ini_.readString(L"key", L""), L"val\u00FC");
    EXPECT_EQ(closedBytes(), kHandWritten);
    EXPECT_EQ(files_.replaces(), 0u);
}

TEST_F(IniFileTest, FirstOfDuplicateGroupsAndKeysWins) {
    openWith("[A]\nk=1\nk=2\n[a]\nk=3\n");
    ini_.selectGroup(L"a");
    EXPECT_EQ(ini_.readString(L"K", L""), L"1");
    ini_.writeString(L"K", L"9");
    EXPECT_EQ(closedBytes(), kHeader + "[A]\r\nK = 9\r\nk = 2\r\n[a]\r\nk = 3\r\n");
}

TEST_F(IniFileTest, MatchesOnlyAsciiLettersRegardlessOfCase) {
    // UTF-8 names "ÄBC" and "Grüße".
    openWith("\xEF\xBB\xBF[\xC3\x84"
             "BC]\nGr\xC3\xBC\xC3\x9F"
             "e=\xF0\x9F\x98\x80\n");
    EXPECT_FALSE(ini_.selectGroup(L"\u00E4bc"));
    EXPECT_TRUE(ini_.selectGroup(L"\u00C4bC"));
    EXPECT_EQ(ini_.readString(L"GR\u00FC\u00DFE", L""), L"\xD83D\xDE00");
    EXPECT_EQ(ini_.readString(L"GR\u00DC\u00DFE", L"none"), L"none");
}

TEST_F(IniFileTest, EnumeratesTheKeysOfTheCurrentGroupOnly) {
    openWith("top=0\n[G]\n;c\nfirst = 1 \nsecond\n;c\n[H]\nthird=3\n");
    ASSERT_TRUE(ini_.selectGroup(L"g"));
    ASSERT_TRUE(ini_.examineKeys());
    EXPECT_EQ(ini_.keyName(), L"");
    ASSERT_TRUE(ini_.nextKey());
    EXPECT_EQ(ini_.keyName(), L"first");
    EXPECT_EQ(ini_.keyValue(), L"1");
    ASSERT_TRUE(ini_.nextKey());
    EXPECT_EQ(ini_.keyName(), L"second");
    EXPECT_FALSE(ini_.nextKey());
    EXPECT_EQ(ini_.keyName(), L"second"); // the cursor stays on the last key

    ini_.selectGroup(L"");
    ASSERT_TRUE(ini_.examineKeys());
    ASSERT_TRUE(ini_.nextKey());
    EXPECT_EQ(ini_.keyName(), L"top");
    EXPECT_FALSE(ini_.nextKey());
}

TEST_F(IniFileTest, AFileThatCannotBeReadWholeIsNotOpenedAndNeverWritten) {
    files_.addFile(kPath, kHandWritten);
    files_.failReadsOf(kPath);
    EXPECT_FALSE(ini_.open(kPath));
    EXPECT_FALSE(ini_.selectGroup(L""));
    ini_.writeString(L"AutoClose", L"0");
    EXPECT_EQ(closedBytes(), kHandWritten);
    EXPECT_EQ(files_.replaces(), 0u);
}

TEST_F(IniFileTest, AFailedRewriteKeepsTheOldBytes) {
    openWith(kHandWritten);
    files_.failReplacesOf(kPath);
    ini_.selectGroup(L"Settings");
    ini_.writeString(L"AutoClose", L"0");
    EXPECT_FALSE(ini_.close());
    EXPECT_EQ(files_.bytes(kPath), kHandWritten);
}

TEST_F(IniFileTest, ReadOnlyFilesAreReadAndTheirChangesDropped) {
    files_.makeReadOnly(kPath);
    openWith(kHandWritten);
    ini_.selectGroup(L"Settings");
    EXPECT_EQ(ini_.readInteger(L"AutoClose", 5), 1);
    ini_.writeString(L"AutoClose", L"0");
    EXPECT_EQ(ini_.readInteger(L"AutoClose", 5), 0);
    EXPECT_TRUE(ini_.close());
    EXPECT_EQ(files_.bytes(kPath), kHandWritten);
    EXPECT_EQ(files_.replaces(), 0u);
}

TEST_F(IniFileTest, MissingFilesAndFoldersFailWithoutCreatingAnything) {
    EXPECT_FALSE(ini_.open(L"C:\\Tool\\Absent.ini"));
    EXPECT_FALSE(ini_.create(L"C:\\Gone\\Tarvex.cfg"));
    EXPECT_FALSE(ini_.examineKeys());
    EXPECT_FALSE(files_.bytes(L"C:\\Tool\\Absent.ini"));
    EXPECT_FALSE(files_.bytes(L"C:\\Gone\\Tarvex.cfg"));
}

TEST_F(IniFileTest, OpeningAnotherFileWritesBackTheFirst) {
    const std::wstring other = L"C:\\Lib\\Tarvex.cfg";
    files_.addFile(other, "[State]\nlast=1,0,2,0\n");
    openWith("");
    ini_.writeString(L"k", L"v");
    ASSERT_TRUE(ini_.open(other));
    EXPECT_EQ(files_.bytes(kPath), kHeader + "k = v\r\n");
    ini_.selectGroup(L"State");
    EXPECT_EQ(ini_.readString(L"last", L""), L"1,0,2,0");
    EXPECT_EQ(ini_.readString(L"k", L"none"), L"none");
}

} // namespace
} // namespace tarvex
