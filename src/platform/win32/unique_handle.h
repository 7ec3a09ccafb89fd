// Single-owner wrappers for Win32 handles, so no logic code closes by hand.
#pragma once

#include <windows.h>

#include <utility>

namespace tarvex {

template <typename Handle, typename Traits> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return Traits::valid(handle_); }
    Handle release() { return std::exchange(handle_, Traits::invalid()); }
    void reset(Handle handle = Traits::invalid()) {
        if (Traits::valid(handle_)) {
            Traits::close(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::invalid();
};

struct KernelHandleTraits {
    static HANDLE invalid() { return nullptr; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::CloseHandle(h); }
};
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;

struct FindHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::FindClose(h); }
};
using UniqueFindHandle = UniqueHandle<HANDLE, FindHandleTraits>;

// A handle whose invalid value is null and that one call releases.
template <typename Handle, auto Release> struct NullHandleTraits {
    static Handle invalid() { return nullptr; }
    static bool valid(Handle h) { return h != nullptr; }
    static void close(Handle h) { Release(h); }
};
using UniqueHook = UniqueHandle<HHOOK, NullHandleTraits<HHOOK, ::UnhookWindowsHookEx>>;
using UniqueWindow = UniqueHandle<HWND, NullHandleTraits<HWND, ::DestroyWindow>>;
using UniqueGlobalMemory = UniqueHandle<HGLOBAL, NullHandleTraits<HGLOBAL, ::GlobalFree>>;
using UniqueBitmap = UniqueHandle<HBITMAP, NullHandleTraits<HBITMAP, ::DeleteObject>>;
using UniqueFont = UniqueHandle<HFONT, NullHandleTraits<HFONT, ::DeleteObject>>;
using UniqueIcon = UniqueHandle<HICON, NullHandleTraits<HICON, ::DestroyIcon>>;

} // namespace tarvex
