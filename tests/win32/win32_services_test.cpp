// The Win32 services where an end-to-end run cannot set the condition up: long
// paths, files held by other programs, a message box and the thread's windows.
#include <gtest/gtest.h>

#include <thread>

#include "formats/ini_file.h"
#include "platform/win32/long_path.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_byte_file.h"
#include "platform/win32/win32_file_system.h"
#include "test_files.h"
#include "ui/message_box.h"

namespace tarvex {
namespace {

TEST(LongPaths, ReachTheFileCallsInTheNormalisedExtendedForm) {
    // Wine opens plain paths past MAX_PATH, so the form itself is what
    // matters on Windows, where that form skips all normalisation.
    const std::wstring dirs(300, L'd'), x(244, L'x');
    const std::pair<std::wstring, std::wstring> forms[] = {
        {L"C:\\a/b\\..\\c", L"C:\\a/b\\..\\c"},
        {L"C:/x/../" + dirs + L"//_*.lib", L"\\\\?\\C:\\" + dirs + L"\\_*.lib"},
        {L"\\\\server\\share\\x\\..\\" + dirs, L"\\\\?\\UNC\\server\\share\\" + dirs},
        {L"C:\\" + x, L"C:\\" + x},
        {L"C:\\" + x + L"x", L"\\\\?\\C:\\" + x + L"x"},
    };
    for (const auto& [path, form] : forms) {
        EXPECT_EQ(extendedLengthPath(path), form) << path.size() << " characters";
    }
}

TEST(FilesOnDisk, ReadAtAnyOffsetListNoMatchAsEmptyAndNoFolderAsFailureCopyNotOntoAFolder) {
    testing::TempDirectory temp;
    const std::wstring path = temp.path() + L"\\large.lib";
    std::string bytes(3u << 20, '\0'); // a read asks for at most 1 MiB at a time
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7 + i / 4099); // no two nearby offsets alike
    }
    ASSERT_TRUE(testing::writeBytes(path, bytes));
    Win32ByteFileService service;
    const auto reader = service.openForReading(path);
    ASSERT_TRUE(reader && reader->size() == bytes.size());
    const std::pair<std::size_t, std::size_t> reads[] = {
        {2u << 20, 5000}, {17, 40}, {1, (1u << 20) + 3}, {bytes.size() - 9, 9}, {0, bytes.size()}};
    for (const auto& [offset, count] : reads) {
        std::string got(count, '\0');
        EXPECT_TRUE(reader->readAt(offset, got.data(), count) && got == bytes.substr(offset, count))
            << count << " bytes at " << offset;
    }
    char past[2];
    EXPECT_FALSE(reader->readAt(bytes.size() - 1, past, 2));
    Win32FileSystem files;
    const auto listing = files.newListing();
    EXPECT_TRUE(listing->open(temp.path(), L"*.obj") && !listing->next()) << "no match: empty";
    EXPECT_FALSE(files.newListing()->open(temp.path() + L"\\gone", L"*.lib")) << "no folder";
    EXPECT_FALSE(files.copyReplacing(path, temp.path()));
}

TEST(IniFileOnDisk, OtherProgramsHoldingTheFileNeverCostItsBytes) {
    testing::TempDirectory temp;
    const std::wstring path = temp.path() + L"\\Tarvex.ini";
    const std::string original = "[Settings]\nautoclose=1\n";
    Win32ByteFileService service;
    IniFile ini(service);
    const auto rewrite = [&] {
        EXPECT_TRUE(ini.open(path));
        ini.selectGroup(L"Settings");
        ini.writeString(L"AutoClose", L"0");
        return ini.close();
    };
    ASSERT_TRUE(testing::writeBytes(path, original));
    // A reader that lets others only read, and a writer that shares writing:
    // the file opens for reading only, and nothing written is no failure. A
    // reader that does not share deletion blocks the final rename.
    const struct {
        DWORD access, share;
        bool rewritten;
    } holders[] = {{GENERIC_READ, FILE_SHARE_READ, true},
                   {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
                   {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, false}};
    for (const auto& holder : holders) {
        const UniqueKernelHandle other(::CreateFileW(path.c_str(), holder.access, holder.share,
                                                     nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(other);
        EXPECT_EQ(rewrite(), holder.rewritten) << holder.access << " " << holder.share;
        // Wine's ReplaceFileW leaves behind the empty "rf*.tmp" file it made
        // when moving the old file fails; Windows leaves nothing.
        auto left = testing::snapshot(temp.path());
        std::erase_if(left, [](const auto& entry) {
            return entry.first.starts_with(L"rf") && entry.second.empty();
        });
        EXPECT_EQ(left, (std::map<std::wstring, std::string>{{L"Tarvex.ini", original}}));
    }
}

TEST(ShowMessage, ShowsTheProgramIconAndDisablesTheThreadsOtherWindowsWhileUp) {
    const auto window = [] {
        return UniqueWindow(::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                              40, 40, 300, 200, nullptr, nullptr, nullptr,
                                              nullptr));
    };
    UniqueWindow background = window(), disabled = window(), front = window();
    ::EnableWindow(disabled.get(), FALSE);
    ::SetForegroundWindow(front.get());
    std::vector<LRESULT> whileUp; // the icon, background enabled, the owner
    std::thread answer([&] {
        HWND box = nullptr;
        for (int waited = 0; !box && waited < 10000; waited += 20, ::Sleep(20)) {
            box = ::FindWindowW(L"#32770", L"Tarvex - x64");
        }
        ::Sleep(300); // the icon is swapped when the box is activated
        // Windows keeps the icon in the static with id 20; Wine in id 1088.
        HWND icon = ::GetDlgItem(box, 20) ? ::GetDlgItem(box, 20) : ::GetDlgItem(box, 1088);
        whileUp = {::SendMessageW(icon, STM_GETIMAGE, IMAGE_ICON, 0),
                   ::IsWindowEnabled(background.get()),
                   reinterpret_cast<LRESULT>(::GetWindow(box, GW_OWNER))};
        ::PostMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(showMessage(L"Tarvex - x64", L"Select a library first.", MB_ICONWARNING), IDOK);
    answer.join();
    EXPECT_EQ(whileUp, (std::vector<LRESULT>{reinterpret_cast<LRESULT>(programIcon()), FALSE,
                                             reinterpret_cast<LRESULT>(front.get())}));
    EXPECT_TRUE(::IsWindowEnabled(background.get()));
    EXPECT_FALSE(::IsWindowEnabled(disabled.get())) << "a window disabled before stays disabled";
}

} // namespace
} // namespace tarvex
