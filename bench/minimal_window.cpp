// The baselines for the start-up benchmark. Built plain, the least a Win32
// program does to put one window on the screen. Built with
// TARVEX_WITH_CONTROLS (and Tarvex's manifest), the floor of Tarvex's own
// window: common controls 6, OLE and the same eighteen controls with the same
// styles, and nothing else. Against the second, the comparison shows what
// Tarvex itself adds.
#include <windows.h>

#ifdef TARVEX_WITH_CONTROLS
#include <commctrl.h>
#include <ole2.h>

#include "ui/control_table.h"
#endif

namespace {

#ifdef TARVEX_WITH_CONTROLS
constexpr const wchar_t* kClassName = L"TarvexControlsWindow";
#else
constexpr const wchar_t* kClassName = L"TarvexMinimalWindow";
#endif

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        ::DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

bool registerWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    return ::RegisterClassExW(&windowClass) != 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifdef TARVEX_WITH_CONTROLS
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    if (FAILED(::OleInitialize(nullptr))) {
        return 1;
    }
#endif
    if (!registerWindowClass(instance)) {
        return 1;
    }
    HWND window =
        ::CreateWindowExW(0, kClassName, L"Minimal window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                          CW_USEDEFAULT, 540, 150, nullptr, nullptr, instance, nullptr);
    if (!window) {
        return 1;
    }
#ifdef TARVEX_WITH_CONTROLS
    for (const tarvex::ControlSpec& row : tarvex::kControlTable) {
        ::CreateWindowExW(row.exStyle, row.windowClass, row.text, row.style, row.x, row.y,
                          row.width, row.height, window,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, nullptr);
    }
#endif
    // Shown the way Tarvex shows its window, so both pay for the same call.
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
