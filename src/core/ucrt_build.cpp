#include "core/ucrt_build.h"

#include <string_view>

#include "core/library_store.h"
#include "core/library_switch.h"
#include "core/record_from_files.h"
#include "core/selection_record.h"
#include "core/settings.h"
#include "core/vs_version_list.h"
#include "formats/path_parts.h"

namespace tarvex {
namespace {

// The shortcut's arguments name a batch file in Visual Studio's build-tools
// folder, usually quoted after a switch ("/k \"...\\vcvars64.bat\""):
// vcvarsall.bat lies beside it. Empty when they name no folder.
std::wstring vcvarsallFrom(const std::wstring& arguments) {
    const std::wstring directory = directoryPart(arguments);
    const std::size_t lastQuote = directory.rfind(L'"');
    const std::wstring folder =
        lastQuote == std::wstring::npos ? directory : directory.substr(lastQuote + 1);
    return folder.empty() ? std::wstring() : folder + L"vcvarsall.bat";
}

// Some file systems keep write times to two seconds, so a library written
// just after the build started may seem older by that much.
constexpr FileTime kCoarseTimeStamps = 2 * kFileTimeSecond;

std::wstring noLibraryText(const ToolContext& context, std::uint32_t code,
                           const std::wstring& command) {
    return L"The build made no library (exit code " + std::to_wstring(code) +
           L").\n\nMost likely vcvarsall.bat failed: the SDK version is not installed, or this "
           L"Visual Studio has no " +
           context.architectureName +
           L" tools.\n\nRun the build command in a native-tools command prompt to see the "
           L"reason:\n\n" +
           command;
}

// What a build made: new Visual Studio versions are listed, and a rebuilt
// active runtime becomes active, as a switch would make it. False when a copy
// failed (the tool has been ended).
bool adoptBuiltLibraries(ToolContext& context, ToolServices& services,
                         const std::vector<std::wstring>& names) {
    const std::wstring active = recordedRuntimeCopy(context);
    for (const std::wstring& name : names) {
        if (const std::wstring tag = versionTagOf(name); !tag.empty()) {
            addVsVersion(context, services, tag);
        }
        if (name == active && !activateCopies(context, services, {{L"msvcrt.lib", name}})) {
            return false;
        }
    }
    return true;
}

} // namespace

void registerNativeToolsShortcut(const ToolContext& context, ToolServices& services,
                                 ControlView& view, const std::wstring& droppedText) {
    if (asciiLowerCase(extensionPart(droppedText)) != L"lnk") {
        services.messages.showMessage(context.messageTitle(), L"Not a valid file...",
                                      kMessageError);
        return;
    }
    const std::wstring name = fileNamePart(droppedText, true);
    std::wstring vcvarsall;
    if (name.find(L" Native Tools") != std::wstring::npos) {
        vcvarsall = vcvarsallFrom(
            services.shortcuts.readShortcutArguments(droppedText).value_or(std::wstring()));
    }
    // A shortcut that cannot be read or names no folder would list a Visual
    // Studio whose build can only fail: refused like a foreign shortcut.
    if (vcvarsall.empty()) {
        services.sounds.play(Sound::Error);
        return;
    }
    if (storeVsLink(context, services, name, vcvarsall)) {
        services.sounds.play(Sound::Default);
    }
    fillVsVersionList(context, services, view);
}

bool safeForCommandLine(const std::wstring& text) {
    for (const wchar_t c : text) {
        if (c < L' ' || c == 0x7F ||
            std::wstring_view(L"&|<>^\"%!").find(c) != std::wstring::npos) {
            return false;
        }
    }
    return true;
}

std::wstring buildCommand(const ToolContext& context, const std::wstring& vcvarsall,
                          const std::wstring& sdk) {
    const std::wstring& architecture = context.architectureName;
    return L"\"" + vcvarsall + L"\" " + architecture + (sdk.empty() ? L"" : L" " + sdk) +
           L" && \"" + context.toolDirectory + L"Tarvex.cmd\" " + architecture + L" \"" +
           context.libraryDirectory + L"_PB_msvcrt.lib\"";
}

BuildOutcome buildUcrtLibraries(ToolContext& context, ToolServices& services, ControlView& view) {
    BuildOutcome outcome;
    if (view.itemCount(Control::cmbVsVersion) == 0) {
        return outcome;
    }
    // The text goes into a command interpreter line, where these characters
    // would run whatever follows them.
    const std::wstring sdk = view.text(Control::edtSdkVersion);
    if (!safeForCommandLine(sdk)) {
        services.messages.showMessage(context.messageTitle(), kUnsafeSdkText, kMessageError);
        return outcome;
    }
    const int selected = view.selectedItem(Control::cmbVsVersion);
    const std::wstring vcvarsall =
        selected < 0 ? std::wstring() : view.itemData(Control::cmbVsVersion, selected);
    // Only what this build wrote counts: a failed vcvarsall.bat can still end
    // the command with 1, leaving an earlier build's files in the folder.
    const FileTime started = services.files.now() - kCoarseTimeStamps;
    const std::wstring command = buildCommand(context, vcvarsall, sdk);
    StartedProgram build = services.programs.startProgram(
        command, L"", context.toolDirectory, {.waitForExit = true, .keepHandle = true});
    if (!build.started) {
        return outcome;
    }
    outcome.started = true;
    const std::uint32_t code = outcome.exitCode = exitCodeOf(std::move(build.handle));
    if (code < 1 || code > 4) {
        return outcome;
    }
    const TakenIn taken = takeInArchitectureCopies(context, services, L"_*msvcrt.lib", started);
    if (taken.outcome != TakeIn::All) {
        return outcome;
    }
    outcome.taken = taken.names;
    if (taken.names.empty()) {
        services.sounds.play(Sound::Error);
        services.messages.showMessage(context.messageTitle(), noLibraryText(context, code, command),
                                      kMessageError);
        return outcome;
    }
    if (!adoptBuiltLibraries(context, services, taken.names)) {
        return outcome;
    }
    rebuildCatalogue(context, services);
    refreshUcrtVersionList(context, view);
    showActiveChoice(context, services, view);
    services.sounds.play(Sound::Default);
    return outcome;
}

} // namespace tarvex
