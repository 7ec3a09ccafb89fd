#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "platform/utf8.h"

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
    {kHand, L"[Settings|AUTOCLOSE?1|AutoClose=0",
     kHeader +
         "[Settings]\r\nAutoClose = 0\r\n; caf\xC3\xA9 note\r\n[Other]\r\nKey = val\xC3\xBC  \r\n"},
    {kHand, L"[settings|Fresh=x|Later=y|[|Top=t",
     kHeader + "Top = t\r\n[Settings]\r\nautoclose = 1\r\n; caf\xC3\xA9 note\r\nFresh = x\r\n"
               "Later = y\r\n[Other]\r\nKey = val\xC3\xBC  \r\n"},
    {kHand, L"[VSlink|Key?<none>|Key#9|*|17=C:\\VS\\x.lnk|n=-5",
     kHeader + "[Settings]\r\nautoclose = 1\r\n; caf\xC3\xA9 note\r\n[Other]\r\n"
               "Key = val\xC3\xBC  \r\n[VSlink]\r\n17 = C:\\VS\\x.lnk\r\nn = -5\r\n"},
    {kHand, L"[Other|key?val\u00FC", kUnchanged},
    {"a=abc\nb= \t-42 \t\nc=+7x\nd=- 3\ne=99999999999\nf=-2147483648\ng=-99999999999\n",
     L"a#0|missing#9|b#-42|c#7|d#0|e#2147483647|f#-2147483648|g#-2147483648", kUnchanged},
    {"Lonely  \r\t;  two\rNext=2\r\n Name \t=  \t two  words \t \n\n\rv=a=b\r=x\r\n[G",
     L"Lonely?|Next?2|name?two  words|v?a=b|?x|v=c",
     kHeader +
         "Lonely = \r\n;  two\r\nNext = 2\r\nName = two  words \t \r\nv = c\r\n = x\r\n[G]\r\n"},
    {"", L"k=v", kHeader + "k = v\r\n"},
    {"[A]\nk=1\nk=2\n[a]\nk=3\n", L"[a|K?1|K=9",
     kHeader + "[A]\r\nK = 9\r\nk = 2\r\n[a]\r\nk = 3\r\n"},
    {"\xEF\xBB\xBF[\xC3\x84"
     "BC]\nGr\xC3\xBC\xC3\x9F"
     "e=\xF0\x9F\x98\x80\n",
     L"[\u00E4bc|GR\u00FC\u00DFE?<none>|[\u00C4bC|GR\u00FC\u00DFE?\xD83D\xDE00|GR\u00DC\u00DFE?<"
     L"none>",
     kUnchanged},
    {"top=0\n[G]\n;c\nfirst = 1 \nsecond\n;c\n[H]\nthird=3\n", L"[g|*first=1,second=,|[|*top=0,",
     kUnchanged},
};

std::vector<std::wstring> split(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find(separator, at), text.size());
        parts.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

void runStep(IniFile& ini, const std::wstring& step) {
    SCOPED_TRACE(utf8FromUtf16(step));
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
        for (const std::wstring& step : split(c.steps, L'|')) {
            runStep(ini, step);
        }
        EXPECT_TRUE(ini.close());
        EXPECT_EQ(files.content(kPath), c.written == kUnchanged ? c.file : c.written);
    }
}

TEST(IniFile, FailuresKeepTheOldBytes) {
    testing::FakeFileSystem files;
    files.addFile(kPath, kHand);
    files.addFile(L"C:\\Lib\\Tarvex.cfg", "[State]\nlast=1,0,2,0\n");
    IniFile ini(files);
    // Taken as empty, an unreadable file would be written over by the next change.
    files.failingReads.insert(L"c:\\tool\\tarvex.ini");
    EXPECT_FALSE(ini.open(kPath));
    ini.writeString(L"AutoClose", L"0");
    EXPECT_TRUE(ini.close());
    files.failingReads.clear();
    files.failingReplaces.insert(L"c:\\tool\\tarvex.ini");
    ASSERT_TRUE(ini.open(kPath));
    ini.writeString(L"AutoClose", L"0");
    EXPECT_FALSE(ini.close());
    EXPECT_EQ(files.content(kPath), kHand);
    EXPECT_FALSE(ini.open(L"C:\\Tool\\Absent.ini"));
    EXPECT_FALSE(ini.create(L"C:\\Gone\\Tarvex.cfg"));
    EXPECT_FALSE(files.exists(L"C:\\Tool\\Absent.ini") || files.exists(L"C:\\Gone"));

    files.failingReplaces.clear();
    ASSERT_TRUE(ini.create(kPath));
    EXPECT_EQ(files.content(kPath), "") << "emptied at once, as on disk";
    ini.writeString(L"k", L"v");
    ASSERT_TRUE(ini.open(L"C:\\Lib\\Tarvex.cfg")) << "writes back the first file";
    EXPECT_EQ(files.content(kPath), kHeader + "k = v\r\n");
    EXPECT_EQ(ini.readString(L"k", L"none"), L"none");
}

TEST(Utf8, ConvertsUtf16UnitsAndReplacesWhatIsBroken) {
    const std::wstring bad(1, static_cast<wchar_t>(0xFFFD));
    const std::wstring text = {L'G', 0xFC, 0x20AC, 0xD83D, 0xDE00, L'\0'};
    EXPECT_EQ(utf8FromUtf16(text), std::string("G\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80", 10) + '\0');
    EXPECT_EQ(utf16FromUtf8(utf8FromUtf16(text)), text);
    EXPECT_EQ(utf8FromUtf16(std::wstring{0xDE00, 0xD83D, L'x'}), "\xEF\xBF\xBD\xEF\xBF\xBDx");
    const std::pair<std::string, std::size_t> broken[] = {
        {"\xFF", 1},         {"\xC3", 1},         {"\xF0\x9F\x98", 1},     {"\xC0\xAF", 2},
        {"\xE0\x80\xAF", 3}, {"\xED\xA0\x80", 3}, {"\xF4\x90\x80\x80", 4}, {"\x80\xBF", 2}};
    for (const auto& [bytes, replacements] : broken) {
        EXPECT_EQ(utf16FromUtf8(bytes + "x"), std::wstring(replacements, bad[0]) + L"x")
            << bytes.size() << " bytes";
    }
}

} // namespace
} // namespace tarvex
