// A library or object file built by Visual Studio dropped on the window: which
// C runtime it needs, told in one box, and the switch to it when the store
// holds that variant.
#pragma once

#include <string>
#include <vector>

#include "core/control_view.h"
#include "core/runtime_needs.h"
#include "core/tool_context.h"
#include "core/tool_services.h"

namespace tarvex {

// The paths of a drop's text, one a line.
std::vector<std::wstring> droppedPaths(const std::wstring& droppedText);

// True for the text of a drop that is one path whose extension, in any letter
// case, is "lib" or "obj".
bool isLibraryOrObject(const std::wstring& droppedText);

// How the files judged fit the choices a compiler offers.
enum class LibraryFit {
    One,        // they need the one variant of needs.runtime
    Any,        // none needs a particular runtime
    None,       // no single choice fits: mixed runtimes, another processor, /GL only
    Unreadable, // missing, or not a library or object file
};

// What a file needs, or several together, in the window's words: text says
// it in one sentence, advice (if any) what to do; flags are the box's.
struct LibraryVerdict {
    LibraryFit fit = LibraryFit::Unreadable;
    RuntimeNeeds needs; // for several files: the runtime, processor and newest Visual Studio
    std::wstring text, advice;
    unsigned flags = 0;
};

// The name of a Visual Studio version number ("VS 2022" for "17"), as the
// settings know it or else "VS " and the number.
std::wstring vsName(const ToolContext& context, const std::wstring& number);

// The window's words for a variant: "/MT (static, release)".
std::wstring neededText(RuntimeNeed need);

// Reads one file. Without an architecture name (no compiler) a file of
// either processor fits.
LibraryVerdict judgeLibrary(const ToolContext& context, ToolServices& services,
                            const std::wstring& path);

// One verdict for several files: the variant that fits every one, with the
// newest Visual Studio that built any of them, or why none does.
LibraryVerdict combineVerdicts(const std::vector<LibraryVerdict>& verdicts);

// The cmbUcrtVersion item whose copies link files of these needs: the oldest
// stored Visual Studio at or above the newest that built them;
// kGenericCopies when only the variant's generic copies fit, -1 when the
// store has nothing that does.
inline constexpr int kGenericCopies = -2;
int fittingUcrtVersion(const ToolContext& context, const ControlView& view,
                       const RuntimeNeeds& needs);

// Without a copy of its own version the generic copies of a variant stand
// alone: the item of a version that has none of this variant, else -1.
int genericCopiesItem(const ToolContext& context, const ControlView& view,
                      const std::wstring& prefix);

// Several files dropped at once: one box with a line for each and their
// combined verdict, whose Yes switches as a single file's does.
bool onLibrariesDropped(ToolContext& context, ToolServices& services, ControlView& view,
                        const std::vector<std::wstring>& paths);

// Reads the file and says what it needs; when the user accepts the offered
// switch, switches as a click on the toggle does. True when the tool should
// now close (auto-close after the switch).
bool onLibraryDropped(ToolContext& context, ToolServices& services, ControlView& view,
                      const std::wstring& path);

} // namespace tarvex
