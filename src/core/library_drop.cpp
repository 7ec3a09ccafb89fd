#include "core/library_drop.h"

#include <cstdint>
#include <new>
#include <optional>

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

// Without a copy of its own version the generic copies stand alone: an item
// of a version that has none of this variant, else no item.
int genericItem(const ToolContext& context, const ControlView& view, const std::wstring& prefix) {
    return ucrtVersionItem(view, [&](const std::wstring& version) {
        return !context.catalogue.contains(prefix + version + L"_msvcrt.lib");
    });
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

std::wstring vsName(const ToolContext& context, const std::wstring& number) {
    const auto known = context.vsVersions.find(number);
    return known == context.vsVersions.end() ? L"VS " + number : known->second;
}

// The box for a file that needs one variant: the offer to switch, or where to
// get the variant when the store lacks it.
bool offerSwitch(ToolContext& context, ToolServices& services, ControlView& view,
                 const std::wstring& name, const RuntimeNeeds& needs) {
    const VariantNames& names = namesOf(needs.runtime);
    const std::wstring tag(needs.visualStudio.begin(), needs.visualStudio.end());
    const std::wstring builtBy =
        context.vsVersions.contains(tag) ? L" by " + vsName(context, tag) : L"";
    const std::wstring needed = std::wstring(names.option) + L" (" + names.description + L")";
    const std::wstring prefix = variantPrefix(names.button, names.debug);
    const int item = fittingItem(context, view, prefix, tag);
    if (item < 0 && !context.catalogue.contains(prefix + L"msvcrt.lib")) {
        // Copies of older Visual Studios only: they cannot link the file.
        const bool older =
            !tag.empty() && ucrtVersionItem(view, [&](const std::wstring& v) {
                                return context.catalogue.contains(prefix + v + L"_msvcrt.lib");
                            }) >= 0;
        services.messages.showMessage(
            context.messageTitle(),
            L"'" + name + L"' needs " + needed +
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
    const std::wstring question = L"'" + name + L"' was built for " + context.architectureName +
                                  L" with " + needed + builtBy + L".\n\nSwitch to " + names.option +
                                  with + L" now?";
    if (services.messages.showMessage(context.messageTitle(), question, kMessageQuestion) !=
        kAnswerYes) {
        return false;
    }
    return switchTo(context, services, view, names,
                    item >= 0 ? item : genericItem(context, view, prefix));
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
           L"); no single choice fits it.\n\nRebuild it with one runtime.";
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

} // namespace

bool isLibraryOrObject(const std::wstring& droppedText) {
    const std::wstring extension = asciiLowerCase(extensionPart(droppedText));
    return droppedText.find(L'\n') == std::wstring::npos &&
           (extension == L"lib" || extension == L"obj");
}

bool onLibraryDropped(ToolContext& context, ToolServices& services, ControlView& view,
                      const std::wstring& path) {
    const std::wstring name = fileNamePart(path, false);
    const auto tell = [&](const std::wstring& text, unsigned flags) {
        services.messages.showMessage(context.messageTitle(), text, flags);
        return false;
    };
    const std::optional<RuntimeNeeds> judged = judgeFile(services, path);
    if (!judged) {
        return tell(L"'" + name + L"' cannot be opened.", kMessageError);
    }
    const RuntimeNeeds& needs = *judged;
    const CoffFacts& facts = needs.facts;
    if (facts.scan.problem != CoffProblem::None || facts.objects == 0) {
        const std::wstring detail = problemText(facts.scan.problem);
        return tell(L"'" + name + L"' is not a library or object file that Tarvex can read" +
                        (detail.empty() ? L"." : L": " + detail + L"."),
                    kMessageError);
    }
    if (needs.architecture == Architecture::Other || needs.architecture == Architecture::Mixed) {
        return tell(L"'" + name + L"' is not built for x86 or x64 alone; the PB compiler cannot " +
                        L"link it.",
                    kMessageError);
    }
    if (needs.architecture != Architecture::Unknown &&
        architectureText(needs.architecture) != context.architectureName) {
        return tell(L"'" + name + L"' was built for " + architectureText(needs.architecture) +
                        L", but the PB compiler is " + context.architectureName +
                        L": it cannot link it.",
                    kMessageError);
    }
    if (facts.ltcgObjects == facts.objects) {
        return tell(L"'" + name +
                        L"' was compiled with link-time code generation (/GL): it holds no code "
                        L"the PB linker can use.\n\nRebuild it without /GL.",
                    kMessageWarning);
    }
    switch (needs.runtime) {
    case RuntimeNeed::None:
        return tell(L"'" + name + L"' needs no particular C runtime: any choice links with it.",
                    kMessageInformation);
    case RuntimeNeed::Mixed:
        return tell(mixedText(name, facts), kMessageWarning);
    default:
        return offerSwitch(context, services, view, name, needs);
    }
}

} // namespace tarvex
