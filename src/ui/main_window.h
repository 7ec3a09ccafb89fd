// wndMain, the tool's one window: its eighteen controls, the build pane, the
// hover help and the event loop that hands each click and key to the core.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/tool_context.h"
#include "core/tool_services.h"
#include "platform/win32/file_drop.h"
#include "platform/win32/unique_handle.h"
#include "ui/hover_help.h"
#include "ui/image_button.h"
#include "ui/keyboard.h"
#include "ui/win32_control_view.h"

namespace tarvex {

inline constexpr const wchar_t* kMainWindowClass = L"TarvexMainWindow";

class MainWindow {
public:
    MainWindow(ToolContext& context, ToolServices& services)
        : context_(context), services_(services) {}
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and its controls, invisible, owned by owner (may be
    // null). False when the window cannot be created, for example for an
    // owner that is no window.
    bool create(HINSTANCE instance, HWND owner);
    // Gives the controls their start state from the settings, the catalogue
    // and the recorded selection.
    void prepareControls();
    // Shows and paints the window with the start control focused, then takes
    // drops.
    void show();
    // Runs until the close request for the window arrives.
    void runEventLoop();

    HWND handle() const { return window_.get(); }
    ControlView& view() { return *view_; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void createControls(HINSTANCE instance);
    void onCommand(Control control, WORD notification);
    // A shortcut to a native-tools prompt, or a library to analyse.
    void onFileDrop(const std::wstring& text);
    void handleQueuedDrops();
    void showBuildPane(bool shown);
    void setClientHeight(int logicalHeight);
    int scaled(int logical) const { return ::MulDiv(logical, dpi_, 96); }

    ToolContext& context_;
    ToolServices& services_;
    int dpi_ = 96;
    UniqueFont messageFont_;
    UniqueFont statusFont_;
    ImageButton coffeeButton_;
    UniqueIcon blankIcon_;
    UniqueWindow window_;           // destroyed before the fonts and picture its controls use
    DropQueue drops_;               // outlives the drop target's registration
    FileDropRegistration fileDrop_; // revoked before the window goes
    std::optional<Win32ControlView> view_;
    HoverHelp hoverHelp_;
    Keyboard keyboard_;
};

} // namespace tarvex
