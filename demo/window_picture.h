// Pictures of the tool's windows for the demo.
#pragma once

#include <windows.h>

#include <string>

// Saves what the screen shows of a window as a 24-bit BMP file.
bool saveWindowPicture(HWND window, const std::wstring& path);
