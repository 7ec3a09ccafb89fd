#include "stand_in_vs.h"

#include <shlobj.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace tarvex::e2e {
namespace {

const char* const kVcvarsall = "@echo off\r\n"
                               "echo [%1][%2]>>\"%~dp0seen.txt\"\r\n"
                               "if not \"%3\"==\"\" exit /b 1\r\n"
                               "if /i not \"%~1\"==\"x64\" if /i not \"%~1\"==\"x86\" exit /b 1\r\n"
                               "set \"sdk=%~2\"\r\n"
                               "if \"%sdk%\"==\"\" set \"sdk=10.0.22621.0\"\r\n"
                               "if not exist \"%~dp0Kits\\%sdk%\\\" exit /b 1\r\n"
                               "set \"LIB=%~dp0lib\\%~1;%~dp0Kits\\%sdk%\\%~1\"\r\n"
                               "set \"VisualStudioVersion=17.0\"\r\n"
                               "set \"PATH=%~dp0bin;%PATH%\"\r\n";

void putLibraries(const std::wstring& folder, const std::wstring& owner,
                  std::initializer_list<const wchar_t*> names) {
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    for (const wchar_t* name : names) {
        writeBytes(folder + name, sandboxContent(owner, name));
    }
}

class DropAfterAFewPolls final : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        *object = id == IID_IUnknown || id == IID_IDropSource ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override {
        return ++polls_ > 3 ? DRAGDROP_S_DROP : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    int polls_ = 0;
};

} // namespace

std::wstring addStandInVisualStudio(const Sandbox& sandbox) {
    const std::wstring tools = sandbox.root() + L"VS 2022 (x86)\\VC\\Auxiliary\\Build\\";
    for (const wchar_t* arch : {L"x86", L"x64"}) {
        putLibraries(tools + L"lib\\" + arch + L"\\", L"VC " + std::wstring(arch),
                     {L"msvcrt.lib", L"vcruntime.lib", L"libcmt.lib", L"libvcruntime.lib",
                      L"msvcrtd.lib", L"vcruntimed.lib", L"libcmtd.lib", L"libvcruntimed.lib",
                      L"legacy_stdio_definitions.lib"});
        for (const wchar_t* sdk : {L"10.0.19041.0", L"10.0.22621.0"}) {
            putLibraries(tools + L"Kits\\" + sdk + L"\\" + arch + L"\\",
                         L"SDK " + std::wstring(sdk) + L" " + arch,
                         {L"ucrt.lib", L"libucrt.lib", L"ucrtd.lib", L"libucrtd.lib"});
        }
    }
    ::SHCreateDirectoryExW(nullptr, (tools + L"bin").c_str(), nullptr);
    const bool copied = ::CopyFileW((buildDirectory() + L"tarvex_stand_in_lib.exe").c_str(),
                                    (tools + L"bin\\lib.exe").c_str(), FALSE) &&
                        ::CopyFileW((buildDirectory() + L"Tarvex.cmd").c_str(),
                                    (sandbox.toolDirectory() + L"Tarvex.cmd").c_str(), FALSE);
    return copied && writeBytes(tools + L"vcvarsall.bat", kVcvarsall) ? tools : L"";
}

bool saveShortcut(const std::wstring& path, const std::wstring& arguments) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_PPV_ARGS(&link))) &&
           SUCCEEDED(link->SetPath(L"C:\\windows\\system32\\cmd.exe")) &&
           SUCCEEDED(link->SetArguments(arguments.c_str())) && SUCCEEDED(link.As(&file)) &&
           SUCCEEDED(file->Save(path.c_str(), TRUE)) &&
           ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
}

DWORD dragFiles(HWND target, const std::vector<std::wstring>& paths, DWORD allowedEffects) {
    std::vector<PIDLIST_ABSOLUTE> items(paths.size());
    std::vector<PCUITEMID_CHILD> children(paths.size());
    ComPtr<IShellFolder> folder;
    ComPtr<IDataObject> data;
    bool found = true;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        found = found &&
                SUCCEEDED(::SHParseDisplayName(paths[i].c_str(), nullptr, &items[i], 0, nullptr)) &&
                SUCCEEDED(::SHBindToParent(items[i], IID_PPV_ARGS(folder.ReleaseAndGetAddressOf()),
                                           &children[i]));
    }
    DWORD effect = 0xFF; // not a drop effect: the drag did not happen
    if (found &&
        SUCCEEDED(folder->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()),
                                        children.data(), IID_IDataObject, nullptr, &data))) {
        RECT frame{};
        ::GetWindowRect(target, &frame);
        ::SetCursorPos((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
        DropAfterAFewPolls source;
        ::DoDragDrop(data.Get(), &source, allowedEffects, &effect);
    }
    for (PIDLIST_ABSOLUTE item : items) {
        ::CoTaskMemFree(item);
    }
    return effect;
}

} // namespace tarvex::e2e
