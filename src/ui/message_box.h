// The tool's message boxes: the platform's box with the program icon, modal to
// every window of the tool.
#pragma once

#include <windows.h>

#include <string>

#include "core/tool_services.h"

namespace tarvex {

// Icon resource 1, the program icon, shown in every box.
HICON programIcon();

// Shows a box with the program icon in place of the standard one; disables
// the calling thread's other windows and lifts topmost ones out of the
// topmost band while it is up. Returns the code of the button pressed.
int showMessage(const std::wstring& title, const std::wstring& text, unsigned flags);

class Win32MessagePresenter final : public MessagePresenter {
public:
    int showMessage(const std::wstring& title, const std::wstring& text, unsigned flags) override {
        return tarvex::showMessage(title, text, flags);
    }
};

} // namespace tarvex
