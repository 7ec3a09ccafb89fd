#include "core/library_drop.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <set>

#include "core/library_store.h"
#include "core/library_switch.h"
#include "core/record_fields.h"
#include "core/runtime_needs.h"
#include "core/selection_record.h"
#include "formats/path_parts.h"

namespace tarvex {
namespace {

struct VariantNames {
    const wchar_t* option;      // "/MT"
    const wchar_t* description; // "static, release"
    Control button;
    bool debug;
};

// Indexed by RuntimeNeed::MD .. MTd less one.
constexpr VariantNames kVariants[] = {
    {L"/MD", L"dynamic, release", Control::btnMD, false},
    {L"/MT", L"static, release", Control::btnMT, false},
    {L"/MDd", L"dynamic, debug", Control::btnMD, true},
    {L"/MTd", L"static, debug", Control::btnMT, true},
};

const VariantNames& namesOf(RuntimeNeed need) {
    return kVariants[static_cast<std::size_t>(need) - 1];
}

std::wstring problemText(CoffProblem problem) {
    switch (problem) {
    case CoffProblem::Empty:
        return L"the file is empty";
    case CoffProblem::ReadFailed:
        return L"the file could not be read";
    case CoffProblem::Truncated:
        return L"it ends inside a header";
    case CoffProblem::BadMemberHeader:
        return L"a member header is damaged";
    case CoffProblem::MemberPastEnd:
        return L"a member reaches past the end of the file";
    case CoffProblem::UnknownMember:
        return L"a member is neither an object nor an import entry";
    case CoffProblem::DirectiveTooLarge:
        return L"its linker directives are implausibly large";
    case CoffProblem::SectionTablePastEnd:
    case CoffProblem::UnnamedSection:
    case CoffProblem::SectionPastEnd:
    case CoffProblem::SymbolTablePastEnd:
        return L"a section or symbol table is damaged or cut short";
    default:
        return L"";
    }
}

std::wstring architectureText(Architecture architecture) {
    return architecture == Architecture::X86 ? L"x86" : L"x64";
}

bool switchTo(ToolContext& context, ToolServices& services, ControlView& view,
              const VariantNames& names, int item) {
    view.selectItem(Control::cmbUcrtVersion, item);
    view.setState(Control::chkDebug, names.debug);
    applyDebugCaptions(view);
    view.setState(names.button, true); // as the click itself would
    return onCrtButtonClicked(context, services, view, names.button);
}

// The UCRT version item whose copies a file built by Visual Studio `tag`
// links with. Toolsets from 2015 on link with the runtime of their own
// Visual Studio or of any later one, never an earlier one: the lowest stored
// version at or above the tag fits. Without a stamp, the selected version.
// -1 when no version fits.
int fittingItem(const ToolContext& context, const ControlView& view, const std::wstring& prefix,
                const std::wstring& tag) {
    const auto stored = [&](const std::wstring& version) {
        return !version.empty() && context.catalogue.contains(prefix + version + L"_msvcrt.lib");
    };
    if (tag.empty()) {
        const int selected = view.selectedItem(Control::cmbUcrtVersion);
        return stored(vsVersionNumber(view.text(Control::cmbUcrtVersion))) ? selected : -1;
    }
    int fitting = -1;
    std::int32_t lowest = INT32_MAX;
    for (int i = 0; i < view.itemCount(Control::cmbUcrtVersion); ++i) {
        const std::wstring version = vsVersionNumber(view.itemText(Control::cmbUcrtVersion, i));
        const std::int32_t number = decimalValue(version);
        if (stored(version) && number >= decimalValue(tag) && number < lowest) {
            fitting = i;
            lowest = number;
        }
    }
    return fitting;
}

// The box for files that need one variant: the offer to switch, or where to
// get the variant when the store lacks it. `subject` names the files and says
// what they were built with; `who` names them in the sentence without it.
bool offerSwitch(ToolContext& context, ToolServices& services, ControlView& view,
                 const std::wstring& who, const std::wstring& subject, const RuntimeNeeds& needs) {
    const VariantNames& names = namesOf(needs.runtime);
    const std::wstring tag(needs.visualStudio.begin(), needs.visualStudio.end());
    const std::wstring prefix = variantPrefix(names.button, names.debug);
    const int item = fittingUcrtVersion(context, view, needs);
    if (item == -1) {
        // Copies of older Visual Studios only: they cannot link the file.
        const bool older =
            !tag.empty() && ucrtVersionItem(view, [&](const std::wstring& v) {
                                return context.catalogue.contains(prefix + v + L"_msvcrt.lib");
                            }) >= 0;
        services.messages.showMessage(
            context.messageTitle(),
            who + L" needs " + neededText(needs.runtime) +
                (older ? L" from " + vsName(context, tag) + L" or later" : L"") +
                L", which Tarvex has not stored for this compiler.\n\nBuild it in the build "
                L"pane first.",
            kMessageInformation);
        return false;
    }
    const std::wstring with =
        item < 0
            ? L""
            : L" with " +
                  vsName(context, vsVersionNumber(view.itemText(Control::cmbUcrtVersion, item)));
    const std::wstring question = subject + L"\n\nSwitch to " + names.option + with + L" now?";
    if (services.messages.showMessage(context.messageTitle(), question, kMessageQuestion) !=
        kAnswerYes) {
        return false;
    }
    return switchTo(context, services, view, names,
                    item >= 0 ? item : genericCopiesItem(context, view, prefix));
}

std::wstring mixedText(const std::wstring& name, const CoffFacts& facts) {
    std::wstring counts;
    for (std::size_t i = 0; i < kRuntimeVariantCount; ++i) {
        if (facts.objectsPerVariant[i] > 0) {
            counts += (counts.empty() ? L"" : L", ") + std::to_wstring(facts.objectsPerVariant[i]) +
                      L" " + kVariants[i].option;
        }
    }
    return L"'" + name + L"' mixes C runtimes (objects: " + counts +
           L"); no single choice fits it.";
}

// The file is released before any box shows: the user may have dropped an
// active library, which a Yes then copies over. Memory running out on a
// crafted file counts as a failed read.
std::optional<RuntimeNeeds> judgeFile(ToolServices& services, const std::wstring& path) {
    const auto file = services.byteFiles.openForReading(path);
    if (!file) {
        return std::nullopt;
    }
    try {
        return judgeRuntimeNeeds(collectCoffFacts(*file));
    } catch (const std::bad_alloc&) {
        RuntimeNeeds failed;
        failed.facts.scan.problem = CoffProblem::ReadFailed;
        return failed;
    }
}

std::wstring builtForText(const ToolContext& context, const std::wstring& name,
                          const RuntimeNeeds& needs) {
    const std::wstring tag(needs.visualStudio.begin(), needs.visualStudio.end());
    const std::wstring processor = needs.architecture == Architecture::Unknown
                                       ? context.architectureName
                                       : architectureText(needs.architecture);
    const std::wstring builtBy =
        context.vsVersions.contains(tag) ? L" by " + vsName(context, tag) : L"";
    return L"'" + name + L"' was built for " + processor + L" with " + neededText(needs.runtime) +
           builtBy + L".";
}

// Sure of the files' processors: one they all share, or none.
std::optional<Architecture> sharedArchitecture(const std::vector<LibraryVerdict>& verdicts) {
    Architecture shared = Architecture::Unknown;
    for (const LibraryVerdict& verdict : verdicts) {
        const Architecture architecture = verdict.needs.architecture;
        if (architecture != Architecture::Unknown && shared != Architecture::Unknown &&
            architecture != shared) {
            return std::nullopt;
        }
        if (architecture != Architecture::Unknown) {
            shared = architecture;
        }
    }
    return shared;
}

// The newest Visual Studio that built any of the files ("" when none says).
std::string newestVisualStudio(const std::vector<LibraryVerdict>& verdicts) {
    std::string newest;
    for (const LibraryVerdict& verdict : verdicts) {
        newest = std::max(newest, verdict.needs.visualStudio);
    }
    return newest;
}

std::wstring listedNeeds(const std::vector<LibraryVerdict>& verdicts) {
    std::set<RuntimeNeed> needs;
    for (const LibraryVerdict& verdict : verdicts) {
        if (verdict.needs.runtime != RuntimeNeed::None) {
            needs.insert(verdict.needs.runtime);
        }
    }
    std::wstring listed;
    for (const RuntimeNeed need : needs) {
        listed += (listed.empty() ? L"" : L", ") + std::wstring(namesOf(need).option);
    }
    return listed;
}

} // namespace

std::wstring vsName(const ToolContext& context, const std::wstring& number) {
    const auto known = context.vsVersions.find(number);
    return known == context.vsVersions.end() ? L"VS " + number : known->second;
}

int genericCopiesItem(const ToolContext& context, const ControlView& view,
                      const std::wstring& prefix) {
    return ucrtVersionItem(view, [&](const std::wstring& version) {
        return !context.catalogue.contains(prefix + version + L"_msvcrt.lib");
    });
}

std::wstring neededText(RuntimeNeed need) {
    const VariantNames& names = namesOf(need);
    return std::wstring(names.option) + L" (" + names.description + L")";
}

LibraryVerdict judgeLibrary(const ToolContext& context, ToolServices& services,
                            const std::wstring& path) {
    LibraryVerdict verdict;
    const std::wstring name = fileNamePart(path, false);
    const auto say = [&](LibraryFit fit, const std::wstring& text, unsigned flags,
                         const std::wstring& advice = L"") {
        verdict.fit = fit;
        verdict.text = text;
        verdict.advice = advice;
        verdict.flags = flags;
        return verdict;
    };
    const std::optional<RuntimeNeeds> judged = judgeFile(services, path);
    if (!judged) {
        return say(LibraryFit::Unreadable, L"'" + name + L"' cannot be opened.", kMessageError);
    }
    verdict.needs = *judged;
    const RuntimeNeeds& needs = verdict.needs;
    const CoffFacts& facts = needs.facts;
    if (facts.scan.problem != CoffProblem::None || facts.objects == 0) {
        const std::wstring detail = problemText(facts.scan.problem);
        return say(LibraryFit::Unreadable,
                   L"'" + name + L"' is not a library or object file that Tarvex can read" +
                       (detail.empty() ? L"." : L": " + detail + L"."),
                   kMessageError);
    }
    if (needs.architecture == Architecture::Other || needs.architecture == Architecture::Mixed) {
        return say(LibraryFit::None,
                   L"'" + name + L"' is not built for x86 or x64 alone; the PB compiler cannot " +
                       L"link it.",
                   kMessageError);
    }
    if (needs.architecture != Architecture::Unknown && !context.architectureName.empty() &&
        architectureText(needs.architecture) != context.architectureName) {
        return say(LibraryFit::None,
                   L"'" + name + L"' was built for " + architectureText(needs.architecture) +
                       L", but the PB compiler is " + context.architectureName +
                       L": it cannot link it.",
                   kMessageError);
    }
    if (facts.ltcgObjects == facts.objects) {
        return say(LibraryFit::None,
                   L"'" + name +
                       L"' was compiled with link-time code generation (/GL): it holds no code "
                       L"the PB linker can use.",
                   kMessageWarning, L"Rebuild it without /GL.");
    }
    switch (needs.runtime) {
    case RuntimeNeed::None:
        return say(LibraryFit::Any,
                   L"'" + name + L"' needs no particular C runtime: any choice links with it.",
                   kMessageInformation);
    case RuntimeNeed::Mixed:
        return say(LibraryFit::None, mixedText(name, facts), kMessageWarning,
                   L"Rebuild it with one runtime.");
    default:
        return say(LibraryFit::One, builtForText(context, name, needs), kMessageQuestion);
    }
}

LibraryVerdict combineVerdicts(const std::vector<LibraryVerdict>& verdicts) {
    LibraryVerdict combined;
    combined.fit = LibraryFit::Any;
    combined.flags = kMessageInformation;
    for (const LibraryVerdict& verdict : verdicts) {
        if (verdict.fit == LibraryFit::Unreadable || verdict.fit == LibraryFit::None) {
            const bool unreadable = verdict.fit == LibraryFit::Unreadable;
            combined.fit = unreadable ? LibraryFit::Unreadable : LibraryFit::None;
            combined.flags = verdict.flags;
            combined.text = unreadable ? L"Not every file can be read: no choice can be told."
                                       : L"No single choice fits them all.";
            return combined;
        }
    }
    if (!sharedArchitecture(verdicts)) {
        combined.fit = LibraryFit::None;
        combined.flags = kMessageError;
        combined.text = L"They are built for different processors: no single choice fits them all.";
        return combined;
    }
    const std::wstring needs = listedNeeds(verdicts);
    if (needs.find(L',') != std::wstring::npos) {
        combined.fit = LibraryFit::None;
        combined.flags = kMessageWarning;
        combined.text =
            L"They need different C runtimes (" + needs + L"): no single choice fits them all.";
        return combined;
    }
    combined.needs.architecture = *sharedArchitecture(verdicts);
    combined.needs.visualStudio = newestVisualStudio(verdicts);
    if (needs.empty()) {
        combined.text = L"None needs a particular C runtime: any choice links with them.";
        return combined;
    }
    for (const LibraryVerdict& verdict : verdicts) {
        if (verdict.fit == LibraryFit::One) {
            combined.needs.runtime = verdict.needs.runtime;
        }
    }
    combined.fit = LibraryFit::One;
    combined.flags = kMessageQuestion;
    combined.text = L"All of them fit " + neededText(combined.needs.runtime) + L".";
    return combined;
}

int fittingUcrtVersion(const ToolContext& context, const ControlView& view,
                       const RuntimeNeeds& needs) {
    const VariantNames& names = namesOf(needs.runtime);
    const std::wstring prefix = variantPrefix(names.button, names.debug);
    const std::wstring tag(needs.visualStudio.begin(), needs.visualStudio.end());
    const int item = fittingItem(context, view, prefix, tag);
    if (item >= 0 || !context.catalogue.contains(prefix + L"msvcrt.lib")) {
        return item;
    }
    return kGenericCopies;
}

bool onLibrariesDropped(ToolContext& context, ToolServices& services, ControlView& view,
                        const std::vector<std::wstring>& paths) {
    std::vector<LibraryVerdict> verdicts;
    std::wstring lines;
    for (const std::wstring& path : paths) {
        verdicts.push_back(judgeLibrary(context, services, path));
        lines += verdicts.back().text + L"\n";
    }
    const LibraryVerdict combined = combineVerdicts(verdicts);
    if (combined.fit != LibraryFit::One) {
        services.messages.showMessage(context.messageTitle(), lines + L"\n" + combined.text,
                                      combined.flags);
        return false;
    }
    return offerSwitch(context, services, view, L"Together they", lines + L"\n" + combined.text,
                       combined.needs);
}

std::vector<std::wstring> droppedPaths(const std::wstring& droppedText) {
    std::vector<std::wstring> paths;
    for (std::size_t start = 0; start <= droppedText.size();) {
        const std::size_t end = std::min(droppedText.find(L'\n', start), droppedText.size());
        if (end > start) {
            paths.push_back(droppedText.substr(start, end - start));
        }
        start = end + 1;
    }
    return paths;
}

bool isLibraryOrObject(const std::wstring& droppedText) {
    const std::wstring extension = asciiLowerCase(extensionPart(droppedText));
    return droppedText.find(L'\n') == std::wstring::npos &&
           (extension == L"lib" || extension == L"obj");
}

bool onLibraryDropped(ToolContext& context, ToolServices& services, ControlView& view,
                      const std::wstring& path) {
    const LibraryVerdict verdict = judgeLibrary(context, services, path);
    if (verdict.fit != LibraryFit::One) {
        services.messages.showMessage(context.messageTitle(),
                                      verdict.text +
                                          (verdict.advice.empty() ? L"" : L"\n\n" + verdict.advice),
                                      verdict.flags);
        return false;
    }
    return offerSwitch(context, services, view, L"'" + fileNamePart(path, false) + L"'",
                       verdict.text, verdict.needs);
}

} // namespace tarvex
