// A stand-in Visual Studio in a sandbox, shortcuts to its prompts, and file
// drops made from this process the way the shell makes them.
#pragma once

#include <windows.h>

#include <ole2.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "driver.h"

namespace tarvex::e2e {

// Drops once the drag has been polled a few times: Wine polls on a timer,
// so no mouse button is needed.
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

// Copies support/stand-in-vs with the stand-in librarian to "VS 2022 (x86)\"
// under the sandbox's root and returns that folder.
inline std::wstring addStandInVisualStudio(const Sandbox& sandbox) {
    const std::wstring tools = sandbox.root() + L"VS 2022 (x86)\\";
    fs::copy(buildDirectory() + L"stand-in-vs", tools, fs::copy_options::recursive);
    return tools;
}

// Saves a read-only shortcut to cmd.exe with the given arguments.
inline bool saveShortcut(const std::wstring& path, const std::wstring& arguments) {
    Microsoft::WRL::ComPtr<IShellLinkW> link;
    Microsoft::WRL::ComPtr<IPersistFile> file;
    return SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_PPV_ARGS(&link))) &&
           SUCCEEDED(link->SetPath(L"C:\\windows\\system32\\cmd.exe")) &&
           SUCCEEDED(link->SetArguments(arguments.c_str())) && SUCCEEDED(link.As(&file)) &&
           SUCCEEDED(file->Save(path.c_str(), TRUE)) &&
           ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
}

// Drags files of one folder from the shell onto the window; returns the effect.
inline DWORD dragFiles(HWND target, const std::vector<std::wstring>& paths, DWORD allowedEffects) {
    std::vector<PIDLIST_ABSOLUTE> items(paths.size());
    std::vector<PCUITEMID_CHILD> children(paths.size());
    Microsoft::WRL::ComPtr<IShellFolder> folder;
    Microsoft::WRL::ComPtr<IDataObject> data;
    HRESULT found = S_OK;
    for (std::size_t i = 0; i < paths.size() && SUCCEEDED(found); ++i) {
        found = ::SHParseDisplayName(paths[i].c_str(), nullptr, &items[i], 0, nullptr);
        found = SUCCEEDED(found) ? ::SHBindToParent(items[i], IID_PPV_ARGS(&folder), &children[i])
                                 : found;
    }
    DWORD effect = 0xFF; // no drop effect: the drag never started
    if (SUCCEEDED(found) &&
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
