// A stand-in Visual Studio for a sandbox, shortcuts to its prompts, and file
// drops made from this process the way the shell makes them.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <string>
#include <vector>

#include "sandbox.h"

namespace tarvex::e2e {

// The stand-in's build-tools folder holds vcvarsall.bat, which checks the
// architecture and SDK version as the real one does, records its arguments
// in seen.txt, sets LIB, VisualStudioVersion (17.0) and PATH (bin\lib.exe,
// the stand-in librarian); lib\ARCH holds the Visual C++ libraries and
// Kits\VERSION\ARCH the SDK's UCRT, 10.0.22621.0 being the newest. Each
// library's bytes name its owner folder ("VC x64", "SDK 10.0.19041.0 x64").
// Tarvex.cmd is copied beside the sandbox's Tarvex.exe.
std::wstring addStandInVisualStudio(const Sandbox& sandbox);

// Saves a read-only shortcut to cmd.exe with the given arguments.
bool saveShortcut(const std::wstring& path, const std::wstring& arguments);

// Drags the files (of one folder) from the shell onto the middle of the
// window and drops them; returns the effect the target chose.
DWORD dragFiles(HWND target, const std::vector<std::wstring>& paths, DWORD allowedEffects);

} // namespace tarvex::e2e
