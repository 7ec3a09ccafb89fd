// Arbitrary bytes as an INI file: parsing must never crash, a rewrite of a
// rewrite must give the same bytes, and a written key must read back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fakes.h"
#include "formats/ini_file.h"

namespace {

using tarvex::IniFile;
using tarvex::testing::FakeFileSystem;

const std::wstring kPath = L"C:\\Tools\\Tarvex.ini";

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void checkRewriteIsStable(const std::string& bytes) {
    const std::string first = tarvex::iniFileBytes(tarvex::parseIniBytes(bytes));
    const std::string second = tarvex::iniFileBytes(tarvex::parseIniBytes(first));
    require(first == second);
}

// Reads what the tool reads, enumerates a group and writes one key, the way
// the settings code uses the file.
void exerciseFile(FakeFileSystem& files) {
    IniFile ini(files);
    require(ini.open(kPath));
    ini.selectGroup(L"Settings");
    (void)ini.readInteger(L"AutoClose", 0);
    (void)ini.readString(L"last", L"0,0,1,0");
    if (ini.selectGroup(L"VSver") && ini.examineKeys()) {
        while (ini.nextKey()) {
            (void)ini.keyName();
            (void)ini.keyValue();
        }
    }
    ini.selectGroup(L"Settings");
    ini.writeString(L"AutoClose", L"1");
    require(ini.close());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    checkRewriteIsStable(bytes);

    FakeFileSystem files;
    files.addFile(kPath, bytes);
    exerciseFile(files);
    const std::string rewritten = *files.content(kPath);
    checkRewriteIsStable(rewritten);

    IniFile reread(files);
    require(reread.open(kPath));
    require(reread.selectGroup(L"Settings"));
    require(reread.readString(L"AutoClose", L"") == L"1");
    return 0;
}
