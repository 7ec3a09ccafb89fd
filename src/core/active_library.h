// Which stored copy an active library holds, read from the files, and the
// question that keeps one that equals none of them as PB's own before
// anything overwrites it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/tool_context.h"
#include "core/tool_services.h"

namespace tarvex {

// An active library of the library directory as it is now. A copy the tool
// made has the size and write time of its stored copy, which the catalogue
// holds; the bytes are compared only where those do not tell.
class ActiveLibrary {
public:
    ActiveLibrary(const ToolContext& context, ToolServices& services, std::wstring name);

    const std::wstring& name() const { return name_; }
    bool present() const { return facts_.has_value(); }
    // Whether it holds the bytes of this stored copy (a catalogue name).
    bool equals(const std::wstring& stored) const;
    // The stored copies of its name that it equals, in name order.
    std::vector<std::wstring> equalCopies() const;
    // Present, and equal to none of the stored copies of its name.
    bool unknown() const;

private:
    std::vector<std::wstring> storedCopies() const;
    bool sameFacts(const std::wstring& stored) const;

    const ToolContext& context_;
    ToolServices& services_;
    std::wstring name_;
    std::optional<FileFacts> facts_;
};

// When the active library equals none of the stored copies of its name (PB
// was updated or reinstalled, or the file was put back by hand), asks the
// backup question about it. Yes makes it the "_PB_" copy and keeps the
// previous one as "_PB_" + name + ".old" (".old2", ... when taken); No ends
// the tool without copying. False when the tool was ended.
bool keepIfUnknown(ToolContext& context, ToolServices& services, const std::wstring& name);

// The same for msvcrt.lib, libpng.lib and libjpeg.lib, in that order.
bool keepUnknownActiveLibraries(ToolContext& context, ToolServices& services);

} // namespace tarvex
