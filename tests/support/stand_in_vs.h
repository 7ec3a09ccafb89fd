// A stand-in Visual Studio in a sandbox, shortcuts to its prompts, and file
// drops made from this process the way the shell makes them.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <string>
#include <vector>

#include "driver.h"

namespace tarvex::e2e {

// Copies support/stand-in-vs and the stand-in librarian into "VS 2022 (x86)\"
// under the sandbox's root, and Tarvex.cmd beside Tarvex.exe; returns the copy.
std::wstring addStandInVisualStudio(const Sandbox& sandbox);

// Saves a read-only shortcut to cmd.exe with the given arguments.
bool saveShortcut(const std::wstring& path, const std::wstring& arguments);

// Drags files of one folder from the shell onto the window; returns the effect.
DWORD dragFiles(HWND target, const std::vector<std::wstring>& paths, DWORD allowedEffects);

} // namespace tarvex::e2e
