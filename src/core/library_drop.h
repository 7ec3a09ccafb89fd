// A library or object file built by Visual Studio dropped on the window: which
// C runtime it needs, told in one box, and the switch to it when the store
// holds that variant.
#pragma once

#include <string>

#include "core/control_view.h"
#include "core/tool_context.h"
#include "core/tool_services.h"

namespace tarvex {

// True for the text of a drop that is one path whose extension, in any letter
// case, is "lib" or "obj".
bool isLibraryOrObject(const std::wstring& droppedText);

// Reads the file and says what it needs; when the user accepts the offered
// switch, switches as a click on the toggle does. True when the tool should
// now close (auto-close after the switch).
bool onLibraryDropped(ToolContext& context, ToolServices& services, ControlView& view,
                      const std::wstring& path);

} // namespace tarvex
