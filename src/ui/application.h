// The tool's process: runtime initialisation, the single-instance lock, the
// start-up order, the event loop and the one shutdown path.
#pragma once

#include <windows.h>

namespace tarvex {

// Runs the tool; ends the process through the shutdown sequence and never
// returns.
[[noreturn]] void runTool(HINSTANCE instance);

} // namespace tarvex
