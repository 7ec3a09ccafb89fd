#include "ui/hover_help.h"

#include <array>
#include <utility>

namespace tarvex {
namespace {

constexpr int kNoControl = -1;

constexpr std::array<std::pair<Control, const wchar_t*>, 11> kHelpTexts{{
    {Control::cmbUcrtVersion, L" Select UCRT by Visual Studio version"},
    {Control::chkDebug, L" Use the UCRT Debug version"},
    {Control::btnPB, L" PB's default CRT, dynamic linking"},
    {Control::chkBuildPane, L" Show/Hide 'Build UCRT Library' pane"},
    {Control::chkAutoClose, L" Automatically close the window on CRT selection"},
    {Control::edtSdkVersion, L" Change SDK version (empty = latest)"},
    {Control::cmbVsVersion, L" Select Visual Studio version"},
    {Control::btnBuild, L" Build UCRT Library"},
    {Control::btnCoffee, L" Donate a cup of coffee... Thanks!"},
    {Control::btnCopyDirectives, L" Copy MD(d) specific linker directives for PB to the clipboard"},
    {Control::btnPngJpeg, L" Toggle only for DLL's using libpng/libjpeg"},
}};

// The identifier of the control under the pointer; -1 over wndMain itself,
// outside any window, or when the pointer cannot be read.
int hoveredId() {
    POINT pointer{};
    if (!::GetCursorPos(&pointer)) {
        return kNoControl;
    }
    HWND window = ::WindowFromPoint(pointer);
    if (!window) {
        return kNoControl;
    }
    const int id = ::GetDlgCtrlID(window);
    return id == 0 ? kNoControl : id;
}

} // namespace

std::optional<std::wstring> hoverHelpText(int id, bool debug) {
    if (id == kNoControl) {
        return std::wstring();
    }
    if (id == static_cast<int>(Control::btnMD)) {
        return debug ? L" UCRT MultiThreaded Debug, dynamic linking (Not redistributable)"
                     : L" UCRT MultiThreaded, dynamic linking (VC++ Redist. prior Windows 10)";
    }
    if (id == static_cast<int>(Control::btnMT)) {
        return debug ? L" UCRT MultiThreaded Debug, static linking (Not redistributable)"
                     : L" UCRT MultiThreaded, static linking";
    }
    for (const auto& [control, text] : kHelpTexts) {
        if (static_cast<int>(control) == id) {
            return std::wstring(text);
        }
    }
    return std::nullopt;
}

void showFocusHelp(ControlView& view, int focusedId) {
    if (const auto text = hoverHelpText(focusedId, view.state(Control::chkDebug))) {
        view.setText(Control::txtStatus, *text);
    }
}

void HoverHelp::pointerMoved(ControlView& view) {
    const int id = hoveredId();
    if (id == lastHoveredId_) {
        return;
    }
    if (const auto text = hoverHelpText(id, view.state(Control::chkDebug))) {
        view.setText(Control::txtStatus, *text);
    }
    lastHoveredId_ = id;
}

} // namespace tarvex
