// The list of Visual Studio native-tools prompts the user registered.
#pragma once

#include "core/control_view.h"
#include "core/tool_context.h"
#include "core/tool_services.h"

namespace tarvex {

// Refills cmbVsVersion from the registered shortcuts of this architecture:
// " " + shortcut name, with the vcvarsall.bat path as the item's data; the
// first one is selected.
void fillVsVersionList(const ToolContext& context, ToolServices& services, ControlView& view);

} // namespace tarvex
