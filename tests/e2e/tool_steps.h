// Steps the end-to-end tests share: run the tool through its message boxes
// to its window, and close it.
#pragma once

#include <algorithm>
#include <optional>
#include <thread>
#include <vector>

#include "sandbox.h"
#include "tool_driver.h"

namespace tarvex::e2e {

struct RunUntilWindow {
    std::vector<MessageBoxView> boxes;
    HWND window = nullptr;
};

// Answers every message box with the given button (a box without it gets
// OK) until the main window shows or the process ends.
inline RunUntilWindow answerUntilWindow(const ToolProcess& tool, int button) {
    RunUntilWindow run;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < deadline) {
        if ((run.window = tool.waitForMainWindow(0ms))) {
            return run;
        }
        if (HWND box = tool.waitForMessageBox(0ms)) {
            run.boxes.push_back(readMessageBox(box));
            const auto& buttons = run.boxes.back().buttons;
            const bool offered = std::find(buttons.begin(), buttons.end(), button) != buttons.end();
            answer(box, offered ? button : IDOK);
            while (::IsWindow(box) && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(10ms);
            }
            continue;
        }
        if (!tool.running()) {
            return run;
        }
        std::this_thread::sleep_for(20ms);
    }
    return run;
}

// Asks the window to close, as its close button does, and waits for the end.
inline std::optional<DWORD> closeWindow(const ToolProcess& tool, HWND window) {
    ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return tool.waitForExit();
}

// Runs the first start on a sandbox with Yes to every question and closes the
// window, so later starts ask nothing. Returns how many questions were
// answered; nothing when the window never came or the tool did not end with 0.
inline std::optional<std::size_t> completeFirstRun(const Sandbox& sandbox) {
    ToolProcess first;
    if (!first.start(sandbox.toolExecutable(), sandbox.ideEnvironment())) {
        return std::nullopt;
    }
    const RunUntilWindow run = answerUntilWindow(first, IDYES);
    if (!run.window || closeWindow(first, run.window) != 0u) {
        return std::nullopt;
    }
    return run.boxes.size();
}

inline std::wstring titleFor(Bitness bitness) {
    return L"Tarvex - " + architectureName(bitness);
}

// The state file as the tool writes it for a selection record.
inline std::string stateFile(const std::string& record) {
    return "\xEF\xBB\xBF\r\n[Settings]\r\nlast = " + record + "\r\n";
}

// The state file as the first start creates it: PB's CRT recorded.
inline const std::string kFreshStateFile = stateFile("0,0,1,0");

inline const std::wstring kAdministratorLine =
    L"(Make sure that you've started the PB IDE as Administrator if UAC is enabled!)";

inline std::wstring copyErrorText(const std::wstring& source, const std::wstring& target) {
    return L"Error copying from:\n'" + source + L"'\nto:\n'" + target + L"'\n\n\n" +
           kAdministratorLine;
}

// One sandbox and the tool started on it as often as a test needs; the first
// start answers the first-run questions with Yes.
struct ToolSession {
    explicit ToolSession(const SandboxLayout& layout = {}) : sandbox(layout) {}

    // target: the file name the IDE builds, which decides btnPngJpeg.
    WindowDriver start(const std::wstring& target = L"Game.exe") {
        tool.emplace();
        // A window that appears under the pointer gets a mouse move, whose
        // help text would then stand in txtStatus from the start.
        ::SetCursorPos(0, 0);
        auto environment = sandbox.ideEnvironment();
        environment[L"PB_TOOL_Executable"] = sandbox.root() + L"Project\\" + target;
        if (!tool->start(sandbox.toolExecutable(), environment)) {
            return WindowDriver{};
        }
        window = WindowDriver(answerUntilWindow(*tool, IDYES).window);
        return window;
    }
    std::optional<DWORD> close() { return closeWindow(*tool, window.handle()); }
    std::string library(const std::wstring& name) const {
        return readBytes(sandbox.libraryDirectory() + name);
    }

    Sandbox sandbox;
    std::optional<ToolProcess> tool;
    WindowDriver window;
};

} // namespace tarvex::e2e
