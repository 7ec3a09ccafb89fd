// Host detection and the library store: where the compiler's libraries live,
// which architecture the compiler is, the first-run backups and the catalogue
// of stored copies.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/tool_context.h"
#include "core/tool_services.h"

namespace tarvex {

// The libraries the PB compiler links, which the tool replaces by copies.
inline constexpr std::array<const wchar_t*, 3> kActiveLibraries{L"msvcrt.lib", L"libpng.lib",
                                                                L"libjpeg.lib"};

// Appended to a target while its copy is made beside it. Names ending so
// are not listed by "_*.lib", neither by their long nor their short names.
inline constexpr const wchar_t* kBesideSuffix = L".tarvex";

// The question whether an active library is PB's own ("Is your current
// 'msvcrt.lib' the original PB CRT?...").
std::wstring backupQuestion(const std::wstring& name);

// Reads the IDE's variables and, with a compiler, detects the host: the
// directories and the architecture, without asking or copying anything. False
// without a compiler.
bool detectLibraryHost(ToolContext& context, ToolServices& services);

// Reads the IDE's variables and, with a compiler, detects the host, makes the
// first-run copies and lists the catalogue. Returns false when the tool was
// ended (a declined question or a failed copy).
bool prepareLibraryStore(ToolContext& context, ToolServices& services);

// Lists the stored copies in the library directory anew. False when the
// directory cannot be listed (the catalogue is then empty).
bool rebuildCatalogue(ToolContext& context, ToolServices& services);

// Copies source over target. A failure shows the copy error box, ends the
// tool and returns false; the target is then as it was.
bool reportingCopy(const ToolContext& context, ToolServices& services, const std::wstring& source,
                   const std::wstring& target);

// Shows the copy error box for source and target, ends the tool and returns
// false.
bool reportCopyFailure(const ToolContext& context, ToolServices& services,
                       const std::wstring& source, const std::wstring& target);

// How taking in the stored copies of the architecture directory went.
enum class TakeIn { NoFolder, All, CopyFailed };

struct TakenIn {
    TakeIn outcome = TakeIn::NoFolder;
    std::vector<std::wstring> names; // copied, in listing order
};

// Copies every file the pattern lists in the architecture directory, written
// at writtenSince or later, into the library directory, in listing order,
// through reportingCopy; stops at the first failed copy, which has ended the
// tool.
TakenIn takeInArchitectureCopies(const ToolContext& context, ToolServices& services,
                                 const std::wstring& pattern, FileTime writtenSince = 0);

// The copy error text: seven lines naming both paths.
std::wstring copyErrorText(const std::wstring& source, const std::wstring& target);

} // namespace tarvex
