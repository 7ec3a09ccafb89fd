// Process-wide values of the tool, filled during start-up.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "platform/file_system.h"

namespace tarvex {

// Names in the library directory that match "_*.lib", as listed.
using LibraryCatalogue = std::unordered_set<std::wstring>;

// Size and write time of each stored copy in the catalogue, from the same
// listing.
using CatalogueFacts = std::unordered_map<std::wstring, FileFacts>;

// Visual Studio major version number ("17") -> name ("VS 2022").
using VsVersionMap = std::map<std::wstring, std::wstring>;

struct ToolContext {
    std::wstring compilerDirectory;
    std::wstring targetExtension;  // lower case
    std::wstring architectureName; // "x86", "x64" or empty
    std::wstring titleSuffix;      // " - " + architecture name; empty until detection ran
    std::wstring libraryDirectory;
    std::wstring toolDirectory;
    std::wstring architectureDirectory;
    LibraryCatalogue catalogue;
    CatalogueFacts catalogueFacts;
    std::uint64_t ownerWindow = 0; // the IDE's main window; 0 means none
    std::wstring selectionRecord;  // "version,debug,variant,png/jpeg"; empty until read
    std::int32_t pngJpegFlag = 0;
    VsVersionMap vsVersions;

    std::wstring settingsPath() const { return toolDirectory + L"Tarvex.ini"; }
    std::wstring statePath() const { return libraryDirectory + L"Tarvex.cfg"; }

    // "Tarvex - " + architecture name: the title of every message box but one.
    std::wstring messageTitle() const { return L"Tarvex - " + architectureName; }
};

} // namespace tarvex
