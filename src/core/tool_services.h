// What the core asks of the user interface and of the process: message boxes,
// sounds, the clipboard and the one way to end the tool.
#pragma once

#include <string>

#include "platform/byte_file.h"
#include "platform/clipboard.h"
#include "platform/file_system.h"
#include "platform/program_launcher.h"
#include "platform/shortcut_reader.h"

namespace tarvex {

// Message box flags: buttons and standard icon (which also picks the sound).
inline constexpr unsigned kMessageInformation = 0x40; // OK, information
inline constexpr unsigned kMessageError = 0x10;       // OK, error
inline constexpr unsigned kMessageWarning = 0x30;     // OK, exclamation mark
inline constexpr unsigned kMessageQuestion = 0x24;    // Yes/No, question

// Button codes that callers test.
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Shows a modal message box and returns the code of the button that
    // closed it.
    virtual int showMessage(const std::wstring& title, const std::wstring& text,
                            unsigned flags) = 0;
};

// The tool's single shutdown path. The Win32 implementation releases
// everything and exits the process with code 0; in tests it only records the
// end, so callers return at once after calling it.
class ToolEnd {
public:
    virtual ~ToolEnd() = default;
    virtual void endTool() = 0;
};

// The system sounds that confirm an action instead of a message.
enum class Sound : unsigned {
    Default = 0,        // libpng/libjpeg switch, snippet copied, shortcut stored, build done
    Error = 0x10,       // a dropped shortcut is not a native-tools prompt
    Information = 0x40, // a CRT selection succeeded
};

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(Sound sound) = 0;
};

struct ToolServices {
    FileSystem& files;
    ByteFileService& byteFiles;
    Environment& environment;
    MessagePresenter& messages;
    SoundPlayer& sounds;
    ToolEnd& end;
    Clipboard& clipboard;
    ProgramLauncher& programs;
    ShortcutReader& shortcuts;
};

} // namespace tarvex
