#include "platform/win32/shell_link.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <array>

namespace tarvex {
namespace {

// COM for the duration of one read; balanced even when the thread already
// had it (OLE at start-up), as CoInitialize then answers S_FALSE.
class ComSession {
public:
    ComSession() : initialised_(SUCCEEDED(::CoInitialize(nullptr))) {}
    ComSession(const ComSession&) = delete;
    ComSession& operator=(const ComSession&) = delete;
    ~ComSession() {
        if (initialised_) {
            ::CoUninitialize();
        }
    }

private:
    bool initialised_;
};

} // namespace

std::optional<std::wstring> Win32ShortcutReader::readShortcutArguments(const std::wstring& path) {
    const ComSession com; // outlives the interfaces below
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
