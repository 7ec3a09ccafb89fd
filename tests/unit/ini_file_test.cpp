// The INI file on bytes in memory: the rules by which it reads and rewrites
// a file, and what it does when reading fails (replacing: the Win32 tests).
#include <gtest/gtest.h>

#include <sstream>

#include "fakes.h"
#include "formats/ini_file.h"

namespace tarvex {
namespace {

const std::wstring kPath = L"C:\\Tool\\Tarvex.ini";
const std::string kHeader = "\xEF\xBB\xBF\r\n";
const std::string kUnchanged = "<unchanged>";
// Hand-edited: no byte order mark, Latin-1, LF ends, indentation, an empty
// line, no blanks around "=", a comment and a second group.
const std::string kHand = "[Settings]\nautoclose=1\n\n  ;caf\xE9 note\n[Other] x\nKey=val\xFC  \n";

// Steps, separated by "|": "[name" selects a group, "key?text" expects a
// string, "key#n" an integer (default 9), "key=text" writes, "*a=1,b=2,"
// expects the keys and values the enumeration gives.
struct Case {
    std::string file;
    std::wstring steps;
    std::string written;
};

const Case kCases[] = {
    {kHand,
     L"[Other|key?val\u00FC|[settings|AUTOCLOSE?1|AutoClose=0|Fresh=x|Later=y|[|Top=t|[VSlink|"
     L"Key?<none>|Key#9|*|17=C:\\VS\\x.lnk|n=-5",
     kHeader + "Top = t\r\n[Settings]\r\nAutoClose = 0\r\n; caf\xC3\xA9 note\r\nFresh = x\r\n"
               "Later = y\r\n[Other]\r\nKey = val\xC3\xBC  \r\n[VSlink]\r\n17 = C:\\VS\\x.lnk\r\n"
               "n = -5\r\n"},
    {"a=abc\nb= \t-42 \t\nc=+7x\nd=- 3\ne=99999999999\nf=-2147483648\ng=-99999999999\n",
     L"a#0|missing#9|b#-42|c#7|d#0|e#2147483647|f#-2147483648|g#-2147483648", kUnchanged},
    {"Lonely  \r\t;  two\rNext=2\r\n Name \t=  \t two  words \t \n\n\rv=a=b\r=x\r\n[G",
     L"Lonely?|Next?2|name?two  words|v?a=b|?x|v=c",
     kHeader +
         "Lonely = \r\n;  two\r\nNext = 2\r\nName = two  words \t \r\nv = c\r\n = x\r\n[G]\r\n"},
    // Names fold ASCII letters only, from A to Z.
    {"[A]\nz=1\nz=2\n@=0\nz[=5\n[a]\nz=3\n", L"[a|Z?1|`?<none>|Z{?<none>|Z=9",
     kHeader + "[A]\r\nZ = 9\r\nz = 2\r\n@ = 0\r\nz[ = 5\r\n[a]\r\nz = 3\r\n"},
    {"\xEF\xBB\xBF[\xC3\x84"
     "BC]\nGr\xC3\xBC\xC3\x9F"
     "e=\xF0\x9F\x98\x80\n",
     L"[\u00E4bc|GR\u00FC\u00DFE?<none>|[\u00C4bC|GR\u00FC\u00DFE?\xD83D\xDE00|GR\u00DC\u00DFE?<"
     L"none>",
     kUnchanged},
    {"top=0\n[G]\n;c\nfirst = 1 \nsecond\n;c\n[H]\nthird=3\n", L"[g|*first=1,second=,|[|*top=0,",
     kUnchanged},
};

void runStep(IniFile& ini, const std::wstring& step) {
    SCOPED_TRACE(step);
    const std::size_t mark = step.find_first_of(L"?#=");
    const std::wstring key = step.substr(0, mark), rest = step.substr(mark + 1);
    if (step.starts_with(L"[")) {
        ini.selectGroup(step.substr(1));
    } else if (step.starts_with(L"*")) {
        std::wstring seen;
        for (bool any = ini.examineKeys(); any && ini.nextKey();) {
            seen += ini.keyName() + L"=" + ini.keyValue() + L",";
        }
        EXPECT_EQ(seen, step.substr(1));
    } else if (step[mark] == L'?') {
        EXPECT_EQ(ini.readString(key, L"<none>"), rest);
    } else if (step[mark] == L'#') {
        EXPECT_EQ(ini.readInteger(key, 9), std::stoi(rest));
    } else {
        ini.writeString(key, rest);
    }
}

TEST(IniFile, ReadsAndRewritesByTheRules) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.file);
        testing::FakeFileSystem files;
        files.addFile(kPath, c.file);
        IniFile ini(files);
        ASSERT_TRUE(ini.open(kPath));
        std::wistringstream steps(c.steps);
        for (std::wstring step; std::getline(steps, step, L'|');) {
            runStep(ini, step);
        }
        EXPECT_TRUE(ini.close());
        EXPECT_EQ(files.content(kPath), c.written == kUnchanged ? c.file : c.written);
    }
}

TEST(IniFile, AnUnreadableFileKeepsItsBytesAndOneFileIsOpenAtATime) {
    testing::FakeFileSystem files;
    files.addFile(kPath, kHand);
    files.failingReads = {L"c:\\tool\\tarvex.ini"};
    IniFile ini(files);
    // Taken as empty, an unreadable file would be written over by the next change.
    EXPECT_FALSE(ini.open(kPath));
    ini.writeString(L"AutoClose", L"0");
    EXPECT_TRUE(ini.close());
    EXPECT_EQ(files.content(kPath), kHand);
    files.failingReads.clear();
    EXPECT_FALSE(ini.create(L"C:\\Gone\\Tarvex.cfg") || files.exists(L"C:\\Gone"));
    ASSERT_TRUE(ini.create(L"C:\\Tool\\Tarvex.cfg"));
    ini.writeString(L"k", L"v\u00FC\xD83D\xDE00");
    ASSERT_TRUE(ini.open(kPath)) << "opening another file writes back the first";
    EXPECT_EQ(files.content(L"C:\\Tool\\Tarvex.cfg"),
              kHeader + "k = v\xC3\xBC\xF0\x9F\x98\x80\r\n");
    EXPECT_EQ(ini.readString(L"k", L"none"), L"none");
}

} // namespace
} // namespace tarvex
