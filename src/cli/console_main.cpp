// TarvexC.exe: the console program for build scripts and servers. It shows no
// window and no message box and never waits for a key.
#include <windows.h>

#include <string>
#include <vector>

#include "cli/console_tool.h"
#include "formats/utf8.h"
#include "platform/win32/shell_link.h"
#include "platform/win32/single_instance.h"
#include "platform/win32/win32_byte_file.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_program_launcher.h"

namespace {

// A console gets UTF-16 as it is; a file or pipe gets UTF-8, which a script
// reads without knowing the console's code page.
void writeLine(DWORD which, const std::wstring& line) {
    const HANDLE handle = ::GetStdHandle(which);
    const std::wstring text = line + L"\r\n";
    DWORD mode = 0, written = 0;
    if (::GetConsoleMode(handle, &mode)) {
        ::WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = tarvex::utf8FromUtf16(text);
    ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

struct StandardOutput final : tarvex::ConsoleOutput {
    void out(const std::wstring& line) override { writeLine(STD_OUTPUT_HANDLE, line); }
    void error(const std::wstring& line) override { writeLine(STD_ERROR_HANDLE, line); }
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    // A failing system call reports its error here, never in a box that waits.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    tarvex::Win32FileSystem files;
    tarvex::Win32ByteFileService byteFiles;
    tarvex::Win32Environment environment;
    tarvex::Win32Clipboard clipboard;
    tarvex::Win32ProgramLauncher programs;
    tarvex::Win32ShortcutReader shortcuts;
    tarvex::ConsolePlatform platform{files,
                                     byteFiles,
                                     environment,
                                     clipboard,
                                     programs,
                                     shortcuts,
                                     tarvex::takeSingleInstanceLock};
    StandardOutput output;
    return tarvex::runConsoleTool(std::vector<std::wstring>(argv + 1, argv + argc), platform,
                                  output);
}
