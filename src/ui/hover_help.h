// The one-line help in txtStatus for the control under the mouse pointer.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/control_view.h"

namespace tarvex {

// The help for a hovered identifier (-1: no control), or nothing when the
// text is to stay as it is. The btnMD and btnMT texts follow chkDebug.
std::optional<std::wstring> hoverHelpText(int hoveredId, bool debug);

class HoverHelp {
public:
    // Called for every mouse move over wndMain or one of its controls.
    void pointerMoved(ControlView& view);

private:
    int lastHoveredId_ = 0;
};

} // namespace tarvex
