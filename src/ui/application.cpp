#include "ui/application.h"

#include <commctrl.h>
#include <ole2.h>

#include <cstdint>
#include <limits>
#include <optional>

#include "core/startup.h"
#include "platform/win32/shell_link.h"
#include "platform/win32/single_instance.h"
#include "platform/win32/win32_byte_file.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_program_launcher.h"
#include "ui/main_window.h"
#include "ui/message_box.h"
#include "ui/sounds.h"

namespace tarvex {
namespace {

// OLE (and with it COM) for the main thread: file drop and shell links.
class OleSession {
public:
    OleSession() : initialised_(SUCCEEDED(::OleInitialize(nullptr))) {}
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    ~OleSession() {
        if (initialised_) {
            ::OleUninitialize();
        }
    }

private:
    bool initialised_;
};

// Everything start-up acquires that the shutdown sequence releases.
struct Runtime {
    OleSession ole;
    std::optional<MainWindow> window;
};

class Win32ToolEnd final : public ToolEnd {
public:
    explicit Win32ToolEnd(std::optional<Runtime>& runtime) : runtime_(runtime) {}

    [[noreturn]] void endTool() override {
        runtime_.reset(); // the window first, then OLE
        ::ExitProcess(0);
    }

private:
    std::optional<Runtime>& runtime_;
};

void initialiseControls() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
}

// The IDE hands over its window as a number. One that names no window (or
// does not even fit a handle) makes the window creation fail, as Windows does
// for a stale owner; checking first also keeps pseudo-handles such as
// HWND_MESSAGE from turning wndMain into an invisible message-only window.
bool ownerFor(std::uint64_t value, HWND& owner) {
    if (value > std::numeric_limits<std::uintptr_t>::max()) {
        return false;
    }
    owner = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
    return owner == nullptr || ::IsWindow(owner);
}

} // namespace

void runTool(HINSTANCE instance) {
    std::optional<Runtime> runtime;
    Win32ToolEnd end(runtime);

    initialiseControls();
    runtime.emplace();

    if (!takeSingleInstanceLock()) {
        end.endTool();
    }

    Win32FileSystem files;
    Win32ByteFileService byteFiles;
    Win32Environment environment;
    Win32MessagePresenter messages;
    Win32SoundPlayer sounds;
    Win32Clipboard clipboard;
    Win32ProgramLauncher programs;
    Win32ShortcutReader shortcuts;
    ToolServices services{files, byteFiles, environment, messages, sounds,
                          end,   clipboard, programs,    shortcuts};
    ToolContext context;
    if (!prepareTool(context, services)) {
        end.endTool();
    }

    HWND owner = nullptr;
    MainWindow& window = runtime->window.emplace(context, services);
    if (!ownerFor(context.ownerWindow, owner) || !window.create(instance, owner)) {
        end.endTool();
    }
    window.prepareControls();
    window.show();
    window.runEventLoop();
    end.endTool();
}

} // namespace tarvex
