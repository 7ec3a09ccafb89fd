// The linker-directive snippet that btnCopyDirectives puts on the clipboard:
// PB source that gives the linker a fallback for each UCRT/VCRT start-up and
// shutdown symbol, for x64 and x86 builds alike.
#pragma once

#include <string>

#include "core/tool_services.h"

namespace tarvex {

// The snippet text: 25 lines, each ended by a single LF, no CR.
const std::wstring& linkerDirectiveSnippet();

// A click on btnCopyDirectives. The default sound confirms the click even when
// the clipboard refused the text; nothing else reports the outcome.
void copyLinkerDirectives(ToolServices& services);

} // namespace tarvex
