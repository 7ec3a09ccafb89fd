// Files dropped on the window from the shell: an OLE drop target that accepts
// file lists with the link effect, queues each drop for the window and wakes
// its event loop.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace tarvex {

// The event of one drop: the format and a copy of its data block.
struct DroppedFiles {
    UINT format = 0;
    std::vector<std::byte> data;
};

// The drops not yet handled, oldest first, owned by the window. The message
// that announces one carries nothing: any program may post that number, and
// a message box's modal loop dispatches it too, so the window's own event
// loop takes the drops from here, never from the message.
using DropQueue = std::vector<DroppedFiles>;
inline constexpr UINT kFileDropMessage = WM_APP + 1;

// Revokes the window's drop target when released, which must happen while
// the window still exists.
using FileDropRegistration = UniqueHandle<HWND, NullHandleTraits<HWND, ::RevokeDragDrop>>;

// Makes the window (its controls included) a drop target that adds to queue,
// which must outlive the registration. OLE must be initialised on this
// thread. Empty when the registration failed.
FileDropRegistration enableFileDrop(HWND window, DropQueue& queue);

// The dropped paths in drop order, joined by line feeds; empty when the
// event carries no file list.
std::wstring droppedFilesText(const DroppedFiles* files);

} // namespace tarvex
