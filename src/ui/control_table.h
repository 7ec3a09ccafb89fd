// The eighteen controls of wndMain: kind, identifier, place (logical units at
// 96 DPI), size and text, in creation order.
#pragma once

#include <windows.h>

#include <array>

#include "core/control_view.h"

namespace tarvex {

struct ControlSpec {
    Control id;
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle;
    int x, y, width, height;
    const wchar_t* text;
};

inline constexpr int kClientWidth = 525;
inline constexpr int kClientHeight = 115;
inline constexpr int kClientHeightWithBuildPane = 191;

// The two 13 x 13 buttons come just before the toggle whose corner they
// cover, so they lie above it; the covered toggles clip their siblings so
// their repainting does not hide the small buttons.
extern const std::array<ControlSpec, 18> kControlTable;

// Reading order, for Tab: the UCRT group, PB, the two check boxes, the build
// pane; each small corner button right after the toggle it lies on.
inline constexpr std::array<Control, 13> kTabOrder{
    Control::btnMD,         Control::btnCopyDirectives, Control::btnMT,
    Control::btnPngJpeg,    Control::cmbUcrtVersion,    Control::chkDebug,
    Control::btnPB,         Control::chkBuildPane,      Control::chkAutoClose,
    Control::edtSdkVersion, Control::cmbVsVersion,      Control::btnBuild,
    Control::btnCoffee};

// The controls that only work while the build pane is shown.
inline constexpr std::array<Control, 4> kBuildPaneControls{
    Control::edtSdkVersion, Control::cmbVsVersion, Control::btnBuild, Control::btnCoffee};

} // namespace tarvex
