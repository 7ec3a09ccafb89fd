// Process-wide values of the tool, filled during start-up.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>

namespace tarvex {

// Names in the library directory that match "_*.lib", as listed.
using LibraryCatalogue = std::unordered_set<std::wstring>;

struct ToolContext {
    std::wstring compilerDirectory;
    std::wstring targetExtension;  // lower case
    std::wstring architectureName; // "x86", "x64" or empty
    std::wstring titleSuffix;      // " - " + architecture name; empty until detection ran
    std::wstring libraryDirectory;
    std::wstring toolDirectory;
    std::wstring architectureDirectory;
    LibraryCatalogue catalogue;
    std::uint64_t ownerWindow = 0; // the IDE's main window; 0 means none

    // "Tarvex - " + architecture name: the title of every message box but one.
    std::wstring messageTitle() const { return L"Tarvex - " + architectureName; }
};

} // namespace tarvex
