// The settings file (Tarvex.ini beside the tool): AutoClose, the known
// Visual Studio versions and the registered native-tools shortcuts.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/control_view.h"
#include "core/tool_context.h"
#include "core/tool_services.h"

namespace tarvex {

// Creates the file with its defaults when it is missing, then puts AutoClose
// on chkAutoClose and fills the Visual Studio version map.
void loadSettings(ToolContext& context, ToolServices& services, ControlView& view);

// Stores the state of chkAutoClose.
void saveAutoClose(const ToolContext& context, ToolServices& services, const ControlView& view);

// Stores a native-tools shortcut: its name (a name that differs only in ASCII
// case keeps its place) and the path of its vcvarsall.bat. False when the
// settings file cannot be opened.
bool storeVsLink(const ToolContext& context, ToolServices& services, const std::wstring& name,
                 const std::wstring& vcvarsallPath);

// Adds a Visual Studio version the map lacks, by its major number ("18"), to
// the map and to the settings file, named as the tool knows it ("VS 2026")
// or else "VS " and the number.
void addVsVersion(ToolContext& context, ToolServices& services, const std::wstring& number);

// The stored shortcuts of this architecture's native tools, in file order.
std::vector<std::pair<std::wstring, std::wstring>> readVsLinks(const ToolContext& context,
                                                               ToolServices& services);

} // namespace tarvex
