// The confirmation sounds on the platform's MessageBeep.
#pragma once

#include <windows.h>

#include "core/tool_services.h"

namespace tarvex {

class Win32SoundPlayer final : public SoundPlayer {
public:
    void play(Sound sound) override { ::MessageBeep(static_cast<UINT>(sound)); }
};

} // namespace tarvex
