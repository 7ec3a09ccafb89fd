// What the core asks of the user interface and of the process: message boxes
// and the one way to end the tool.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace tarvex {

// Message box flags: buttons and standard icon (which also picks the sound).
inline constexpr unsigned kMessageInformation = 0x40; // OK, information
inline constexpr unsigned kMessageError = 0x10;       // OK, error
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

struct ToolServices {
    FileSystem& files;
    Environment& environment;
    MessagePresenter& messages;
    ToolEnd& end;
};

} // namespace tarvex
