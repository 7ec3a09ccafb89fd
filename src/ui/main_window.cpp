#include "ui/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

#include "core/donation_page.h"
#include "core/library_drop.h"
#include "core/library_switch.h"
#include "core/linker_snippet.h"
#include "core/selection_record.h"
#include "core/settings.h"
#include "core/ucrt_build.h"
#include "core/vs_version_list.h"
#include "resources/embedded_picture.h"
#include "ui/control_table.h"
#include "ui/message_box.h"

namespace tarvex {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

bool registerMainWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = programIcon();
    windowClass.hIconSm = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                     ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainWindowClass;
    return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int screenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) {
        ::ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
}

SIZE frameSize(int clientWidth, int clientHeight) {
    RECT frame{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

// The message font of the system, or nothing when it cannot be read (the
// controls then keep the default GUI font).
UniqueFont createMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        return UniqueFont();
    }
    return UniqueFont(::CreateFontIndirectW(&metrics.lfMessageFont));
}

UniqueFont createStatusFont(int dpi) {
    return UniqueFont(::CreateFontW(-(8 * dpi / 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Segoe UI"));
}

// An icon that draws nothing: every mask bit keeps the screen. Monochrome
// rows are whole 16-bit words.
UniqueIcon createBlankIcon(HINSTANCE instance) {
    constexpr int kSide = 16;
    std::array<BYTE, kSide * 2> keep{};
    keep.fill(0xFF);
    const std::array<BYTE, kSide * 2> none{};
    return UniqueIcon(::CreateIcon(instance, kSide, kSide, 1, 1, keep.data(), none.data()));
}

void setFont(HWND control, HFONT font) {
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

} // namespace

bool MainWindow::create(HINSTANCE instance, HWND owner) {
    if (!registerMainWindowClass(instance, windowProc)) {
        return false;
    }
    dpi_ = screenDpi();
    const SIZE size = frameSize(scaled(kClientWidth), scaled(kClientHeight));
    const int left = std::max(0, (::GetSystemMetrics(SM_CXSCREEN) - static_cast<int>(size.cx)) / 2);
    const int top = std::max(0, (::GetSystemMetrics(SM_CYSCREEN) - static_cast<int>(size.cy)) / 2);
    const std::wstring title = L"Tarvex" + context_.titleSuffix;
    window_.reset(::CreateWindowExW(0, kMainWindowClass, title.c_str(), kStyle, left, top, size.cx,
                                    size.cy, owner, nullptr, instance, this));
    if (!window_) {
        return false;
    }
    view_.emplace(window_.get());
    keyboard_.attach(window_.get());
    createControls(instance);
    return true;
}

void MainWindow::createControls(HINSTANCE instance) {
    messageFont_ = createMessageFont();
    HFONT font =
        messageFont_ ? messageFont_.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    for (const ControlSpec& row : kControlTable) {
        HWND control = ::CreateWindowExW(
            row.exStyle, row.windowClass, row.text, row.style, scaled(row.x), scaled(row.y),
            scaled(row.width), scaled(row.height), window_.get(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, nullptr);
        setFont(control, font);
    }
    ::SendMessageW(::GetDlgItem(window_.get(), static_cast<int>(Control::edtSdkVersion)),
                   EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(L"SDK: latest"));
    // The picture buttons draw this image instead of their texts, which name
    // them for screen readers.
    blankIcon_ = createBlankIcon(instance);
    for (Control id : {Control::btnCopyDirectives, Control::btnPngJpeg, Control::btnCoffee}) {
        ::SendMessageW(::GetDlgItem(window_.get(), static_cast<int>(id)), BM_SETIMAGE, IMAGE_ICON,
                       reinterpret_cast<LPARAM>(blankIcon_.get()));
    }
    // The picture is decoded once and kept until the end; if it cannot be
    // decoded, btnCoffee stays empty and still works.
    coffeeButton_.attach(::GetDlgItem(window_.get(), static_cast<int>(Control::btnCoffee)),
                         imageFromMemory(coffeePicture()));
}

void MainWindow::prepareControls() {
    ControlView& view = *view_;
    if (context_.targetExtension != L"dll" && context_.pngJpegFlag == 0) {
        view.setVisible(Control::btnPngJpeg, false);
    }
    context_.vsVersions.clear();
    loadSettings(context_, services_, view);
    statusFont_ = createStatusFont(dpi_);
    if (statusFont_) {
        setFont(::GetDlgItem(window_.get(), static_cast<int>(Control::txtStatus)),
                statusFont_.get());
    }
    view.setEnabled(Control::txtStatus, false);
    refreshUcrtVersionList(context_, view);
    restoreSelection(context_, view);
    fillVsVersionList(context_, services_, view);
    for (Control control : kBuildPaneControls) {
        view.setEnabled(control, false);
    }
}

// Drops are accepted from the first message the window handles on: under
// Wine, registering the drop target takes about 9 ms, which the first paint
// need not wait for.
void MainWindow::show() {
    // As in a dialog, the focus cues show from the start when the tool was
    // started from the keyboard, and wait for a key after a click.
    ::SendMessageW(window_.get(), WM_CHANGEUISTATE,
                   MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    ::ShowWindow(window_.get(), SW_SHOWNORMAL);
    ::UpdateWindow(window_.get());
    fileDrop_ = enableFileDrop(window_.get(), drops_);
}

void MainWindow::runEventLoop() {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_MOUSEMOVE &&
            (message.hwnd == window_.get() || ::IsChild(window_.get(), message.hwnd))) {
            hoverHelp_.pointerMoved(*view_);
        }
        if (HWND focused = keyboard_.moveOnTab(message)) {
            showFocusHelp(*view_, ::GetDlgCtrlID(focused));
        } else if (!keyboard_.passToDialogManager(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        handleQueuedDrops();
    }
}

// Here and only here: a drop that came while a message box was up waits
// until the box has been answered and its handler has returned.
void MainWindow::handleQueuedDrops() {
    while (!drops_.empty() && view_) {
        const DroppedFiles files = std::move(drops_.front());
        drops_.erase(drops_.begin());
        onFileDrop(droppedFilesText(&files));
    }
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_CLOSE:
        // The close request ends the event loop; the shutdown sequence then
        // destroys the window.
        ::PostQuitMessage(0);
        return 0;
    case WM_ACTIVATE:
        if (self) {
            self->keyboard_.activated(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    case WM_COMMAND:
        if (self && self->keyboard_.takeDialogKey(LOWORD(wParam))) {
            return 0;
        }
        if (self && self->view_ && lParam != 0) {
            self->onCommand(static_cast<Control>(LOWORD(wParam)), HIWORD(wParam));
        }
        return 0;
    case kFileDropMessage: // it only wakes the event loop, which takes the drops
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

// Several libraries get one verdict; anything else dropped with them is taken
// as one text, as a shortcut would be.
void MainWindow::onFileDrop(const std::wstring& text) {
    const std::vector<std::wstring> paths = droppedPaths(text);
    bool close = false;
    if (paths.size() > 1 && std::all_of(paths.begin(), paths.end(), isLibraryOrObject)) {
        close = onLibrariesDropped(context_, services_, *view_, paths);
    } else if (!isLibraryOrObject(text)) {
        registerNativeToolsShortcut(context_, services_, *view_, text);
    } else {
        close = onLibraryDropped(context_, services_, *view_, text);
    }
    if (close) {
        ::PostQuitMessage(0); // auto-close after the switch
    }
}

void MainWindow::onCommand(Control control, WORD notification) {
    ControlView& view = *view_;
    if (control == Control::cmbUcrtVersion) {
        if (notification == CBN_SELCHANGE) {
            syncCrtButtons(context_, view);
        }
        return;
    }
    if (notification != BN_CLICKED) {
        return;
    }
    switch (control) {
    case Control::btnMD:
    case Control::btnMT:
    case Control::btnPB:
        if (onCrtButtonClicked(context_, services_, view, control)) {
            ::PostQuitMessage(0); // auto-close: as if the window were closed
        }
        break;
    case Control::chkDebug:
        syncCrtButtons(context_, view);
        applyDebugCaptions(view);
        break;
    case Control::chkBuildPane:
        showBuildPane(view.state(Control::chkBuildPane));
        break;
    case Control::chkAutoClose:
        saveAutoClose(context_, services_, view);
        break;
    case Control::btnPngJpeg:
        onPngJpegClicked(context_, services_, view);
        break;
    case Control::btnCopyDirectives:
        copyLinkerDirectives(services_);
        break;
    case Control::btnBuild:
        buildUcrtLibraries(context_, services_, view);
        break;
    case Control::btnCoffee:
        openDonationPage(services_);
        break;
    default:
        break;
    }
}

void MainWindow::showBuildPane(bool shown) {
    for (Control control : kBuildPaneControls) {
        view_->setEnabled(control, shown);
    }
    setClientHeight(shown ? kClientHeightWithBuildPane : kClientHeight);
}

void MainWindow::setClientHeight(int logicalHeight) {
    const SIZE size = frameSize(scaled(kClientWidth), scaled(logicalHeight));
    ::SetWindowPos(window_.get(), nullptr, 0, 0, size.cx, size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace tarvex
