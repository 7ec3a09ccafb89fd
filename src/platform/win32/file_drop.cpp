#include "platform/win32/file_drop.h"

#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <new>

#include "platform/win32/shell_functions.h"

namespace tarvex {
namespace {

FORMATETC fileListFormat() {
    return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// Queues a copy of a global memory block; false when it cannot be read or
// memory runs out.
bool queueCopy(HGLOBAL block, DropQueue& queue) {
    const void* source = ::GlobalLock(block);
    if (!source) {
        return false;
    }
    bool queued = true;
    try {
        const auto* bytes = static_cast<const std::byte*>(source);
        queue.push_back({CF_HDROP, std::vector<std::byte>(bytes, bytes + ::GlobalSize(block))});
    } catch (const std::bad_alloc&) {
        queued = false;
    }
    ::GlobalUnlock(block);
    return queued;
}

class FileDropTarget final : public IDropTarget {
public:
    FileDropTarget(HWND window, DropQueue& queue) : window_(window), queue_(queue) {}
    FileDropTarget(const FileDropTarget&) = delete;
    FileDropTarget& operator=(const FileDropTarget&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == IID_IUnknown || id == IID_IDropTarget) {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        offersFileList_ = offersFileList(data, *effect);
        *effect = feedback(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = feedback(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        offersFileList_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        offersFileList_ = offersFileList(data, *effect);
        *effect =
            feedback(*effect) == DROPEFFECT_LINK && queue(data) ? DROPEFFECT_LINK : DROPEFFECT_NONE;
        offersFileList_ = false;
        return S_OK;
    }

private:
    // Link is the only action taken, so the modifier keys change nothing.
    DWORD feedback(DWORD offered) const {
        return offersFileList_ && (offered & DROPEFFECT_LINK) ? DROPEFFECT_LINK : DROPEFFECT_NONE;
    }
    static bool offersFileList(IDataObject* data, DWORD offered) {
        FORMATETC format = fileListFormat();
        return data && (offered & DROPEFFECT_LINK) && data->QueryGetData(&format) == S_OK;
    }
    // A drop whose wake-up cannot be posted is still taken after the next
    // event the window handles.
    bool queue(IDataObject* data) const {
        FORMATETC format = fileListFormat();
        STGMEDIUM medium{};
        if (FAILED(data->GetData(&format, &medium))) {
            return false;
        }
        const bool queued = medium.tymed == TYMED_HGLOBAL && queueCopy(medium.hGlobal, queue_);
        ::ReleaseStgMedium(&medium);
        if (queued) {
            ::PostMessageW(window_, kFileDropMessage, 0, 0);
        }
        return queued;
    }

    HWND window_;
    DropQueue& queue_;
    std::atomic<ULONG> references_{1};
    bool offersFileList_ = false;
};

} // namespace

FileDropRegistration enableFileDrop(HWND window, DropQueue& queue) {
    FileDropTarget* target = new (std::nothrow) FileDropTarget(window, queue);
    if (!target) {
        return FileDropRegistration();
    }
    HRESULT result = ::RegisterDragDrop(window, target);
    if (result == DRAGDROP_E_ALREADYREGISTERED) {
        ::RevokeDragDrop(window);
        result = ::RegisterDragDrop(window, target);
    }
    target->Release(); // OLE holds its own reference while registered
    return SUCCEEDED(result) ? FileDropRegistration(window) : FileDropRegistration();
}

std::wstring droppedFilesText(const DroppedFiles* files) {
    // The block comes from another program: its list must start inside it,
    // and the zeroed tail ends any list that lacks its terminator.
    if (!files || files->format != CF_HDROP || files->data.size() < sizeof(DROPFILES)) {
        return {};
    }
    DROPFILES header{};
    std::memcpy(&header, files->data.data(), sizeof(header));
    if (header.pFiles < sizeof(DROPFILES) || header.pFiles >= files->data.size()) {
        return {};
    }
    constexpr std::size_t kTerminator = 2 * sizeof(wchar_t);
    UniqueGlobalMemory block(
        ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, files->data.size() + kTerminator));
    void* target = block ? ::GlobalLock(block.get()) : nullptr;
    if (!target) {
        return {};
    }
    std::memcpy(target, files->data.data(), files->data.size());
    ::GlobalUnlock(block.get());

    const auto dragQueryFile = shellFunction<decltype(::DragQueryFileW)>("DragQueryFileW");
    if (!dragQueryFile) {
        return {};
    }
    const auto drop = static_cast<HDROP>(block.get());
    const UINT count = dragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
    std::wstring text;
    for (UINT index = 0; index < count; ++index) {
        std::wstring name(dragQueryFile(drop, index, nullptr, 0) + 1, L'\0');
        name.resize(dragQueryFile(drop, index, name.data(), static_cast<UINT>(name.size())));
        text += (index == 0 ? L"" : L"\n") + name;
    }
    return text;
}

} // namespace tarvex
