#include "core/ucrt_build.h"

#include <string_view>

#include "core/library_store.h"
#include "core/library_switch.h"
#include "core/settings.h"
#include "core/vs_version_list.h"
#include "platform/path_parts.h"

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

void buildUcrtLibraries(ToolContext& context, ToolServices& services, ControlView& view) {
    if (view.itemCount(Control::cmbVsVersion) == 0) {
        return;
    }
    // The text goes into a command interpreter line, where these characters
    // would run whatever follows them.
    const std::wstring sdk = view.text(Control::edtSdkVersion);
    if (!safeForCommandLine(sdk)) {
        services.messages.showMessage(context.messageTitle(), kUnsafeSdkText, kMessageError);
        return;
    }
    const int selected = view.selectedItem(Control::cmbVsVersion);
    const std::wstring vcvarsall =
        selected < 0 ? std::wstring() : view.itemData(Control::cmbVsVersion, selected);
    StartedProgram build = services.programs.startProgram(
        buildCommand(context, vcvarsall, sdk), L"", context.toolDirectory,
        {.waitForExit = true, .keepHandle = true});
    if (!build.started) {
        return;
    }
    const std::uint32_t code = exitCodeOf(std::move(build.handle));
    if (code < 1 || code > 4) {
        return;
    }
    if (takeInArchitectureCopies(context, services, L"_*msvcrt.lib") != TakeIn::All) {
        return;
    }
    rebuildCatalogue(context, services);
    refreshUcrtVersionList(context, view);
    services.sounds.play(Sound::Default);
}

} // namespace tarvex
