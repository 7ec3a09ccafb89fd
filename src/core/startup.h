// The start-up steps of the tool that decide, before any window exists,
// whether it runs: library store, the active libraries and the record they
// show, IDE check and the owner of the window.
#pragma once

#include <cstdint>
#include <string>

#include "core/tool_context.h"
#include "core/tool_services.h"

namespace tarvex {

inline constexpr const wchar_t* kIdeOnlyNotice =
    L"This program can only run inside the PB IDE!\n\nHowto:\t'Tools\\Configure Tools...\\New'"
    L"\n\n\n(Make sure that you've started the PB IDE as Administrator if UAC is enabled!)";

// The ordinary text-to-number rule: leading blanks skipped, then the leading
// decimal digits; no digits gives 0. Saturates instead of wrapping, so an
// over-long number can never alias a real window handle.
std::uint64_t leadingNumber(const std::wstring& text);

// Runs the steps between the single-instance lock and the creation of the
// main window. Returns false when the tool was ended.
bool prepareTool(ToolContext& context, ToolServices& services);

} // namespace tarvex
