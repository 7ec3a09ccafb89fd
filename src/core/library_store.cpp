#include "core/library_store.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/library_switch.h"
#include "formats/path_parts.h"

namespace tarvex {
namespace {

constexpr std::size_t kCatalogueBuckets = 512;
const std::wstring kCompilersPiece = L"\\Compilers\\";
const std::wstring kLibrariesPiece = L"\\PureLibraries\\Windows\\Libraries\\";
const std::wstring kUcrtRuntimePattern = L"_M*_msvcrt.lib";
const std::wstring kAdministratorHint =
    L"(Make sure that you've started the PB IDE as Administrator if UAC is enabled!)";

constexpr std::array<const wchar_t*, 2> kUcrtImageLibraries{L"_UC_libpng.lib", L"_UC_libjpeg.lib"};

// Case-sensitive replacement of every occurrence, as the IDE's layout is
// fixed; a path without the piece stays as it is.
std::wstring replaceAll(std::wstring text, const std::wstring& piece,
                        const std::wstring& replacement) {
    for (std::size_t at = text.find(piece); at != std::wstring::npos;
         at = text.find(piece, at + replacement.size())) {
        text.replace(at, piece.size(), replacement);
    }
    return text;
}

void detectHost(ToolContext& context, ToolServices& services) {
    const auto type = services.files.executableType(context.compilerDirectory + L"pbcompilerc.exe");
    context.architectureName.clear();
    if (type == kWindows32BitExecutable) {
        context.architectureName = L"x86";
    } else if (type == kWindows64BitExecutable) {
        context.architectureName = L"x64";
    }
    context.titleSuffix = L" - " + context.architectureName;
    context.libraryDirectory =
        replaceAll(context.compilerDirectory, kCompilersPiece, kLibrariesPiece);
    context.toolDirectory = directoryPart(services.environment.programPath());
    context.architectureDirectory = context.toolDirectory + context.architectureName + L"\\";
}

bool backUpPbLibraries(const ToolContext& context, ToolServices& services) {
    for (const wchar_t* name : kActiveLibraries) {
        const std::wstring active = context.libraryDirectory + name;
        const std::wstring backup = context.libraryDirectory + L"_PB_" + name;
        if (services.files.pathSize(backup) != kMissing) {
            continue;
        }
        if (services.messages.showMessage(context.messageTitle(), backupQuestion(name),
                                          kMessageQuestion) == kAnswerNo) {
            services.end.endTool();
            return false;
        }
        if (!reportingCopy(context, services, active, backup)) {
            return false;
        }
    }
    return true;
}

bool takeInUcrtImageLibraries(const ToolContext& context, ToolServices& services) {
    for (const wchar_t* name : kUcrtImageLibraries) {
        if (services.files.pathSize(context.libraryDirectory + name) != kMissing) {
            continue;
        }
        if (!reportingCopy(context, services, context.architectureDirectory + name,
                           context.libraryDirectory + name)) {
            return false;
        }
    }
    return true;
}

// Whether the catalogue holds a name that "_M*_msvcrt.lib" matches, as the
// file system matches it (ignoring case). The catalogue's listing holds every
// such name, so the library directory is searched once, not twice: in a large
// directory each search costs about a full listing. Names are compared in
// place: a copy of each of thousands would cost a tenth of the listing.
bool cataloguesUcrtRuntime(const ToolContext& context) {
    constexpr std::wstring_view head = L"_m", tail = L"_msvcrt.lib";
    return std::any_of(
        context.catalogue.begin(), context.catalogue.end(), [&](std::wstring_view name) {
            return name.size() >= head.size() + tail.size() &&
                   sameIgnoringAsciiCase(name.substr(0, head.size()), head) &&
                   sameIgnoringAsciiCase(name.substr(name.size() - tail.size()), tail);
        });
}

// True when the tool's architecture folder holds a UCRT runtime to copy. The
// release brings none (they are built with the user's own Visual Studio), and
// a question whose Yes copies nothing would come back at every start.
bool bringsUcrtRuntimes(const ToolContext& context, ToolServices& services) {
    auto listing = services.files.newListing();
    if (!listing->open(context.architectureDirectory, kUcrtRuntimePattern)) {
        return false;
    }
    while (listing->next()) {
        if (listing->kind() == EntryKind::File) {
            return true;
        }
    }
    return false;
}

// Asked only when the library directory could be listed and holds no UCRT
// runtime; the catalogue is listed again when the answer copied some.
bool offerUcrtRuntimes(ToolContext& context, ToolServices& services) {
    if (!rebuildCatalogue(context, services) || cataloguesUcrtRuntime(context) ||
        !bringsUcrtRuntimes(context, services)) {
        return true;
    }
    const std::wstring question = L"Do you want to copy all available UCRT libraries to PB?\n\n(" +
                                  context.architectureDirectory + kUcrtRuntimePattern + L")";
    if (services.messages.showMessage(context.messageTitle(), question, kMessageQuestion) !=
        kAnswerYes) {
        return true;
    }
    const TakenIn taken = takeInArchitectureCopies(context, services, kUcrtRuntimePattern);
    if (taken.outcome == TakeIn::CopyFailed) {
        return false;
    }
    if (!taken.names.empty()) {
        rebuildCatalogue(context, services);
    }
    return true;
}

} // namespace

std::wstring backupQuestion(const std::wstring& name) {
    return L"Is your current '" + name +
           (name == L"msvcrt.lib" ? L"' the original PB CRT" : L"' the one that came with PB") +
           L"?\n\nIf not, please change it back...";
}

// The listing that names the stored copies also gives their sizes and write
// times, with which the active libraries are recognised without a second
// search of the directory. Other "_*.lib" names need none.
bool rebuildCatalogue(ToolContext& context, ToolServices& services) {
    context.catalogue = LibraryCatalogue(kCatalogueBuckets);
    context.catalogueFacts = CatalogueFacts(kCatalogueBuckets);
    auto listing = services.files.newListing();
    if (!listing->open(context.libraryDirectory, L"_*.lib")) {
        return false;
    }
    while (listing->next()) {
        std::wstring name = listing->name();
        if (!activatedName(name).empty()) {
            context.catalogueFacts.insert_or_assign(
                name, FileFacts{listing->size(), listing->writeTime()});
        }
        context.catalogue.insert(std::move(name));
    }
    listing->close();
    return true;
}

std::wstring copyErrorText(const std::wstring& source, const std::wstring& target) {
    return L"Error copying from:\n'" + source + L"'\nto:\n'" + target + L"'\n\n\n" +
           kAdministratorHint;
}

TakenIn takeInArchitectureCopies(const ToolContext& context, ToolServices& services,
                                 const std::wstring& pattern, FileTime writtenSince) {
    TakenIn taken;
    auto listing = services.files.newListing();
    if (!listing->open(context.architectureDirectory, pattern)) {
        return taken;
    }
    taken.outcome = TakeIn::All;
    while (listing->next()) {
        const std::wstring name = listing->name();
        if (listing->kind() != EntryKind::File || listing->writeTime() < writtenSince) {
            continue;
        }
        if (!reportingCopy(context, services, context.architectureDirectory + name,
                           context.libraryDirectory + name)) {
            taken.outcome = TakeIn::CopyFailed;
            return taken;
        }
        taken.names.push_back(name);
    }
    return taken;
}

// A copy cut short by a power cut, an ended process or a full disk would
// leave a torn library that equals nothing. The copy is made beside the
// target and then renamed over it, so the target is always whole: the old
// file or the new one. The system's copy keeps the source's write time, and
// the rename keeps it too.
bool reportingCopy(const ToolContext& context, ToolServices& services, const std::wstring& source,
                   const std::wstring& target) {
    const std::wstring beside = target + kBesideSuffix;
    if (services.files.copyReplacing(source, beside) &&
        services.files.renameReplacing(beside, target)) {
        return true;
    }
    services.files.removeFile(beside);
    return reportCopyFailure(context, services, source, target);
}

bool reportCopyFailure(const ToolContext& context, ToolServices& services,
                       const std::wstring& source, const std::wstring& target) {
    services.messages.showMessage(context.messageTitle(), copyErrorText(source, target),
                                  kMessageError);
    services.end.endTool();
    return false;
}

bool detectLibraryHost(ToolContext& context, ToolServices& services) {
    context.compilerDirectory =
        directoryPart(services.environment.environmentValue(L"PB_TOOL_Compiler"));
    context.targetExtension =
        asciiLowerCase(extensionPart(services.environment.environmentValue(L"PB_TOOL_Executable")));
    if (context.compilerDirectory.empty()) {
        return false;
    }
    detectHost(context, services);
    return true;
}

bool prepareLibraryStore(ToolContext& context, ToolServices& services) {
    if (!detectLibraryHost(context, services)) {
        return true;
    }
    return backUpPbLibraries(context, services) && takeInUcrtImageLibraries(context, services) &&
           offerUcrtRuntimes(context, services);
}

} // namespace tarvex
