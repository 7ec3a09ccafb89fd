// Steps the end-to-end tests share: run the tool through its message boxes
// to its window, and close it.
#pragma once

#include <algorithm>
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

inline std::wstring titleFor(Bitness bitness) {
    return L"Tarvex - " + architectureName(bitness);
}

// The state file as the first start creates it: PB's CRT recorded.
inline const std::string kFreshStateFile = "\xEF\xBB\xBF\r\n[Settings]\r\nlast = 0,0,1,0\r\n";

inline const std::wstring kAdministratorLine =
    L"(Make sure that you've started the PB IDE as Administrator if UAC is enabled!)";

} // namespace tarvex::e2e
