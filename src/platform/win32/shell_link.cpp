#include "platform/win32/shell_link.h"

#include <windows.h>

#include <shlobj.h>
#include <wrl/client.h>

#include <array>

namespace tarvex {

std::optional<std::wstring> Win32ShortcutReader::readShortcutArguments(const std::wstring& path) {
    Microsoft::WRL::ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&link)))) {
        return std::nullopt;
    }
    Microsoft::WRL::ComPtr<IPersistFile> file;
    // Read access only: the prompts Visual Studio installs lie in the
    // all-users Start menu, which a normal user cannot write to.
    if (FAILED(link.As(&file)) || FAILED(file->Load(path.c_str(), STGM_READ))) {
        return std::nullopt;
    }
    std::array<wchar_t, kShortcutArgumentLimit + 1> arguments{};
    link->GetArguments(arguments.data(), static_cast<int>(arguments.size()));
    arguments.back() = L'\0';
    return std::wstring(arguments.data());
}

} // namespace tarvex
