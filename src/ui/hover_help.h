// The one-line help in txtStatus for the control under the mouse pointer or
// the one the keyboard has just moved the focus to.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/control_view.h"

namespace tarvex {

// The help for a hovered identifier (-1: no control), or nothing when the
// text is to stay as it is. The btnMD and btnMT texts follow chkDebug.
std::optional<std::wstring> hoverHelpText(int hoveredId, bool debug);

// The focused control's help, the same text the pointer would show. The
// pointer's next move onto another control shows that one's again.
void showFocusHelp(ControlView& view, int focusedId);

class HoverHelp {
public:
    // Called for every mouse move over wndMain or one of its controls.
    void pointerMoved(ControlView& view);

private:
    int lastHoveredId_ = 0;
};

} // namespace tarvex
