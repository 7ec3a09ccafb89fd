// Building UCRT libraries with an installed Visual Studio: registering its
// native-tools prompt by drop, and the Build button.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/control_view.h"
#include "core/tool_context.h"
#include "core/tool_services.h"

namespace tarvex {

inline constexpr const wchar_t* kUnsafeSdkText =
    L"The SDK version must not contain & | < > ^ \" % ! or control characters.";

// A dropped file: a Visual Studio "... Native Tools ..." shortcut is stored
// with the vcvarsall.bat of its installation and the list refilled; any other
// file is refused.
void registerNativeToolsShortcut(const ToolContext& context, ToolServices& services,
                                 ControlView& view, const std::wstring& droppedText);

// True when the text can stand in a command interpreter line without being
// acted on.
bool safeForCommandLine(const std::wstring& text);

// vcvarsall.bat with the architecture and SDK, then, when it succeeded, the
// build script beside the tool with the architecture and _PB_msvcrt.lib.
std::wstring buildCommand(const ToolContext& context, const std::wstring& vcvarsall,
                          const std::wstring& sdk);

// How a build went: whether its command started, the build script's exit
// code, and the stored copies taken into the library directory.
struct BuildOutcome {
    bool started = false;
    std::uint32_t exitCode = 0;
    std::vector<std::wstring> taken;
};

// Runs the build command for the selected Visual Studio and takes what the
// build script made into the library directory.
BuildOutcome buildUcrtLibraries(ToolContext& context, ToolServices& services, ControlView& view);

} // namespace tarvex
