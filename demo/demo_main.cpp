// scripts/demo: runs the first start of Tarvex on a sandbox installation the
// way a user meets it, answering every question Yes, then works the window:
// a few runtime switches, the linker-directive button, the build pane with the
// coffee picture, a build made with a stand-in Visual Studio, a dropped
// library's runtime, and the hover help. It prints which
// stored copy each active library equals after every click and saves a
// picture of each message box and of the window at its main steps. With
// --interactive it only prepares the sandbox, starts the tool and waits for
// the user to close it.
#include <algorithm>
#include <cstdio>
#include <string>

#include "driver.h"
#include "ui/hover_help.h"
#include "window_picture.h"

using namespace tarvex;
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

// Which stored copy (a name starting with "_") each active library equals.
void showActiveLibraries(const Sandbox& sandbox) {
    const auto files = snapshot(sandbox.libraryDirectory());
    for (const wchar_t* active : {L"msvcrt.lib", L"libpng.lib", L"libjpeg.lib"}) {
        std::wstring equal = L"no stored copy";
        for (const auto& [name, bytes] : files) {
            if (name.starts_with(L"_") && bytes == files.at(active)) {
                equal = name;
                break;
            }
        }
        say(L"    " + std::wstring(active) + L" = " + equal);
    }
}

void picture(HWND window, const std::wstring& path) {
    ::Sleep(300); // let the window paint first
    saveWindowPicture(window, path);
    say(L"  picture -> " + path);
}

void clickAndShow(const WindowDriver& window, const Sandbox& sandbox, Control button,
                  const std::wstring& what) {
    window.click(button);
    const std::string state = readBytes(sandbox.libraryDirectory() + L"Tarvex.cfg");
    const std::size_t at = state.find("last = ");
    const std::string record =
        at == std::string::npos ? "nothing" : state.substr(at + 7, state.find('\r', at) - at - 7);
    say(L"clicked " + what + L"; Tarvex.cfg records " + std::wstring(record.begin(), record.end()));
    showActiveLibraries(sandbox);
}

void hoverAndShow(const WindowDriver& window, Control control, const std::wstring& what) {
    const bool debug = window.state(Control::chkDebug) != 0;
    const auto expected = hoverHelpText(static_cast<int>(control), debug).value_or(L"");
    say(L"pointer over " + what + L": \"" + window.hover(control, expected) + L"\"");
}

// The small button on /MD's corner and the first lines it put on the clipboard.
void showSnippet(const WindowDriver& window) {
    window.click(Control::btnCopyDirectives);
    const std::wstring text = clipboardText();
    say(L"clicked the linker-directive button; the clipboard holds " +
        std::to_wstring(text.size()) + L" characters in " +
        std::to_wstring(std::count(text.begin(), text.end(), L'\n')) + L" lines, beginning:");
    std::size_t start = 0;
    for (int line = 0; line < 3 && start < text.size(); ++line) {
        const std::size_t end = std::min(text.find(L'\n', start), text.size());
        say(L"    " + text.substr(start, end - start));
        start = end + 1;
    }
}

// Registers the stand-in Visual Studio by dropping its prompt's shortcut,
// builds with it, prints what the build brought into the library folder and
// switches to it.
void buildWithVisualStudio(const WindowDriver& window, const Sandbox& sandbox) {
    const std::wstring tools = addStandInVisualStudio(sandbox);
    const std::wstring prompt = tools + L"x64 Native Tools Command Prompt for VS 2022.lnk";
    saveShortcut(prompt, L"/k \"" + tools + L"vcvars64.bat\"");
    dragFiles(window.handle(), {prompt}, DROPEFFECT_LINK);
    window.settle();
    for (const auto& item : window.items(Control::cmbVsVersion)) {
        say(L"dropped the prompt's shortcut; Visual Studio list:" + item);
    }
    const auto before = snapshot(sandbox.libraryDirectory());
    window.postClick(Control::btnBuild);
    window.settle();
    for (const auto& [name, bytes] : snapshot(sandbox.libraryDirectory())) {
        if (!before.contains(name) || before.at(name) != bytes) {
            say(L"  built and taken in: " + name + L" (" + std::to_wstring(bytes.size()) +
                L" bytes)");
        }
    }
    const auto versions = window.items(Control::cmbUcrtVersion);
    for (int index = 0; index < static_cast<int>(versions.size()); ++index) {
        if (versions[static_cast<std::size_t>(index)] == L" VS 2022, 17") {
            window.select(Control::cmbUcrtVersion, index);
        }
    }
    clickAndShow(window, sandbox, Control::btnMD,
                 L"/MDd with" + window.text(Control::cmbUcrtVersion));
}

// Drops a static x64 library that clang made on the window, pictures the box
// that tells what it needs, and answers Yes.
void dropLibrary(const ToolProcess& tool, const WindowDriver& window, const Sandbox& sandbox,
                 const std::wstring& pictures) {
    const std::wstring file = sandbox.root() + L"vendor_static.lib";
    fs::copy_file(fs::path(TARVEX_COFF_TEST_DATA) / L"mt_x64.lib", file,
                  fs::copy_options::overwrite_existing);
    dragFiles(window.handle(), {file}, DROPEFFECT_LINK);
    const HWND box = tool.waitForMessageBox();
    if (!box) {
        say(L"dropped vendor_static.lib; no box appeared");
        return;
    }
    ::Sleep(300);
    saveWindowPicture(box, pictures + L"box-library-drop.bmp");
    say(L"dropped vendor_static.lib (clang, x64, /MT): " + oneLine(answerBox(box, IDYES).text));
    window.settle();
    say(L"answered Yes; active libraries:");
    showActiveLibraries(sandbox);
}

// The window as a user works it after the first run.
int workTheWindow(const ToolProcess& tool, HWND handle, const Sandbox& sandbox,
                  const std::wstring& pictures) {
    const WindowDriver window(handle);
    say(L"window: \"" + windowText(handle) + L"\"; active libraries:");
    showActiveLibraries(sandbox);
    picture(handle, pictures + L"window-start.bmp");

    clickAndShow(window, sandbox, Control::btnMD,
                 L"/MD with " + window.text(Control::cmbUcrtVersion));
    picture(handle, pictures + L"window-after-switch.bmp");
    window.click(Control::chkDebug);
    clickAndShow(window, sandbox, Control::btnMT, L"/MTd (Dbg ticked)");
    clickAndShow(window, sandbox, Control::btnPB, L"PB's CRT");
    showSnippet(window);

    window.click(Control::chkBuildPane);
    RECT client{};
    ::GetClientRect(handle, &client);
    say(L"ticked Build: client area " + std::to_wstring(client.right) + L" x " +
        std::to_wstring(client.bottom));
    buildWithVisualStudio(window, sandbox);
    dropLibrary(tool, window, sandbox, pictures);
    hoverAndShow(window, Control::btnBuild, L"Build");
    hoverAndShow(window, Control::btnMD, L"/MD");
    picture(handle, pictures + L"window-build-pane.bmp");

    const auto code = closeWindow(tool, handle);
    say(L"closed the window; exit code " + (code ? std::to_wstring(*code) : L"none"));
    return code == 0u ? 0 : 1;
}

int driveFirstRun(const Sandbox& sandbox, const std::wstring& pictures) {
    ToolProcess tool;
    if (!tool.start(sandbox.toolExecutable(), sandbox.ideEnvironment())) {
        say(L"demo: cannot start " + sandbox.toolExecutable());
        return 1;
    }
    std::vector<std::wstring> shots;
    const auto run = answerUntilWindow(tool, {IDYES}, [&](HWND box) {
        ::Sleep(300); // the box swaps in the program icon when it is activated
        shots.push_back(pictures + L"box-" + std::to_wstring(shots.size() + 1) + L".bmp");
        saveWindowPicture(box, shots.back());
    });
    for (std::size_t i = 0; i < run.boxes.size(); ++i) {
        say(L"box " + std::to_wstring(i + 1) + L": [" + run.boxes[i].title + L"] " +
            oneLine(run.boxes[i].text) + L"  -> " + shots[i]);
    }
    if (run.window) {
        return workTheWindow(tool, run.window, sandbox, pictures);
    }
    const auto code = tool.waitForExit();
    say(L"no window; the tool's exit code " + (code ? std::to_wstring(*code) : L"none"));
    return 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        say(L"usage: tarvex_demo SANDBOX-FOLDER PICTURE-FOLDER [--interactive]");
        return 2;
    }
    std::error_code ignored;
    fs::remove_all(argv[1], ignored);
    Sandbox sandbox(Bitness::X64, argv[1]);
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
