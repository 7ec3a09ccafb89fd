// scripts/demo: runs the first start of Tarvex on a sandbox installation the
// way a user meets it, answering every question Yes, and saves a picture of
// each message box and of the window. With --interactive it only prepares
// the sandbox, starts the tool and waits for the user to close it.
#include <cstdio>
#include <string>

#include "tool_steps.h"

using namespace tarvex::e2e;

namespace {

void say(const std::wstring& text) {
    std::fputws(text.c_str(), stdout);
    std::fputws(L"\n", stdout);
    std::fflush(stdout);
}

std::wstring oneLine(std::wstring text) {
    for (wchar_t& c : text) {
        if (c == L'\n' || c == L'\t') {
            c = L' ';
        }
    }
    return text;
}

int driveFirstRun(const Sandbox& sandbox, const std::wstring& pictures) {
    ToolProcess tool;
    if (!tool.start(sandbox.toolExecutable(), sandbox.ideEnvironment())) {
        say(L"demo: cannot start " + sandbox.toolExecutable());
        return 1;
    }
    int number = 0;
    for (;;) {
        if (HWND window = tool.waitForMainWindow(0ms)) {
            ::Sleep(300); // let the window paint before the picture
            const std::wstring picture = pictures + L"window.bmp";
            saveWindowPicture(window, picture);
            say(L"window: \"" + windowText(window) + L"\"  -> " + picture);
            const auto code = closeWindow(tool, window);
            say(L"closed the window; exit code " + (code ? std::to_wstring(*code) : L"none"));
            return code == 0u ? 0 : 1;
        }
        if (HWND box = tool.waitForMessageBox(0ms)) {
            ::Sleep(300);
            const std::wstring picture = pictures + L"box-" + std::to_wstring(++number) + L".bmp";
            saveWindowPicture(box, picture);
            const auto view = readMessageBox(box);
            say(L"box " + std::to_wstring(number) + L": [" + view.title + L"] " +
                oneLine(view.text) + L"  -> " + picture);
            answer(box, view.buttons.size() > 1 ? IDYES : IDOK);
            while (::IsWindow(box)) {
                ::Sleep(10);
            }
            continue;
        }
        if (!tool.running()) {
            const auto code = tool.waitForExit();
            say(L"the tool ended; exit code " + (code ? std::to_wstring(*code) : L"none"));
            return 1;
        }
        ::Sleep(20);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        say(L"usage: tarvex_demo SANDBOX-FOLDER PICTURE-FOLDER [--interactive]");
        return 2;
    }
    removeTree(argv[1]);
    Sandbox sandbox({}, argv[1]);
    say(L"sandbox compiler: " + sandbox.compilerPath());
    say(L"library folder:   " + sandbox.libraryDirectory());
    if (argc > 3 && std::wstring(argv[3]) == L"--interactive") {
        ToolProcess tool;
        if (!tool.start(sandbox.toolExecutable(), sandbox.ideEnvironment())) {
            return 1;
        }
        const auto code = tool.waitForExit(std::chrono::hours(24));
        say(L"the tool ended; exit code " + (code ? std::to_wstring(*code) : L"none"));
        return 0;
    }
    std::wstring pictures = argv[2];
    if (pictures.back() != L'\\') {
        pictures += L'\\';
    }
    const int result = driveFirstRun(sandbox, pictures);
    say(L"library folder now holds:");
    for (const auto& [name, content] : snapshot(sandbox.libraryDirectory())) {
        say(L"  " + name + L" (" + std::to_wstring(content.size()) + L" bytes)");
    }
    return result;
}
