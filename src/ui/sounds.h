// The system sounds that confirm an action instead of a message.
#pragma once

#include <windows.h>

namespace tarvex {

// A CRT selection succeeded.
inline void playInformationSound() {
    ::MessageBeep(MB_ICONINFORMATION);
}
// The libpng/libjpeg switch, the snippet copy, a stored shortcut or a finished
// build succeeded.
inline void playDefaultSound() {
    ::MessageBeep(0);
}
// A dropped shortcut is not one of the native-tools prompts.
inline void playErrorSound() {
    ::MessageBeep(MB_ICONERROR);
}

} // namespace tarvex
