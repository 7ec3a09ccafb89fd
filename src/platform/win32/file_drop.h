// Files dropped on the window from the shell: an OLE drop target that accepts
// file lists with the link effect and posts each drop to the event loop.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace tarvex {

// The event of one drop: the format and a copy of its data block.
struct DroppedFiles {
    UINT format = 0;
    std::vector<std::byte> data;
};

// Posted to the window for each drop. Its lParam owns a DroppedFiles: the
// handler takes it back with takeDroppedFiles; queued ones left when the
// window goes away are released by discardQueuedDrops.
inline constexpr UINT kFileDropMessage = WM_APP + 1;

// Revokes the window's drop target when released, which must happen while
// the window still exists.
using FileDropRegistration = UniqueHandle<HWND, NullHandleTraits<HWND, ::RevokeDragDrop>>;

// Makes the window (its controls included) a drop target. OLE must be
// initialised on this thread. Empty when the registration failed.
FileDropRegistration enableFileDrop(HWND window);

std::unique_ptr<DroppedFiles> takeDroppedFiles(LPARAM lParam);

// Releases the drop events still queued for the window.
void discardQueuedDrops(HWND window);

// The dropped paths in drop order, joined by line feeds; empty when the
// event carries no file list.
std::wstring droppedFilesText(const DroppedFiles* files);

} // namespace tarvex
